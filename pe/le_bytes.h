// Bounds-checked little-endian access to a program image: a damaged image
// ends in PeError, never in a read past the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/little_endian.h"
#include "pe/pe_error.h"

namespace zsetup::le {

inline void Need(const std::vector<std::uint8_t>& b, std::size_t offset, std::size_t size) {
    if (offset > b.size() || size > b.size() - offset) throw PeError("The program file is truncated or damaged.");
}

inline std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t offset) {
    Need(b, offset, 2);
    return ReadLe16(&b[offset]);
}

inline std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t offset) {
    Need(b, offset, 4);
    return ReadLe32(&b[offset]);
}

inline void Put16(std::vector<std::uint8_t>& b, std::size_t offset, std::uint16_t v) {
    Need(b, offset, 2);
    WriteLe16(&b[offset], v);
}

inline void Put32(std::vector<std::uint8_t>& b, std::size_t offset, std::uint32_t v) {
    Need(b, offset, 4);
    WriteLe32(&b[offset], v);
}

}  // namespace zsetup::le
