#include "builder/manifest_text.h"

#include <gtest/gtest.h>

namespace zsetup {
namespace {

struct Case {
    const char* what;
    std::string utf8;
    std::size_t limit;
    std::string gbk;    // expected bytes when it converts
    const char* error;  // expected message otherwise
};

TEST(ManifestText, ConvertsToGbkWithinTheFieldOrSaysWhy) {
    const Case cases[] = {
        {"ascii", "Zoraq 2.0", 128, "Zoraq 2.0", nullptr},
        {"chinese", "\xe5\xae\x89\xe8\xa3\x85\xe5\x90\x91\xe5\xaf\xbc", 128, "\xb0\xb2\xd7\xb0\xcf\xf2\xb5\xbc",
         nullptr},
        {"empty", "", 8, "", nullptr},
        {"exactly the limit", std::string(8, '2'), 8, std::string(8, '2'), nullptr},
        {"one byte over", std::string(9, '2'), 8, "", "release_date: 9 bytes in GBK, at most 8 (\"222222222\")"},
        // Three UTF-8 bytes but two in GBK: the limit counts GBK bytes.
        {"counted in GBK bytes", "\xe5\xae\x89\xe5\xae\x89\xe5\xae\x89\xe5\xae\x89", 8,
         "\xb0\xb2\xb0\xb2\xb0\xb2\xb0\xb2", nullptr},
        {"no GBK form", "ok \xf0\x9f\x98\x80", 128, "",
         "release_date: \"ok \xf0\x9f\x98\x80\" holds a character with no GBK form"},
        {"not UTF-8", "bad \xff", 128, "", "release_date: \"bad \xff\" holds a character with no GBK form"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.error == nullptr) {
            EXPECT_EQ(FieldText("release_date", c.utf8, c.limit), c.gbk);
            continue;
        }
        try {
            FieldText("release_date", c.utf8, c.limit);
            ADD_FAILURE() << "no error";
        } catch (const ManifestError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
}

}  // namespace
}  // namespace zsetup
