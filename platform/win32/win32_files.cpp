#include "platform/win32/win32_files.h"

#include <windows.h>

#include "platform/win32/gbk_text.h"

namespace zsetup {

std::optional<std::uint32_t> Win32Files::Attributes(const std::string& path) {
    const DWORD a = GetFileAttributesW(GbkToWide(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

bool Win32Files::MakeDirectory(const std::string& path) {
    return CreateDirectoryW(GbkToWide(path).c_str(), nullptr) != 0;
}

std::uint32_t Win32Files::SetCurrentDir(const std::string& path) {
    return SetCurrentDirectoryW(GbkToWide(path).c_str()) ? 0 : GetLastError();
}

std::string Win32Files::CurrentDir() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring w(n, L'\0');
    w.resize(GetCurrentDirectoryW(n, w.data()));
    return WideToGbk(w);
}

}  // namespace zsetup
