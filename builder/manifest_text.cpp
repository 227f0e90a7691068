#include "builder/manifest_text.h"

#include "text/encoding.h"

namespace zsetup {

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
