// The installer from its command line to its exit code, on the memory
// platform: the silent install, the folder preset, the log, help and
// unknown options, and how the wizard ends for a person.
#include "installer/setup_program.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "installer/wizard_texts.h"
#include "package/maker_profile.h"
#include "platform/registry_accessor.h"
#include "tests/installer/wizard_fixture.h"
#include "tests/support/case_names.h"
#include "text/encoding.h"
#include "commandline/exit_codes.h"
#include "commandline/run_log.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const std::string kProposed = "C:\\演示软件";
const std::string kChosen = "C:\\演示 目录\\演示 软件";
const std::string kUninstallKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示软件";

// A package on a fresh machine, and setup.exe started on it.
struct Machine {
    explicit Machine(const Package& package = Package()) {
        AddShellFolders(p);
        package.Install(p);
    }
    // The window's part: what a person does in the wizard, after start-up.
    int Run(const std::string& line, const std::function<void(TMainForm&)>& person = nullptr) {
        return RunSetup(line, p.seam, [&](TMainForm& wizard) {
            windows_shown++;
            wizard.FormCreate();
            if (person) person(wizard);
        });
    }
    std::string Value(const std::string& key, const std::string& name) {
        RegistryAccessor reg(p.registry, kKeyQueryValue, RegRoot::LocalMachine);
        if (!reg.OpenKey(key, false)) return "(no key)";
        return reg.ReadString(name);
    }
    bool Exists(const std::string& path) { return p.files.Attributes(path).has_value(); }
    std::string Text(const std::string& path) {
        const auto bytes = p.files.ReadWholeFile(path);
        return bytes ? std::string(bytes->begin(), bytes->end()) : "(none)";
    }
    void MarkInstalled() {
        RegistryAccessor reg(p.registry, kKeySetValue, RegRoot::LocalMachine);
        reg.OpenKey(kProductKey, true);
        reg.WriteBool("Setup", true);
    }

    MemoryPlatform p;
    int windows_shown = 0;
};

TEST(SilentInstall, InstallsIntoTheFolderGivenWithNoWindowAndNoFinish) {
    Machine m;
    EXPECT_EQ(m.Run("setup.exe /S /D=" + kChosen), kExitDone);
    EXPECT_EQ(m.windows_shown, 0);
    EXPECT_TRUE(m.p.dialogs.Shown().empty());
    EXPECT_EQ(m.Text(kChosen + "\\hello.txt"), "hello");
    EXPECT_TRUE(m.Exists(kChosen + "\\Z_nt.cx"));
    EXPECT_EQ(m.Value(kProductKey, "Folder"), kChosen);
    EXPECT_TRUE(m.Exists("C:\\Users\\me\\Programs\\演示软件\\卸载演示软件.lnk"));
    // No tutorial, no folder opened.
    EXPECT_TRUE(m.p.shell.ExecuteRequests().empty());
}

TEST(SilentInstall, TakesTheProposalWithoutAFolderAndGoesOverAnEarlierInstall) {
    Machine m;
    m.MarkInstalled();
    EXPECT_EQ(m.Run("setup.exe /s"), kExitDone);
    EXPECT_TRUE(m.p.dialogs.Shown().empty());
    EXPECT_EQ(m.Text(kProposed + "\\hello.txt"), "hello");
    // And once more over what it wrote.
    EXPECT_EQ(m.Run("setup.exe /S"), kExitDone);
}

struct PackageCase {
    const char* label;
    std::function<void(Package&)> damage;
    bool pack_cut_short;
};

TEST(SilentInstall, RefusesABadPackageWritingNoFile) {
    const PackageCase cases[] = {
        {"checksum mismatch", [](Package& p) { p.record.PackChecksum += 1; }, false},
        {"file slice past the pack", [](Package& p) { p.record.Files[0].Size = 1000; }, false},
        {"pack cut short", [](Package&) {}, true},
    };
    for (const PackageCase& c : cases) {
        SCOPED_TRACE(c.label);
        Package package;
        c.damage(package);
        Machine m(package);
        if (c.pack_cut_short) {
            auto blob = *m.p.resources.RcData("SETUPPACK");
            blob.resize(blob.size() - 4);
            m.p.resources.Add("SETUPPACK", blob);
        }
        EXPECT_EQ(m.Run("setup.exe /S /LOG=C:\\log.txt"), kExitBadPackage);
        EXPECT_TRUE(m.p.dialogs.Shown().empty());
        EXPECT_FALSE(m.Exists(kProposed));
        EXPECT_EQ(m.Value(kUninstallKey, "DisplayName"), "(no key)");
        // The log says why.
        EXPECT_NE(m.Text("C:\\log.txt").find("message: "), std::string::npos);
    }
}

