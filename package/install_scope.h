// Whom an install is for: every user of the machine (the product under
// Program Files or a drive, its keys under HKEY_LOCAL_MACHINE, started
// elevated) or the user who runs it (the product in the user's own folders,
// its keys under HKEY_CURRENT_USER, started as that user). A program's own
// manifest says which: the level it asks Windows to start it at is the one
// fact that decides what it can write, so both programs read their scope
// there and nothing planted beside them can change it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zsetup {

enum class InstallScope { kMachine, kUser };

// The manifest words the builder and the reports use.
const char* ScopeWord(InstallScope scope);

// kUser when the manifest's requestedExecutionLevel is "asInvoker", else
// kMachine: "requireAdministrator", another level, none, or no manifest.
InstallScope ScopeOfManifest(std::string_view manifest);

// The manifest with its requestedExecutionLevel's level made the scope's
// ("asInvoker" for kUser, "requireAdministrator" for kMachine), every other
// byte kept. Throws PackageError when it names no level to change.
std::string ManifestForScope(std::string_view manifest, InstallScope scope);

// Where a per-user install writes a table row that names HKEY_LOCAL_MACHINE:
// the same path under HKEY_CURRENT_USER. Empty when the path can be written
// there, else why not: only HKLM\Software has a per-user counterpart, and
// not its policies (which users may not write) nor its 32-bit view.
std::string UserScopeKeyProblem(std::string_view key_path);

}  // namespace zsetup
