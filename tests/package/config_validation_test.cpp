#include "package/config_validation.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>

#include "tests/package/expect_problem.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

// Two files of 10 and 5 bytes in a 15-byte payload, one shortcut to the first.
std::unique_ptr<SetupConfig> ValidConfig() {
    auto c = std::make_unique<SetupConfig>(SetupConfig::Zero());
    c->ProductName.assign("Demo Tool");
    c->DefaultFolderName.assign("Demo Tool");
    c->CompanyKeyName.assign("Demo Studio");
    c->FileCount = 2;
    c->Files[0].Name.assign("\\bin\\app.exe");
    c->Files[0].Size = 10;
    c->Files[1].Name.assign("\\readme.txt");
    c->Files[1].Offset = 10;
    c->Files[1].Size = 5;
    c->ShortcutCount = 1;
    c->Shortcuts[0].Name.assign("Demo Tool");
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
    testing::ExpectProblem(ValidateConfig(*c, kPayload), GetParam().expected);
}

// clang-format off
const Case kCases[] = {
    // Sound records.
    {"valid", [](SetupConfig&) {}, nullptr},
    {"empty tables", [](SetupConfig& c) { c.FileCount = 0; c.ShortcutCount = 0; }, nullptr},
    {"sub-folders and dots inside names", [](SetupConfig& c) { c.Files[0].Name.assign("\\a\\b..c\\.x.y"); }, nullptr},
    {"zero-size file at the end", [](SetupConfig& c) { c.Files[1].Offset = 15; c.Files[1].Size = 0; }, nullptr},
    // 0x81 0x5C is one character: byte-wise it would look like "\\" and an empty name.
    {"GBK trail byte 0x5C is no separator", [](SetupConfig& c) { c.Files[0].Name.assign("\\\x81\\x"); }, nullptr},
    {"Chinese names", [](SetupConfig& c) { c.ProductName.assign("\xD1\xDD\xCA\xBE"); c.Shortcuts[0].Name.assign("\x95\x5C"); }, nullptr},
    {"a skipped row is no path", [](SetupConfig& c) { c.Files[1].Name.assign("\\..\\*.txt"); }, nullptr},
    {"a device word inside a name", [](SetupConfig& c) { c.Files[1].Name.assign("\\console.txt"); }, nullptr},

    // Counts, slices and targets.
    {"negative file count", [](SetupConfig& c) { c.FileCount = -1; c.ShortcutCount = 0; },
     "FileCount: -1 is outside 0..256"},
    {"shortcut count over 256", [](SetupConfig& c) {
         c.ShortcutCount = 257;
         for (auto& s : c.Shortcuts) { s.FileIndex = 1; s.Name.assign("x"); }
     },
     "ShortcutCount: 257 is outside 0..256"},
    {"registry count over 256", [](SetupConfig& c) { c.RegistryCount = 1000; }, "RegistryCount: 1000 is outside 0..256"},
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

    // Installed names that leave the target folder or that Windows refuses.
    {"name without a leading backslash", [](SetupConfig& c) { c.Files[1].Name.assign("readme.txt"); },
     "Files[1].Name: \"readme.txt\" does not start with a backslash"},
    {"empty name", [](SetupConfig& c) { c.Files[1].Name.assign(""); }, "Files[1].Name: \"\" does not start with a backslash"},
    {"parent component", [](SetupConfig& c) { c.Files[0].Name.assign("\\..\\evil.exe"); },
     "Files[0].Name: \"\\..\\evil.exe\" climbs out of the target folder"},
    {"parent component at the end", [](SetupConfig& c) { c.Files[0].Name.assign("\\a\\.."); },
     "Files[0].Name: \"\\a\\..\" climbs out of the target folder"},
    {"parent with trailing blank, which Windows drops", [](SetupConfig& c) { c.Files[0].Name.assign("\\.. \\x"); },
     "Files[0].Name: \"\\.. \\x\" climbs out of the target folder"},
    {"current folder component", [](SetupConfig& c) { c.Files[0].Name.assign("\\a\\.\\x"); },
     "Files[0].Name: \"\\a\\.\\x\" has \".\", which names no file or folder"},
    {"empty component", [](SetupConfig& c) { c.Files[0].Name.assign("\\a\\\\x"); },
     "Files[0].Name: \"\\a\\\\x\" has an empty folder or file name"},
    {"trailing backslash", [](SetupConfig& c) { c.Files[0].Name.assign("\\a\\"); },
     "Files[0].Name: \"\\a\\\" has an empty folder or file name"},
    {"drive inside", [](SetupConfig& c) { c.Files[0].Name.assign("\\C:\\x"); },
     "Files[0].Name: \"\\C:\\x\" has \"C:\", which holds a drive or stream separator ':'"},
    {"stream name", [](SetupConfig& c) { c.Files[0].Name.assign("\\a.txt:ads"); },
     "Files[0].Name: \"\\a.txt:ads\" has \"a.txt:ads\", which holds a drive or stream separator ':'"},
    {"forward slash", [](SetupConfig& c) { c.Files[0].Name.assign("\\a/../../x"); },
     "Files[0].Name: \"\\a/../../x\" has \"a/../../x\", which holds a forward slash"},
    {"lead byte before a slash is no pair", [](SetupConfig& c) { c.Files[0].Name.assign("\\\x81/x"); },
     "Files[0].Name: \"\\\x81/x\" has \"\x81/x\", which holds a byte that is not GBK text"},
    {"lead byte at the end", [](SetupConfig& c) { c.Files[0].Name.assign("\\x\x81"); },
     "Files[0].Name: \"\\x\x81\" has \"x\x81\", which holds a byte that is not GBK text"},
    {"device name", [](SetupConfig& c) { c.Files[0].Name.assign("\\CON"); },
     "Files[0].Name: \"\\CON\" has \"CON\", which is the name of a Windows device"},
    {"device name with an extension", [](SetupConfig& c) { c.Files[0].Name.assign("\\bin\\lpt1 .txt"); },
     "Files[0].Name: \"\\bin\\lpt1 .txt\" has \"lpt1 .txt\", which is the name of a Windows device"},
    {"question mark", [](SetupConfig& c) { c.Files[0].Name.assign("\\a?.txt"); },
     "Files[0].Name: \"\\a?.txt\" has \"a?.txt\", which holds '?', which Windows refuses in a name"},
    {"control character", [](SetupConfig& c) { c.Files[0].Name.assign("\\a\tb"); },
     "Files[0].Name: \"\\a\tb\" has \"a\tb\", which holds a control character"},
    {"trailing dot", [](SetupConfig& c) { c.Files[0].Name.assign("\\a.txt."); },
     "Files[0].Name: \"\\a.txt.\" has \"a.txt.\", which ends with a dot or a blank, which Windows drops"},
    {"trailing blank in a folder", [](SetupConfig& c) { c.Files[0].Name.assign("\\bin \\app.exe"); },
     "Files[0].Name: \"\\bin \\app.exe\" has \"bin \", which ends with a dot or a blank, which Windows drops"},
    {"the same file twice", [](SetupConfig& c) { c.Files[1].Name.assign("\\BIN\\App.exe"); },
     "Files[1].Name: \"\\BIN\\App.exe\" is the same file as Files[0]"},
    {"a file where another row makes a folder", [](SetupConfig& c) { c.Files[1].Name.assign("\\bin\\app.exe\\x"); },
     "Files[1].Name: \"\\bin\\app.exe\\x\" lies in a folder that is Files[0]'s file"},
    // Letters NTFS folds beyond ASCII (GBK): fullwidth a/A, Greek alpha, Cyrillic ya, Roman numeral one.
    {"fullwidth letters are one file", [](SetupConfig& c) { c.Files[0].Name.assign("\\\xA3\xE1.txt"); c.Files[1].Name.assign("\\\xA3\xC1.txt"); },
     "Files[1].Name: \"\\\xA3\xC1.txt\" is the same file as Files[0]"},
    {"Cyrillic letters are one file", [](SetupConfig& c) { c.Files[0].Name.assign("\\\xA7\xF1"); c.Files[1].Name.assign("\\\xA7\xC1"); },
     "Files[1].Name: \"\\\xA7\xC1\" is the same file as Files[0]"},
    {"a Greek folder that is a file", [](SetupConfig& c) { c.Files[0].Name.assign("\\\xA6\xC1"); c.Files[1].Name.assign("\\\xA6\xA1\\x"); },
     "Files[1].Name: \"\\\xA6\xA1\\x\" lies in a folder that is Files[0]'s file"},
    {"Roman numerals are one file", [](SetupConfig& c) { c.Files[0].Name.assign("\\\xA2\xA1"); c.Files[1].Name.assign("\\\xA2\xF1"); },
     "Files[1].Name: \"\\\xA2\xF1\" is the same file as Files[0]"},
    {"two Chinese characters are two files", [](SetupConfig& c) { c.Files[0].Name.assign("\\\xD2\xBB"); c.Files[1].Name.assign("\\\xB6\xA1"); }, nullptr},

    // Names that become a link, the program group, a folder or a registry key.
    {"shortcut name with a folder", [](SetupConfig& c) { c.Shortcuts[0].Name.assign("..\\..\\..\\..\\x"); },
     "Shortcuts[0].Name: \"..\\..\\..\\..\\x\" holds a backslash"},
    {"empty shortcut name", [](SetupConfig& c) { c.Shortcuts[0].Name.assign(""); }, "Shortcuts[0].Name: \"\" is empty"},
    {"product name that climbs", [](SetupConfig& c) { c.ProductName.assign(".."); },
     "ProductName: \"..\" climbs out of the folder it belongs in"},
    {"product name with a folder", [](SetupConfig& c) { c.ProductName.assign("..\\Startup\\x"); },
     "ProductName: \"..\\Startup\\x\" holds a backslash"},
    {"empty product name", [](SetupConfig& c) { c.ProductName.assign(""); }, "ProductName: \"\" is empty"},
    {"default folder that climbs", [](SetupConfig& c) { c.DefaultFolderName.assign("..\\windows\\x"); },
     "DefaultFolderName: \"..\\windows\\x\" holds a backslash"},
    {"default folder of dots", [](SetupConfig& c) { c.DefaultFolderName.assign("."); },
     "DefaultFolderName: \".\" names no file or folder"},
    {"default folder a device", [](SetupConfig& c) { c.DefaultFolderName.assign("nul"); },
     "DefaultFolderName: \"nul\" is the name of a Windows device"},
    {"company key with a path", [](SetupConfig& c) { c.CompanyKeyName.assign("..\\..\\Classes"); },
     "CompanyKeyName: \"..\\..\\Classes\" holds a backslash"},
    {"empty company key", [](SetupConfig& c) { c.CompanyKeyName.assign(""); }, "CompanyKeyName: \"\" is empty"},
};
// clang-format on

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

// A record of 257 bad rows must not make a box taller than the screen.
TEST(ConfigValidationReport, ALongListIsCutAfterTheFirstLines) {
    auto c = ValidConfig();
    c->FileCount = 256;
    for (auto& f : c->Files) f.Name.assign("x");
    const auto problems = ValidateConfig(*c, kPayload);
    ASSERT_EQ(problems.size(), 256u);
    const std::string text = DescribeProblems(problems, 3);
    EXPECT_EQ(text, problems[0].message + "\r\n" + problems[1].message + "\r\n" + problems[2].message +
                        "\r\n... and 253 more");
    EXPECT_EQ(DescribeProblems(problems, 256), DescribeProblems(problems));
}

}  // namespace
}  // namespace zsetup