struct FolderCase {
    const char* label;
    std::string folder;
    std::string message;
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.label; }

class SilentFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(SilentFolder, IsRefusedWithTheCheckOfTheFolderPage) {
    Machine m;
    EXPECT_EQ(m.Run("setup.exe /S /LOG=C:\\log.txt /D=" + GetParam().folder), kExitBadFolder);
    EXPECT_TRUE(m.p.dialogs.Shown().empty());
    EXPECT_EQ(m.Value(kUninstallKey, "DisplayName"), "(no key)");
    RunLog expected;
    expected.Message(GetParam().message);
    EXPECT_NE(m.Text("C:\\log.txt").find(expected.Utf8()), std::string::npos) << m.Text("C:\\log.txt");
}

// clang-format off
const FolderCase kFolderCases[] = {
    {"relative", "演示软件", std::string(texts::kFolderNotFull) + BuiltInMakerLines().folder_example},
    {"drive root", "C:\\", texts::kFolderIsRoot},
    {"relative to a drive's current folder", "C:foo", std::string(texts::kFolderNotFull) + BuiltInMakerLines().folder_example},
    {"a name ending in dots", "C:\\trail...", texts::kFolderNameTrimmed},
    {"blanks only", "   ", texts::kFolderEmpty},
    {"missing drive", "Q:\\演示软件", texts::kFolderNotCreated},
    {"longer than the record holds", "C:\\" + std::string(130, 'a'), texts::kFolderTooLong},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, SilentFolder, ::testing::ValuesIn(kFolderCases), testing::LabelName());

TEST(SilentInstall, AFileThatCannotBeWrittenFailsAtTheEndWithoutABox) {
    Package package;
    package.AddFile("\\second.txt", "2");
    Machine m(package);
    m.p.files.MakeDirectory(kProposed);
    m.p.files.AddFile(kProposed + "\\hello.txt", {'o', 'l', 'd'});
    m.p.files.SetLocked(kProposed + "\\hello.txt", true);
    EXPECT_EQ(m.Run("setup.exe /S"), kExitIncomplete);
    EXPECT_TRUE(m.p.dialogs.Shown().empty());
    // The run went on to the end.
    EXPECT_EQ(m.Text(kProposed + "\\second.txt"), "2");
    EXPECT_EQ(m.Value(kProductKey, "Folder"), kProposed);
}

// A folder of an earlier tree swapped for a link (a junction, a symbolic
// link) leads anywhere: the run writes nothing through it, lists the files it
// could not write there and names the link in the log.
TEST(SilentInstall, WritesNothingThroughALinkInAnExistingFolder) {
    Package package;
    package.AddFile("\\bin\\tool.dll", "new");
    package.AddFile("\\bin\\data\\a.dat", "new");
    Machine m(package);
    m.p.files.MakeDirectory(kProposed);
    m.p.files.MakeDirectory("C:\\Windows");
    m.p.files.AddFile("C:\\Windows\\tool.dll", {'o', 'l', 'd'});
    m.p.files.AddLink(kProposed + "\\bin", "C:\\Windows");
    EXPECT_EQ(m.Run("setup.exe /S /LOG=C:\\log.txt"), kExitIncomplete);
    EXPECT_EQ(m.Text("C:\\Windows\\tool.dll"), "old");
    EXPECT_FALSE(m.Exists("C:\\Windows\\data"));
    EXPECT_EQ(m.Text(kProposed + "\\hello.txt"), "hello");
    EXPECT_NE(m.Text("C:\\log.txt").find(GbkToUtf8("link not followed: " + kProposed + "\\bin")), std::string::npos)
        << m.Text("C:\\log.txt");
}

