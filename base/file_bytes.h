// FileBytes: a file's bytes read at any offset, so a reader of a large file
// (an installer of gigabytes) holds only the pieces it asks for; MemoryBytes
// for bytes already in memory. RangeSource reads a range of them forward as a
// ByteSource, through one buffer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "base/byte_source.h"

namespace zsetup {

class FileBytes {
public:
    virtual ~FileBytes() = default;
    virtual std::uint64_t size() const = 0;
    // Exactly `count` bytes from `offset`. Throws std::runtime_error, naming
    // the file, when they cannot be read or lie past its end.
    virtual void Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) const = 0;

    std::vector<std::uint8_t> Read(std::uint64_t offset, std::size_t count) const {
        std::vector<std::uint8_t> bytes(count);
        Read(offset, bytes.data(), count);
        return bytes;
    }
};

// Bytes that lie in memory, given where they lie: no copy.
class MemoryBytes final : public FileBytes {
public:
    MemoryBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit MemoryBytes(const std::vector<std::uint8_t>& bytes) : MemoryBytes(bytes.data(), bytes.size()) {}
    using FileBytes::Read;

    std::uint64_t size() const override { return size_; }
    void Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) const override {
        if (offset > size_ || count > size_ - offset) throw std::runtime_error("a read past the end of the bytes");
        std::copy(data_ + offset, data_ + offset + count, out);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// `size` bytes of a file from `start`; the file must outlive the source.
// A read that fails throws, as FileBytes does: a file being inspected that
// cannot be read is an error to tell, not a stream cut short.
class RangeSource final : public ByteSource {
public:
    RangeSource(const FileBytes& file, std::uint64_t start, std::uint64_t size)
        : file_(file), start_(start), size_(size) {}

    std::uint64_t size() const override { return size_; }
    void Rewind() override { at_ = 0; }
    std::size_t Next(const std::uint8_t** bytes, std::size_t most) override {
        const std::uint64_t left = size_ - at_;
        const auto n = static_cast<std::size_t>(most < left ? most : left);
        if (buffer_.size() < n) buffer_.resize(n);
        file_.Read(start_ + at_, buffer_.data(), n);
        at_ += n;
        *bytes = buffer_.data();
        return n;
    }

private:
    const FileBytes& file_;
    std::uint64_t start_, size_, at_ = 0;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace zsetup
