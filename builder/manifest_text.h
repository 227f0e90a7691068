// The manifest is UTF-8; the record holds GBK. Converting a manifest text
// either gives its exact GBK bytes or fails naming the key, the value and the
// limit, so nothing is silently cut or replaced.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "builder/manifest_error.h"

namespace zsetup {

// The GBK bytes of a manifest value for a field of at most limit bytes;
// throws ManifestError naming the key otherwise.
std::string FieldText(std::string_view key, std::string_view utf8, std::size_t limit);

}  // namespace zsetup
