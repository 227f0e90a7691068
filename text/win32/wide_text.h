// GBK and UTF-8 <-> UTF-16 for the W functions, with code page 936 named
// explicitly, so text comes out the same whatever the system's ANSI code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/win32/wide_string.h"

namespace zsetup {

// Code pages, as Windows numbers them.
inline constexpr unsigned kCodePageGbk = 936;
inline constexpr unsigned kCodePageUtf8 = 65001;

// Whatever the system makes of the bytes (an invalid one becomes a stand-in).
WideString GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view wide);
WideString Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// Nothing when the bytes are not valid in the code page, or a character has
// no form in it.
std::optional<WideString> ToWideExact(std::string_view bytes, unsigned code_page);
std::optional<std::string> FromWideExact(std::wstring_view wide, unsigned code_page);

}  // namespace zsetup
