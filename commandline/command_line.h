// A program's command line, read once at start-up. Windows' splitting rules
// (those of CommandLineToArgvW): blanks separate arguments, double quotes
// group, a backslash escapes a quote only in a run before one. Option names
// ignore letter case. One option may take the rest of the line as its value,
// blanks included and without quotes (as NSIS's /D=): it must come last;
// quoted whole, as programs that quote their arguments pass it, it is read
// as a quoted argument.
// Text is GBK; a trail byte is never taken for a quote, blank or backslash.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zsetup {

// The arguments after the program's own path.
std::vector<std::string> SplitCommandLine(std::string_view line);

struct OptionRule {
    enum Kind { kFlag, kValue, kRestOfLine };
    const char* name;  // "/S", "/LOG=", "/D="
    Kind kind;
};

struct CommandLine {
    // Each option given, by its name as its rule writes it; flags hold "".
    std::map<std::string, std::string> options;
    // Why the line cannot be taken ("unknown option"), empty when it can.
    std::string error;
    std::string bad_argument;  // the argument the error is about

    bool Has(const std::string& name) const { return options.count(name) > 0; }
    std::string Value(const std::string& name) const;
};

CommandLine ParseCommandLine(std::string_view line, const std::vector<OptionRule>& rules);

}  // namespace zsetup
