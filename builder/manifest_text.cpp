#include "builder/manifest_text.h"

#include "builder/text_codec.h"

namespace zsetup {

bool Utf8ToGbk(std::string_view utf8, std::string& gbk) { return ConvertText(utf8, "UTF-8", "CP936", gbk); }

std::string GbkToUtf8(std::string_view gbk) {
    std::string utf8;
    if (!ConvertText(gbk, "CP936", "UTF-8", utf8)) return std::string(gbk);
    return utf8;
}

std::string FieldText(std::string_view key, std::string_view utf8, std::size_t limit) {
    std::string gbk;
    if (!Utf8ToGbk(utf8, gbk))
        throw ManifestError(std::string(key) + ": \"" + std::string(utf8) + "\" holds a character with no GBK form");
    if (gbk.size() > limit)
        throw ManifestError(std::string(key) + ": " + std::to_string(gbk.size()) + " bytes in GBK, at most " +
                            std::to_string(limit) + " (\"" + std::string(utf8) + "\")");
    return gbk;
}

}  // namespace zsetup
