// ByteSource: bytes read forward a piece at a time, from memory that holds
// them all or from a file read as it goes (the stub's payload, which is never
// held whole).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zsetup {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Back to the first byte.
    virtual void Rewind() = 0;
    // Points `bytes` at the next up to `most` bytes, valid until the next
    // call, and gives their count: fewer than `most` only at the end, 0 there.
    // A source that cannot read its bytes ends there: a reader that expects
    // more than it got takes them as cut short.
    virtual std::size_t Next(const std::uint8_t** bytes, std::size_t most) = 0;
};

// Bytes that lie in memory, given where they lie: no copy.
class MemorySource final : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint64_t size() const override { return size_; }
    void Rewind() override { at_ = 0; }
    std::size_t Next(const std::uint8_t** bytes, std::size_t most) override {
        const std::size_t n = most < size_ - at_ ? most : size_ - at_;
        *bytes = data_ + at_;
        at_ += n;
        return n;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace zsetup
