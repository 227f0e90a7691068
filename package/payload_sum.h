// The payload's limit and its checksum: the record's PackChecksum is the sum
// of the unpacked payload's bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zsetup {

// The payload's limit: offsets and sizes are signed 32-bit in the record.
inline constexpr std::uint64_t kMostPayloadBytes = 0x7FFFFFFF;

// Sum of all bytes as unsigned values, in 32 bits with wrap-around.
std::uint32_t PackByteSum(const std::uint8_t* data, std::size_t size);

}  // namespace zsetup
