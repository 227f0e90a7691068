// SHA-256 (FIPS 180-4), fed a piece at a time. On an x86 processor with the
// SHA extensions its blocks go through them, several times faster (the stub
// checks its whole packed payload with it at start-up).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zsetup {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    // use_extensions false keeps to the portable rounds (to test both).
    explicit Sha256(bool use_extensions = true);
    void Add(const std::uint8_t* data, std::size_t size);
    // The digest of everything added; the object is spent afterwards.
    Sha256Digest Finish();

    // Whether this processor has the SHA extensions.
    static bool ProcessorHasExtensions();

private:
    using Blocks = void (*)(std::uint32_t state[8], const std::uint8_t* data, std::size_t count);
    Blocks blocks_;
    std::uint32_t state_[8];
    std::uint8_t pending_[64];
    std::size_t pending_size_ = 0;
    std::uint64_t total_ = 0;
};

}  // namespace zsetup
