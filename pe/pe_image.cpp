#include "pe/pe_image.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "pe/le_bytes.h"
#include "pe/pe_error.h"

namespace zsetup {
namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kPeHeaderPointer = 0x3C;  // e_lfanew, in the MS-DOS header
constexpr std::uint8_t kPeSignature[] = {'P', 'E', 0, 0};
constexpr std::size_t kPeSignatureSize = sizeof kPeSignature;
constexpr std::uint32_t kMaxFileAlignment = 0x10000;
constexpr PeMachine kMachines[] = {PeMachine::kI386, PeMachine::kAmd64};

bool PowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

// Where the COFF header starts, when the file has the MS-DOS and PE
// signatures and room for that header after them.
std::optional<std::size_t> CoffHeaderAt(const std::vector<std::uint8_t>& file) {
    if (file.size() < kDosHeaderSize || file[0] != 'M' || file[1] != 'Z') return std::nullopt;
    const std::size_t signature = ReadLe32(&file[kPeHeaderPointer]);
    if (signature > file.size() || file.size() - signature < kPeSignatureSize + pe::kCoffHeaderSize ||
        !std::equal(kPeSignature, kPeSignature + kPeSignatureSize,
                    file.begin() + static_cast<std::ptrdiff_t>(signature)))
        return std::nullopt;
    return signature + kPeSignatureSize;
}

// The kind whose COFF Machine this is, if zsetup fills that kind.
std::optional<PeMachine> MachineOf(std::uint16_t machine) {
    for (PeMachine m : kMachines)
        if (pe::LayoutOf(m).machine == machine) return m;
    return std::nullopt;
}

// What ReadHeaderBytes reads first, and at most: 65535 section headers fit.
constexpr std::size_t kFirstRead = 4096;
constexpr std::uint64_t kMostHeaderBytes = 4 << 20;

// How much of the file's start its headers need, as far as the bytes read so
// far tell; no more than they are when they do not tell.
std::uint64_t HeadersReach(const std::vector<std::uint8_t>& head) {
    if (head.size() < kDosHeaderSize || head[0] != 'M' || head[1] != 'Z') return head.size();
    const std::uint64_t coff = std::uint64_t{ReadLe32(&head[kPeHeaderPointer])} + kPeSignatureSize;
    const std::uint64_t optional = coff + pe::kCoffHeaderSize;
    const std::uint64_t fields = optional + pe::kOptSizeOfHeaders + 4;
    if (fields > head.size()) return std::max<std::uint64_t>(fields, head.size());
    const std::uint64_t table =
        optional + ReadLe16(&head[coff + pe::kCoffSizeOfOptionalHeader]) +
        std::uint64_t{ReadLe16(&head[coff + pe::kCoffNumberOfSections])} * pe::kSectionHeaderSize;
    return std::max<std::uint64_t>({table, ReadLe32(&head[optional + pe::kOptSizeOfHeaders]), head.size()});
}

std::string Hex(std::uint16_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", v);
    return text;
}

// What an optional header's magic makes it, for a refusal.
std::string OptionalHeaderKind(std::uint16_t magic) {
    for (PeMachine m : kMachines)
        if (pe::LayoutOf(m).magic == magic)
            return std::string(m == PeMachine::kAmd64 ? "PE32+" : "PE32") + " (" + BitsName(m) + ")";
    return "of magic " + Hex(magic);
}

}  // namespace

std::size_t PeImage::SectionOfRva(std::uint32_t rva) const {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const PeSection& s = sections[i];
        if (rva >= s.virtual_address && rva - s.virtual_address < MappedSize(s)) return i;
    }
    return sections.size();
}

std::size_t PeImage::OffsetOfRva(std::uint32_t rva, std::uint32_t size) const {
    // Not SectionOfRva: zero bytes may sit right at a section's end.
    for (const PeSection& s : sections) {
        if (rva < s.virtual_address || s.raw_size == 0) continue;  // ParsePeImage checked only raw data that exists
        const std::uint32_t within = rva - s.virtual_address;
        const std::uint32_t readable = ReadableSize(s);
        if (within <= readable && size <= readable - within) return static_cast<std::size_t>(s.raw_offset) + within;
    }
    throw PeError("The program file's resources point outside its sections.");
}

PeImage ParsePeImage(const std::vector<std::uint8_t>& file, AfterSections after) {
    return ParsePeHeaders(file, file.size(), after);
}

std::vector<std::uint8_t> ReadHeaderBytes(const FileBytes& file) {
    std::vector<std::uint8_t> head =
        file.Read(0, static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), kFirstRead)));
    // Each read shows how far the headers reach: the PE header's place, then
    // the optional header's size and SizeOfHeaders, then the section table.
    for (std::uint64_t reach = HeadersReach(head); reach > head.size() && head.size() < file.size();
         reach = HeadersReach(head)) {
        if (reach > kMostHeaderBytes) throw PeError("The program file's headers are damaged.");
        head = file.Read(0, static_cast<std::size_t>(std::min(reach, file.size())));
    }
    return head;
}

