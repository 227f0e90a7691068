// Checks a record for contents the builder never writes and the installer must
// not act on: counts outside 0..256, file slices outside the payload, shortcut
// targets outside the file table, installed names that leave the target folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/setup_config.h"

namespace zsetup {

// One problem: which row and field, and what is wrong with its value.
struct ConfigProblem {
    std::string where;    // for example "Files[3].Name" or "FileCount"
    std::string message;  // the whole line, "where: what"
};

// Empty when the installed name stays below the target folder; otherwise why
// not. The name is GBK: a trail byte is never taken for a separator.
std::string InstalledNameProblem(std::string_view name);

std::vector<ConfigProblem> ValidateConfig(const SetupConfig& config, std::uint64_t payload_size);

// All problems joined into one text, one per line.
std::string DescribeProblems(const std::vector<ConfigProblem>& problems);

}  // namespace zsetup
