#include "installer/setup_program.h"

#include "commandline/command_line_answers.h"
#include "commandline/exit_codes.h"
#include "commandline/run_log.h"
#include "commandline/unattended_dialogs.h"
#include "installer/wizard_texts.h"
#include "package/errors.h"
#include "package/maker_profile.h"

namespace zsetup {

const std::vector<OptionRule>& SetupOptions() {
    static const std::vector<OptionRule> options = {{"/S", OptionRule::kFlag},
                                                    {"/?", OptionRule::kFlag},
                                                    {"/LOG=", OptionRule::kValue},
                                                    {"/D=", OptionRule::kRestOfLine}};
    return options;
}

MakerLines PackageMakerLines(Resources& resources) {
    const auto profile = resources.RcData(kMakerResource);
    if (!profile) return BuiltInMakerLines();
    try {
        return MakerLinesOf(ReadMakerProfile(profile->data(), profile->size()));
    } catch (const PackageError&) {
        return BuiltInMakerLines();
    }
}

int InstallSilently(TMainForm& wizard) {
    wizard.FormCreate();
    if (wizard.form().terminated() || !wizard.refusal().empty()) return wizard.exit_code();
    wizard.GoToFolderPage();
    if (!wizard.ChooseFolder()) return kExitBadFolder;
    // A failure that ends the run is said (into the log) and leaves page 4.
    if (!wizard.Install()) return kExitIncomplete;
    return kExitDone;
}

int RunSetup(std::string_view command_line, Platform& platform, const std::function<void(TMainForm&)>& run_window) {
    const CommandLine parsed = ParseCommandLine(command_line, SetupOptions());
    const bool silent = AsksForSilence(command_line, parsed);
    RunLog log;
    // Over an earlier install: yes; a payload failing its sum: no.
    SilentDialogs no_window({{kAskInstallOver.name, kIdYes}, {kAskDespiteChecksum.name, kIdNo}});
    LoggedDialogs dialogs(silent ? static_cast<Dialogs&>(no_window) : platform.dialogs, log);
    Platform seam{platform.registry, platform.files,   platform.processes, platform.shell,
                  dialogs,           platform.network, platform.clock,     platform.resources};

    int code = kExitIncomplete;
    const std::string caption = PackageMakerLines(platform.resources).caption;
    if (const auto ended = AnswerHelpOrUnknown(parsed, dialogs, caption, texts::kSetupHelp)) {
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
        dialogs.ShowMessage(texts::kLogNotWritten + log_file, caption, kMbOk | kMbIconWarning);
        if (code == kExitDone) code = kExitIncomplete;
    }
    return code;
}

}  // namespace zsetup
