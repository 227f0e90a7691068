#include "services/path_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/case_names.h"

namespace zsetup {
namespace {

struct LastPosCase {
    const char* label;
    std::string sub;
    std::string text;
    int expected;
};

void PrintTo(const LastPosCase& c, std::ostream* os) { *os << c.label; }

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

INSTANTIATE_TEST_SUITE_P(Table, LastPosTest, ::testing::ValuesIn(kLastPosCases), testing::LabelName());

struct ShortenPathCase {
    const char* label;
    std::string path;
    int maximum;
    std::string expected;
};

void PrintTo(const ShortenPathCase& c, std::ostream* os) { *os << c.label; }

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

INSTANTIATE_TEST_SUITE_P(Table, ShortenPathTest, ::testing::ValuesIn(kShortenPathCases), testing::LabelName());

}  // namespace
}  // namespace zsetup
