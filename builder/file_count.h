// How many files a product may have, counted in this one place, and where
// each row goes: the record's file table holds its first kMaxRows rows, the
// extra table (SETUPFILES, extra_files.h) the rest; [[file]] rows, the files
// of every [[folder]] row and the built-in uninstaller together.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "package/extra_files.h"
#include "package/setup_config.h"

namespace zsetup {

// Far beyond any product seen; it keeps a mistaken folder row (a whole
// drive) from building an installer the user waits minutes for. The
// installer and the uninstaller refuse a package of more.
inline constexpr std::size_t kMostFiles = kMostFileRows;

// Row i of the file table: the record's while it has room, then the extra table's.
FileEntry& FileRowAt(SetupConfig& record, std::vector<FileEntry>& extra_files, std::size_t i);
// Adds a row with that installed name after the last; the caller keeps the count below kMostFiles.
void AppendFileRow(SetupConfig& record, std::vector<FileEntry>& extra_files, const std::string& name);

// What a group of manifest rows adds to the file table: "[[file]] rows" or
// "folder[1] (\"docs\")", and how many files.
struct FilesFrom {
    std::string rows;
    std::size_t files = 0;
};

// Empty when the files fit, otherwise the problem with the total and where it comes from.
std::string FileCountProblem(const std::vector<FilesFrom>& groups);

}  // namespace zsetup
