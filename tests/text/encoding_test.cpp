// UTF-8 <-> GBK, natively through iconv and under Wine through the Windows
// code page functions: the same table for both, and in both locales.
#include "text/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace zsetup {
namespace {

TEST(Encoding, ConvertsExactlyOrNotAtAll) {
    const struct {
        const char* label;
        std::string utf8;
        bool converts;
        std::string gbk;
    } cases[] = {
        {"ASCII", "Zoraq 2.0", true, "Zoraq 2.0"},
        {"Chinese", "\xe5\xae\x89\xe8\xa3\x85\xe5\x90\x91\xe5\xaf\xbc", true, "\xb0\xb2\xd7\xb0\xcf\xf2\xb5\xbc"},
        {"a character whose GBK trail byte is a backslash", "\xe6\x98\x9e", true, "\x95\x5c"},
        {"empty", "", true, ""},
        {"no GBK form", "ok \xf0\x9f\x98\x80", false, ""},
        {"not UTF-8", "bad \xff", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::string gbk = "untouched";
        EXPECT_EQ(Utf8ToGbk(c.utf8, gbk), c.converts);
        EXPECT_EQ(gbk, c.converts ? c.gbk : "untouched");
        if (!c.converts) continue;
        std::string utf8;
        EXPECT_TRUE(GbkToUtf8(c.gbk, utf8));
        EXPECT_EQ(utf8, c.utf8);
    }
}

TEST(Encoding, MessagesKeepBytesWithoutAUtf8Form) {
    EXPECT_EQ(GbkToUtf8("C:\\\xb0\xb2\xd7\xb0"), "C:\\\xe5\xae\x89\xe8\xa3\x85");
    // A lone lead byte is no GBK text: shown as it is rather than lost.
    EXPECT_EQ(GbkToUtf8("a\x81"), "a\x81");
}

}  // namespace
}  // namespace zsetup
