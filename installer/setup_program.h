// The installer from its command line to its exit code. Without arguments
// it is the wizard and nothing else. /S installs with no window: start-up's
// questions take the answer that goes on (install over an earlier install;
// a payload whose sum does not match is refused), the folder is /D= or the
// start-up proposal and goes through the folder page's check, the run is the
// wizard's own, and no finish action follows. /D= alone presets the folder
// page; /LOG= writes the run's log; /? and an unknown option are answered
// before anything else.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "installer/main_form.h"
#include "platform/platform.h"
#include "commandline/command_line.h"

namespace zsetup {

const std::vector<OptionRule>& SetupOptions();

// The maker's lines of the package the program carries: its profile's when
// that reads soundly, else the built-in maker's (start-up then refuses the
// package). What the boxes before and around the wizard say.
MakerLines PackageMakerLines(Resources& resources);

// run_window shows the wizard to a person: its window, FormCreate, the
// message loop until the wizard ends.
int RunSetup(std::string_view command_line, Platform& platform, const std::function<void(TMainForm&)>& run_window);

// The wizard's own steps with no one at the window, on a wizard not yet
// started: start-up, the folder check, the run.
int InstallSilently(TMainForm& wizard);

}  // namespace zsetup
