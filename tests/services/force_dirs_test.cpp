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

}  // namespace
}  // namespace zsetup
