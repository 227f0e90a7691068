// The PE image checksum as the Windows loader and signing tools compute it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zsetup {

// Sum of the file as little-endian 16-bit words (an odd last byte padded with
// zero), folding the carry back after every word, skipping the 4-byte field at
// checksum_offset; then the file length is added.
std::uint32_t PeChecksum(const std::vector<std::uint8_t>& file, std::size_t checksum_offset);

}  // namespace zsetup
