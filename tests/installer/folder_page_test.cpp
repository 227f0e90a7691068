// The folder page's proposal for each root the maker may choose and each
// width of installer.
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

}  // namespace
}  // namespace zsetup
