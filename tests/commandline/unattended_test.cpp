// What a run from a command line shares between the programs: its log, the
// boxes logged or kept silent, and the answers to /? and unknown options.
#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

#include "platform/memory/memory_dialogs.h"
#include "platform/memory/memory_files.h"
#include "commandline/command_line_answers.h"
#include "commandline/exit_codes.h"
#include "commandline/run_log.h"
#include "commandline/unattended_dialogs.h"

namespace zsetup {
namespace {

using Lines = std::vector<std::string>;

TEST(RunLog, WritesOneLinePerThingAndIndentsAMessagesFurtherLines) {
    RunLog log;
    log.Message("必须指定完全路径!\r\n比如:\r\nC:\\ZANTO-Y");
    log.Message("安装程序还没有完成,\r您也可以");
    log.File("C:\\演示 软件\\a.txt");
    log.RegistryValue(RegRoot::LocalMachine, "\\Software\\演示", "Folder");
    log.RegistryValue(RegRoot::CurrentUser, "Software\\x", "");
    log.Link("C:\\Users\\me\\Desktop\\演示.lnk");
    EXPECT_EQ(log.lines(),
              (Lines{"message: 必须指定完全路径!", "  比如:", "  C:\\ZANTO-Y", "message: 安装程序还没有完成,",
                     "  您也可以", "file: C:\\演示 软件\\a.txt", "registry: HKLM\\Software\\演示\\Folder",
                     "registry: HKCU\\Software\\x\\", "link: C:\\Users\\me\\Desktop\\演示.lnk"}));
}

TEST(RunLog, IsSavedAsUtf8WithCrLf) {
    RunLog log;
    log.File("C:\\\xD1\xDD\xCA\xBE");  // "演示" in GBK
    log.File("C:\\\x81");              // a lone lead byte has no UTF-8 form: kept
    MemoryFiles files;
    ASSERT_TRUE(log.Save(files, "C:\\log.txt"));
    const auto bytes = files.ReadWholeFile("C:\\log.txt");
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "file: C:\\\xE6\xBC\x94\xE7\xA4\xBA\r\nfile: C:\\\x81\r\n");
    EXPECT_FALSE(log.Save(files, "Q:\\log.txt"));
}

TEST(UnattendedDialogs, LogEveryBoxAndSilentOnesAnswerWithoutShowing) {
    RunLog log;
    MemoryDialogs shown;
    LoggedDialogs logged(shown, log);
    shown.Answer(kIdNo);
    EXPECT_EQ(logged.Ask({"over"}, "覆盖吗？", " ZANTO", kMbYesNo | kMbIconQuestion), kIdNo);
    shown.Answer(kIdYes);
    EXPECT_EQ(logged.Confirm("退出吗？"), kIdYes);
    EXPECT_EQ(shown.Shown().size(), 2u);

    SilentDialogs silent({{"over", kIdYes}});
    LoggedDialogs quiet(silent, log);
    EXPECT_EQ(quiet.Ask({"over"}, "覆盖吗？", " ZANTO", kMbYesNo | kMbIconQuestion), kIdYes);
    EXPECT_EQ(quiet.ShowMessage("文件错误", " ZANTO", kMbOk | kMbIconInformation), kIdOk);
    EXPECT_THROW(quiet.Confirm("退出吗？"), UnansweredQuestion);
    EXPECT_EQ(log.lines(), (Lines{"message: 覆盖吗？", "message: 退出吗？", "message: 覆盖吗？", "message: 文件错误",
                                  "message: 退出吗？"}));
}

// A question is answered by what it asks, whatever its words: a maker's
// profile may put its own there. One without a name or an answer is a fault.
TEST(UnattendedDialogs, QuestionsAreAnsweredByName) {
    SilentDialogs silent({{"install-over", kIdYes}, {"despite-checksum", kIdNo}});
    const struct {
        const char* label;
        std::function<int()> ask;
        std::optional<int> answer;  // nothing: refused as a fault
    } cases[] = {
        {"built-in words", [&] { return silent.Ask({"install-over"}, "覆盖吗？", " ZANTO", kMbYesNo); }, kIdYes},
        {"the maker's words", [&] { return silent.Ask({"install-over"}, "另一家：覆盖吗？", "另一家", kMbYesNo); },
         kIdYes},
        {"another question", [&] { return silent.Ask({"despite-checksum"}, "覆盖吗？", " ZANTO", kMbYesNo); }, kIdNo},
        {"no answer for the name", [&] { return silent.Ask({"quit"}, "退出吗？", " ZANTO", kMbYesNo); }, std::nullopt},
        {"a question without a name", [&] { return silent.ShowMessage("覆盖吗？", " ZANTO", kMbYesNo); }, std::nullopt},
        {"a box that only says something", [&] { return silent.ShowMessage("文件错误", " ZANTO", kMbOk); }, kIdOk},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        if (k.answer) EXPECT_EQ(k.ask(), *k.answer);
        else EXPECT_THROW(k.ask(), UnansweredQuestion);
    }
}

const std::vector<OptionRule> kRules = {
    {"/S", OptionRule::kFlag}, {"/?", OptionRule::kFlag}, {"/D=", OptionRule::kRestOfLine}};

TEST(CommandLineAnswers, HelpAndUnknownOptionsEndTheProgramOthersGoOn) {
    struct Case {
        const char* line;
        bool silent;
        std::optional<int> code;
        std::string box;
    };
    const Case cases[] = {
        {"p.exe", false, std::nullopt, ""},
        {"p.exe /s", true, std::nullopt, ""},
        {"p.exe /?", false, kExitDone, "HELP"},
        {"p.exe /x", false, kExitUnknownOption, "  提示：未知的命令行选项：/x\r\n\r\nHELP"},
        {"p.exe /x /S", true, kExitUnknownOption, "  提示：未知的命令行选项：/x\r\n\r\nHELP"},
        // A quoted "/S" is an argument /S; a blank inside makes it another.
        {"p.exe \"/S\"", true, std::nullopt, ""},
        {"p.exe /D=C:\\a /S", false, std::nullopt, ""},
        {"p.exe \"/S \"", false, kExitUnknownOption, "  提示：未知的命令行选项：/S \r\n\r\nHELP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandLine parsed = ParseCommandLine(c.line, kRules);
        EXPECT_EQ(AsksForSilence(c.line, parsed), c.silent);
        MemoryDialogs dialogs;
        dialogs.Answer(kIdOk);
        EXPECT_EQ(AnswerHelpOrUnknown(parsed, dialogs, " ZANTO", "HELP"), c.code);
        if (c.box.empty()) {
            EXPECT_TRUE(dialogs.Shown().empty());
        } else {
            ASSERT_EQ(dialogs.Shown().size(), 1u);
            EXPECT_EQ(dialogs.Shown()[0].text, c.box);
        }
    }
}

}  // namespace
}  // namespace zsetup
