// Small synthetic 32-bit PE images for the resource writer's tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "builder/resource_tree.h"

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

// An image with the given tree in its resource section (ignored for kNoResources).
Bytes MakeImage(Layout layout, const ResourceTree& tree);

// Icons, a manifest, a named picture type and two RCDATA entries.
ResourceTree SampleTree();

}  // namespace zsetup::testing
