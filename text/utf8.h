// UTF-8 taken apart into code points, and UTF-16 for the version resource.
// The manifest is UTF-8 (toml++ has checked it); file names from a folder
// may not be, so a malformed sequence is reported, never guessed at.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zsetup {

// Nothing when the text is not well-formed UTF-8.
std::optional<std::u32string> DecodeUtf8(std::string_view utf8);

// UTF-16 with surrogate pairs; nothing when the text is not well-formed UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);

}  // namespace zsetup
