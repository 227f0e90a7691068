// The wizard font's width table and the wrapping rule the warnings rest on.
#include "builder/text_width.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/case_names.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

std::string Gbk(const std::string& utf8) {
    std::string gbk;
    EXPECT_TRUE(Utf8ToGbk(utf8, gbk)) << utf8;
    return gbk;
}

struct WidthCase {
    const char* label;
    const char* utf8;
    int px;
};

// gtest names a case by its label, also in ctest's list.
void PrintTo(const WidthCase& c, std::ostream* os) { *os << c.label; }

// Worked out from the table by hand: the advance of each character rounded
// to whole pixels at 12 px, summed.
const WidthCase kWidths[] = {
    {"empty", "", 0},
    {"Chinese characters are full width", "演示软件", 48},
    {"full-width punctuation too", "，。", 24},
    {"narrow letters", "iiil", 12},          // 3 + 3 + 3 + 3
    {"wide letters", "WMm", 35},             // 12 + 12 + 11
    {"digits are alike", "0123456789", 70},  // 7 each
    {"a blank", "a b", 19},                  // 7 + 4 + 8
    {"a path", "D:\\", 17},                  // 9 + 3 + 5
    {"mixed", "演示 v1.0", 12 + 12 + 4 + 6 + 7 + 3 + 7},
};

class WidthTable : public ::testing::TestWithParam<WidthCase> {};

TEST_P(WidthTable, SumsWholePixelAdvances) { EXPECT_EQ(TextWidthPx(Gbk(GetParam().utf8)), GetParam().px); }

INSTANTIATE_TEST_SUITE_P(Texts, WidthTable, ::testing::ValuesIn(kWidths), zsetup::testing::LabelName());

TEST(TextWidth, EveryPrintableAsciiCharacterHasAWidthBetweenAThinAndAFullOne) {
    for (char c = ' '; c <= '~'; ++c) {
        SCOPED_TRACE(std::string(1, c));
        const int px = CharWidthPx(std::string(1, c), 0);
        EXPECT_GE(px, 3);
        EXPECT_LE(px, kWizardFontPx + 1);  // '@' and 'W' are a little over an em
    }
}

TEST(TextWidth, FittingBytesStopsBetweenCharacters) {
    const std::string text = Gbk("ab演示cd");  // 7 + 8 + 12 + 12 + 6 + 8: ends at 7, 15, 27, 39, 45, 53
    const struct {
        int px;
        std::size_t bytes;
    } cases[] = {{0, 0},  {6, 0},  {7, 1},  {14, 1}, {15, 2}, {26, 2},
                 {27, 4}, {38, 4}, {39, 6}, {52, 7}, {53, 8}, {1000, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.px);
        EXPECT_EQ(FittingBytes(text, c.px), c.bytes);
    }
}

struct WrapCase {
    const char* label;
    const char* utf8;
    int width;
    int lines;
};

// gtest names a case by its label, also in ctest's list.
void PrintTo(const WrapCase& c, std::ostream* os) { *os << c.label; }

const WrapCase kWraps[] = {
    {"one short line", "演示", 245, 1},
    {"line breaks count", "一\r\n二\n三", 245, 3},
    {"exactly full", "一二三四五", 60, 1},
    {"one character over", "一二三四五六", 60, 2},
    {"Chinese breaks between any two characters", "一二三四五六七八九十", 36, 4},
    {"a word moves to the next line whole", "aaaa bbbb", 40, 2},  // 28 + 4 + 32
    {"blanks at a line's end overhang", "aaaa          ", 40, 1},
    {"a word wider than the line breaks inside", "aaaaaaaaaa", 30, 3},  // 7 a line: 4 + 4 + 2
    {"a word after Chinese", "一二三 abc", 48, 2},
};

class WrapTable : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapTable, CountsTheLinesALabelNeeds) {
    EXPECT_EQ(WrappedLines(Gbk(GetParam().utf8), GetParam().width), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Texts, WrapTable, ::testing::ValuesIn(kWraps), zsetup::testing::LabelName());

}  // namespace
}  // namespace zsetup
