// Whole-file reads and the one-step write of an output file: the result
// appears under its name complete or not at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "pe/resource_writer.h"

namespace zsetup {

// Throws std::runtime_error naming the file and the reason.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& file);

// Writes to a temporary file beside the target and renames it over the
// target at the end; on failure the temporary file is removed and an
// existing target keeps its bytes.
void WriteFileReplacing(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

// The same for a file written as it is made: bytes go to a temporary file
// beside the target, which Commit renames over it; destroyed without Commit,
// the temporary file is removed and an existing target keeps its bytes.
class ReplacingFile : public ByteSink {
public:
    explicit ReplacingFile(const std::filesystem::path& file);
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    void Append(const std::uint8_t* data, std::size_t size) override;
    void Overwrite(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override;
    void Commit();

private:
    void Check(const char* what);

    std::filesystem::path file_, partial_;
    std::ofstream out_;
    bool committed_ = false;
};

}  // namespace zsetup