// A maker's profile puts its own words in the start-up questions; /S answers
// them by what they ask: over an earlier install, yes; a payload failing its
// sum, no (exit 2, nothing installed). The log is written either way.
TEST(SilentInstall, AnswersAMakersQuestionsByWhatTheyAsk) {
    MakerProfile profile;
    profile.already_installed = "另一家提示：已经安装过了，覆盖吗？";
    profile.checksum_question = "另一家提示：文件不完整，继续吗？";
    profile.caption = "另一家";
    Package package;
    package.maker = WriteMakerProfile(profile);
    {
        Machine m(package);
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round == 0 ? "first install" : "over the first");
            EXPECT_EQ(m.Run("setup.exe /S /LOG=C:\\安装日志.txt"), kExitDone);
            EXPECT_TRUE(m.p.dialogs.Shown().empty());
            const std::string log = m.Text("C:\\安装日志.txt");
            EXPECT_NE(log.find("file: " + GbkToUtf8(kProposed + "\\hello.txt")), std::string::npos);
            EXPECT_EQ(log.find(GbkToUtf8(*profile.already_installed)) != std::string::npos, round == 1);
        }
    }
    {
        Package damaged = package;
        damaged.record.PackChecksum += 1;
        Machine m(damaged);
        EXPECT_EQ(m.Run("setup.exe /S /LOG=C:\\安装日志.txt"), kExitBadPackage);
        EXPECT_TRUE(m.p.dialogs.Shown().empty());
        EXPECT_NE(m.Text("C:\\安装日志.txt").find(GbkToUtf8(*profile.checksum_question)), std::string::npos);
        EXPECT_FALSE(m.Exists(kProposed));
    }
}

TEST(SetupLog, ListsMessagesFilesRegistryValuesAndLinksInUtf8) {
    Machine m;
    m.MarkInstalled();
    ASSERT_EQ(m.Run("setup.exe /LOG=C:\\安装日志.txt /S /D=" + kChosen), kExitDone);
    RunLog expected;
    expected.Message(BuiltInMakerLines().installed_question.c_str());
    expected.File(kChosen + "\\hello.txt");
    expected.File(kChosen + "\\Z_nt.cx");
    expected.RegistryValue(RegRoot::LocalMachine, kProductKey, "Folder");
    expected.Link("C:\\Users\\me\\Programs\\演示软件\\卸载演示软件.lnk");
    const std::string log = m.Text("C:\\安装日志.txt");
    for (const std::string& line : expected.lines()) {
        EXPECT_NE(log.find(GbkToUtf8(line) + "\r\n"), std::string::npos) << GbkToUtf8(line);
    }
    // The maker's two values, the product's four, the uninstall entry's six and
    // the record copy's digest.
    std::size_t registry_lines = 0;
    for (std::size_t at = log.find("registry: "); at != std::string::npos; at = log.find("registry: ", at + 1))
        ++registry_lines;
    EXPECT_EQ(registry_lines, 13u);
}

