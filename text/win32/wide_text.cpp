#include "text/win32/wide_text.h"

#include <windows.h>

namespace zsetup {
namespace {

WideString ToWide(std::string_view bytes, UINT code_page, DWORD flags, bool* ok) {
    *ok = true;
    if (bytes.empty()) return {};
    const int in = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(code_page, flags, bytes.data(), in, nullptr, 0);
    if (n <= 0) {
        *ok = false;
        return {};
    }
    WideString out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(code_page, flags, bytes.data(), in, out.data(), n);
    return out;
}

std::string FromWide(std::wstring_view wide, UINT code_page, bool exact, bool* ok) {
    *ok = true;
    if (wide.empty()) return {};
    // UTF-8 takes neither the default-character check nor the best-fit flag.
    const bool check = exact && code_page != CP_UTF8;
    const DWORD flags = check ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL used_default = FALSE;
    BOOL* used = check ? &used_default : nullptr;
    const int in = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(code_page, flags, wide.data(), in, nullptr, 0, nullptr, used);
    if (n <= 0 || used_default) {
        *ok = false;
        return {};
    }
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(code_page, flags, wide.data(), in, out.data(), n, nullptr, used);
    *ok = !used_default;
    return out;
}

}  // namespace

WideString GbkToWide(std::string_view gbk) {
    bool ok;
    return ToWide(gbk, kCodePageGbk, 0, &ok);
}

std::string WideToGbk(std::wstring_view wide) {
    bool ok;
    return FromWide(wide, kCodePageGbk, false, &ok);
}

WideString Utf8ToWide(std::string_view utf8) {
    bool ok;
    return ToWide(utf8, CP_UTF8, 0, &ok);
}

std::string WideToUtf8(std::wstring_view wide) {
    bool ok;
    return FromWide(wide, CP_UTF8, false, &ok);
}

std::optional<WideString> ToWideExact(std::string_view bytes, unsigned code_page) {
    bool ok;
    WideString out = ToWide(bytes, code_page, MB_ERR_INVALID_CHARS, &ok);
    if (!ok) return std::nullopt;
    return out;
}

std::optional<std::string> FromWideExact(std::wstring_view wide, unsigned code_page) {
    bool ok;
    std::string out = FromWide(wide, code_page, true, &ok);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace zsetup
