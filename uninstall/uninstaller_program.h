// The uninstaller from its command line to its exit code. /? and an unknown
// option are answered first (a box, or under /S only the exit code); the
// copy started from the temporary folder (/CLEANUP=<id> /IN=<path>) finishes
// the first program's removal; otherwise the program takes away the product
// installed in its own folder, in its window or, with /S, without one, and
// hands its own file over to the copy once the product is gone.
#pragma once

#include <functional>
#include <string_view>

#include "platform/platform.h"
#include "uninstall/uninstall_form.h"

namespace zsetup {

// run_window shows the uninstaller to a person: its window, Start, the
// message loop until it ends.
int RunUninstaller(std::string_view command_line, Platform& platform,
                   const std::function<void(TUninstallForm&)>& run_window);

}  // namespace zsetup
