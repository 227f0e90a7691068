// The command line as Windows splits it, and the options the programs take.
#include "commandline/command_line.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/case_names.h"

namespace zsetup {
namespace {

struct SplitCase {
    const char* label;
    std::string line;
    std::vector<std::string> args;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.label; }

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, FollowsWindowsRules) { EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().args); }

// clang-format off
const SplitCase kSplitCases[] = {
    {"program only", "setup.exe", {}},
    {"quoted program with a blank", "\"C:\\My Apps\\setup.exe\" /S", {"/S"}},
    {"blanks and tabs separate", "setup.exe  a\tb ", {"a", "b"}},
    {"quotes group", "setup.exe \"a b\" c", {"a b", "c"}},
    {"a quote inside an argument", "setup.exe /LOG=\"C:\\a b.txt\"", {"/LOG=C:\\a b.txt"}},
    {"backslashes stay unless before a quote", "setup.exe C:\\a\\b\\", {"C:\\a\\b\\"}},
    {"an escaped quote", "setup.exe a\\\"b", {"a\"b"}},
    {"two backslashes before a quote", "setup.exe \"a\\\\\" b", {"a\\", "b"}},
    {"a doubled quote inside quotes", "setup.exe \"a\"\"b\"", {"a\"b"}},
    {"empty quotes are an empty argument", "setup.exe \"\" x", {"", "x"}},
    // 0x95 0x5C is one character: its second byte is no backslash before the quote.
    {"a GBK trail byte 0x5C", "setup.exe \"C:\\\x95\\\" x", {"C:\\\x95\\", "x"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, Split, ::testing::ValuesIn(kSplitCases), testing::LabelName());

const std::vector<OptionRule> kRules = {{"/S", OptionRule::kFlag},
                                        {"/?", OptionRule::kFlag},
                                        {"/LOG=", OptionRule::kValue},
                                        {"/D=", OptionRule::kRestOfLine}};

struct OptionCase {
    const char* label;
    std::string line;
    std::map<std::string, std::string> options;
    std::string bad;  // the unknown argument, when the line is refused
};

void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.label; }

class Options : public ::testing::TestWithParam<OptionCase> {};

TEST_P(Options, AreReadAsTheProgramTakesThem) {
    const CommandLine parsed = ParseCommandLine(GetParam().line, kRules);
    EXPECT_EQ(parsed.options, GetParam().options);
    EXPECT_EQ(parsed.error.empty(), GetParam().bad.empty()) << parsed.error;
    EXPECT_EQ(parsed.bad_argument, GetParam().bad);
}

// clang-format off
const OptionCase kOptionCases[] = {
    {"none", "setup.exe", {}, ""},
    {"silent", "setup.exe /S", {{"/S", ""}}, ""},
    {"letter case does not count", "setup.exe /s /log=C:\\x.txt", {{"/S", ""}, {"/LOG=", "C:\\x.txt"}}, ""},
    {"folder with blanks, unquoted, last", "setup.exe /S /D=C:\\Program Files\\演示 软件",
     {{"/S", ""}, {"/D=", "C:\\Program Files\\演示 软件"}}, ""},
    {"folder keeps everything after it", "setup.exe /D=C:\\a /S  ", {{"/D=", "C:\\a /S"}}, ""},
    {"a quoted log file", "setup.exe /LOG=\"C:\\my logs\\a.txt\" /S", {{"/LOG=", "C:\\my logs\\a.txt"}, {"/S", ""}}, ""},
    {"folder quotes are kept, as NSIS keeps them", "setup.exe /S /D=\"C:\\a b\"", {{"/S", ""}, {"/D=", "\"C:\\a b\""}}, ""},
    {"folder option quoted whole, as a program quoting its arguments passes it",
     "setup.exe /S \"/D=C:\\Program Files\\演示\"", {{"/S", ""}, {"/D=", "C:\\Program Files\\演示"}}, ""},
    {"folder option in lower case keeps GBK bytes raw", "setup.exe /d=C:\\\x95\\ /s", {{"/D=", "C:\\\x95\\ /s"}}, ""},
    {"an empty log file", "setup.exe /LOG= /S", {{"/LOG=", ""}, {"/S", ""}}, ""},
    {"help", "setup.exe /?", {{"/?", ""}}, ""},
    {"unknown option", "setup.exe /S /Q", {{"/S", ""}}, "/Q"},
    {"a flag with a value is unknown", "setup.exe /S=1", {}, "/S=1"},
    {"a bare word is unknown", "setup.exe install", {}, "install"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, Options, ::testing::ValuesIn(kOptionCases), testing::LabelName());

}  // namespace
}  // namespace zsetup
