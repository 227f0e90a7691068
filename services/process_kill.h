// Ending running copies of the product's own programs before installing.
#pragma once

#include <string>

#include "platform/processes.h"

namespace zsetup {

// Terminates (exit code 0xFFFFFFFF, without waiting) every process whose image
// name equals the given one byte for byte: letter case counts, the whole name.
// A process that cannot be opened is skipped; nothing is reported.
void KillProcessByName(Processes& processes, const std::string& image);

}  // namespace zsetup
