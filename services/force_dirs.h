// ForceDirs: creates every missing folder of a path, from the drive down.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"

namespace zsetup {

// Walks the path piece by piece (each piece ends in its backslash), creating
// the pieces that are not folders yet. True when the walk ended without a
// failed creation; folders made before a failure stay. made, when given,
// gets each folder the walk created, outermost first, without a trailing
// backslash: what is the caller's to take away again.
bool ForceDirs(Files& files, const std::string& path, std::vector<std::string>* made = nullptr);

}  // namespace zsetup
