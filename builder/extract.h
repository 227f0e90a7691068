// `zsetup extract`: the payload's files written under their installed names.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "builder/package_reader.h"

namespace zsetup {

// Writes every file row's bytes below the folder, read from the payload a
// piece at a time, and gives the rows it skipped as the installer skips them
// (a name holding "*."), described for the user. Refuses (PackageError) a
// package whose record fails validation, and writes nothing outside the
// folder: a name that would lead out of it, also through a link already in
// the folder, is refused (std::runtime_error) before it is written. Throws
// std::runtime_error when a file cannot be written.
std::vector<std::string> ExtractFiles(const PackageContents& contents, const std::filesystem::path& folder);

}  // namespace zsetup
