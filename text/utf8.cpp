#include "text/utf8.h"

namespace zsetup {

std::optional<std::u32string> DecodeUtf8(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || length > 4 || s.size() - i < length) return std::nullopt;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kLeast[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return std::nullopt;
        out.push_back(c);
        i += length;
    }
    return out;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8) {
    const auto points = DecodeUtf8(utf8);
    if (!points) return std::nullopt;
    std::u16string out;
    for (char32_t c : *points) {
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

}  // namespace zsetup
