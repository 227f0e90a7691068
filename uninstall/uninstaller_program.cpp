#include "uninstall/uninstaller_program.h"

#include "commandline/command_line_answers.h"
#include "commandline/unattended_dialogs.h"
#include "text/gbk.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_texts.h"

namespace zsetup {

int RunUninstaller(std::string_view command_line, Platform& platform,
                   const std::function<void(TUninstallForm&)>& run_window) {
    const CommandLine line = ParseCommandLine(command_line, UninstallerOptions());
    const std::string folder = FolderOf(platform.processes.CurrentProgram());
    SilentDialogs no_window({});
    Dialogs& answering = AsksForSilence(command_line, line) ? static_cast<Dialogs&>(no_window) : platform.dialogs;
    if (const auto ended = AnswerHelpOrUnknown(line, answering, InstalledMakerLines(platform.files, folder).caption,
                                               uninstall_texts::kHelp))
        return *ended;
    if (line.Has("/CLEANUP=")) {
        const auto first = ProcessIdOf(line.Value("/CLEANUP="));
        if (!first || !line.Has("/IN=")) return kUninstallIncomplete;
        return FinishSelfRemoval(platform, *first, line.Value("/IN=")) ? kUninstallComplete : kUninstallIncomplete;
    }
    TUninstallForm uninstaller(platform, folder);
    int code = kUninstallIncomplete;
    if (line.Has("/S")) {
        code = uninstaller.RunSilently();
    } else {
        run_window(uninstaller);
        code = uninstaller.exit_code();
    }
    if (uninstaller.removed()) HandOverSelfRemoval(platform);
    return code;
}

}  // namespace zsetup
