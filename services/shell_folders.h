// The current user's Desktop and Start-menu Programs folders, as Explorer
// records them under HKCU "...\Explorer\Shell Folders".
#pragma once

#include <string>

#include "platform/registry.h"

namespace zsetup {

// The folder as stored (REG_EXPAND_SZ is not expanded), or "" when the key or
// value is missing; data of another type throws RegistryError.
std::string GetDesktopDir(Registry& registry);
std::string GetProgramsDir(Registry& registry);

}  // namespace zsetup
