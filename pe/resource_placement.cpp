#include "pe/resource_placement.h"

#include <algorithm>
#include <optional>
#include <string>

#include "pe/le_bytes.h"
#include "pe/pe_error.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kScnCode = 0x00000020;
constexpr std::uint32_t kScnInitializedData = 0x00000040;
constexpr std::uint32_t kScnMemDiscardable = 0x02000000;
constexpr std::uint32_t kScnMemExecute = 0x20000000;
constexpr std::uint32_t kScnMemRead = 0x40000000;
constexpr std::size_t kRelocationBlockHeaderSize = 8;
constexpr std::uint16_t kRelocationPadding = 0;  // IMAGE_REL_BASED_ABSOLUTE: patches nothing

std::uint32_t Align(std::uint64_t v, std::uint32_t a) {
    const std::uint64_t aligned = (v + a - 1) / a * a;
    if (aligned > 0xFFFFFFFFu) throw PeError("The program file would grow beyond 4 GB.");
    return static_cast<std::uint32_t>(aligned);
}

// Where the resource section's data starts in the file: on a page, so a
// loader can map it from the file as it is read (Wine reads a section that
// starts elsewhere into memory whole, the payload with it); and on the
// file alignment, as every section's data.
std::uint32_t DataAlignment(const PeImage& img) {
    constexpr std::uint32_t kPage = 4096;
    return std::max(img.file_alignment, kPage);
}

bool OnlyTheLoaderReads(const PeSection& s) {
    return (s.characteristics & kScnMemDiscardable) != 0 && (s.characteristics & (kScnCode | kScnMemExecute)) == 0;
}

// Whether a base relocation patches an address in [from, to): a 4- or 8-byte
// field there would be written over once the bytes beneath it changed. A
// table that cannot be read counts as patching everything.
bool RelocationsPatch(const Bytes& image, const PeImage& img, std::uint64_t from, std::uint64_t to) {
    if (img.directories.size() <= kBaseRelocationDirectoryIndex) return false;
    const PeDataDirectory& dir = img.directories[kBaseRelocationDirectoryIndex];
    if (dir.rva == 0 || dir.size == 0) return false;
    // In the headers, which every write rewrites, it is no table.
    if (dir.rva < img.size_of_headers) return true;
    std::size_t at;
    try {
        at = img.OffsetOfRva(dir.rva, dir.size);
    } catch (const PeError&) {
        return true;
    }
    for (const std::size_t end = at + dir.size; end - at >= kRelocationBlockHeaderSize;) {
        const std::uint32_t page = le::U32(image, at);
        const std::uint32_t block = le::U32(image, at + 4);
        if (block < kRelocationBlockHeaderSize || block > end - at) return true;
        for (std::size_t entry = at + kRelocationBlockHeaderSize; entry + 2 <= at + block; entry += 2) {
            const std::uint16_t field = le::U16(image, entry);
            const std::uint64_t target = std::uint64_t{page} + (field & 0x0FFF);
            if ((field >> 12) != kRelocationPadding && target + 8 > from && target < to) return true;
        }
        at += block;
    }
    return false;
}

// The dropped section's index, when the image can lose it: the resource
// directory starts it, the headers and every section before it have their
// raw data before its own, every section after it is one only the loader
// reads with its raw data after, no directory but the resources' and the
// relocations' points into any of them, and no relocation patches them.
std::optional<std::size_t> Replaceable(const Bytes& image, const PeImage& img) {
    const std::uint32_t rva = img.directories[kResourceDirectoryIndex].rva;
    if (rva == 0) return std::nullopt;
    const std::size_t k = img.SectionOfRva(rva);
    if (k == img.sections.size()) return std::nullopt;
    const PeSection& old = img.sections[k];
    if (old.virtual_address != rva || img.size_of_headers > old.raw_offset) return std::nullopt;
    const std::uint64_t old_raw_end = std::uint64_t{old.raw_offset} + old.raw_size;
    for (std::size_t i = 0; i < img.sections.size(); ++i) {
        const PeSection& s = img.sections[i];
        if (i < k && s.raw_size != 0 && std::uint64_t{s.raw_offset} + s.raw_size > old.raw_offset) return std::nullopt;
        if (i > k && (!OnlyTheLoaderReads(s) || (s.raw_size != 0 && s.raw_offset < old_raw_end))) return std::nullopt;
    }
    // Past the image's end counts too: the new section would lie there.
    const std::uint64_t from = old.virtual_address, to = MappedEnd(img.sections.back());
    for (std::size_t d = 0; d < img.directories.size(); ++d) {
        const PeDataDirectory& dir = img.directories[d];
        if (d == kResourceDirectoryIndex || d == kSecurityDirectoryIndex || dir.rva == 0) continue;
        if (dir.rva >= from) {
            // The relocations may lie in a section that moves, wholly inside it.
            const std::size_t in = img.SectionOfRva(dir.rva);
            if (d != kBaseRelocationDirectoryIndex || in <= k || in == img.sections.size() ||
                std::uint64_t{dir.rva} + dir.size > MappedEnd(img.sections[in]))
                return std::nullopt;
        }
    }
    if (RelocationsPatch(image, img, from, to)) return std::nullopt;
    return k;
}

