// Little-endian access to byte buffers; every read is bounds-checked so a
// damaged image ends in PeError, never in a read past the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "builder/pe_error.h"

namespace zsetup::le {

inline void Need(const std::vector<std::uint8_t>& b, std::size_t offset, std::size_t size) {
    if (offset > b.size() || size > b.size() - offset) throw PeError("The program file is truncated or damaged.");
}

inline std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t offset) {
    Need(b, offset, 2);
    return static_cast<std::uint16_t>(b[offset] | (b[offset + 1] << 8));
}

inline std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t offset) {
    Need(b, offset, 4);
    return static_cast<std::uint32_t>(b[offset]) | (static_cast<std::uint32_t>(b[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(b[offset + 2]) << 16) | (static_cast<std::uint32_t>(b[offset + 3]) << 24);
}

inline void Put16(std::vector<std::uint8_t>& b, std::size_t offset, std::uint16_t v) {
    Need(b, offset, 2);
    b[offset] = static_cast<std::uint8_t>(v);
    b[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void Put32(std::vector<std::uint8_t>& b, std::size_t offset, std::uint32_t v) {
    Need(b, offset, 4);
    for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace zsetup::le
