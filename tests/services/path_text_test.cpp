#include "services/path_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/case_names.h"

namespace zsetup {
namespace {

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
    // GBK: 0x95 0x5C is one character whose second byte is a backslash.
    {"a backslash inside a character does not end a folder",
     "C:\\dir\\ab\x95\x5c" "cd.txt", 10, "C:\\...\\ab\x95\x5c" "cd.txt"},
    {"the tail stops before a character it would halve",
     "C:\\dir\\" "0123456789" "0123456789" "0123456789" "012345678" "\xD6\xD0.txt", 10,
     "C:\\...\\" "0123456789" "0123456789" "0123456789" "012345678"},
    {"the head stops before a character it would halve",
     "ab\xD6\xD0" "cdefghij" "klmnopqrst", 10, "ab...\\" "ab\xD6\xD0" "cdefghij" "klmnopqrst"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, ShortenPathTest, ::testing::ValuesIn(kShortenPathCases), testing::LabelName());

}  // namespace
}  // namespace zsetup
