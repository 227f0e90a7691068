// The check that keeps toml++ 3.3.0 away from text it misbehaves on: it names
// the line of each trap, lets valid manifests through, and toml++ reads what
// it lets through without undefined behaviour (in the native tree the
// sanitizers end the test otherwise).
#include "builder/toml_guard.h"

#include <gtest/gtest.h>

#include <string>

#include <toml++/toml.h>

#include "tests/support/case_names.h"

namespace zsetup {
namespace {

std::string Repeat(const std::string& s, std::size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i) out += s;
    return out;
}

struct Case {
    const char* label;
    std::string text;
    int line;                  // of the trap; 0: let through
    const char* message_part;  // of the trap's message
};

class TomlGuardTest : public ::testing::TestWithParam<Case> {};

TEST_P(TomlGuardTest, RefusesTrapsAtTheirLineAndLetsValidTomlThrough) {
    const Case& c = GetParam();
    const auto trap = FindTomlTrap(c.text);
    if (c.line == 0) {
        EXPECT_FALSE(trap) << trap->line << ": " << trap->message;
        EXPECT_NO_THROW(static_cast<void>(toml::parse(c.text)));
        return;
    }
    ASSERT_TRUE(trap);
    EXPECT_EQ(trap->line, c.line);
    EXPECT_NE(trap->message.find(c.message_part), std::string::npos) << trap->message;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TomlGuardTest,
    ::testing::Values(
        Case{"strings and comments hold any character",
             "# \xe6\xb3\xa8 \xc3\xa9\xe3\x80\x82\nname = \"\xe3\x80\x82\xc3\xa9\" # \xe3\x80\x82\nlit = "
             "'C:\\x\xe3\x80\x82'\n",
             0, nullptr},
        Case{"a continued line starting with an ideograph",
             "a = \"\"\"\xe7\xac\xac\xe4\xb8\x80\\\n    \xe7\xac\xac\xe4\xba\x8c\"\"\"\n", 0, nullptr},
        Case{"five quotes closing a multi-line string", "a = \"\"\"x\"\"\"\"\"\nb = '''y'''''\nc = \"\xc3\xa9\"\n", 0,
             nullptr},
        Case{"a byte order mark",
             "\xef\xbb\xbf"
             "a = 1\n",
             0, nullptr},
        Case{"dates, times and numbers", "d = 1979-05-27 07:32:00Z\ne = 1979-05-27\nf = [1, 2.5, -3] # \xc3\xa9\n", 0,
             nullptr},
        Case{"arrays over lines and inline tables",
             "a = [\n  [1, 2], # \xc3\xa9\n  [3],\n]\nb = { c = \"\xc3\xa9\", d = [4] }\n", 0, nullptr},
        Case{"quoted keys and headers", "[\"\xc3\xa9\"]\n\"\xc3\xa9\" = 1\n[[a.\"\xc3\xa9\"]]\nb.'\xc3\xa9' = 2\n", 0,
             nullptr},
        Case{"a character after a value", "a = 1\nb = \"x\"\xe3\x80\x82\n", 2,
             "\"\xe3\x80\x82\" (U+3002) stands outside"},
        Case{"a key outside quotes", "\xc3\xa9 = 1\n", 1, "\"\xc3\xa9\" (U+00E9) stands outside quotes"},
        Case{"quotes inside a number", "a = 0\"http://x\xe3\x80\x82\"\n", 1, "(U+3002) stands outside quotes"},
        Case{"a continued line starting with a full stop", "a = \"\"\"x\\\n\n   \xe3\x80\x82y\"\"\"\n", 3,
             "(U+3002) cannot start a line continued by a backslash"},
        Case{"a backslash before a letter", "a = \"\"\"x\\\xc3\xa9\"\"\"\n", 1, "(U+00E9) is not an escape"},
        Case{"blanks after a backslash, then a letter", "a = \"\"\"x\\  \xc3\xa9\n\"\"\"\n", 1, "must end its line"},
        Case{"three opening brackets", "[[[a]]]\n", 1, "a [table] header needs a name, not \"[\""},
        Case{"a header cut by the line end", "a = 1\n[\nb = 2\n", 2, "needs a name before the line ends"},
        Case{"a control character for a table name",
             "[[\x02"
             "file]]\n",
             1, "needs a name, not U+0002"},
        Case{"a closing brace for an array value", "a = [1,\n}\n", 2, "an array needs a value or ']'"},
        Case{"a date and a one-digit time", "a = 1979-05-27 7\n", 1, "hh:mm:ss"},
        // Nesting: toml++ reads and frees tables by recursion, a table for each key part.
        Case{"a dotted key of 128 parts", Repeat("k.", 127) + "k = 1\n", 0, nullptr},
        Case{"a dotted key of 129 parts", "a = 1\n" + Repeat("k.", 128) + "k = 1\n", 2, "nest more than 128 deep"},
        Case{"a dotted key of 15000 parts", Repeat("k.", 14999) + "k = 1\n", 1, "nest more than 128 deep"},
        Case{"a header's parts and a key's together",
             "[" + Repeat("h.", 99) + "h]\n" + Repeat("k.", 27) + "k = 1\n" + Repeat("k.", 28) + "k = 1\n", 3,
             "nest more than 128 deep"},
        Case{"an array of tables counts its array", "[[" + Repeat("h.", 127) + "h]]\n", 1, "nest more than 128 deep"},
        Case{"quoted parts count", Repeat("\"k\".", 128) + "'k' = 1\n", 1, "nest more than 128 deep"},
        Case{"inline tables inside one another", "a = " + Repeat("{b = ", 127) + "1" + Repeat("}", 127) + "\n", 0,
             nullptr},
        Case{"inline tables with dotted keys", "a = " + Repeat("{b.c = ", 64) + "1" + Repeat("}", 64) + "\n", 1,
             "nest more than 128 deep"},
        Case{"arrays in inline tables in arrays",
             "a = [\n" + Repeat("{b.c.d = [", 40) + "1" + Repeat("]}", 40) + "\n]\n", 2, "nest more than 128 deep"},
        Case{"values side by side do not add up",
             "a = [" + Repeat("{b.c.d = [1]}, ", 100) + "]\n" + Repeat("x.", 120) + "y = {" + Repeat("z.", 6) +
                 "z = 1}\n",
             0, nullptr},
        Case{"dotted numbers are no keys", "a = [" + Repeat("1.5, ", 200) + "]\nb = 1979-05-27T07:32:00.999999Z\n", 0,
             nullptr},
        // A long text is refused before toml++ copies it.
        Case{"a text of 64 KiB", "a = \"" + std::string(65536, 'x') + "\"\n", 0, nullptr},
        Case{"a text over 64 KiB", "a = 1\nb = \"" + std::string(65537, 'x') + "\"\n", 2,
             "a text in quotes of more than 65536 bytes"},
        Case{"a literal text over 64 KiB", "a = '" + std::string(65537, 'x') + "'\n", 1, "more than 65536 bytes"},
        Case{"a multi-line text over 64 KiB",
             "a = \"\"\"\n" + std::string(40000, 'x') + "\n" + std::string(40000, 'x') + "\"\"\"\n", 1,
             "more than 65536 bytes"}),
    testing::LabelName());

// Dates one after another: read in a loop, not one call deeper for each.
TEST(TomlGuard, ReadsARunOfDatesWithoutDeepening) {
    EXPECT_FALSE(FindTomlTrap("a = " + Repeat("1979-05-27 ", 500000) + "\n"));
}

std::string Utf8(char32_t c) {
    std::string s;
    if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    s += static_cast<char>(0x80 | (c & 0x3F));
    return s;
}

// Every character of the basic plane in each place where toml++ asks whether
// a character is a blank: the guard refuses the text or toml++ reads it.
TEST(TomlGuard, TomlReadsEveryTextItLetsThrough) {
    const std::string places[][2] = {
        {"a = 1\n", "\n"},                   // a key
        {"a = 1", "\n"},                     // after a value
        {"a = \"\"\"x\\\n  ", "y\"\"\"\n"},  // a continued line
        {"a = \"\"\"x\\", "\"\"\"\n"},       // after a backslash
        {"a = \"\"\"x\\ ", "\n\"\"\"\n"},    // after a backslash and a blank
    };
    int let_through = 0;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        for (const auto& place : places) {
            const std::string text = place[0] + Utf8(c) + place[1];
            if (FindTomlTrap(text)) continue;
            ++let_through;
            try {
                static_cast<void>(toml::parse(text));
            } catch (const toml::parse_error&) {
            }
        }
    }
    // All but the surrogates and toml++'s four unclassifiable ranges, in the
    // continued line alone: everywhere else TOML wants ASCII anyway.
    const int plane = 0x10000 - 0x80 - 0x800;
    const int unclassifiable =
        (0x499 - 0xA1 + 1) + (0x2FFF - 0x2C5E + 1) + (0x3057 - 0x3001 + 1) + (0xFEFE - 0xFB26 + 1);
    EXPECT_EQ(let_through, plane - unclassifiable);
}

}  // namespace
}  // namespace zsetup
