// Checks a record for contents the builder never writes and the installer must
// not act on: counts outside 0..256, file slices outside the payload, shortcut
// targets outside the file table, and every name that becomes a path or a
// registry key (installed names, shortcut names, the product name, the default
// folder name, the company key name) unless it is one Windows takes as it is,
// below the folder or key it belongs in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/setup_config.h"
#include "package/setup_map.h"

namespace zsetup {

// One problem: which row and field, and what is wrong with its value.
struct ConfigProblem {
    std::string where;    // for example "Files[3].Name" or "FileCount"
    std::string message;  // the whole line, "where: what"
};

// Each of these gives empty when the name is sound, otherwise why not. Names
// are GBK: a trail byte is never taken for a separator, and a lead byte
// pairs only with a valid trail byte.

// One file or folder name, as a shortcut name, the program group (the product
// name) and the default folder name are: not empty, no separator, no
// character Windows refuses, no device name (CON, NUL, COM1 …), no trailing
// dot or blank, not made of dots.
std::string FileNameProblem(std::string_view name);
// An installed name: a backslash, then file names separated by backslashes.
std::string InstalledNameProblem(std::string_view name);
// One registry key name: not empty, no backslash, no control character.
std::string KeyNameProblem(std::string_view name);

// Installed names that Windows takes for the same file ("\A.txt", "\a.txt",
// and as NTFS folds case, "\ａ.txt", "\Ａ.txt": text/name_case.h), or where one
// row's file is another row's folder ("\a", "\a\b.txt").
struct NameClash {
    std::size_t first, second;  // indexes into the names, first < second
    bool folder;                // second lies inside the file first makes
};
std::vector<NameClash> FindNameClashes(const std::vector<std::string>& installed_names);

std::vector<ConfigProblem> ValidateConfig(const SetupConfig& config, std::uint64_t payload_size);
// The same over the record's file rows and the extra table's (extra_files.h),
// as one table: rows and shortcut targets are numbered across both.
std::vector<ConfigProblem> ValidateConfig(const SetupConfig& config, const std::vector<FileEntry>& extra_files,
                                          std::uint64_t payload_size);

// The problems joined into one text, one per line; past the first `most` a
// last line says how many more there are.
std::string DescribeProblems(const std::vector<ConfigProblem>& problems, std::size_t most = SIZE_MAX);

}  // namespace zsetup
