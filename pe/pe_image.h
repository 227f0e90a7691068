// The headers of a PE image, 32-bit i386 (PE32) or 64-bit AMD64 (PE32+):
// where they sit in the file and what the resource writer needs from them.
// Only images it can rewrite safely are accepted: no signature (it would
// break) and no overlay (it would be lost).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/file_bytes.h"
#include "pe/pe_layout.h"
#include "pe/pe_machine.h"

namespace zsetup {

struct PeSection {
    std::string name;  // up to 8 bytes, trailing zeros dropped
    std::uint32_t virtual_size = 0;
    std::uint32_t virtual_address = 0;
    std::uint32_t raw_size = 0;
    std::uint32_t raw_offset = 0;
    std::uint32_t characteristics = 0;
};

// The bytes a section spans in memory as the loader maps it: VirtualSize, or
// SizeOfRawData when VirtualSize is 0. The reader finds a section by it and
// the writer places a new one after it, so both see the same layout.
inline std::uint32_t MappedSize(const PeSection& s) { return s.virtual_size != 0 ? s.virtual_size : s.raw_size; }
// Where that span ends, past 4 GiB when the header says so.
inline std::uint64_t MappedEnd(const PeSection& s) { return std::uint64_t{s.virtual_address} + MappedSize(s); }
// The bytes at its start that are both mapped and backed by the file.
inline std::uint32_t ReadableSize(const PeSection& s) { return std::min(MappedSize(s), s.raw_size); }

// A data directory entry: the rva, then the size.
inline constexpr std::size_t kDirectorySizeField = 4;

struct PeDataDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

inline constexpr std::size_t kResourceDirectoryIndex = 2;
inline constexpr std::size_t kSecurityDirectoryIndex = 4;
inline constexpr std::size_t kBaseRelocationDirectoryIndex = 5;

// COFF characteristics and the optional header's subsystem, as the format numbers them.
inline constexpr std::uint16_t kImageFileDll = 0x2000;
inline constexpr std::uint16_t kSubsystemWindowsGui = 2;

// What ParsePeImage takes after the sections' raw data. The writer takes
// nothing: a signature would break and extra data would be lost. A reader
// also takes a certificate table (a signature added after the build) and
// extra data, and looks at them itself (pe_certificate.h).
enum class AfterSections { kNothing, kAnything };

struct PeImage {
    PeMachine machine = PeMachine::kI386;  // which optional header follows: PE32 or PE32+
    std::size_t coff_offset = 0;           // COFF file header, right after "PE\0\0"
    std::uint16_t characteristics = 0;
    std::uint16_t subsystem = 0;
    std::size_t optional_offset = 0;
    std::size_t section_table_offset = 0;
    std::uint32_t section_alignment = 0;
    std::uint32_t file_alignment = 0;
    std::uint32_t size_of_headers = 0;
    std::vector<PeDataDirectory> directories;
    std::vector<PeSection> sections;
    std::uint64_t raw_end = 0;  // where the headers' and the sections' raw data end in the file

    // File offsets of the header fields the writer changes.
    std::size_t checksum_offset() const { return optional_offset + pe::kOptCheckSum; }
    std::size_t size_of_image_offset() const { return optional_offset + pe::kOptSizeOfImage; }
    std::size_t initialized_data_offset() const { return optional_offset + pe::kOptSizeOfInitializedData; }
    std::size_t directory_offset(std::size_t index) const {
        return optional_offset + pe::LayoutOf(machine).data_directories + pe::kDataDirectorySize * index;
    }
    // File offset of size bytes at rva; throws PeError unless one section maps
    // them from its raw data.
    std::size_t OffsetOfRva(std::uint32_t rva, std::uint32_t size) const;
    // Index of the section whose address range holds rva, or sections.size().
    std::size_t SectionOfRva(std::uint32_t rva) const;
};

// Throws PeError when the bytes are not an i386 PE32 or AMD64 PE32+ image
// (a machine that disagrees with its optional header's magic included), are
// damaged (sections out of address order or overlapping included), or
// (kNothing) carry a certificate or have bytes after the last section's raw
// data.
PeImage ParsePeImage(const std::vector<std::uint8_t>& file, AfterSections after = AfterSections::kNothing);

// The same for a file not held: its first bytes, as far as its headers reach
// (what ReadHeaderBytes gives: all a parse reads), and its size. Throws
// PeError for headers past 4 MiB.
std::vector<std::uint8_t> ReadHeaderBytes(const FileBytes& file);
PeImage ParsePeHeaders(const std::vector<std::uint8_t>& headers, std::uint64_t file_size,
                       AfterSections after = AfterSections::kNothing);

// The kind of Windows program the bytes start as: the MS-DOS and PE
// signatures, then i386 with the PE32 magic or AMD64 with the PE32+ one;
// nothing for any other file. What a reader tells a file of another kind by
// before it calls it damaged.
std::optional<PeMachine> ProgramMachine(const std::vector<std::uint8_t>& file);

}  // namespace zsetup
