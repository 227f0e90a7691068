#include "platform/win32/gbk_text.h"

#include <windows.h>

namespace zsetup {

namespace {
constexpr UINT kGbk = 936;
}

std::wstring GbkToWide(const std::string& gbk) {
    if (gbk.empty()) return {};
    int n = MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(), n);
    return out;
}

std::string WideToGbk(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace zsetup
