// Links on the way into a folder, found part by part, never entered.
#include "services/links.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_files.h"

namespace zsetup {
namespace {

TEST(FirstLinkBelow, NamesTheOutermostLinkBetweenTheFolderAndThePath) {
    MemoryFiles files;
    files.MakeDirectory("C:\\P");
    files.MakeDirectory("C:\\P\\a");
    files.MakeDirectory("C:\\elsewhere");
    files.MakeDirectory("C:\\elsewhere\\c");
    files.AddLink("C:\\P\\a\\b", "C:\\elsewhere");
    files.AddLink("C:\\P\\top", "C:\\elsewhere");
    files.AddLink("C:\\linked", "C:\\P");
    const struct {
        const char* path;
        std::optional<std::string> link;
    } cases[] = {
        {"C:\\P\\a\\b\\c\\f.txt", "C:\\P\\a\\b"},
        {"C:\\P\\a\\B\\f.txt", "C:\\P\\a\\B"},  // letter case is no way round
        {"C:\\P\\top\\f.txt", "C:\\P\\top"},
        {"C:\\P\\a\\f.txt", std::nullopt},
        {"C:\\P\\a\\b", std::nullopt},  // the path itself: removing it removes the link
        {"C:\\P\\top", std::nullopt},
        {"C:\\P\\f.txt", std::nullopt},
        {"C:\\other\\top\\f.txt", std::nullopt},  // not below the folder
        {"C:\\Px\\top\\f.txt", std::nullopt},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.path);
        EXPECT_EQ(FirstLinkBelow(files, "C:\\P", k.path), k.link);
    }
    // The folder itself may be a link an administrator made: only what lies below counts.
    EXPECT_EQ(FirstLinkBelow(files, "C:\\linked", "C:\\linked\\a\\f.txt"), std::nullopt);
    EXPECT_TRUE(IsLink(files, "C:\\linked"));
    EXPECT_FALSE(IsLink(files, "C:\\P"));
    EXPECT_FALSE(IsLink(files, "C:\\missing"));
}

}  // namespace
}  // namespace zsetup
