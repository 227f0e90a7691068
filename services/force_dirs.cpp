#include "services/force_dirs.h"

#include "text/gbk.h"

namespace zsetup {

bool ForceDirs(Files& files, const std::string& path) {
    bool result = true;
    std::string built;
    std::string rest = path;
    while (!rest.empty()) {
        // A trail byte 0x5C inside a character does not end a piece.
        const auto at = FindFirstSeparator(rest);
        if (at == std::string::npos) {
            built += rest;
            rest.clear();
        } else {
            built += rest.substr(0, at + 1);
            rest.erase(0, at + 1);
        }
        if (DirectoryExists(files, built)) continue;
        result = files.MakeDirectory(built);
        if (!result) break;
    }
    return result;
}

}  // namespace zsetup
