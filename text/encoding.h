// UTF-8 <-> GBK, exactly or not at all: iconv natively, the Windows code page
// functions in the win32 tree.
#pragma once

#include <string>
#include <string_view>

namespace zsetup {

// False when the input is not valid in its encoding or a character has no
// form in the other; out is then untouched.
bool Utf8ToGbk(std::string_view utf8, std::string& gbk);
bool GbkToUtf8(std::string_view gbk, std::string& utf8);

// For messages: the UTF-8 form, or the bytes as they are when there is none.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace zsetup
