// The maker's program icon: an ICO file checked and turned into the icon
// resources Explorer shows for setup.exe, in place of the stub's own.
#pragma once

#include <cstdint>
#include <vector>

#include "pe/resource_tree.h"

namespace zsetup {

// One RT_GROUP_ICON and its RT_ICON images, made from an ICO file's bytes.
struct IconResources {
    std::vector<std::uint8_t> group;
    std::vector<std::vector<std::uint8_t>> images;  // IDs 1, 2, ... in this order
};

// Throws std::invalid_argument saying what is wrong for bytes that are no
// ICO file: a bad header, no image or more than 64, an image outside the file.
IconResources ReadIconFile(const std::vector<std::uint8_t>& ico);

// Replaces every icon and icon group of the tree with these, the group under
// the name of the stub's first group (so it stays the program's icon) and
// in its language.
void ReplaceIcons(ResourceTree& tree, IconResources icons);

}  // namespace zsetup
