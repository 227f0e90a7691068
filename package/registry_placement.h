// Where each row of the registry table lands. A row's KeyPath with a leading
// backslash is taken from its root; one without it lies below the key the
// row before opened, as long as that row used the same root (a change of root
// starts from the root again); the first row starts from its root. One rule
// for the run that writes the values and the uninstaller that takes them away.
// A per-user install places every row as the rule says and then writes the
// HKEY_LOCAL_MACHINE rows at the same path under HKEY_CURRENT_USER (the
// builder refuses a row with no such counterpart: UserScopeKeyProblem).
#pragma once

#include <string>
#include <vector>

#include "package/install_scope.h"
#include "package/setup_config.h"

namespace zsetup {

struct PlacedRegistryRow {
    const RegistryEntry* row;
    bool current_user;     // HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE
    std::string key_path;  // from the root, without a leading backslash
};

std::vector<PlacedRegistryRow> PlaceRegistryRows(const SetupConfig& config, InstallScope scope);

}  // namespace zsetup
