// Byte-level text helpers for paths shown and used by the shell glue. Text is
// GBK bytes in std::string; every length and position counts bytes and
// positions are 1-based.
#pragma once

#include <string>

namespace zsetup {

// Position of the last occurrence of sub in text, or 0. Occurrences may
// overlap; an empty sub is found after the last byte (text length + 1).
int LastPos(const std::string& sub, const std::string& text);

// A path that fits in maximum bytes unchanged, else its first 3 bytes,
// "...\" and at most 40 bytes after its last backslash. The tail is capped at
// 40 bytes whatever maximum is, so the result may be longer than maximum.
std::string ShortenPath(const std::string& path, int maximum);

}  // namespace zsetup
