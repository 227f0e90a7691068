// Whole-file reads and the one-step write of an output file: the result
// appears under its name complete or not at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace zsetup {

// Throws std::runtime_error naming the file and the reason.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& file);

// Writes to a temporary file beside the target and renames it over the
// target at the end; on failure the temporary file is removed and an
// existing target keeps its bytes.
void WriteFileReplacing(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

}  // namespace zsetup
