// SHA-256 (FIPS 180-4), fed a piece at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zsetup {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    Sha256();
    void Add(const std::uint8_t* data, std::size_t size);
    // The digest of everything added; the object is spent afterwards.
    Sha256Digest Finish();

private:
    void Block(const std::uint8_t* block);

    std::uint32_t state_[8];
    std::uint8_t pending_[64];
    std::size_t pending_size_ = 0;
    std::uint64_t total_ = 0;
};

}  // namespace zsetup
