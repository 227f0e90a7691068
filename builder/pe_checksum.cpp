#include "builder/pe_checksum.h"

namespace zsetup {

std::uint32_t PeChecksum(const std::vector<std::uint8_t>& file, std::size_t checksum_offset) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < file.size(); i += 2) {
        if (i >= checksum_offset && i < checksum_offset + 4) continue;
        std::uint32_t word = file[i];
        if (i + 1 < file.size()) word |= static_cast<std::uint32_t>(file[i + 1]) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return sum + static_cast<std::uint32_t>(file.size());
}

}  // namespace zsetup
