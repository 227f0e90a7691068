// The one GBK rule for where a path's folder part ends and for letter case.
// "\x95\x5C" is one character whose second byte is the backslash; "\xD6\xD0"
// one whose second byte is no separator; "\x81/" and "\x81:" are no pairs.
#include "text/gbk.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/case_names.h"

namespace zsetup {
namespace {

struct FolderCase {
    const char* label;
    std::string path;
    std::string folder_of;  // before the last backslash, a drive root keeping its own
    std::string path_part;  // up to and including the last backslash or colon
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.label; }

class FolderParts : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderParts, EndAtTheLastSeparatorThatIsNoTrailByte) {
    const FolderCase& c = GetParam();
    EXPECT_EQ(FolderOf(c.path), c.folder_of);
    EXPECT_EQ(PathPart(c.path), c.path_part);
}

const FolderCase kFolderCases[] = {
    {"file in a folder", "C:\\app\\a.exe", "C:\\app", "C:\\app\\"},
    {"file in a drive root", "C:\\a.exe", "C:\\", "C:\\"},
    {"bare name", "a.exe", "", ""},
    {"drive and name", "C:a.exe", "", "C:"},
    {"empty", "", "", ""},
    {"trailing backslash", "C:\\app\\", "C:\\app", "C:\\app\\"},
    {"trail byte 0x5C in the file name", "C:\\app\\\x95\x5C.exe", "C:\\app", "C:\\app\\"},
    {"trail byte 0x5C in the folder", "C:\\\x95\x5C\\a.exe", "C:\\\x95\x5C", "C:\\\x95\x5C\\"},
    {"trail byte 0x5C at the end", "C:\\a\\\x95\x5C", "C:\\a", "C:\\a\\"},
    {"other double-byte characters", "C:\\\xD6\xD0\\\xCE\xC4.txt", "C:\\\xD6\xD0", "C:\\\xD6\xD0\\"},
    {"lone lead byte before a colon", "\x81:a", "", "\x81:"},
    {"lead byte at the very end", "C:\\a\\\x81", "C:\\a", "C:\\a\\"},
};

INSTANTIATE_TEST_SUITE_P(Table, FolderParts, ::testing::ValuesIn(kFolderCases), testing::LabelName());

TEST(GbkPairs, NeedAValidTrailByte) {
    const struct {
        const char* label;
        std::string text;
        std::size_t length;
    } cases[] = {
        {"ASCII", "a", 1},
        {"pair with a backslash trail", "\x95\x5C", 2},
        {"pair", "\xD6\xD0", 2},
        {"lead before a slash", "\x81/", 1},
        {"lead before a colon", "\x81:", 1},
        {"lead before 0x7F", "\x81\x7F", 1},
        {"lead before 0xFF", "\x81\xFF", 1},
        {"lead at the end", "\x81", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(GbkCharLength(c.text, 0), c.length);
    }
}

TEST(GbkSeparators, FirstAndLastSkipTrailBytes) {
    const std::string path = "\x95\x5C\\a\\\x95\x5C";
    EXPECT_EQ(FindFirstSeparator(path), 2u);
    EXPECT_EQ(FindFirstSeparator(path, 3), 4u);
    EXPECT_EQ(FindFirstSeparator(path, 5), std::string::npos);
    EXPECT_EQ(FindLastSeparator(path), 4u);
    EXPECT_EQ(FindLastSeparator("\x95\x5C"), std::string::npos);
}

TEST(GbkSeparators, NamesEndingInADotOrABlankAreFound) {
    const struct {
        const char* path;
        bool trims;
    } cases[] = {
        {"C:\\Apps\\Tool", false},
        {"C:\\Apps.\\Tool", true},
        {"C:\\Apps \\Tool", true},
        {"C:\\trail...", true},
        {"C:\\trail ", true},
        {"C:\\a.b\\c.d", false},
        {"C:\\Apps\\", false},
        {"C:\\", false},
        {"", false},
        // 0x95 0x5C: the backslash is the character's second byte, not a separator.
        {"C:\\x.\x95\x5C"
         "y",
         false},
        {"C:\\x\x95\x5C.", true},
    };
    for (const auto& c : cases) EXPECT_EQ(HasNameWindowsTrims(c.path), c.trims) << c.path;
}

TEST(FoldAsciiCase, LowersAsciiLettersOnly) {
    const struct {
        const char* label;
        std::string text;
        std::string folded;
    } cases[] = {
        {"ASCII", "C:\\Program Files\\A.EXE", "c:\\program files\\a.exe"},
        // 0x81 0x41 and 0x81 0x61 are two different characters: their trail bytes stay.
        {"trail bytes that look like letters", "\x81\x41\x81\x61", "\x81\x41\x81\x61"},
        {"a letter after a pair", "\xD6\xD0X", "\xD6\xD0x"},
        {"a letter after a lone lead byte", "\x81/X", "\x81/x"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(FoldAsciiCase(c.text), c.folded);
    }
}

// The one rule every check of GBK text goes by: a pair, or one byte that is
// neither a lead byte nor 0xFF. 0x80 is the euro sign in code page 936, so a
// product name and a maker's line with "€" are taken alike.
TEST(GbkText, IsPairsAndSingleBytesOfCodePage936) {
    const struct {
        const char* label;
        std::string text;
        bool gbk;
    } cases[] = {
        {"ASCII", "Setup 1.0", true},
        {"a pair", "\xD6\xD0\xCE\xC4", true},
        {"a pair whose trail byte is the backslash", "\x95\x5C", true},
        {"the euro sign", "\x80 5", true},
        {"0xFF", "a\xFF", false},
        {"a lead byte at the end", "ab\xD1", false},
        {"a lead byte before no trail byte", "\xD1\x7F", false},
        {"a lead byte before a control character", "\xD1\x20", false},
        {"empty", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(IsGbkText(c.text), c.gbk);
    }
}

}  // namespace
}  // namespace zsetup
