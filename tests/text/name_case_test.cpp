// Installed names compared as NTFS compares them: letters of every script GBK
// holds fold as the volume's upcase table folds them, in both trees (the
// native tree decodes GBK with iconv, the Windows trees with code page 936).
#include "text/name_case.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/case_names.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

struct NamePair {
    const char* label;
    std::string a, b;  // UTF-8, or GBK bytes when raw
    bool same_file;
    bool raw = false;
};

void PrintTo(const NamePair& c, std::ostream* os) { *os << c.label; }

std::string Gbk(const NamePair& c, const std::string& text) {
    if (c.raw) return text;
    std::string gbk;
    EXPECT_TRUE(Utf8ToGbk(text, gbk)) << text;
    return gbk;
}

class NameCase : public ::testing::TestWithParam<NamePair> {};

TEST_P(NameCase, NamesAreOneFileExactlyWhenNtfsFoldsThemTogether) {
    const NamePair& c = GetParam();
    EXPECT_EQ(NameCaseKey(Gbk(c, c.a)) == NameCaseKey(Gbk(c, c.b)), c.same_file);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NameCase,
    ::testing::Values(NamePair{"ASCII letters", "\\Bin\\App.EXE", "\\bin\\app.exe", true},
                      NamePair{"fullwidth Latin letters", "\\ａ.txt", "\\Ａ.txt", true},
                      NamePair{"Greek letters", "\\α", "\\Α", true}, NamePair{"Cyrillic letters", "\\я", "\\Я", true},
                      NamePair{"Cyrillic io", "\\ё.txt", "\\Ё.txt", true},
                      NamePair{"Roman numerals", "\\ⅰ", "\\Ⅰ", true},
                      NamePair{"Roman numeral ten", "\\第ⅹ章", "\\第Ⅹ章", true},
                      NamePair{"two Chinese characters", "\\一", "\\丁", false},
                      NamePair{"Chinese characters of one sound", "\\啊.txt", "\\阿.txt", false},
                      NamePair{"an ASCII and a fullwidth letter", "\\a", "\\ａ", false},
                      NamePair{"a Roman numeral and a letter", "\\ⅰ", "\\i", false},
                      NamePair{"a Greek and a Latin letter", "\\α", "\\a", false},
                      // GBK B041 and B061: trail bytes that are 'A' and 'a' are no letters.
                      NamePair{"trail bytes that look like letters", "\\癆.txt", "\\癮.txt", false},
                      // A lead byte alone has no character; the rest still folds.
                      NamePair{"letters beside a byte of no character", "\\a\x81", "\\A\x81", true, true},
                      NamePair{"two bytes of no character", "\\a\x81", "\\a\x82", false, true}),
    testing::LabelName());

}  // namespace
}  // namespace zsetup
