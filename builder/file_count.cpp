#include "builder/file_count.h"

namespace zsetup {

std::string FileCountProblem(const std::vector<FilesFrom>& groups) {
    std::size_t total = 0;
    std::string parts;
    for (const FilesFrom& g : groups) {
        total += g.files;
        if (g.files == 0) continue;
        parts += (parts.empty() ? "" : ", ") + std::to_string(g.files) + " from " + g.rows;
    }
    if (total <= kMostFiles) return {};
    return "the product has " + std::to_string(total) + " files (" + parts +
           "); the installer's file table holds at most " + std::to_string(kMostFiles);
}

}  // namespace zsetup
