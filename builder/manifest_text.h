// The manifest is UTF-8; the record holds GBK. Converting a manifest text
// either gives its exact GBK bytes or fails naming the key, the value and the
// limit, so nothing is silently cut or replaced. A message quotes a value
// only in part, so a huge value never makes a huge message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "builder/manifest_error.h"

namespace zsetup {

// The characters of a value a message quotes at most.
inline constexpr std::size_t kQuotedCharacters = 40;

// The value in double quotes; past kQuotedCharacters characters (UTF-8, never
// cut inside one) it is cut, and its length said: "aaaa..." (100000 bytes).
std::string Quoted(std::string_view utf8);

// The GBK bytes of a manifest value for a field of at most limit bytes;
// throws ManifestError naming the key otherwise. A value that cannot fit
// whatever its characters is refused before it is converted.
std::string FieldText(std::string_view key, std::string_view utf8, std::size_t limit);

}  // namespace zsetup
