// The uninstaller's answer to /? and to an unknown option, before anything
// else happens: a box, or under /S only the exit code.
#pragma once

#include <optional>
#include <string_view>

#include "platform/dialogs.h"
#include "commandline/command_line.h"

namespace zsetup {

// The exit code when the command line ends the uninstaller here.
std::optional<int> AnswerUninstallerLine(std::string_view line, const CommandLine& parsed, Dialogs& dialogs);

}  // namespace zsetup
