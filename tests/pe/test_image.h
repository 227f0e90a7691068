// Small synthetic PE images, 32-bit (PE32) or 64-bit (PE32+), for the
// resource writer's tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

#include "pe/pe_machine.h"
#include "pe/resource_tree.h"

namespace zsetup::testing {

using Bytes = std::vector<std::uint8_t>;

enum class Layout {
    kNoResources,           // .text only
    kResourcesLast,         // .text, .rsrc
    kResourcesBeforeReloc,  // .text, .rsrc, .reloc
};

inline constexpr std::size_t kPeOffset = 0x80;
inline constexpr std::size_t kCoffOffset = kPeOffset + 4;
inline constexpr std::size_t kOptionalOffset = kCoffOffset + 20;
inline constexpr std::uint32_t kSectionAlignment = 0x1000;
inline constexpr std::uint32_t kFileAlignment = 0x200;

// Where a test image of each kind has the fields that differ between PE32
// and PE32+. Written out here, not taken from pe_layout.h, so that a wrong
// offset there shows.
struct ImageKind {
    const char* label;
    PeMachine machine;
    std::uint16_t machine_field;     // COFF Machine
    std::uint16_t magic;             // the optional header's
    std::size_t optional_size;       // SizeOfOptionalHeader, 16 data directories
    std::size_t directory_count_at;  // NumberOfRvaAndSizes, in the optional header
    std::size_t directories_at;      // the data directories, in the optional header

    constexpr std::size_t SectionTable() const { return kOptionalOffset + optional_size; }
    // File offset of data directory `index` (its rva; the size follows).
    constexpr std::size_t Directory(std::size_t index) const { return kOptionalOffset + directories_at + 8 * index; }
};

inline constexpr ImageKind kPe32Image{"Pe32", PeMachine::kI386, 0x14C, 0x10B, 224, 92, 96};
inline constexpr ImageKind kPe32PlusImage{"Pe32Plus", PeMachine::kAmd64, 0x8664, 0x20B, 240, 108, 112};
inline constexpr ImageKind kImageKinds[] = {kPe32Image, kPe32PlusImage};

// gtest names a case by its label, also in ctest's list.
inline void PrintTo(const ImageKind& kind, std::ostream* os) { *os << kind.label; }

// The other kind: a machine or magic that disagrees with this kind's.
inline const ImageKind& OtherKind(const ImageKind& kind) {
    return kind.machine == PeMachine::kI386 ? kPe32PlusImage : kPe32Image;
}

// An image with the given tree in its resource section (ignored for kNoResources).
Bytes MakeImage(Layout layout, const ResourceTree& tree, const ImageKind& kind = kPe32Image);

// Icons, a manifest, a named picture type and two RCDATA entries.
ResourceTree SampleTree();

}  // namespace zsetup::testing
