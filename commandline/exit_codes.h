// How the installer and the uninstaller end, for the scripts and
// administrators that start them. Each program names its own meaning of 1
// and 2 as well; 3 is the installer's only.
#pragma once

namespace zsetup {

inline constexpr int kExitDone = 0;           // installed, or everything removed
inline constexpr int kExitIncomplete = 1;     // cancelled, or failed part-way
inline constexpr int kExitBadPackage = 2;     // the installer refused its package
inline constexpr int kExitBadFolder = 3;      // the target folder was refused
inline constexpr int kExitUnknownOption = 4;  // the command line named an unknown option

}  // namespace zsetup
