// Where the fields of a 32-bit PE image's headers sit, as the PE format lays
// them out: offsets within the COFF file header, the PE32 optional header, a
// section header and the resource directory's tables.
#pragma once

#include <cstddef>

namespace zsetup::pe {

// COFF file header, right after "PE\0\0".
inline constexpr std::size_t kCoffHeaderSize = 20;
inline constexpr std::size_t kCoffMachine = 0;
inline constexpr std::size_t kCoffNumberOfSections = 2;
inline constexpr std::size_t kCoffSizeOfOptionalHeader = 16;
inline constexpr std::size_t kCoffCharacteristics = 18;

// PE32 optional header.
inline constexpr std::size_t kOptMagic = 0;
inline constexpr std::size_t kOptSizeOfInitializedData = 8;
inline constexpr std::size_t kOptSectionAlignment = 32;
inline constexpr std::size_t kOptFileAlignment = 36;
inline constexpr std::size_t kOptSizeOfImage = 56;
inline constexpr std::size_t kOptSizeOfHeaders = 60;
inline constexpr std::size_t kOptCheckSum = 64;
inline constexpr std::size_t kOptSubsystem = 68;
inline constexpr std::size_t kOptDllCharacteristics = 70;
inline constexpr std::size_t kOptNumberOfRvaAndSizes = 92;
inline constexpr std::size_t kOptDataDirectories = 96;
inline constexpr std::size_t kDataDirectorySize = 8;

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
