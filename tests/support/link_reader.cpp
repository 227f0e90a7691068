#include "tests/support/link_reader.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "text/win32/wide_text.h"
#include "base/win32/com.h"

namespace zsetup::testing {

namespace {

std::optional<ShellLink> Load(const std::string& link_file) {
    IShellLinkW* raw = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&raw))))
        return std::nullopt;
    const ComPtr<IShellLinkW> link(raw);
    const ComPtr<IPersistFile> file = QueryComInterface<IPersistFile>(link.get(), IID_IPersistFile);
    if (!file || FAILED(file->Load(GbkToWide(link_file).c_str(), STGM_READ))) return std::nullopt;
    wchar_t target[MAX_PATH] = {}, arguments[1024] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
    int index = -1;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(arguments, 1024);
    link->GetWorkingDirectory(folder, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &index);
    return ShellLink{WideToGbk(target), WideToGbk(arguments), WideToGbk(icon), index, WideToGbk(folder)};
}

}  // namespace

std::optional<ShellLink> ReadLinkFile(const std::string& link_file) {
    const ComApartment com;
    if (!com.ok()) return std::nullopt;
    return Load(link_file);
}

bool TargetSurvivesAnsiCodePage(const std::string& target) {
    if (GetACP() == 936) return true;
    for (const char c : target)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace zsetup::testing
