#include "builder/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "builder/input_error.h"

namespace zsetup {
namespace {

constexpr std::size_t kCopyPiece = 1 << 20;

std::runtime_error FileError(const char* what, const std::filesystem::path& file, const std::string& reason) {
    return std::runtime_error(std::string(what) + " \"" + file.u8string() + "\": " + reason);
}

// The C library's file calls, by the names each system gives them.
#ifdef _WIN32
using FileStatus = struct _stat64;
int StatusOf(const std::filesystem::path& file, FileStatus& st) { return _wstat64(file.c_str(), &st); }
int StatusOf(int fd, FileStatus& st) { return _fstat64(fd, &st); }
int OpenForReading(const std::filesystem::path& file) {
    return _wopen(file.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
long ReadSome(int fd, std::uint8_t* out, std::size_t capacity) {
    return _read(fd, out, static_cast<unsigned>(std::min<std::size_t>(capacity, 1u << 30)));
}
bool SeekTo(int fd, std::uint64_t offset) { return _lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) >= 0; }
void CloseFile(int fd) { _close(fd); }
constexpr unsigned kTypeBits = _S_IFMT, kRegular = _S_IFREG, kFolder = _S_IFDIR, kCharDevice = _S_IFCHR,
                   kPipe = _S_IFIFO, kBlockDevice = 0, kSocket = 0;
// No inode numbers here: the type checked once open must do.
bool SameObject(const FileStatus&, const FileStatus&) { return true; }
#else
using FileStatus = struct stat;
int StatusOf(const std::filesystem::path& file, FileStatus& st) { return stat(file.c_str(), &st); }
int StatusOf(int fd, FileStatus& st) { return fstat(fd, &st); }
// Without blocking: opening a named pipe would wait for its writer.
int OpenForReading(const std::filesystem::path& file) {
    return open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
long ReadSome(int fd, std::uint8_t* out, std::size_t capacity) {
    for (;;) {
        const ssize_t n = read(fd, out, capacity);
        if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
}
bool SeekTo(int fd, std::uint64_t offset) { return lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0; }
void CloseFile(int fd) { close(fd); }
constexpr unsigned kTypeBits = S_IFMT, kRegular = S_IFREG, kFolder = S_IFDIR, kCharDevice = S_IFCHR, kPipe = S_IFIFO,
                   kBlockDevice = S_IFBLK, kSocket = S_IFSOCK;
bool SameObject(const FileStatus& a, const FileStatus& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }
#endif

// Refuses anything but a regular file, saying what it is.
void RequireRegular(const std::filesystem::path& file, const FileStatus& st) {
    const unsigned type = static_cast<unsigned>(st.st_mode) & kTypeBits;
    if (type == kRegular) return;
    const char* what = "not a regular file";
    if (type == kPipe) what = "a named pipe (FIFO)";
    else if (type == kCharDevice || (kBlockDevice != 0 && type == kBlockDevice)) what = "a device";
    else if (kSocket != 0 && type == kSocket) what = "a socket";
    else if (type == kFolder) what = "a folder";
    throw InputError("\"" + file.u8string() + "\" is " + what + ", not a file");
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

InputFile::InputFile(const std::filesystem::path& file) : file_(file) {
    FileStatus named{};
    if (StatusOf(file, named) != 0) throw FileError("Cannot read", file, std::strerror(errno));
    RequireRegular(file, named);
    fd_ = OpenForReading(file);
    if (fd_ < 0) throw FileError("Cannot read", file, std::strerror(errno));
    FileStatus opened{};
    if (StatusOf(fd_, opened) != 0) {
        const int error = errno;
        CloseFile(fd_);
        throw FileError("Cannot read", file, std::strerror(error));
    }
    try {
        RequireRegular(file, opened);  // replaced between the look and the open
        if (!SameObject(named, opened)) throw FileError("Cannot read", file, "it was replaced while it was opened");
    } catch (const std::runtime_error&) {
        CloseFile(fd_);
        throw;
    }
    size_ = static_cast<std::uint64_t>(opened.st_size);
}

InputFile::~InputFile() { CloseFile(fd_); }

std::size_t InputFile::Read(std::uint8_t* out, std::size_t capacity) {
    const long n = ReadSome(fd_, out, capacity);
    if (n < 0) throw FileError("Cannot read", file_, std::strerror(errno));
    return static_cast<std::size_t>(n);
}

void InputFile::ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
    if (offset > size_ || count > size_ - offset) throw FileError("Cannot read", file_, "a read past its end");
    if (!SeekTo(fd_, offset)) throw FileError("Cannot read", file_, std::strerror(errno));
    for (std::size_t got = 0; got < count;) {
        const std::size_t n = Read(out + got, count - got);
        if (n == 0) throw FileError("Cannot read", file_, "it changed while it was being read");
        got += n;
    }
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& file, std::uint64_t most) {
    InputFile in(file);
    if (in.size() > most)
        throw InputError("\"" + file.u8string() + "\" is " + std::to_string(in.size()) + " bytes, over the " +
                         std::to_string(most) + " it may be");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(in.size()));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = in.Read(bytes.data() + got, bytes.size() - got);
        if (n == 0) break;
        got += n;
    }
    std::uint8_t more = 0;
    if (got != bytes.size() || in.Read(&more, 1) != 0)
        throw FileError("Cannot read", file, "it changed while it was being read");
    return bytes;
}

FileOnDisk::FileOnDisk(const std::filesystem::path& file) : in_(file) {}

void FileOnDisk::Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) const {
    in_.ReadAt(offset, out, count);
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

void CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    InputFile in(from);
    ReplacingFile out(to);
    std::vector<std::uint8_t> piece(kCopyPiece);
    for (std::size_t n; (n = in.Read(piece.data(), piece.size())) != 0;) out.Append(piece.data(), n);
    out.Commit();
}

Sha256Digest FileSha256(const std::filesystem::path& file) {
    InputFile in(file);
    Sha256 digest;
    std::vector<std::uint8_t> piece(kCopyPiece);
    for (std::size_t n; (n = in.Read(piece.data(), piece.size())) != 0;) digest.Add(piece.data(), n);
    return digest.Finish();
}

}  // namespace zsetup