PeImage ParsePeHeaders(const std::vector<std::uint8_t>& file, std::uint64_t file_size, AfterSections after) {
    const std::optional<std::size_t> coff = CoffHeaderAt(file);
    if (!coff) throw PeError("The file is not a Windows program.");

    PeImage img;
    img.coff_offset = *coff;
    const std::uint16_t machine = le::U16(file, img.coff_offset + pe::kCoffMachine);
    const std::optional<PeMachine> kind = MachineOf(machine);
    if (!kind) throw PeError("The file is not an x86 or x64 Windows program (machine " + Hex(machine) + ").");
    img.machine = *kind;
    const pe::OptionalHeaderLayout& layout = pe::LayoutOf(img.machine);
    const std::size_t section_count = le::U16(file, img.coff_offset + pe::kCoffNumberOfSections);
    img.characteristics = le::U16(file, img.coff_offset + pe::kCoffCharacteristics);
    const std::size_t optional_size = le::U16(file, img.coff_offset + pe::kCoffSizeOfOptionalHeader);
    img.optional_offset = img.coff_offset + pe::kCoffHeaderSize;
    // Every later field is read where this kind's optional header has it.
    const std::uint16_t magic = le::U16(file, img.optional_offset + pe::kOptMagic);
    if (magic != layout.magic)
        throw PeError("The program file's headers disagree: its machine is " + ArchDescription(img.machine) +
                      " but its optional header is " + OptionalHeaderKind(magic) + ".");
    if (optional_size < layout.data_directories) throw PeError("The program file's headers are damaged.");
    le::Need(file, img.optional_offset, optional_size);

    img.section_alignment = le::U32(file, img.optional_offset + pe::kOptSectionAlignment);
    img.file_alignment = le::U32(file, img.optional_offset + pe::kOptFileAlignment);
    img.size_of_headers = le::U32(file, img.optional_offset + pe::kOptSizeOfHeaders);
    img.subsystem = le::U16(file, img.optional_offset + pe::kOptSubsystem);
    // Up to 64 KiB as the loader wants it: the writer pads to it.
    if (!PowerOfTwo(img.section_alignment) || !PowerOfTwo(img.file_alignment) || img.file_alignment > kMaxFileAlignment)
        throw PeError("The program file's headers are damaged.");
    le::Need(file, 0, img.size_of_headers);

    // Only the entries the optional header holds count, whatever the number says.
    const std::size_t directory_count =
        std::min<std::size_t>(le::U32(file, img.optional_offset + layout.number_of_rva_and_sizes),
                              (optional_size - layout.data_directories) / pe::kDataDirectorySize);
    if (directory_count <= kResourceDirectoryIndex) throw PeError("The program file has no resource directory.");
    for (std::size_t i = 0; i < directory_count; ++i)
        img.directories.push_back(
            {le::U32(file, img.directory_offset(i)), le::U32(file, img.directory_offset(i) + kDirectorySizeField)});
    if (after == AfterSections::kNothing && directory_count > kSecurityDirectoryIndex &&
        (img.directories[kSecurityDirectoryIndex].rva != 0 || img.directories[kSecurityDirectoryIndex].size != 0))
        throw PeError("The program file is signed; use an unsigned copy and sign the result afterwards.");

    img.section_table_offset = img.optional_offset + optional_size;
    le::Need(file, img.section_table_offset, section_count * pe::kSectionHeaderSize);
    // The headers the loader maps hold the section table.
    if (img.size_of_headers < img.section_table_offset + section_count * pe::kSectionHeaderSize)
        throw PeError("The program file's headers are damaged.");
    std::uint64_t raw_end = img.size_of_headers;
    for (std::size_t i = 0; i < section_count; ++i) {
        const std::size_t h = img.section_table_offset + i * pe::kSectionHeaderSize;
        PeSection s;
        s.name.assign(reinterpret_cast<const char*>(&file[h]), 8);
        s.name.erase(std::find(s.name.begin(), s.name.end(), '\0'), s.name.end());
        s.virtual_size = le::U32(file, h + pe::kSectionVirtualSize);
        s.virtual_address = le::U32(file, h + pe::kSectionVirtualAddress);
        s.raw_size = le::U32(file, h + pe::kSectionSizeOfRawData);
        s.raw_offset = le::U32(file, h + pe::kSectionPointerToRawData);
        s.characteristics = le::U32(file, h + pe::kSectionCharacteristics);
        if (s.raw_size != 0) {
            // After the headers: the writer changes header fields, which must not be a section's bytes.
            if (s.raw_offset < img.size_of_headers) throw PeError("The program file's headers are damaged.");
            if (s.raw_offset > file_size || s.raw_size > file_size - s.raw_offset)
                throw PeError("The program file is truncated or damaged.");
            raw_end = std::max<std::uint64_t>(raw_end, std::uint64_t{s.raw_offset} + s.raw_size);
        }
        // The loader wants the sections in address order, each after the one before.
        if (!img.sections.empty() && s.virtual_address < MappedEnd(img.sections.back()))
            throw PeError("The program file's headers are damaged.");
        img.sections.push_back(std::move(s));
    }
    img.raw_end = raw_end;
    if (after == AfterSections::kNothing && file_size > raw_end)
        throw PeError("The program file has extra data after its last section; use a copy without it.");
    return img;
}

std::optional<PeMachine> ProgramMachine(const std::vector<std::uint8_t>& file) {
    const std::optional<std::size_t> coff = CoffHeaderAt(file);
    const std::size_t magic_at = coff ? *coff + pe::kCoffHeaderSize + pe::kOptMagic : 0;
    if (!coff || file.size() - magic_at < 2) return std::nullopt;
    const std::optional<PeMachine> machine = MachineOf(ReadLe16(&file[*coff + pe::kCoffMachine]));
    if (!machine || ReadLe16(&file[magic_at]) != pe::LayoutOf(*machine).magic) return std::nullopt;
    return machine;
}

}  // namespace zsetup
