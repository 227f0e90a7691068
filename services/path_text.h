// The path the copying page shows for the file being written. Text is GBK
// bytes in std::string; lengths count bytes.
#pragma once

#include <string>

namespace zsetup {

// A path that fits in maximum bytes unchanged, else its first 3 bytes,
// "...\" and at most 40 bytes after its last backslash, both cut at a whole
// character. The tail is capped at 40 bytes whatever maximum is, so the
// result may be longer than maximum.
std::string ShortenPath(const std::string& path, int maximum);

}  // namespace zsetup
