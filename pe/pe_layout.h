// Where the fields of a PE image's headers sit, as the PE format lays them
// out: offsets within the COFF file header, the optional header (PE32 for
// i386 programs, PE32+ for AMD64 ones), a section header and the resource
// directory's tables.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pe/pe_machine.h"

namespace zsetup::pe {

// COFF file header, right after "PE\0\0".
inline constexpr std::size_t kCoffHeaderSize = 20;
inline constexpr std::size_t kCoffMachine = 0;
inline constexpr std::size_t kCoffNumberOfSections = 2;
inline constexpr std::size_t kCoffSizeOfOptionalHeader = 16;
inline constexpr std::size_t kCoffCharacteristics = 18;

// Optional header fields at the same place in PE32 and PE32+.
inline constexpr std::size_t kOptMagic = 0;
inline constexpr std::size_t kOptSizeOfInitializedData = 8;
inline constexpr std::size_t kOptSectionAlignment = 32;
inline constexpr std::size_t kOptFileAlignment = 36;
inline constexpr std::size_t kOptSizeOfImage = 56;
inline constexpr std::size_t kOptSizeOfHeaders = 60;
inline constexpr std::size_t kOptCheckSum = 64;
inline constexpr std::size_t kOptSubsystem = 68;
inline constexpr std::size_t kOptDllCharacteristics = 70;
inline constexpr std::size_t kDataDirectorySize = 8;

// What differs between the two kinds. PE32+ widens ImageBase and the stack
// and heap sizes to 8 bytes and has no BaseOfData, so the fields after the
// subsystem's lie 16 bytes further on.
struct OptionalHeaderLayout {
    std::uint16_t machine;  // the COFF header's Machine
    std::uint16_t magic;
    std::size_t number_of_rva_and_sizes;
    std::size_t data_directories;
};
inline constexpr OptionalHeaderLayout kPe32{0x14C, 0x10B, 92, 96};
inline constexpr OptionalHeaderLayout kPe32Plus{0x8664, 0x20B, 108, 112};

inline constexpr const OptionalHeaderLayout& LayoutOf(PeMachine m) {
    return m == PeMachine::kAmd64 ? kPe32Plus : kPe32;
}

// Section header.
inline constexpr std::size_t kSectionHeaderSize = 40;
inline constexpr std::size_t kSectionVirtualSize = 8;
inline constexpr std::size_t kSectionVirtualAddress = 12;
inline constexpr std::size_t kSectionSizeOfRawData = 16;
inline constexpr std::size_t kSectionPointerToRawData = 20;
inline constexpr std::size_t kSectionCharacteristics = 36;

// Resource directory table and its entries.
inline constexpr std::size_t kResourceDirectoryHeaderSize = 16;
inline constexpr std::size_t kResourceNamedEntries = 12;
inline constexpr std::size_t kResourceIdEntries = 14;
inline constexpr std::size_t kResourceEntrySize = 8;
inline constexpr std::size_t kResourceEntryTarget = 4;
// Resource data entry.
inline constexpr std::size_t kResourceDataSize = 4;
inline constexpr std::size_t kResourceDataCodePage = 8;

}  // namespace zsetup::pe