// Below a drive root the product's folder gets Program Files' own access,
// and the log says so; below Program Files it keeps what it inherits there.
TEST(SilentInstall, TheProductsFolderIsProtectedOutsideProgramFiles) {
    const struct {
        const char* label;
        std::string folder;
        bool keeps_access_lists;
        bool protected_folder;
        const char* log_line;  // nullptr: none
    } cases[] = {
        {"at a drive root", "C:\\演示软件", true, true, "access as Program Files: C:\\演示软件"},
        {"deeper, a new folder", "C:\\Apps\\演示", true, true, "access as Program Files: C:\\Apps\\演示"},
        {"below Program Files", "C:\\Program Files\\演示软件", true, false, nullptr},
        {"on a drive without access lists", "C:\\演示软件", false, false, "access left as it was: C:\\演示软件"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Machine m;
        m.p.shell.SetProgramFiles("C:\\Program Files", "C:\\Program Files");
        m.p.files.MakeDirectory("C:\\Program Files");
        m.p.files.SetKeepsNoAccessLists(!k.keeps_access_lists);
        ASSERT_EQ(m.Run("setup.exe /S /LOG=C:\\log.txt /D=" + k.folder), kExitDone);
        EXPECT_EQ(m.p.files.IsProtected(k.folder), k.protected_folder);
        EXPECT_FALSE(m.p.files.IsProtected("C:\\Program Files"));
        const std::string log = m.Text("C:\\log.txt");
        EXPECT_EQ(log.find("access "), k.log_line ? log.find(GbkToUtf8(k.log_line) + "\r\n") : std::string::npos)
            << log;
    }
}

TEST(SetupLog, ThatCannotBeWrittenFailsAnInstallThatWorked) {
    Machine m;
    EXPECT_EQ(m.Run("setup.exe /S /LOG=Q:\\nowhere\\log.txt"), kExitIncomplete);
    EXPECT_TRUE(m.p.dialogs.Shown().empty());
}

struct LineCase {
    const char* label;
    std::string line;
    int code;
    std::string box;  // a part of the one box shown; empty: none
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.label; }

class EndingLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(EndingLine, IsAnsweredBeforeAnythingIsInstalled) {
    Machine m;
    if (!GetParam().box.empty()) m.p.dialogs.Answer(kIdOk);
    EXPECT_EQ(m.Run(GetParam().line), GetParam().code);
    EXPECT_EQ(m.windows_shown, 0);
    if (GetParam().box.empty()) {
        EXPECT_TRUE(m.p.dialogs.Shown().empty());
    } else {
        ASSERT_EQ(m.p.dialogs.Shown().size(), 1u);
        EXPECT_NE(m.p.dialogs.Shown()[0].text.find(GetParam().box), std::string::npos);
        EXPECT_EQ(m.p.dialogs.Shown()[0].caption, " ZANTO");
    }
    EXPECT_EQ(m.Value(kProductKey, "Setup"), "(no key)");
    EXPECT_FALSE(m.Exists(kProposed));
}

// clang-format off
const LineCase kLineCases[] = {
    {"unknown option named in a box", "setup.exe /Q", kExitUnknownOption, "未知的命令行选项：/Q"},
    {"unknown option under /S", "setup.exe /S /VERYSILENT", kExitUnknownOption, ""},
    {"/S after the unknown option", "setup.exe /X /S", kExitUnknownOption, ""},
    {"help lists options and codes", "setup.exe /?", kExitDone, "4\t未知的命令行选项"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, EndingLine, ::testing::ValuesIn(kLineCases), testing::LabelName());

TEST(Wizard, WithoutArgumentsEndsWithOneAfterCancelAndZeroAfterFinish) {
    {
        Machine m;
        m.p.dialogs.Answer(kIdYes);
        EXPECT_EQ(m.Run("setup.exe", [](TMainForm& w) { w.Control("suiButton3").Click(); }), kExitIncomplete);
        EXPECT_EQ(m.windows_shown, 1);
    }
    {
        Machine m;
        const int code = m.Run("\"C:\\下载\\setup.exe\"", [](TMainForm& w) {
            for (const char* button : {"suiButton2", "suiButton4", "suiButton2", "suiButton2", "suiButton3"})
                w.Control(button).Click();
        });
        EXPECT_EQ(code, kExitDone);
        EXPECT_EQ(m.Text(kProposed + "\\hello.txt"), "hello");
    }
}

TEST(Wizard, RefusingThePackageEndsWithTwo) {
    Package package;
    package.record.PackChecksum += 1;
    Machine m(package);
    m.p.dialogs.Answer(kIdNo);
    EXPECT_EQ(m.Run("setup.exe"), kExitBadPackage);
    EXPECT_EQ(m.p.dialogs.Shown()[0].text, BuiltInMakerLines().checksum_question.c_str());
}

TEST(Wizard, FolderGivenPresetsTheFolderPageOnce) {
    Machine m;
    std::vector<std::string> shown;
    m.Run("setup.exe /D=" + kChosen, [&](TMainForm& w) {
        w.Control("suiButton2").Click();
        w.Control("suiButton4").Click();
        shown.push_back(w.Control("FolderEd").caption());
        w.Control("suiButton1").Click();
        w.Control("suiButton2").Click();
        shown.push_back(w.Control("FolderEd").caption());
    });
    EXPECT_EQ(shown, (std::vector<std::string>{kChosen, kProposed}));
}

}  // namespace
}  // namespace zsetup
