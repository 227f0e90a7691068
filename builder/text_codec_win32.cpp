#include <windows.h>

#include <cstring>

#include "builder/text_codec.h"

namespace zsetup {

namespace {

UINT CodePage(const char* name) { return std::strcmp(name, "UTF-8") == 0 ? CP_UTF8 : 936; }

}  // namespace

bool ConvertText(std::string_view in, const char* from, const char* to, std::string& out) {
    if (in.empty()) {
        out.clear();
        return true;
    }
    const UINT src_cp = CodePage(from), dst_cp = CodePage(to);
    const int in_len = static_cast<int>(in.size());
    int n = MultiByteToWideChar(src_cp, MB_ERR_INVALID_CHARS, in.data(), in_len, nullptr, 0);
    if (n <= 0) return false;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(src_cp, MB_ERR_INVALID_CHARS, in.data(), in_len, wide.data(), n);
    // UTF-8 takes neither the default-character check nor the best-fit flag.
    BOOL used_default = FALSE;
    const bool to_utf8 = dst_cp == CP_UTF8;
    const DWORD flags = to_utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* used = to_utf8 ? nullptr : &used_default;
    int m = WideCharToMultiByte(dst_cp, flags, wide.data(), n, nullptr, 0, nullptr, used);
    if (m <= 0 || used_default) return false;
    std::string result(static_cast<std::size_t>(m), '\0');
    WideCharToMultiByte(dst_cp, flags, wide.data(), n, result.data(), m, nullptr, used);
    if (used_default) return false;
    out = std::move(result);
    return true;
}

}  // namespace zsetup
