#include "package/config_validation.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>

#include "tests/support/case_names.h"

namespace zsetup {
namespace {

// Two files of 10 and 5 bytes in a 15-byte payload, one shortcut to the first.
std::unique_ptr<SetupConfig> ValidConfig() {
    auto c = std::make_unique<SetupConfig>(SetupConfig::Zero());
    c->FileCount = 2;
    c->Files[0].Name.assign("\\bin\\app.exe");
    c->Files[0].Size = 10;
    c->Files[1].Name.assign("\\readme.txt");
    c->Files[1].Offset = 10;
    c->Files[1].Size = 5;
    c->ShortcutCount = 1;
    c->Shortcuts[0].FileIndex = 0;
    return c;
}

constexpr std::uint64_t kPayload = 15;

struct Case {
    const char* label;
    std::function<void(SetupConfig&)> change;
    const char* expected;  // the one problem's text, or nullptr for none
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class ConfigValidation : public ::testing::TestWithParam<Case> {};

TEST_P(ConfigValidation, ReportsTheRowFieldAndValue) {
    auto c = ValidConfig();
    GetParam().change(*c);
    auto problems = ValidateConfig(*c, kPayload);
    if (GetParam().expected == nullptr) {
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems);
    } else {
        ASSERT_EQ(problems.size(), 1u) << DescribeProblems(problems);
        EXPECT_EQ(problems[0].message, GetParam().expected);
    }
}

const Case kCases[] = {
    {"valid", [](SetupConfig&) {}, nullptr},
    {"empty tables",
     [](SetupConfig& c) {
         c.FileCount = 0;
         c.ShortcutCount = 0;
     },
     nullptr},
    {"sub-folders and a dotted name", [](SetupConfig& c) { c.Files[0].Name.assign("\\a\\.\\b..c\\x.y"); }, nullptr},
    {"zero-size file at the end",
     [](SetupConfig& c) {
         c.Files[1].Offset = 15;
         c.Files[1].Size = 0;
     },
     nullptr},
    {"GBK trail byte 0x5C is no separator",
     // 0x81 0x5C is one character; byte-wise it would look like "\..".
     [](SetupConfig& c) { c.Files[0].Name.assign("\\\x81\\.."); }, nullptr},
    {"negative file count",
     [](SetupConfig& c) {
         c.FileCount = -1;
         c.ShortcutCount = 0;
     },
     "FileCount: -1 is outside 0..256"},
    {"shortcut count over 256",
     [](SetupConfig& c) {
         c.ShortcutCount = 257;
         for (auto& s : c.Shortcuts) s.FileIndex = 1;
     },
     "ShortcutCount: 257 is outside 0..256"},
    {"registry count over 256", [](SetupConfig& c) { c.RegistryCount = 1000; },
     "RegistryCount: 1000 is outside 0..256"},
    {"slice past the payload", [](SetupConfig& c) { c.Files[1].Size = 6; },
     "Files[1].Size: bytes 10..16 lie outside the payload of 15 bytes"},
    {"offset past the payload", [](SetupConfig& c) { c.Files[0].Offset = 0x7FFFFFFF; },
     "Files[0].Size: bytes 2147483647..2147483657 lie outside the payload of 15 bytes"},
    {"negative offset", [](SetupConfig& c) { c.Files[0].Offset = -3; }, "Files[0].Offset: -3 is negative"},
    {"negative size", [](SetupConfig& c) { c.Files[1].Size = -1; }, "Files[1].Size: -1 is negative"},
    {"shortcut target past the table", [](SetupConfig& c) { c.Shortcuts[0].FileIndex = 2; },
     "Shortcuts[0].FileIndex: 2 is not a row of the file table (2 rows)"},
    {"negative shortcut target", [](SetupConfig& c) { c.Shortcuts[0].FileIndex = -1; },
     "Shortcuts[0].FileIndex: -1 is not a row of the file table (2 rows)"},
    {"name without a leading backslash", [](SetupConfig& c) { c.Files[1].Name.assign("readme.txt"); },
     "Files[1].Name: \"readme.txt\" does not start with a backslash"},
    {"empty name", [](SetupConfig& c) { c.Files[1].Name.assign(""); },
     "Files[1].Name: \"\" does not start with a backslash"},
    {"parent component", [](SetupConfig& c) { c.Files[0].Name.assign("\\..\\evil.exe"); },
     "Files[0].Name: \"\\..\\evil.exe\" climbs out of the target folder"},
    {"parent component at the end", [](SetupConfig& c) { c.Files[0].Name.assign("\\a\\.."); },
     "Files[0].Name: \"\\a\\..\" climbs out of the target folder"},
    {"parent with trailing blank, which Windows drops", [](SetupConfig& c) { c.Files[0].Name.assign("\\.. \\x"); },
     "Files[0].Name: \"\\.. \\x\" climbs out of the target folder"},
    {"drive inside", [](SetupConfig& c) { c.Files[0].Name.assign("\\C:\\x"); },
     "Files[0].Name: \"\\C:\\x\" holds a drive or stream separator ':'"},
    {"stream name", [](SetupConfig& c) { c.Files[0].Name.assign("\\a.txt:ads"); },
     "Files[0].Name: \"\\a.txt:ads\" holds a drive or stream separator ':'"},
    {"forward slash", [](SetupConfig& c) { c.Files[0].Name.assign("\\a/../../x"); },
     "Files[0].Name: \"\\a/../../x\" holds a forward slash"},
};

INSTANTIATE_TEST_SUITE_P(Table, ConfigValidation, ::testing::ValuesIn(kCases), testing::LabelName());

TEST(ConfigValidationReport, ListsEveryProblemOneLineEach) {
    auto c = ValidConfig();
    c->Files[0].Name.assign("x");
    c->Shortcuts[0].FileIndex = 9;
    auto problems = ValidateConfig(*c, kPayload);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].where, "Files[0].Name");
    EXPECT_EQ(problems[1].where, "Shortcuts[0].FileIndex");
    EXPECT_EQ(DescribeProblems(problems), problems[0].message + "\r\n" + problems[1].message);
}

}  // namespace
}  // namespace zsetup
