#include "services/shortcuts.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/memory/memory_files.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_shell.h"
#include "platform/registry_accessor.h"
#include "services/force_dirs.h"

namespace zsetup {
namespace {

const std::string kDesktop = "C:\\Users\\u\\Desktop";
const std::string kPrograms = "C:\\Users\\u\\Programs";
const std::string kTarget = "C:\\Zanto\\kpv.exe";

class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ForceDirs(files, kDesktop));
        ASSERT_TRUE(ForceDirs(files, kPrograms));
        SetFolder("Desktop", kDesktop);
        SetFolder("Programs", kPrograms);
    }
    void SetFolder(const std::string& name, const std::string& folder, std::uint32_t type = kRegSz) {
        std::vector<std::uint8_t> data(folder.begin(), folder.end());
        data.push_back(0);
        registry
            .OpenKey(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     true, kKeySetValue)
            ->SetValue(name, type, data);
    }
    MemoryRegistry registry;
    MemoryFiles files;
    MemoryShell shell{files};
    Shortcuts shortcuts{registry, files, shell};
};

TEST_F(ShortcutsTest, ALinkPointsAtTheTargetWithItsIconAndFolder) {
    const struct {
        std::string target, name, file, working_directory;
    } cases[] = {
        {kTarget, "KPV", kDesktop + "\\KPV.lnk", "C:\\Zanto\\"},
        {kTarget, "KPV.lnk", kDesktop + "\\KPV.lnk.lnk", "C:\\Zanto\\"},
        // The trail byte 0x5C of "昞" is no separator.
        {"C:\\\x95\x5c.exe", "\xb2\xfa\xc6\xb7", kDesktop + "\\\xb2\xfa\xc6\xb7.lnk", "C:\\"},
        {"kpv.exe", "bare", kDesktop + "\\bare.lnk", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CreateShellLink(shell, c.target, c.name, kDesktop, "-x \"y\"");
        auto link = shell.Link(c.file);
        ASSERT_TRUE(link.has_value());
        EXPECT_EQ(link->target, c.target);
        EXPECT_EQ(link->arguments, "-x \"y\"");
        EXPECT_EQ(link->icon_path, c.target);
        EXPECT_EQ(link->icon_index, 0);
        EXPECT_EQ(link->working_directory, c.working_directory);
    }
}

TEST_F(ShortcutsTest, DesktopShortcutGoesIntoTheDesktopFolderWhenThereIsOne) {
    shortcuts.CreateDesktopShortcut(kTarget, "KPV", "");
    EXPECT_TRUE(shell.Link(kDesktop + "\\KPV.lnk").has_value());

    for (const std::string& folder : {std::string(), std::string("C:\\Users\\u\\Gone")}) {
        SetFolder("Desktop", folder);
        EXPECT_NO_THROW(shortcuts.CreateDesktopShortcut(kTarget, "Other", ""));
    }
    EXPECT_EQ(shell.LinkRequests().size(), 1u);
}

TEST_F(ShortcutsTest, ProgramsShortcutsOfOneGroupShareItsFolderAndLeaveItCurrent) {
    const std::string group = "\xd4\xde\xcd\xd8 KPV";  // "赞拓 KPV"
    shortcuts.CreateProgramsShortcut(group, kTarget, "KPV", "-a");
    shortcuts.CreateProgramsShortcut(group, "C:\\Zanto\\uninstall.exe", "Uninstall", "");
    // Made once, relative to Programs.
    EXPECT_EQ(std::count(files.Created().begin(), files.Created().end(), group), 1);
    EXPECT_EQ(files.CurrentDir(), kPrograms + "\\" + group);
    auto first = shell.Link(kPrograms + "\\" + group + "\\KPV.lnk");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->arguments, "-a");
    EXPECT_TRUE(shell.Link(kPrograms + "\\" + group + "\\Uninstall.lnk").has_value());
}

TEST_F(ShortcutsTest, WithoutAProgramsFolderNothingHappens) {
    const auto made = files.Created().size();
    for (const std::string& folder : {std::string(), std::string("C:\\Users\\u\\Gone")}) {
        SetFolder("Programs", folder);
        EXPECT_NO_THROW(shortcuts.CreateProgramsShortcut("Group", kTarget, "KPV", ""));
        EXPECT_EQ(files.CurrentDir(), "C:\\");
        EXPECT_EQ(files.Created().size(), made);
    }
    EXPECT_TRUE(shell.LinkRequests().empty());
}

TEST_F(ShortcutsTest, AGroupFolderThatCannotBeEnteredRaisesTheSystemError) {
    files.AddFile(kPrograms + "\\Group");
    try {
        shortcuts.CreateProgramsShortcut("Group", kTarget, "KPV", "");
        FAIL() << "no error";
    } catch (const InOutError& e) {
        EXPECT_EQ(e.code(), 267u);  // ERROR_DIRECTORY
        EXPECT_NE(std::string(e.what()).find(kPrograms + "\\Group"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(shell.LinkRequests().empty());
}

TEST_F(ShortcutsTest, AShellFolderOfAnotherTypeRaisesTheReadError) {
    SetFolder("Programs", kPrograms, kRegBinary);
    EXPECT_THROW(shortcuts.CreateProgramsShortcut("Group", kTarget, "KPV", ""), RegistryError);
}

}  // namespace
}  // namespace zsetup
