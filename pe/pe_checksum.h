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

// The same sum over a file written in parts, in any order: each part is
// added where it lies, so a large file never has to be held to be summed.
// Folding after every word is addition modulo 0xFFFF (a non-zero multiple
// giving 0xFFFF), so the parts' word sums can be added up first.
class PeChecksumSum {
public:
    // `offset` is where the bytes lie in the file; any parity.
    void Add(std::uint64_t offset, const std::uint8_t* data, std::size_t size);
    // Zero bytes change no sum: padding and the checksum field need no call.
    std::uint32_t Checksum(std::uint64_t file_size) const;

private:
    std::uint64_t words_ = 0;
};

}  // namespace zsetup
