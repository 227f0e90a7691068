// PayloadPack: the unpacked SETUPPACK bytes, held whole for the run; file row i
// is the slice Files[i].Offset, Files[i].Size of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/setup_config.h"

namespace zsetup {

// The payload's limit: offsets and sizes are signed 32-bit in the record.
inline constexpr std::uint64_t kMostPayloadBytes = 0x7FFFFFFF;

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

    // Unpacks the SETUPPACK blob, checking its stream to the end. A blob that
    // announces more than kMostPayloadBytes is refused before anything is
    // allocated (PackageError).
    static PayloadPack FromBlob(const std::vector<std::uint8_t>& blob);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> TakeBytes() && { return std::move(bytes_); }
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
