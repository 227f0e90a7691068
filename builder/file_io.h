// Whole-file reads, a file read where asked (FileOnDisk), and the one-step
// write of an output file: the result appears under its name complete or
// not at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/file_bytes.h"
#include "pe/resource_writer.h"

namespace zsetup {

// Throws std::runtime_error naming the file and the reason.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& file);

// A file read a piece at a time where asked, never whole: how the readers
// (inspect, extract, verify) take an installer of any size. Throws
// std::runtime_error naming the file and the reason, from the constructor
// when it cannot be opened and from Read when it cannot be read.
class FileOnDisk final : public FileBytes {
public:
    explicit FileOnDisk(const std::filesystem::path& file);
    using FileBytes::Read;
    std::uint64_t size() const override { return size_; }
    void Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) const override;

private:
    std::filesystem::path file_;
    mutable std::ifstream in_;  // reading moves its position, not the file's bytes
    std::uint64_t size_ = 0;
};

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
