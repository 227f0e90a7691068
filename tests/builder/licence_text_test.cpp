// The licence file in each encoding a maker saves it in, and the characters
// GBK lacks: stood in for where the stand-in is obvious, refused with their
// place otherwise.
#include "builder/licence_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/encoding.h"

namespace zsetup {
namespace {

// UTF-16 code units as bytes, little- or big-endian, after their byte-order mark.
std::string Utf16(const std::u16string& text, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

struct Case {
    const char* label;
    std::string file;
    LicenceEncoding encoding;
    std::string text;                    // what the installer shows, in UTF-8; "" when refused
    std::vector<std::string> stand_ins;  // in full
    std::vector<std::string> problems;   // in full
};

TEST(LicenceText, EachEncodingAndEveryCharacterGbkLacks) {
    const Case cases[] = {
        {"UTF-8, dashes and quotes GBK has",
         "许可 – “条款” — 第一条…\r\n",
         LicenceEncoding::kUtf8,
         "许可 – “条款” — 第一条…\r\n",
         {},
         {}},
        {"UTF-8 with its byte-order mark", "\xEF\xBB\xBF许可", LicenceEncoding::kUtf8WithMark, "许可", {}, {}},
        {"UTF-16 LE", Utf16(u"许可\r\n第二行", false), LicenceEncoding::kUtf16Le, "许可\r\n第二行", {}, {}},
        {"UTF-16 BE", Utf16(u"许可\r\n第二行", true), LicenceEncoding::kUtf16Be, "许可\r\n第二行", {}, {}},
        {"GBK: not UTF-8, no mark",
         "\xD0\xED\xBF\xC9\r\n\xB5\xDA\xB6\xFE",
         LicenceEncoding::kGbk,
         "许可\r\n第二",
         {},
         {}},
        {"stand-ins, each named once with its lines",
         "© 2026 演示®\n条款\n™ • − ©\xC2\xA0½",
         LicenceEncoding::kUtf8,
         "(C) 2026 演示(R)\n条款\n(TM) · - (C) 1/2",
         {"\"\xC2\xA0\" (U+00A0) has no GBK form, written as \" \" (line 3)",
          "\"©\" (U+00A9) has no GBK form, written as \"(C)\" (lines 1, 3)",
          "\"®\" (U+00AE) has no GBK form, written as \"(R)\" (line 1)",
          "\"½\" (U+00BD) has no GBK form, written as \"1/2\" (line 3)",
          "\"•\" (U+2022) has no GBK form, written as \"·\" (line 3)",
          "\"™\" (U+2122) has no GBK form, written as \"(TM)\" (line 3)",
          "\"−\" (U+2212) has no GBK form, written as \"-\" (line 3)"},
         {}},
        {"no GBK form, no stand-in: line and column",
         "第一行\n一个 😀 表情 ✈",
         LicenceEncoding::kUtf8,
         "",
         {},
         {"line 2, column 4: \"😀\" (U+1F600) has no GBK form and no stand-in; write it otherwise or leave it out",
          "line 2, column 9: \"✈\" (U+2708) has no GBK form and no stand-in; write it otherwise or leave it out"}},
        {"UTF-16 with a character outside the BMP",
         Utf16(u"ab😀", false),
         LicenceEncoding::kUtf16Le,
         "",
         {},
         {"line 1, column 3: \"😀\" (U+1F600) has no GBK form and no stand-in; write it otherwise or leave it out"}},
        {"neither UTF-8 nor GBK",
         "ab\n\xFF",
         LicenceEncoding::kUtf8,
         "",
         {},
         {"line 2, column 1: byte 0xFF is not UTF-8, and the file is not GBK either; save the licence as UTF-8"}},
        {"a UTF-8 mark before bytes that are not",
         "\xEF\xBB\xBF许\n\xD0\xED",
         LicenceEncoding::kUtf8,
         "",
         {},
         {"line 2, column 1: byte 0xD0 is not UTF-8 though the file starts with UTF-8's byte-order mark; save the "
          "licence as UTF-8"}},
        {"UTF-16 without its mark",
         std::string("a\0b\0", 4),
         LicenceEncoding::kUtf8,
         "",
         {},
         {"line 1, column 2: U+0000 (NUL) would end the text there; a UTF-16 file needs its byte-order mark",
          "line 1, column 4: U+0000 (NUL) would end the text there; a UTF-16 file needs its byte-order mark"}},
        {"UTF-16 cut off",
         std::string("\xFF\xFE"
                     "a\0b",
                     5),
         LicenceEncoding::kUtf16Le,
         "",
         {},
         {"line 1, column 2: a lone surrogate or a cut-off character, not UTF-16 LE (its byte-order mark) text"}},
        {"UTF-16 with a lone surrogate",
         Utf16(u"a\n\xDC00", true),
         LicenceEncoding::kUtf16Be,
         "",
         {},
         {"line 2, column 1: a lone surrogate or a cut-off character, not UTF-16 BE (its byte-order mark) text"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const LicenceText got = DecodeLicence(c.file);
        EXPECT_EQ(got.problems, c.problems);
        EXPECT_EQ(got.stand_ins, c.stand_ins);
        if (c.problems.empty()) {
            EXPECT_EQ(got.encoding, c.encoding);
        }
        std::string gbk;
        ASSERT_TRUE(Utf8ToGbk(c.text, gbk));
        EXPECT_EQ(got.gbk, gbk);
    }
}

// Past twenty refusals the rest are counted, not listed.
TEST(LicenceText, ManyRefusalsAreCounted) {
    std::string file;
    for (int i = 0; i < 25; ++i) file += "😀\n";
    const LicenceText got = DecodeLicence(file);
    ASSERT_EQ(got.problems.size(), 21u);
    EXPECT_EQ(got.problems[19].rfind("line 20, column 1: ", 0), 0u) << got.problems[19];
    EXPECT_EQ(got.problems.back(), "... and 5 more such characters");
}

}  // namespace
}  // namespace zsetup
