#include "pe/pe_checksum.h"

namespace zsetup {

void PeChecksumSum::Add(std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
    std::size_t i = 0;
    // A byte at an odd offset is the high half of its word.
    if (size > 0 && offset % 2 == 1) words_ += std::uint64_t{data[i++]} << 8;
    for (; i + 1 < size; i += 2) words_ += data[i] | (std::uint32_t{data[i + 1]} << 8);
    if (i < size) words_ += data[i];
}

std::uint32_t PeChecksumSum::Checksum(std::uint64_t file_size) const {
    std::uint32_t folded = 0;
    if (words_ != 0) {
        folded = static_cast<std::uint32_t>(words_ % 0xFFFF);
        if (folded == 0) folded = 0xFFFF;
    }
    return folded + static_cast<std::uint32_t>(file_size);
}

std::uint32_t PeChecksum(const std::vector<std::uint8_t>& file, std::size_t checksum_offset) {
    PeChecksumSum sum;
    const std::size_t field_end = checksum_offset + 4 < file.size() ? checksum_offset + 4 : file.size();
    const std::size_t before = checksum_offset < file.size() ? checksum_offset : file.size();
    sum.Add(0, file.data(), before);
    if (field_end < file.size()) sum.Add(field_end, file.data() + field_end, file.size() - field_end);
    return sum.Checksum(file.size());
}

}  // namespace zsetup
