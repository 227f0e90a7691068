#include "uninstall/uninstaller_command_line.h"

#include "uninstall/uninstall_texts.h"
#include "commandline/command_line_answers.h"
#include "wizard/maker.h"
#include "commandline/unattended_dialogs.h"

namespace zsetup {

std::optional<int> AnswerUninstallerLine(std::string_view line, const CommandLine& parsed, Dialogs& dialogs) {
    SilentDialogs no_window({});
    Dialogs& answering = AsksForSilence(line, parsed) ? static_cast<Dialogs&>(no_window) : dialogs;
    return AnswerHelpOrUnknown(parsed, answering, maker::MessageCaption(), uninstall_texts::kHelp);
}

}  // namespace zsetup
