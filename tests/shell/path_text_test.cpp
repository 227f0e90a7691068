#include "shell/path_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace zsetup {
namespace {

struct LastPosCase {
    const char* what;
    std::string sub;
    std::string text;
    int expected;
};

void PrintTo(const LastPosCase& c, std::ostream* os) { *os << c.what; }

class LastPosTest : public ::testing::TestWithParam<LastPosCase> {};

TEST_P(LastPosTest, GivesTheOneBasedPositionOfTheLastOccurrence) {
    EXPECT_EQ(LastPos(GetParam().sub, GetParam().text), GetParam().expected);
}

const LastPosCase kLastPosCases[] = {
    {"final backslash of a path", "\\", "C:\\dir\\app.exe", 7},
    {"overlapping occurrences", "aa", "aaa", 2},
    {"occurrence only at the first byte", "C:", "C:\\C", 1},
    {"sub longer than text", "abcd", "abc", 0},
    {"empty sub is after the last byte", "", "abc", 4},
    {"case-sensitive", "A", "aaa", 0},
    {"not found", "exe", "C:\\app.com", 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, LastPosTest, ::testing::ValuesIn(kLastPosCases),
                         [](const ::testing::TestParamInfo<LastPosCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

struct ShortenPathCase {
    const char* what;
    std::string path;
    int maximum;
    std::string expected;
};

void PrintTo(const ShortenPathCase& c, std::ostream* os) { *os << c.what; }

class ShortenPathTest : public ::testing::TestWithParam<ShortenPathCase> {};

TEST_P(ShortenPathTest, KeepsTheDriveAndTheFinalComponent) {
    EXPECT_EQ(ShortenPath(GetParam().path, GetParam().maximum), GetParam().expected);
}

// 20 bytes.
const char kTwentyBytes[] = "C:\\abcdefgh\\file.txt";

// clang-format off
const ShortenPathCase kShortenPathCases[] = {
    {"exactly maximum is unchanged", kTwentyBytes, 20, kTwentyBytes},
    {"one byte longer is shortened", kTwentyBytes, 19, "C:\\...\\file.txt"},
    {"no backslash takes the tail from the start",
     "abcdefghij" "ABCDEFGHIJ" "klmnopqrst" "KLMNOPQRST" "uvwxyzuvwx", 10,
     "abc...\\" "abcdefghij" "ABCDEFGHIJ" "klmnopqrst" "KLMNOPQRST"},
    {"trailing backslash leaves an empty tail", "C:\\Program Files\\Common Files\\", 10,
     "C:\\...\\"},
    {"final component is cut to 40 bytes, 47 in all",
     "C:\\" "0123456789" "abcdefghij" "0123456789" "ABCDEFGHIJ" "xyz.exe", 40,
     "C:\\...\\" "0123456789" "abcdefghij" "0123456789" "ABCDEFGHIJ"},
    {"typical program path", "C:\\Program Files\\Zsetup Demo\\bin\\app.exe", 20,
     "C:\\...\\app.exe"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, ShortenPathTest, ::testing::ValuesIn(kShortenPathCases),
                         [](const ::testing::TestParamInfo<ShortenPathCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

struct LinkWorkingDirectoryCase {
    const char* what;
    std::string target;
    std::string expected;
};

void PrintTo(const LinkWorkingDirectoryCase& c, std::ostream* os) { *os << c.what; }

class LinkWorkingDirectoryTest : public ::testing::TestWithParam<LinkWorkingDirectoryCase> {};

TEST_P(LinkWorkingDirectoryTest, EndsAtTheLastSeparator) {
    EXPECT_EQ(LinkWorkingDirectory(GetParam().target), GetParam().expected);
}

const LinkWorkingDirectoryCase kLinkWorkingDirectoryCases[] = {
    {"plain path", "C:\\Program Files\\Demo\\app.exe", "C:\\Program Files\\Demo\\"},
    {"drive-relative", "C:app.exe", "C:"},
    {"no separator", "app.exe", ""},
    // \x95\x5C is one GBK character whose trail byte is a backslash.
    {"trail byte 0x5C is no separator", "C:\\dir\\\x95\x5C.exe", "C:\\dir\\"},
    {"backslash after a GBK character counts", "C:\\\xD6\xD0\\app.exe", "C:\\\xD6\xD0\\"},
};

INSTANTIATE_TEST_SUITE_P(Cases, LinkWorkingDirectoryTest, ::testing::ValuesIn(kLinkWorkingDirectoryCases),
                         [](const ::testing::TestParamInfo<LinkWorkingDirectoryCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

}  // namespace
}  // namespace zsetup
