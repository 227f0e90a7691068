#include "services/force_dirs.h"

#include "text/gbk.h"

namespace zsetup {

bool ForceDirs(Files& files, const std::string& path, std::vector<std::string>* made) {
    bool result = true;
    std::string built;
    std::string rest = path;
    while (!rest.empty()) {
        // A trail byte 0x5C inside a character does not end a piece.
        const auto at = FindFirstSeparator(rest);
        const bool ends_in_separator = at != std::string::npos;
        if (!ends_in_separator) {
            built += rest;
            rest.clear();
        } else {
            built += rest.substr(0, at + 1);
            rest.erase(0, at + 1);
        }
        if (DirectoryExists(files, built)) continue;
        result = files.MakeDirectory(built);
        if (!result) break;
        if (made) made->push_back(ends_in_separator ? built.substr(0, built.size() - 1) : built);
    }
    return result;
}

}  // namespace zsetup
