#include "builder/pe_image.h"

#include <algorithm>

#include "builder/le_bytes.h"
#include "builder/pe_error.h"

namespace zsetup {
namespace {

constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kPe32DirectoriesStart = 96;

bool PowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

std::uint32_t SectionExtent(const PeSection& s) { return std::max(s.virtual_size, s.raw_size); }

}  // namespace

std::size_t PeImage::SectionOfRva(std::uint32_t rva) const {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const PeSection& s = sections[i];
        if (rva >= s.virtual_address && rva - s.virtual_address < SectionExtent(s)) return i;
    }
    return sections.size();
}

std::size_t PeImage::OffsetOfRva(std::uint32_t rva, std::uint32_t size) const {
    const std::size_t i = SectionOfRva(rva);
    if (i == sections.size()) throw PeError("The program file's resources point outside its sections.");
    const PeSection& s = sections[i];
    const std::uint32_t within = rva - s.virtual_address;
    if (within > s.raw_size || size > s.raw_size - within)
        throw PeError("The program file's resources point outside its sections.");
    return static_cast<std::size_t>(s.raw_offset) + within;
}

PeImage ParsePeImage(const std::vector<std::uint8_t>& file) {
    if (file.size() < 64 || file[0] != 'M' || file[1] != 'Z') throw PeError("The file is not a Windows program.");
    const std::size_t pe = le::U32(file, 0x3C);
    if (pe > file.size() || file.size() - pe < 4 + kCoffHeaderSize || file[pe] != 'P' || file[pe + 1] != 'E' ||
        file[pe + 2] != 0 || file[pe + 3] != 0)
        throw PeError("The file is not a Windows program.");

    PeImage img;
    img.coff_offset = pe + 4;
    if (le::U16(file, img.coff_offset) != kMachineI386)
        throw PeError("The file is not a 32-bit (i386) Windows program.");
    const std::size_t section_count = le::U16(file, img.coff_offset + 2);
    const std::size_t optional_size = le::U16(file, img.coff_offset + 16);
    img.optional_offset = img.coff_offset + kCoffHeaderSize;
    const std::uint16_t magic = le::U16(file, img.optional_offset);
    if (magic == kMagicPe32Plus) throw PeError("The file is a 64-bit Windows program; a 32-bit one is needed.");
    if (magic != kMagicPe32 || optional_size < kPe32DirectoriesStart)
        throw PeError("The file is not a 32-bit (i386) Windows program.");
    le::Need(file, img.optional_offset, optional_size);

    img.section_alignment = le::U32(file, img.optional_offset + 32);
    img.file_alignment = le::U32(file, img.optional_offset + 36);
    img.size_of_headers = le::U32(file, img.optional_offset + 60);
    if (!PowerOfTwo(img.section_alignment) || !PowerOfTwo(img.file_alignment))
        throw PeError("The program file's headers are damaged.");
    le::Need(file, 0, img.size_of_headers);

    const std::size_t directory_count =
        std::min<std::size_t>(le::U32(file, img.optional_offset + 92), (optional_size - kPe32DirectoriesStart) / 8);
    if (directory_count <= kResourceDirectoryIndex) throw PeError("The program file has no resource directory.");
    for (std::size_t i = 0; i < directory_count; ++i)
        img.directories.push_back({le::U32(file, img.directory_offset(i)), le::U32(file, img.directory_offset(i) + 4)});
    if (directory_count > kSecurityDirectoryIndex &&
        (img.directories[kSecurityDirectoryIndex].rva != 0 || img.directories[kSecurityDirectoryIndex].size != 0))
        throw PeError("The program file is signed; use an unsigned copy and sign the result afterwards.");

    img.section_table_offset = img.optional_offset + optional_size;
    le::Need(file, img.section_table_offset, section_count * kPeSectionHeaderSize);
    std::size_t raw_end = img.size_of_headers;
    for (std::size_t i = 0; i < section_count; ++i) {
        const std::size_t h = img.section_table_offset + i * kPeSectionHeaderSize;
        PeSection s;
        s.name.assign(reinterpret_cast<const char*>(&file[h]), 8);
        s.name.erase(std::find(s.name.begin(), s.name.end(), '\0'), s.name.end());
        s.virtual_size = le::U32(file, h + 8);
        s.virtual_address = le::U32(file, h + 12);
        s.raw_size = le::U32(file, h + 16);
        s.raw_offset = le::U32(file, h + 20);
        s.characteristics = le::U32(file, h + 36);
        if (s.raw_size != 0) {
            le::Need(file, s.raw_offset, s.raw_size);
            raw_end = std::max<std::size_t>(raw_end, static_cast<std::size_t>(s.raw_offset) + s.raw_size);
        }
        img.sections.push_back(std::move(s));
    }
    if (file.size() > raw_end)
        throw PeError("The program file has extra data after its last section; use a copy without it.");
    return img;
}

}  // namespace zsetup
