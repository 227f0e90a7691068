// UTF-8 taken apart into code points, and UTF-16 for the version resource
// and for text files saved in it. The manifest is UTF-8 (toml++ has checked
// it); file names from a folder and text files may not be, so a malformed
// sequence is reported, never guessed at.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zsetup {

// The code points before the first malformed sequence, and the byte where
// it starts: npos when there is none.
struct DecodedText {
    std::u32string points;
    std::size_t malformed_at = std::string_view::npos;
};

DecodedText DecodeUtf8Prefix(std::string_view utf8);
// Bytes of UTF-16, little- or big-endian, without a byte-order mark; a lone
// surrogate or an odd last byte is malformed.
DecodedText DecodeUtf16Prefix(std::string_view bytes, bool big_endian);

// Nothing when the text is not well-formed UTF-8.
std::optional<std::u32string> DecodeUtf8(std::string_view utf8);

// Code points (none a surrogate, none past U+10FFFF) as UTF-8.
std::string EncodeUtf8(std::u32string_view points);

// UTF-16 with surrogate pairs; nothing when the text is not well-formed UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);

}  // namespace zsetup
