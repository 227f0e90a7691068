#include "builder/manifest_text.h"

#include "text/encoding.h"

namespace zsetup {
namespace {

// No character with a GBK form takes more than three bytes in UTF-8 (the
// euro sign takes three for GBK's one).
constexpr std::size_t kMostUtf8PerGbkByte = 3;

bool ContinuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string Quoted(std::string_view utf8) {
    std::size_t end = 0;
    for (std::size_t characters = 0; end < utf8.size() && characters < kQuotedCharacters; ++characters) {
        ++end;
        while (end < utf8.size() && ContinuesCharacter(utf8[end])) ++end;
    }
    if (end == utf8.size()) return "\"" + std::string(utf8) + "\"";
    return "\"" + std::string(utf8.substr(0, end)) + "...\" (" + std::to_string(utf8.size()) + " bytes)";
}

std::string FieldText(std::string_view key, std::string_view utf8, std::size_t limit) {
    if (utf8.size() > kMostUtf8PerGbkByte * limit)
        throw ManifestError(std::string(key) + ": " + std::to_string(utf8.size()) + " bytes, far over the " +
                            std::to_string(limit) + " in GBK it may be (" + Quoted(utf8) + ")");
    std::string gbk;
    if (!Utf8ToGbk(utf8, gbk))
        throw ManifestError(std::string(key) + ": " + Quoted(utf8) + " holds a character with no GBK form");
    if (gbk.size() > limit)
        throw ManifestError(std::string(key) + ": " + std::to_string(gbk.size()) + " bytes in GBK, at most " +
                            std::to_string(limit) + " (" + Quoted(utf8) + ")");
    return gbk;
}

}  // namespace zsetup
