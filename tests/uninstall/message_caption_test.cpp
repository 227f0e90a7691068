// Every message box of both programs, each run without a maker profile and
// with one that names a caption: the built-in " ZANTO" or the maker's, and
// never the built-in one once a maker names its own.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commandline/exit_codes.h"
#include "installer/setup_program.h"
#include "installer/wizard_texts.h"
#include "package/maker_profile.h"
#include "package/setup_map.h"
#include "platform/registry_accessor.h"
#include "tests/installer/wizard_fixture.h"
#include "tests/support/case_names.h"
#include "uninstall/uninstall_texts.h"
#include "uninstall/uninstaller_program.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const std::string kBuiltInCaption = " ZANTO";
const std::string kMakersCaption = " 演示工作室";
const std::string kFolder = "C:\\演示软件";

Bytes CaptionProfile() {
    MakerProfile p;
    p.caption = kMakersCaption;
    return WriteMakerProfile(p);
}

// A machine with the installer's package, or an install folder for the
// uninstaller, each carrying the profile when the run asks for one.
struct Machine {
    explicit Machine(bool profiled) : profiled(profiled) { AddShellFolders(p); }

    TMainForm& StartSetup(Package package = Package(), std::size_t record_bytes = SetupConfig::kSize) {
        Carry(package);
        package.Install(p, record_bytes);
        wizard = std::make_unique<TMainForm>(p.seam);
        wizard->FormCreate();
        return *wizard;
    }
    void ToFolderPage() {
        StartSetup();
        Press("suiButton2");
        Press("suiButton4");
        ASSERT_EQ(wizard->page(), WizardPage::kFolder);
    }
    void Press(const std::string& button) { wizard->Control(button).Click(); }
    int RunSetupWith(const std::string& line) {
        Package package;
        Carry(package);
        package.Install(p);
        return RunSetup(line, p.seam, [](TMainForm&) {});
    }
    void MarkInstalled() {
        RegistryAccessor reg(p.registry, kKeySetValue, RegRoot::LocalMachine);
        reg.OpenKey(kProductKey, true);
        reg.WriteBool("Setup", true);
    }
    // uninstall.exe in the product's folder, which holds these copies.
    int RunUninstallerWith(const std::string& line, const std::optional<Bytes>& record) {
        p.files.MakeDirectory(kFolder);
        if (profiled) p.files.WriteWholeFile(kFolder + installed::kMakerCopy, CaptionProfile());
        if (record) p.files.WriteWholeFile(kFolder + installed::kRecordCopy, *record);
        p.processes.SetCurrentProgram(kFolder + installed::kUninstaller);
        return RunUninstaller(line, p.seam, [](TUninstallForm& u) { u.Start(); });
    }

    bool profiled;
    MemoryPlatform p;
    std::unique_ptr<TMainForm> wizard;

private:
    void Carry(Package& package) const {
        if (profiled) package.maker = CaptionProfile();
    }
};

struct CaptionCase {
    const char* label;
    std::string says;  // a part of the box the case is about
    std::function<void(Machine&)> run;
};
void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.label; }

// The folder page's Next on this folder, the refusal answered.
std::function<void(Machine&)> FolderRefused(const std::string& folder) {
    return [folder](Machine& m) {
        m.ToFolderPage();
        m.wizard->Control("FolderEd").SetCaption(folder);
        m.p.dialogs.Answer(kIdOk);
        m.Press("suiButton2");
        EXPECT_EQ(m.wizard->page(), WizardPage::kFolder);
    };
}

const Bytes kDamagedRecord = {'n', 'o', 't', ' ', 'a', ' ', 'r', 'e', 'c', 'o', 'r', 'd'};