// The sections after index k moved down into its place, in order; the new
// section goes after them.
ResourcePlacement Replace(const Bytes& image, const PeImage& img, std::size_t k) {
    const PeSection& old = img.sections[k];
    ResourcePlacement p;
    p.head.assign(image.begin(), image.begin() + old.raw_offset);
    p.replaced_raw_size = old.raw_size;
    for (std::size_t i = 0; i < k; ++i)
        p.other_sections_end = std::max(p.other_sections_end, MappedEnd(img.sections[i]));
    std::uint32_t next_rva = old.virtual_address;
    std::uint32_t next_raw = old.raw_offset;
    for (std::size_t i = k + 1; i < img.sections.size(); ++i) {
        const PeSection& from = img.sections[i];
        PeSection moved = from;
        moved.virtual_address = next_rva;
        moved.raw_offset = 0;
        if (from.raw_size != 0) {
            moved.raw_offset = next_raw;
            p.head.resize(next_raw, 0);
            p.head.insert(p.head.end(), image.begin() + from.raw_offset,
                          image.begin() + from.raw_offset + from.raw_size);
            next_raw = Align(std::uint64_t{next_raw} + from.raw_size, img.file_alignment);
        }
        PutSectionHeader(p.head, img.section_table_offset + (i - 1) * pe::kSectionHeaderSize, moved);
        if (img.directories.size() > kBaseRelocationDirectoryIndex) {
            const std::uint32_t relocations = img.directories[kBaseRelocationDirectoryIndex].rva;
            if (relocations != 0 && img.SectionOfRva(relocations) == i)
                le::Put32(p.head, img.directory_offset(kBaseRelocationDirectoryIndex),
                          relocations - from.virtual_address + moved.virtual_address);
        }
        p.other_sections_end = std::max(p.other_sections_end, MappedEnd(moved));
        next_rva = Align(MappedEnd(moved), img.section_alignment);
    }
    p.section.name = old.name;
    p.section.characteristics = old.characteristics;
    p.section.virtual_address = next_rva;
    p.section.raw_offset = Align(next_raw, DataAlignment(img));
    p.header_at = img.section_table_offset + (img.sections.size() - 1) * pe::kSectionHeaderSize;
    p.head.resize(p.section.raw_offset, 0);
    return p;
}

// A new section after the last, in memory and in the file.
ResourcePlacement Append(const Bytes& image, const PeImage& img) {
    ResourcePlacement p;
    p.header_at = img.section_table_offset + img.sections.size() * pe::kSectionHeaderSize;
    std::size_t first_raw = img.size_of_headers;
    for (const PeSection& s : img.sections)
        if (s.raw_size != 0) first_raw = std::min<std::size_t>(first_raw, s.raw_offset);
    if (p.header_at + pe::kSectionHeaderSize > first_raw || img.sections.size() >= 0xFFFF)
        throw PeError("The program file has no room for another section header.");
    for (const PeSection& s : img.sections) p.other_sections_end = std::max(p.other_sections_end, MappedEnd(s));
    // The headers are mapped first, at rva 0, which means "no resources".
    const std::uint64_t image_end = std::max<std::uint64_t>(img.size_of_headers, p.other_sections_end);
    p.section.name = ".rsrc";
    p.section.characteristics = kScnInitializedData | kScnMemRead;
    p.section.virtual_address = Align(image_end, img.section_alignment);
    p.section.raw_offset = Align(image.size(), DataAlignment(img));
    p.head = image;
    p.head.resize(p.section.raw_offset, 0);
    le::Put16(p.head, img.coff_offset + pe::kCoffNumberOfSections, static_cast<std::uint16_t>(img.sections.size() + 1));
    return p;
}

}  // namespace

void PutSectionHeader(Bytes& file, std::size_t at, const PeSection& s) {
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(at),
              file.begin() + static_cast<std::ptrdiff_t>(at + pe::kSectionHeaderSize), 0);
    std::copy(s.name.begin(), s.name.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
    le::Put32(file, at + pe::kSectionVirtualSize, s.virtual_size);
    le::Put32(file, at + pe::kSectionVirtualAddress, s.virtual_address);
    le::Put32(file, at + pe::kSectionSizeOfRawData, s.raw_size);
    le::Put32(file, at + pe::kSectionPointerToRawData, s.raw_offset);
    le::Put32(file, at + pe::kSectionCharacteristics, s.characteristics);
}

ResourcePlacement PlaceResourceSection(const Bytes& image, const PeImage& img) {
    // Such a directory would come to point into the new section, whichever
    // way it is placed, and each write would place it anew.
    for (std::size_t d = 0; d < img.directories.size(); ++d) {
        const std::uint32_t rva = img.directories[d].rva;
        if (d == kSecurityDirectoryIndex || rva == 0 || rva < img.size_of_headers) continue;
        if (img.SectionOfRva(rva) == img.sections.size())
            throw PeError("The program file is damaged: data directory " + std::to_string(d) +
                          " points past its sections.");
    }
    // Likewise a base relocation table that patches past the last section or
    // cannot be read: no placement would be safe, and each write would append.
    const std::uint64_t sections_end = img.sections.empty() ? img.size_of_headers : MappedEnd(img.sections.back());
    if (RelocationsPatch(image, img, sections_end, UINT64_MAX))
        throw PeError("The program file is damaged: its base relocations cannot be read or patch past its sections.");
    if (const std::optional<std::size_t> k = Replaceable(image, img)) return Replace(image, img, *k);
    return Append(image, img);
}

}  // namespace zsetup
