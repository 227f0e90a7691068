// The [[folder]] patterns: what each kind of pattern matches, and which
// patterns are refused before they could match nothing.
#include "builder/glob.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/case_names.h"

namespace zsetup {
namespace {

struct GlobCase {
    const char* label;
    const char* pattern;
    const char* path;
    bool matches;
};

// gtest names a case by its label, also in ctest's list.
void PrintTo(const GlobCase& c, std::ostream* os) { *os << c.label; }

const GlobCase kCases[] = {
    {"star within a name", "*.txt", "a.txt", true},
    {"star at any depth", "*.txt", "x/y/a.txt", true},
    {"star never crosses a slash", "a*.txt", "a/b.txt", false},
    {"star matches nothing", "a*b", "ab", true},
    {"star backtracks", "*a*b", "xaxxab", true},
    {"star needs the rest", "*.txt", "a.txt.bak", false},
    {"question mark is one character", "?.txt", "a.txt", true},
    {"question mark is not two", "?.txt", "ab.txt", false},
    {"question mark is one Chinese character", "?.txt", "说.txt", true},
    {"Chinese characters stand for themselves", "说明*", "说明书.txt", true},
    {"a name matches a folder and what is in it", "cache", "a/cache/b/c.bin", true},
    {"a name matches whole names only", "cache", "a/cached/c.bin", false},
    {"a slash anchors at the folder", "sub/*.log", "sub/a.log", true},
    {"an anchored pattern does not float", "sub/*.log", "x/sub/a.log", false},
    {"a leading slash changes nothing", "/sub/*.log", "sub/a.log", true},
    {"an anchored folder holds its files", "img/icons", "img/icons/a.png", true},
    {"double star is any number of folders", "img/**/*.png", "img/a/b/c.png", true},
    {"double star is no folder too", "img/**/*.png", "img/c.png", true},
    {"double star keeps the parts around it", "img/**/*.png", "doc/img/c.png", false},
    {"double star at the end is everything below", "img/**", "img/a/b", true},
    {"double star first", "**/test/*.cpp", "a/b/test/x.cpp", true},
    {"ASCII letters ignore case", "*.TXT", "README.txt", true},
    {"other characters are compared as they are", "Ä*", "ä.txt", false},
    {"brackets are plain characters", "[ab].txt", "a.txt", false},
    {"brackets match themselves", "[ab].txt", "[ab].txt", true},
};

class GlobTable : public ::testing::TestWithParam<GlobCase> {};

TEST_P(GlobTable, MatchesAsDocumented) {
    const GlobCase& c = GetParam();
    EXPECT_EQ(GlobMatches(c.pattern, c.path), c.matches) << c.pattern << " against " << c.path;
}

INSTANTIATE_TEST_SUITE_P(Patterns, GlobTable, ::testing::ValuesIn(kCases), zsetup::testing::LabelName());

TEST(GlobProblem, RefusesWhatCouldMatchNothingOrMisleads) {
    const struct {
        const char* pattern;
        const char* problem;  // a part of it; "" for a usable pattern
    } cases[] = {
        {"*.txt", ""},
        {"img/**", ""},
        {"", "is empty"},
        {"/", "is empty"},
        {"img\\*.png", "holds a backslash"},
        {"../x", "\"..\" part"},
        {"a/./b", "\".\" or \"..\" part"},
        {"\xFF", "not UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        const std::string why = GlobProblem(c.pattern);
        if (*c.problem == '\0') {
            EXPECT_EQ(why, "");
        } else {
            EXPECT_NE(why.find(c.problem), std::string::npos) << why;
            EXPECT_FALSE(GlobMatches(c.pattern, "x")) << "a refused pattern matches nothing";
        }
    }
}

}  // namespace
}  // namespace zsetup
