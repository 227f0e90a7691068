// How many files a product may have, counted in this one place: the record's
// file table holds kMaxRows rows, [[file]] rows and the files of every
// [[folder]] row together.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "package/setup_config.h"

namespace zsetup {

inline constexpr std::size_t kMostFiles = kMaxRows;

// What a group of manifest rows adds to the file table: "[[file]] rows" or
// "folder[1] (\"docs\")", and how many files.
struct FilesFrom {
    std::string rows;
    std::size_t files = 0;
};

// Empty when the files fit, otherwise the problem with the total and where it comes from.
std::string FileCountProblem(const std::vector<FilesFrom>& groups);

}  // namespace zsetup
