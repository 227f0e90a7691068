#include "builder/file_io.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace zsetup {
namespace {

std::runtime_error FileError(const char* what, const std::filesystem::path& file, const std::string& reason) {
    return std::runtime_error(std::string(what) + " \"" + file.u8string() + "\": " + reason);
}

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        std::error_code ignored;  // best effort: the failure being reported matters more
        if (!kept_) std::filesystem::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::filesystem::path& path() const { return path_; }
    void Keep() { kept_ = true; }

private:
    std::filesystem::path path_;
    bool kept_ = false;
};

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) throw FileError("Cannot read", file, "it is a folder");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw FileError("Cannot read", file, std::strerror(errno));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        throw FileError("Cannot read", file, "the read failed");
    return bytes;
}

FileOnDisk::FileOnDisk(const std::filesystem::path& file) : file_(file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) throw FileError("Cannot read", file, "it is a folder");
    in_.open(file, std::ios::binary);
    if (!in_) throw FileError("Cannot read", file, std::strerror(errno));
    in_.seekg(0, std::ios::end);
    const std::streamoff size = in_.tellg();
    if (size < 0) throw FileError("Cannot read", file, "its size is unknown");
    size_ = static_cast<std::uint64_t>(size);
}

void FileOnDisk::Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) const {
    if (offset > size_ || count > size_ - offset) throw FileError("Cannot read", file_, "a read past its end");
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    if (count > 0 && !in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count)))
        throw FileError("Cannot read", file_, "the read failed");
}

void WriteFileReplacing(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    // Appended to the native name: no round trip through a narrow string.
    std::filesystem::path partial = file;
    partial += ".partial";
    TemporaryFile temp(partial);
    {
        std::ofstream out(temp.path(), std::ios::binary | std::ios::trunc);
        if (!out) throw FileError("Cannot write", temp.path(), std::strerror(errno));
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw FileError("Cannot write", temp.path(), "the write failed (is the disk full?)");
    }
    std::error_code ec;
    std::filesystem::rename(temp.path(), file, ec);
    if (ec) throw FileError("Cannot write", file, ec.message());
    temp.Keep();
}

ReplacingFile::ReplacingFile(const std::filesystem::path& file) : file_(file), partial_(file) {
    partial_ += ".partial";
    out_.open(partial_, std::ios::binary | std::ios::trunc);
    if (!out_) throw FileError("Cannot write", partial_, std::strerror(errno));
}

ReplacingFile::~ReplacingFile() {
    if (committed_) return;
    out_.close();
    std::error_code ignored;  // best effort: the failure being reported matters more
    std::filesystem::remove(partial_, ignored);
}

void ReplacingFile::Check(const char* what) {
    if (!out_) throw FileError("Cannot write", partial_, what);
}

void ReplacingFile::Append(const std::uint8_t* data, std::size_t size) {
    out_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Check("the write failed (is the disk full?)");
}

void ReplacingFile::Overwrite(std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
    const std::streampos end = out_.tellp();
    out_.seekp(static_cast<std::streamoff>(offset));
    out_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out_.seekp(end);
    Check("the write failed");
}

void ReplacingFile::Commit() {
    out_.close();
    Check("the write failed (is the disk full?)");
    std::error_code ec;
    std::filesystem::rename(partial_, file_, ec);
    if (ec) throw FileError("Cannot write", file_, ec.message());
    committed_ = true;
}

}  // namespace zsetup
