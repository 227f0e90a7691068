// What both programs do with /? and an unknown option, before anything else
// happens: /? shows a box listing the options and exit codes; an unknown
// option is named in a box with that list. Under /S the dialogs given are
// silent ones, so only the exit code tells.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/dialogs.h"
#include "commandline/command_line.h"

namespace zsetup {

// /S given; after an unknown option that ended the parse, /S anywhere among
// the arguments.
bool AsksForSilence(std::string_view line, const CommandLine& parsed);

// The exit code when the command line ends the program here (0 after /?,
// kExitUnknownOption), nothing when the program goes on. help is GBK.
std::optional<int> AnswerHelpOrUnknown(const CommandLine& parsed, Dialogs& dialogs, const std::string& caption,
                                       const std::string& help);

}  // namespace zsetup
