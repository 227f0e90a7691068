// Whom the running program installs or removes a product for, read from its
// own manifest (install_scope.h), and the registry root that decides.
#pragma once

#include "package/install_scope.h"
#include "platform/registry.h"
#include "platform/resources.h"

namespace zsetup {

inline InstallScope ProgramScope(Resources& resources) { return ScopeOfManifest(resources.ProgramManifest()); }

// The root of the product's, the maker's and the uninstall entry's keys.
inline RegRoot KeysRoot(InstallScope scope) {
    return scope == InstallScope::kUser ? RegRoot::CurrentUser : RegRoot::LocalMachine;
}

}  // namespace zsetup
