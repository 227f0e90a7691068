#include "services/links.h"

#include "text/gbk.h"

namespace zsetup {

bool IsLink(Files& files, const std::string& path) {
    const auto attributes = files.Attributes(path);
    return attributes && (*attributes & kFileAttributeReparsePoint);
}

std::optional<std::string> FirstLinkBelow(Files& files, const std::string& folder, const std::string& path) {
    if (path.size() <= folder.size() + 1 || FoldAsciiCase(path.substr(0, folder.size())) != FoldAsciiCase(folder) ||
        path[folder.size()] != '\\')
        return std::nullopt;
    for (std::size_t at = FindFirstSeparator(path, folder.size() + 1); at != std::string::npos;
         at = FindFirstSeparator(path, at + 1)) {
        std::string part = path.substr(0, at);
        if (IsLink(files, part)) return part;
    }
    return std::nullopt;
}

}  // namespace zsetup
