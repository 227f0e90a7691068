// A command line run as the system's shell runs it: /bin/sh -c on Linux,
// cmd.exe /c on Windows. The signing command is the user's, written for
// their shell; its output is kept to be quoted when it fails.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace zsetup {

// The output kept is the end, where a failing tool says why: at least this
// much of it, however much the command writes.
inline constexpr std::size_t kKeptCommandOutput = 64 << 10;

struct CommandOutcome {
    int exit_code = 0;   // on Linux 128 + the signal's number when a signal ended it
    std::string output;  // standard output and standard error together, in UTF-8 where the system says how
};

// Appends what the command wrote to output, keeping the end: past twice
// kKeptCommandOutput the front goes, up to the start of a line where one starts.
inline void KeepCommandOutput(std::string& output, const char* bytes, std::size_t size) {
    output.append(bytes, size);
    if (output.size() <= 2 * kKeptCommandOutput) return;
    const std::size_t cut = output.size() - kKeptCommandOutput;
    const std::size_t line = output.find('\n', cut);
    output.erase(0, line == std::string::npos ? cut : line + 1);
}

// Runs it to its end with no input (standard input is the null device), the
// builder's own environment and current folder. Throws std::runtime_error
// when the shell cannot be started.
CommandOutcome RunShellCommand(const std::string& command_line);

// The path as one word of that shell, quoted whatever it holds. Throws
// InputError for a path the shell cannot be given safely (cmd.exe expands
// % even between quotes).
std::string ShellQuoted(const std::filesystem::path& path);

}  // namespace zsetup
