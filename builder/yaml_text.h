// A text as a YAML scalar that every YAML reader takes back as that very
// text: plain where nothing in it could be read otherwise (a number, a
// yes/no, a key, a comment), else double-quoted with the escapes YAML knows.
#pragma once

#include <string>
#include <string_view>

namespace zsetup {

// utf8 must be well-formed UTF-8.
std::string YamlScalar(std::string_view utf8);

}  // namespace zsetup
