#include "builder/manifest_text.h"

#include <gtest/gtest.h>

namespace zsetup {
namespace {

struct Case {
    const char* what;
    std::string utf8;
    std::size_t limit;
    std::string gbk;    // expected bytes when it converts
    std::string error;  // expected message otherwise
};

TEST(ManifestText, ConvertsToGbkWithinTheFieldOrSaysWhy) {
    const Case cases[] = {
        {"ascii", "Zoraq 2.0", 128, "Zoraq 2.0", ""},
        {"chinese", "\xe5\xae\x89\xe8\xa3\x85\xe5\x90\x91\xe5\xaf\xbc", 128, "\xb0\xb2\xd7\xb0\xcf\xf2\xb5\xbc", ""},
        {"empty", "", 8, "", ""},
        {"exactly the limit", std::string(8, '2'), 8, std::string(8, '2'), ""},
        {"one byte over", std::string(9, '2'), 8, "", "release_date: 9 bytes in GBK, at most 8 (\"222222222\")"},
        // Three UTF-8 bytes but two in GBK: the limit counts GBK bytes.
        {"counted in GBK bytes", "\xe5\xae\x89\xe5\xae\x89\xe5\xae\x89\xe5\xae\x89", 8,
         "\xb0\xb2\xb0\xb2\xb0\xb2\xb0\xb2", ""},
        {"no GBK form", "ok \xf0\x9f\x98\x80", 128, "",
         "release_date: \"ok \xf0\x9f\x98\x80\" holds a character with no GBK form"},
        {"not UTF-8", "bad \xff", 128, "", "release_date: \"bad \xff\" holds a character with no GBK form"},
        // Long values are quoted in part, with their length.
        {"over, quoted in part", std::string(50, 'a'), 40, "",
         "release_date: 50 bytes in GBK, at most 40 (\"" + std::string(40, 'a') + "...\" (50 bytes))"},
        {"no GBK form in a long value", "\xf0\x9f\x98\x80" + std::string(1000, 'x'), 4000, "",
         "release_date: \"\xf0\x9f\x98\x80" + std::string(39, 'x') +
             "...\" (1004 bytes) holds a character with no GBK form"},
        // More than three UTF-8 bytes for each GBK byte allowed: refused unconverted.
        {"far over the field", std::string(25, '2'), 8, "",
         "release_date: 25 bytes, far over the 8 in GBK it may be (\"" + std::string(25, '2') + "\")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.error.empty()) {
            EXPECT_EQ(FieldText("release_date", c.utf8, c.limit), c.gbk);
            continue;
        }
        try {
            FieldText("release_date", c.utf8, c.limit);
            ADD_FAILURE() << "no error";
        } catch (const ManifestError& e) {
            EXPECT_EQ(e.what(), c.error);
        }
    }
}

// A quote is cut between characters, never inside one.
TEST(ManifestText, QuotesAtMostFortyCharactersWhole) {
    std::string chinese;
    for (int i = 0; i < 41; ++i) chinese += "\xe5\xae\x89";
    EXPECT_EQ(Quoted(chinese), "\"" + chinese.substr(0, 120) + "...\" (123 bytes)");
    EXPECT_EQ(Quoted(chinese.substr(0, 120)), "\"" + chinese.substr(0, 120) + "\"");
}

}  // namespace
}  // namespace zsetup
