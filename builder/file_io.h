// The tool's inputs, read only when they are regular files, whole or where
// asked (FileOnDisk), and the one-step write of an output file: the result
// appears under its name complete or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/file_bytes.h"
#include "package/sha256.h"
#include "pe/resource_writer.h"

namespace zsetup {

// A file the tool reads (the manifest, the licence, the maker's pictures and
// icon, the stub, the uninstaller, every source, the installer inspected): a
// regular file once links are followed. A named pipe or a device would block
// the tool or feed it without end, so anything else is refused before it is
// opened for reading, and what was opened is checked to be that same file.
class InputFile {
public:
    // Throws InputError naming the path and what it is when it is no regular
    // file, std::runtime_error naming it and the reason when it cannot be opened.
    explicit InputFile(const std::filesystem::path& file);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Its size when it was opened.
    std::uint64_t size() const { return size_; }
    // The next bytes, up to capacity; 0 at the end. Throws std::runtime_error.
    std::size_t Read(std::uint8_t* out, std::size_t capacity);
    // Exactly count bytes from offset, or std::runtime_error.
    void ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t count);

private:
    std::filesystem::path file_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// The whole of an input file (InputFile). A file over `most` bytes is refused
// with InputError before it is read; one that changes while it is read
// throws std::runtime_error.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& file, std::uint64_t most = UINT64_MAX);

// An input file (InputFile) read a piece at a time where asked, never whole:
// how the readers (inspect, extract, verify) take an installer of any size.
// Throws as InputFile does, from the constructor and from Read.
class FileOnDisk final : public FileBytes {
public:
    explicit FileOnDisk(const std::filesystem::path& file);
    using FileBytes::Read;
    std::uint64_t size() const override { return in_.size(); }
    void Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) const override;

private:
    mutable InputFile in_;  // reading moves its position, not the file's bytes
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

// An input file's bytes written to `to` as WriteFileReplacing writes: whole or
// not at all. Throws as InputFile and ReplacingFile do.
void CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// The SHA-256 of an input file's bytes, read a piece at a time.
Sha256Digest FileSha256(const std::filesystem::path& file);

}  // namespace zsetup
