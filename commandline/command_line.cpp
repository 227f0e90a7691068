#include "commandline/command_line.h"

#include "text/gbk.h"

namespace zsetup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one argument starting at i (past any blanks); i ends after it.
std::string NextArgument(std::string_view line, std::size_t& i) {
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
        if (GbkCharLength(line, i) == 2) {
            arg.append(line.substr(i, 2));
            i += 2;
            continue;
        }
        if (line[i] == '\\') {
            std::size_t n = 0;
            while (i < line.size() && line[i] == '\\') ++n, ++i;
            if (i < line.size() && line[i] == '"') {
                arg.append(n / 2, '\\');
                if (n % 2) arg += line[i++];  // an escaped quote
            } else {
                arg.append(n, '\\');
            }
            continue;
        }
        if (line[i] == '"') {
            // "" inside quotes is a quote and stays inside.
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                arg += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        arg += line[i++];
    }
    return arg;
}

void SkipBlanks(std::string_view line, std::size_t& i) {
    while (i < line.size() && IsBlank(line[i])) ++i;
}

// The program's own path: up to the closing quote when quoted, else to the
// first blank; no escapes.
std::size_t AfterProgram(std::string_view line) {
    std::size_t i = 0;
    if (i < line.size() && line[i] == '"') {
        ++i;
        while (i < line.size() && line[i] != '"') i += GbkCharLength(line, i);
        return i < line.size() ? i + 1 : i;
    }
    while (i < line.size() && !IsBlank(line[i])) i += GbkCharLength(line, i);
    return i;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> args;
    std::size_t i = AfterProgram(line);
    for (SkipBlanks(line, i); i < line.size(); SkipBlanks(line, i)) args.push_back(NextArgument(line, i));
    return args;
}

std::string CommandLine::Value(const std::string& name) const {
    const auto it = options.find(name);
    return it == options.end() ? std::string() : it->second;
}

CommandLine ParseCommandLine(std::string_view line, const std::vector<OptionRule>& rules) {
    CommandLine parsed;
    std::size_t i = AfterProgram(line);
    for (SkipBlanks(line, i); i < line.size(); SkipBlanks(line, i)) {
        const std::size_t start = i;
        const std::string arg = NextArgument(line, i);
        const std::string upper = Upper(arg);
        const OptionRule* match = nullptr;
        for (const OptionRule& rule : rules) {
            const std::string name = rule.name;
            const bool takes_value = rule.kind != OptionRule::kFlag;
            if (takes_value ? upper.compare(0, name.size(), name) == 0 : upper == name) {
                match = &rule;
                break;
            }
        }
        if (!match) {
            parsed.error = "unknown option";
            parsed.bad_argument = arg;
            return parsed;
        }
        const std::string name = match->name;
        if (match->kind == OptionRule::kRestOfLine) {
            // Written bare, the raw rest of the line: blanks kept, quotes not
            // read. Quoted whole, as programs that quote every argument with
            // a blank pass it: the argument's value and whatever follows.
            std::string value = Upper(line.substr(start, name.size())) == name
                                    ? std::string(line.substr(start + name.size()))
                                    : arg.substr(name.size()) + std::string(line.substr(i));
            while (!value.empty() && IsBlank(value.back())) value.pop_back();
            parsed.options[name] = value;
            return parsed;
        }
        parsed.options[name] = match->kind == OptionRule::kValue ? arg.substr(name.size()) : std::string();
    }
    return parsed;
}

}  // namespace zsetup
