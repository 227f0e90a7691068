#include "builder/yaml_text.h"

#include <algorithm>
#include <cstdio>

#include "text/gbk.h"
#include "text/utf8.h"

namespace zsetup {
namespace {

// Words YAML 1.1 readers (PyYAML among them) take for booleans or nothing.
bool IsYamlWord(std::string_view text) {
    const std::string folded = FoldAsciiCase(text);
    for (const char* word : {"y", "n", "yes", "no", "on", "off", "true", "false", "null"})
        if (folded == word) return true;
    return false;
}

// Plain only when it starts with a letter and holds letters, digits, dots,
// hyphens and underscores: nothing a reader could take for a number, a
// date, a key or a comment.
bool CanBePlain(std::string_view text) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (text.empty() || !letter(text[0]) || IsYamlWord(text)) return false;
    return std::all_of(text.begin(), text.end(),
                       [&](char c) { return letter(c) || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_'; });
}

std::string Escaped(char32_t c) {
    char text[16];
    if (c <= 0xFF) std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned>(c));
    else std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(c));
    return text;
}

// What YAML does not take as it is in a double-quoted scalar, or reads as a line break.
bool NeedsEscape(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0xFEFF ||
           c == 0xFFFE || c == 0xFFFF;
}

}  // namespace

std::string YamlScalar(std::string_view utf8) {
    if (CanBePlain(utf8)) return std::string(utf8);
    std::string out = "\"";
    for (char32_t c : DecodeUtf8(utf8).value_or(std::u32string())) {
        if (c == '"' || c == '\\') out += '\\';
        if (NeedsEscape(c)) out += Escaped(c);
        else out += EncodeUtf8(std::u32string(1, c));
    }
    return out + "\"";
}

}  // namespace zsetup
