// A program cannot delete its own file while it runs. Once the uninstaller
// has taken the product away, it copies itself to a folder of its own in the
// temporary folder and starts the copy, which waits for it to end, removes
// its file and the product's folder when that is then empty, and leaves
// itself and its folder to go when Windows next starts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "commandline/command_line.h"

namespace zsetup {

// The uninstaller's options: /S (no window), /? (the options and exit
// codes), and the copy's /CLEANUP=<id of the program that started it>
// /IN=<that program's path> (the rest of the line).
const std::vector<OptionRule>& UninstallerOptions();

// The /CLEANUP= value: a decimal process id, nothing else.
std::optional<std::uint32_t> ProcessIdOf(const std::string& text);

// Starts the copy; false when it cannot (the file then stays where it is).
bool HandOverSelfRemoval(Platform& platform);

// In the copy: waits for the first program to end and finishes its removal.
// False, and nothing done, unless this program is the handed-over copy and
// first_path an uninstaller whose folder no longer holds its record.
bool FinishSelfRemoval(Platform& platform, std::uint32_t first, const std::string& first_path);

}  // namespace zsetup
