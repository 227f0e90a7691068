// PayloadPack: the unpacked SETUPPACK bytes, held whole for the run; file row i
// is the slice Files[i].Offset, Files[i].Size of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/setup_config.h"

namespace zsetup {

// Sum of all bytes as unsigned values, in 32 bits with wrap-around.
std::uint32_t PackByteSum(const std::uint8_t* data, std::size_t size);

struct ByteSlice {
    const std::uint8_t* data;
    std::size_t size;
};

class PayloadPack {
public:
    PayloadPack() = default;
    explicit PayloadPack(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // Takes the packed SETUPPACK bytes and unpacks them in place.
    static PayloadPack FromBlob(std::vector<std::uint8_t> blob);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    std::uint32_t ByteSum() const { return PackByteSum(bytes_.data(), bytes_.size()); }
    bool MatchesChecksum(const SetupConfig& config) const {
        return ByteSum() == static_cast<std::uint32_t>(config.PackChecksum);
    }

    // The row's bytes; throws PackageError when they lie outside the pack.
    ByteSlice Slice(const FileEntry& row) const;

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace zsetup
