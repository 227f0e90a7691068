#include "installer/setup_program.h"

#include "installer/wizard_texts.h"
#include "commandline/command_line_answers.h"
#include "commandline/exit_codes.h"
#include "wizard/maker.h"
#include "commandline/run_log.h"
#include "commandline/unattended_dialogs.h"

namespace zsetup {

const std::vector<OptionRule>& SetupOptions() {
    static const std::vector<OptionRule> options = {{"/S", OptionRule::kFlag},
                                                    {"/?", OptionRule::kFlag},
                                                    {"/LOG=", OptionRule::kValue},
                                                    {"/D=", OptionRule::kRestOfLine}};
    return options;
}

int InstallSilently(TMainForm& wizard) {
    wizard.FormCreate();
    if (wizard.form().terminated() || !wizard.refusal().empty()) return wizard.exit_code();
    ui::Widget& pages = wizard.Control("PageCtl");
    ui::Widget& next = wizard.Control("suiButton2");
    pages.SetActivePage(2);
    next.Click();
    if (pages.active_page() != 3) return kExitBadFolder;
    // A failure that ends the run is said (into the log) and leaves page 4.
    next.Click();
    if (pages.active_page() != 5 || !wizard.failed_files().empty()) return kExitIncomplete;
    return kExitDone;
}

int RunSetup(std::string_view command_line, Platform& platform, const std::function<void(TMainForm&)>& run_window) {
    const CommandLine parsed = ParseCommandLine(command_line, SetupOptions());
    const bool silent = AsksForSilence(command_line, parsed);
    RunLog log;
    SilentDialogs no_window({{texts::kAlreadyInstalled, kIdYes}, {texts::kChecksumMismatch, kIdNo}});
    LoggedDialogs dialogs(silent ? static_cast<Dialogs&>(no_window) : platform.dialogs, log);
    Platform seam{platform.registry, platform.files,   platform.processes, platform.shell,
                  dialogs,           platform.network, platform.clock,     platform.resources};

    int code = kExitIncomplete;
    if (const auto ended = AnswerHelpOrUnknown(parsed, dialogs, maker::MessageCaption(), texts::kSetupHelp)) {
        code = *ended;
    } else {
        TMainForm wizard(seam, log);
        if (parsed.Has("/D=")) wizard.PresetFolder(parsed.Value("/D="));
        if (silent) {
            code = InstallSilently(wizard);
        } else {
            run_window(wizard);
            code = wizard.exit_code();
        }
    }
    // The log was asked for: a run that cannot leave it has not done all it should.
    const std::string log_file = parsed.Value("/LOG=");
    if (!log_file.empty() && !log.Save(platform.files, log_file)) {
        dialogs.ShowMessage(texts::kLogNotWritten + log_file, maker::MessageCaption(), kMbOk | kMbIconWarning);
        if (code == kExitDone) code = kExitIncomplete;
    }
    return code;
}

}  // namespace zsetup
