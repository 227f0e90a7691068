// What the installer relies on from the shell's link files, checked on every
// implementation so the stand-in cannot drift from Windows.
#include <gtest/gtest.h>

#include "shell_backends.h"

namespace zsetup {
namespace {

using testing::ShellBackend;

void ExpectSameLink(testing::ShellRig& rig, const std::optional<ShellLink>& read, const ShellLink& saved) {
    ASSERT_TRUE(read.has_value());
    if (rig.KeepsTarget(saved.target)) {
        EXPECT_EQ(read->target, saved.target);
    }
    EXPECT_EQ(read->arguments, saved.arguments);
    EXPECT_EQ(read->icon_path, saved.icon_path);
    EXPECT_EQ(read->icon_index, saved.icon_index);
    EXPECT_EQ(read->working_directory, saved.working_directory);
}

class ShellContract : public ::testing::TestWithParam<ShellBackend> {
protected:
    void SetUp() override {
        rig = GetParam().make();
        folder = testing::FreshPath("links");
        ASSERT_TRUE(rig->files().MakeDirectory(folder));
    }
    bool IsFile(const std::string& path) {
        auto a = rig->files().Attributes(path);
        return a && !(*a & kFileAttributeDirectory);
    }
    std::unique_ptr<testing::ShellRig> rig;
    std::string folder;
};

TEST_P(ShellContract, ALinkReadsBackAsSavedWithGbkText) {
    const struct {
        std::string name;
        ShellLink link;
    } cases[] = {
        {"plain",
         {"C:\\Program Files\\Zanto\\kpv.exe", "-a \"b c\"", "C:\\Program Files\\Zanto\\kpv.exe", 0,
          "C:\\Program Files\\Zanto\\"}},
        // "产品" in "C:\程序\", no arguments
        {"\xb2\xfa\xc6\xb7",
         {"C:\\\xb3\xcc\xd0\xf2\\\xb2\xfa\xc6\xb7.exe", "", "C:\\\xb3\xcc\xd0\xf2\\\xb2\xfa\xc6\xb7.exe", 0,
          "C:\\\xb3\xcc\xd0\xf2\\"}},
        {"icon", {"D:\\kpv.exe", "\xd6\xd0\xce\xc4", "D:\\icons.dll", 2, "D:\\"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = folder + "\\" + c.name + ".lnk";
        rig->shell().SaveLink(file, c.link);
        EXPECT_TRUE(IsFile(file));
        ExpectSameLink(*rig, rig->ReadLink(file), c.link);
    }
}

TEST_P(ShellContract, SavingAgainReplacesTheLink) {
    const std::string file = folder + "\\again.lnk";
    ShellLink link{"C:\\a.exe", "first", "C:\\a.exe", 0, "C:\\"};
    rig->shell().SaveLink(file, link);
    link.arguments = "second";
    rig->shell().SaveLink(file, link);
    ExpectSameLink(*rig, rig->ReadLink(file), link);
}

TEST_P(ShellContract, ASaveIntoAMissingFolderFailsSilently) {
    const std::string file = folder + "\\missing\\x.lnk";
    EXPECT_NO_THROW(rig->shell().SaveLink(file, {"C:\\a.exe", "", "C:\\a.exe", 0, "C:\\"}));
    EXPECT_FALSE(rig->files().Attributes(file).has_value());
    EXPECT_FALSE(rig->ReadLink(file).has_value());
}

// A full path without a trailing backslash; a 64-bit program never gets
// the folder Windows keeps for 32-bit programs.
TEST_P(ShellContract, ProgramFilesIsAFullPathOfThisProgramsWidth) {
    const std::string folder = rig->shell().ProgramFilesFolder();
    ASSERT_GE(folder.size(), 4u) << folder;
    EXPECT_EQ(folder.substr(1, 2), ":\\") << folder;
    EXPECT_NE(folder.back(), '\\') << folder;
    if (sizeof(void*) == 8) {
        EXPECT_EQ(folder.find("(x86)"), std::string::npos) << folder;
    }
}

// The per-user programs folder: a full path ending in "\Programs", which a
// per-user install proposes.
TEST_P(ShellContract, UserProgramsIsAFullPathBelowTheUsersLocalData) {
    const std::string folder = rig->shell().UserProgramsFolder();
    ASSERT_GE(folder.size(), 12u) << folder;
    EXPECT_EQ(folder.substr(1, 2), ":\\") << folder;
    EXPECT_EQ(folder.substr(folder.size() - 9), "\\Programs") << folder;
    EXPECT_NE(folder, rig->shell().ProgramFilesFolder());
}

INSTANTIATE_TEST_SUITE_P(Backends, ShellContract, ::testing::ValuesIn(testing::ShellBackends()),
                         testing::BackendName<testing::ShellRig>);

}  // namespace
}  // namespace zsetup
