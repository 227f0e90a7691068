// Text conversion between two named encodings ("UTF-8", "CP936"): iconv on
// Linux, the Windows code page functions in the Windows build of the builder.
#pragma once

#include <string>
#include <string_view>

namespace zsetup {

// False when the input is invalid or a character has no form in the target.
bool ConvertText(std::string_view in, const char* from, const char* to, std::string& out);

}  // namespace zsetup
