// Compiled as GBK: the box's text is shown as it stands.
#include "commandline/command_line_answers.h"

#include "text/gbk.h"
#include "commandline/exit_codes.h"

namespace zsetup {

bool AsksForSilence(std::string_view line, const CommandLine& parsed) {
    if (parsed.error.empty()) return parsed.Has("/S");
    for (const std::string& arg : SplitCommandLine(line))
        if (FoldAsciiCase(arg) == "/s") return true;
    return false;
}

std::optional<int> AnswerHelpOrUnknown(const CommandLine& parsed, Dialogs& dialogs, const std::string& caption,
                                       const std::string& help) {
    if (!parsed.error.empty()) {
        dialogs.ShowMessage("  提示：未知的命令行选项：" + parsed.bad_argument + "\r\n\r\n" + help, caption,
                            kMbOk | kMbIconWarning);
        return kExitUnknownOption;
    }
    if (parsed.Has("/?")) {
        dialogs.ShowMessage(help, caption, kMbOk | kMbIconInformation);
        return kExitDone;
    }
    return std::nullopt;
}

}  // namespace zsetup
