#include "platform/win32/win32_resources.h"

#include <windows.h>

#include "text/win32/wide_text.h"

namespace zsetup {

// Resource memory belongs to the module, mapped with the program's file: it
// needs no release and stays for the program's life.
std::optional<ByteView> Win32Resources::RcDataView(const std::string& name) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(module, GbkToWide(name).c_str(), RT_RCDATA);
    if (!info) return std::nullopt;
    const HGLOBAL loaded = LoadResource(module, info);
    const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes) return std::nullopt;
    return ByteView{bytes, SizeofResource(module, info)};
}

std::optional<std::vector<std::uint8_t>> Win32Resources::RcData(const std::string& name) {
    const auto view = RcDataView(name);
    if (!view) return std::nullopt;
    return std::vector<std::uint8_t>(view->data, view->data + view->size);
}

}  // namespace zsetup
