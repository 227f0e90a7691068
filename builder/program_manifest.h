// The level a program asks Windows to start it at, as its manifest (RT_MANIFEST
// 1) says, read and rewritten in the program's resources: a per-user build
// makes the stub and the built-in uninstaller run as the user who starts
// them, and the readers report whom a package installs for.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "base/file_bytes.h"
#include "package/install_scope.h"
#include "pe/resource_tree.h"

namespace zsetup {

inline constexpr std::uint32_t kRtManifest = 24;

// Every language of the manifest made the scope's level. Throws InputError
// when the program has no manifest that names a level.
void SetManifestScope(ResourceTree& tree, InstallScope scope);

// The scope the program's manifest gives it: kMachine without one.
InstallScope ManifestScope(const FileBytes& file, const ResourceMap& map);

// The program in `from`, its manifest made the scope's, written to `to`.
// Throws InputError (no manifest), PeError (a program it cannot rewrite).
void WriteProgramForScope(const std::filesystem::path& from, const std::filesystem::path& to, InstallScope scope);

}  // namespace zsetup