const CaptionCase kCases[] = {
    {"setup install over an earlier install", "已经安装",
     [](Machine& m) {
         m.MarkInstalled();
         m.p.dialogs.Answer(kIdNo);
         m.StartSetup();
     }},
    {"setup payload failing its sum", "校核不完整",
     [](Machine& m) {
         Package package;
         package.record.PackChecksum += 1;
         m.p.dialogs.Answer(kIdNo);
         m.StartSetup(package);
     }},
    {"setup damaged record at start and on Next", texts::kBadPackage,
     [](Machine& m) {
         m.p.dialogs.Answer(kIdOk);
         m.p.dialogs.Answer(kIdOk);
         m.StartSetup(Package(), 100);
         m.Press("suiButton2");
     }},
    {"folder empty", texts::kFolderEmpty, FolderRefused("")},
    {"folder not a full path", texts::kFolderNotFull, FolderRefused("演示软件")},
    {"folder a drive root", texts::kFolderIsRoot, FolderRefused("C:\\")},
    {"folder too long", texts::kFolderTooLong, FolderRefused("C:\\" + std::string(130, 'a'))},
    {"folder not created", texts::kFolderNotCreated, FolderRefused("Q:\\演示软件")},
    {"setup cancel question", "要退出安装",
     [](Machine& m) {
         m.StartSetup();
         m.p.dialogs.Answer(kIdNo);
         m.Press("suiButton3");
     }},
    {"setup file it cannot write", texts::kFileFailed,
     [](Machine& m) {
         m.p.files.MakeDirectory(kFolder);
         m.p.files.AddFile(kFolder + "\\hello.txt", {'o', 'l', 'd'});
         m.p.files.SetLocked(kFolder + "\\hello.txt", true);
         m.ToFolderPage();
         m.Press("suiButton2");
         m.p.dialogs.Answer(kIdOk);
         m.Press("suiButton2");
         EXPECT_EQ(m.wizard->page(), WizardPage::kFinished);
     }},
    {"setup help", "4\t未知的命令行选项",
     [](Machine& m) {
         m.p.dialogs.Answer(kIdOk);
         EXPECT_EQ(m.RunSetupWith("setup.exe /?"), kExitDone);
     }},
    {"setup unknown option", "未知的命令行选项：/Q",
     [](Machine& m) {
         m.p.dialogs.Answer(kIdOk);
         EXPECT_EQ(m.RunSetupWith("setup.exe /Q"), kExitUnknownOption);
     }},
    {"setup log it cannot write", texts::kLogNotWritten,
     [](Machine& m) {
         m.p.dialogs.Answer(kIdOk);
         m.RunSetupWith("setup.exe /LOG=Q:\\nowhere\\log.txt");
     }},
    {"uninstall not installed", uninstall_texts::kNotInstalled,
     [](Machine& m) {
         m.p.dialogs.Answer(kIdOk);
         EXPECT_EQ(m.RunUninstallerWith("uninstall.exe", std::nullopt), kUninstallNoRecord);
     }},
    {"uninstall damaged record", uninstall_texts::kBadRecord,
     [](Machine& m) {
         m.p.dialogs.Answer(kIdOk);
         EXPECT_EQ(m.RunUninstallerWith("uninstall.exe", kDamagedRecord), kUninstallNoRecord);
     }},
    {"uninstall help", "2\t没有找到安装记录或记录已损坏",
     [](Machine& m) {
         m.p.dialogs.Answer(kIdOk);
         EXPECT_EQ(m.RunUninstallerWith("uninstall.exe /?", std::nullopt), kExitDone);
     }},
    {"uninstall unknown option", "未知的命令行选项：/Q",
     [](Machine& m) {
         m.p.dialogs.Answer(kIdOk);
         EXPECT_EQ(m.RunUninstallerWith("uninstall.exe /Q", std::nullopt), kExitUnknownOption);
     }},
};

class MessageCaption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(MessageCaption, IsTheMakersWhenItNamesOneElseTheBuiltIn) {
    const CaptionCase& c = GetParam();
    std::size_t boxes_without = 0;
    for (const bool profiled : {false, true}) {
        SCOPED_TRACE(profiled ? "with the maker's caption" : "without a profile");
        Machine m(profiled);
        c.run(m);
        const std::vector<ShownMessage>& shown = m.p.dialogs.Shown();
        ASSERT_FALSE(shown.empty());
        bool said = false;
        for (const ShownMessage& box : shown) {
            EXPECT_EQ(box.caption, profiled ? kMakersCaption : kBuiltInCaption) << box.text;
            said = said || box.text.find(c.says) != std::string::npos;
        }
        EXPECT_TRUE(said) << "no box says \"" << c.says << "\"";
        if (!profiled) boxes_without = shown.size();
        else EXPECT_EQ(shown.size(), boxes_without);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryBox, MessageCaption, ::testing::ValuesIn(kCases), LabelName());

}  // namespace
}  // namespace zsetup
