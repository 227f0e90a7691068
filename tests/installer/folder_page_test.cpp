// The folder page's proposal for each root the maker may choose and each
// width of installer, and the folders its Next makes, which go again when
// the wizard is cancelled before the run.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "package/maker_profile.h"
#include "platform/registry_accessor.h"
#include "tests/installer/wizard_fixture.h"
#include "tests/support/case_names.h"
#include "text/gbk.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const std::string kProgramFiles = "C:\\Program Files";
const std::string kProgramFilesX86 = "C:\\Program Files (x86)";

struct ProposalCase {
    const char* label;
    std::optional<FolderRoot> root;  // none: no profile
    int bits;                        // the installer's width
    bool x86_folder;                 // 64-bit Windows, with its "(x86)" folder
    std::vector<std::string> drives;
    std::string previous;  // an earlier install's folder, which wins when it is there
    std::string proposed;
};
void PrintTo(const ProposalCase& c, std::ostream* os) { *os << c.label; }

// clang-format off
const ProposalCase kProposals[] = {
    {"no profile", std::nullopt, 32, true, {"C:"}, "", "C:\\演示软件"},
    {"no profile drive D", std::nullopt, 32, true, {"C:", "D:"}, "", "D:\\演示软件"},
    {"drive root", FolderRoot::kDrive, 32, true, {"C:", "D:"}, "", "D:\\演示软件"},
    {"program files 32 bit on 64 bit Windows", FolderRoot::kProgramFiles, 32, true, {"C:", "D:"}, "",
     kProgramFilesX86 + "\\演示软件"},
    {"program files 64 bit", FolderRoot::kProgramFiles, 64, true, {"C:", "D:"}, "", kProgramFiles + "\\演示软件"},
    {"program files 32 bit on 32 bit Windows", FolderRoot::kProgramFiles, 32, false, {"C:"}, "",
     kProgramFiles + "\\演示软件"},
    {"program files after an earlier install", FolderRoot::kProgramFiles, 64, true, {"C:"}, "C:\\早先\\演示软件",
     "C:\\早先\\演示软件"},
};
// clang-format on

class FolderProposal : public ::testing::TestWithParam<ProposalCase> {};

TEST_P(FolderProposal, FollowsTheRootAndTheInstallersWidth) {
    const ProposalCase& c = GetParam();
    MemoryPlatform p(c.drives);
    AddShellFolders(p);
    p.shell.SetProgramFiles(kProgramFiles, c.x86_folder ? kProgramFilesX86 : "");
    p.shell.SetProgramBits(c.bits);
    if (!c.previous.empty()) {
        ASSERT_TRUE(p.files.MakeDirectory(FolderOf(c.previous)));
        ASSERT_TRUE(p.files.MakeDirectory(c.previous));
        RegistryAccessor reg(p.registry, kKeySetValue, RegRoot::LocalMachine);
        reg.OpenKey(kProductKey, true);
        reg.WriteBool("Setup", false);  // read first; false asks nothing
        reg.WriteString("Folder", c.previous);
    }
    Package package;
    if (c.root) {
        MakerProfile profile;
        profile.folder_root = *c.root;
        package.maker = WriteMakerProfile(profile);
    }
    package.Install(p);
    TMainForm wizard(p.seam);
    wizard.FormCreate();
    ASSERT_TRUE(wizard.refusal().empty()) << wizard.refusal();
    EXPECT_EQ(wizard.config->InstallFolder.text(), c.proposed);
    wizard.Control("suiButton2").Click();
    wizard.Control("suiButton4").Click();
    ASSERT_EQ(wizard.page(), WizardPage::kFolder);
    EXPECT_EQ(wizard.Control("FolderEd").caption(), c.proposed);
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderProposal, ::testing::ValuesIn(kProposals), LabelName());

// The folder page made these; a cancel before the run takes away what is
// still empty of them, never a folder that was there before.
struct CancelCase {
    const char* label;
    std::vector<std::string> present;  // folders there before setup started
    std::vector<std::string> chosen;   // the folders taken on page 2, going back between them
    std::string file;                  // a file put into a chosen folder before the cancel
    bool close_request;                // the window closed rather than Cancel pressed
    std::vector<std::string> left;     // folders there after the cancel, beyond those before
};
void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.label; }

const CancelCase kCancels[] = {
    {"made folder and its parent go", {}, {"C:\\新建\\演示软件"}, "", false, {}},
    {"a folder there before stays", {"C:\\演示软件"}, {"C:\\演示软件"}, "", false, {}},
    {"a parent there before stays", {"C:\\Apps"}, {"C:\\Apps\\演示软件"}, "", false, {}},
    {"back and another folder both go", {}, {"C:\\甲\\一", "C:\\甲\\二"}, "", false, {}},
    {"a folder holding a file stays",
     {},
     {"C:\\新建\\演示软件"},
     "C:\\新建\\演示软件\\note.txt",
     false,
     {"C:\\新建", "C:\\新建\\演示软件"}},
    {"closing the window", {}, {"C:\\新建\\演示软件"}, "", true, {}},
};

class FolderCancel : public ::testing::TestWithParam<CancelCase> {};

TEST_P(FolderCancel, LeavesNothingThePageMadeThatIsEmpty) {
    const CancelCase& c = GetParam();
    MemoryPlatform p({"C:"});
    AddShellFolders(p);
    for (const std::string& folder : c.present) ASSERT_TRUE(p.files.MakeDirectory(folder));
    Package().Install(p);
    TMainForm wizard(p.seam);
    wizard.FormCreate();
    const auto press = [&](const char* button) { wizard.Control(button).Click(); };
    press("suiButton2");
    press("suiButton4");
    for (std::size_t i = 0; i < c.chosen.size(); ++i) {
        if (i > 0) press("suiButton1");  // back from page 3
        ASSERT_EQ(wizard.page(), WizardPage::kFolder);
        wizard.Control("FolderEd").SetCaption(c.chosen[i]);
        press("suiButton2");
        ASSERT_EQ(wizard.page(), WizardPage::kReady);
        ASSERT_TRUE(DirectoryExists(p.files, c.chosen[i])) << "made at once by Next";
    }
    if (!c.file.empty()) p.files.AddFile(c.file, {'x'});

    p.dialogs.Answer(kIdYes);
    if (c.close_request) {
        bool can_close = false;
        wizard.FormCloseQuery(can_close);
        EXPECT_TRUE(can_close);
    } else {
        press("suiButton3");
        EXPECT_TRUE(wizard.form().terminated());
    }
    // The machine as it was, and what the cancel must leave.
    MemoryPlatform expected({"C:"});
    AddShellFolders(expected);
    for (const std::string& folder : c.present) expected.files.MakeDirectory(folder);
    for (const std::string& folder : c.left) expected.files.MakeDirectory(folder);
    if (!c.file.empty()) expected.files.AddFile(c.file, {'x'});
    EXPECT_EQ(p.files.Listing(), expected.files.Listing());
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderCancel, ::testing::ValuesIn(kCancels), LabelName());

// Answering No to the question keeps the wizard, and the folder, where they are.
TEST(FolderCancel, NoToTheQuestionKeepsTheFolder) {
    Wizard w;
    w.ToFolderPage();
    w["FolderEd"].SetCaption("C:\\新建\\演示软件");
    w.Next();
    ASSERT_EQ(w.page(), 3);
    w.platform->dialogs.Answer(kIdNo);
    w.Press("suiButton3");
    EXPECT_FALSE(w.form->form().terminated());
    EXPECT_TRUE(DirectoryExists(w.platform->files, "C:\\新建\\演示软件"));
}

}  // namespace
}  // namespace zsetup
