#include "text/utf8.h"

namespace zsetup {

DecodedText DecodeUtf8Prefix(std::string_view s) {
    DecodedText out;
    for (std::size_t i = 0; i < s.size();) {
        out.malformed_at = i;
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || length > 4 || s.size() - i < length) return out;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return out;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kLeast[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return out;
        out.points.push_back(c);
        i += length;
    }
    out.malformed_at = std::string_view::npos;
    return out;
}

DecodedText DecodeUtf16Prefix(std::string_view s, bool big_endian) {
    DecodedText out;
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
        return static_cast<char32_t>(big_endian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i < s.size();) {
        out.malformed_at = i;
        if (s.size() - i < 2) return out;
        const char32_t first = unit(i);
        if (first >= 0xDC00 && first <= 0xDFFF) return out;
        if (first < 0xD800 || first > 0xDBFF) {
            out.points.push_back(first);
            i += 2;
            continue;
        }
        if (s.size() - i < 4) return out;
        const char32_t second = unit(i + 2);
        if (second < 0xDC00 || second > 0xDFFF) return out;
        out.points.push_back(0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00));
        i += 4;
    }
    out.malformed_at = std::string_view::npos;
    return out;
}

std::optional<std::u32string> DecodeUtf8(std::string_view s) {
    DecodedText decoded = DecodeUtf8Prefix(s);
    if (decoded.malformed_at != std::string_view::npos) return std::nullopt;
    return std::move(decoded.points);
}

std::string EncodeUtf8(std::u32string_view points) {
    std::string out;
    for (char32_t c : points) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
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
