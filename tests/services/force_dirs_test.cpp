#include "services/force_dirs.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/memory/memory_files.h"
#include "tests/support/backends.h"
#ifdef _WIN32
#include "platform/win32/win32_files.h"
#endif

namespace zsetup {
namespace {

using FilesBackend = testing::Backend<Files>;

std::vector<FilesBackend> Backends() {
    std::vector<FilesBackend> b = {{"memory", [] { return std::make_unique<MemoryFiles>(); }}};
#ifdef _WIN32
    b.push_back({"win32", [] { return std::make_unique<Win32Files>(); }});
#endif
    return b;
}

class ForceDirsOn : public ::testing::TestWithParam<FilesBackend> {
protected:
    void SetUp() override {
        files = GetParam().make();
        root = testing::FreshPath("force");
        ASSERT_TRUE(files->MakeDirectory(root));
    }
    bool IsDir(const std::string& p) { return DirectoryExists(*files, p); }
    std::unique_ptr<Files> files;
    std::string root;
};

// Windows makes a folder only inside an existing one, so success on the real
// file system shows the walk went outermost first.
TEST_P(ForceDirsOn, CreatesEveryMissingLevel) {
    EXPECT_TRUE(ForceDirs(*files, root + "\\a\\b\\c"));
    EXPECT_TRUE(IsDir(root + "\\a"));
    EXPECT_TRUE(IsDir(root + "\\a\\b\\c"));
    // Chinese folder names pass through as GBK.
    EXPECT_TRUE(ForceDirs(*files, root + "\\\xb3\xcc\xd0\xf2\\\xce\xc4\xbc\xfe\\"));
    EXPECT_TRUE(IsDir(root + "\\\xb3\xcc\xd0\xf2\\\xce\xc4\xbc\xfe"));
}

// Making a folder that exists fails, so true here means nothing was made.
TEST_P(ForceDirsOn, EmptyOrExistingPathsAreFine) {
    EXPECT_TRUE(ForceDirs(*files, ""));
    EXPECT_TRUE(ForceDirs(*files, root));
    EXPECT_TRUE(ForceDirs(*files, root + "\\"));
}

TEST_P(ForceDirsOn, FailsOnAMissingDrive) {
    EXPECT_FALSE(ForceDirs(*files, "Q:\\zsetup\\x"));
    EXPECT_FALSE(IsDir("Q:\\zsetup"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ForceDirsOn, ::testing::ValuesIn(Backends()), testing::BackendName<Files>);

// The order and a file in the way, seen through the stand-in's record of what it made.
TEST(ForceDirsWalk, CreatesOutermostFirstAndKeepsWhatItMadeBeforeAFailure) {
    MemoryFiles files({"C:"});
    ASSERT_TRUE(ForceDirs(files, "C:\\a\\b\\c"));
    EXPECT_EQ(files.Created(), (std::vector<std::string>{"C:\\a\\", "C:\\a\\b\\", "C:\\a\\b\\c"}));

    MemoryFiles fresh({"C:"});
    fresh.AddFile("C:\\x\\f");
    EXPECT_FALSE(ForceDirs(fresh, "C:\\x\\f\\g"));
    EXPECT_EQ(fresh.Created(), (std::vector<std::string>{"C:\\x\\"}));
    EXPECT_TRUE(DirectoryExists(fresh, "C:\\x"));

    MemoryFiles untouched({"C:"});
    ASSERT_TRUE(ForceDirs(untouched, "C:\\"));
    EXPECT_TRUE(untouched.Created().empty());
}

// What the walk made, for a caller that takes it away again: only the
// folders it created, outermost first, without their backslash; a last piece
// whose final character's trail byte is 0x5C keeps that byte.
TEST(ForceDirsWalk, NamesTheFoldersItMade) {
    const std::string tail5c = "\xB3\xCC\xD0\xF2\xC9\x5C";  // "程序" and a character whose trail byte is 0x5C
    const struct {
        const char* label;
        std::vector<std::string> present;
        std::string path;
        bool ok;
        std::vector<std::string> made;
    } cases[] = {
        {"all new", {}, "C:\\a\\b", true, {"C:\\a", "C:\\a\\b"}},
        {"below a folder that was there", {"C:\\a"}, "C:\\a\\b\\", true, {"C:\\a\\b"}},
        {"all there", {"C:\\a", "C:\\a\\b"}, "C:\\a\\b", true, {}},
        {"a trail byte 0x5C last", {}, "C:\\" + tail5c, true, {"C:\\" + tail5c}},
        {"a file in the way", {}, "C:\\x\\f\\g", false, {"C:\\x"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MemoryFiles files({"C:"});
        for (const std::string& folder : c.present) ASSERT_TRUE(files.MakeDirectory(folder));
        if (!c.ok) files.AddFile("C:\\x\\f");
        std::vector<std::string> made;
        EXPECT_EQ(ForceDirs(files, c.path, &made), c.ok);
        EXPECT_EQ(made, c.made);
        for (const std::string& folder : made) EXPECT_TRUE(DirectoryExists(files, folder)) << folder;
    }
}

}  // namespace
}  // namespace zsetup
