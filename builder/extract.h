// `zsetup extract`: the payload's files written under their installed names.
#pragma once

#include <filesystem>

#include "builder/package_reader.h"

namespace zsetup {

// Refuses (PackageError) a package whose record fails validation, so no
// installed name can reach outside the folder. Throws std::runtime_error when
// a file cannot be written.
void ExtractFiles(const PackageContents& contents, const std::filesystem::path& folder);

}  // namespace zsetup
