#include "builder/maker_icon.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace zsetup {
namespace {

constexpr std::uint32_t kRtIcon = 3;
constexpr std::uint32_t kRtGroupIcon = 14;
constexpr std::size_t kIcoHeader = 6;
constexpr std::size_t kIcoEntry = 16;
constexpr std::size_t kGroupEntry = 14;
constexpr std::size_t kMostImages = 64;

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

}  // namespace

IconResources ReadIconFile(const std::vector<std::uint8_t>& ico) {
    if (ico.size() < kIcoHeader || Le(ico, 0, 2) != 0 || Le(ico, 2, 2) != 1)
        throw std::invalid_argument("not an ICO file");
    const std::size_t count = Le(ico, 4, 2);
    if (count == 0 || count > kMostImages)
        throw std::invalid_argument("an ICO file of " + std::to_string(count) + " images, 1 to 64 are taken");
    if (ico.size() < kIcoHeader + count * kIcoEntry) throw std::invalid_argument("the ICO file is cut short");
    IconResources out;
    out.group.assign(ico.begin(), ico.begin() + kIcoHeader);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kIcoHeader + i * kIcoEntry;
        const std::uint64_t size = Le(ico, entry + 8, 4), offset = Le(ico, entry + 12, 4);
        if (size == 0 || offset + size > ico.size())
            throw std::invalid_argument("image " + std::to_string(i + 1) + " of the ICO file lies outside it");
        out.images.emplace_back(ico.begin() + static_cast<std::ptrdiff_t>(offset),
                                ico.begin() + static_cast<std::ptrdiff_t>(offset + size));
        // The directory entry's first 12 bytes, then the image's resource ID.
        out.group.insert(out.group.end(), ico.begin() + static_cast<std::ptrdiff_t>(entry),
                         ico.begin() + static_cast<std::ptrdiff_t>(entry + 12));
        out.group.push_back(static_cast<std::uint8_t>((i + 1) & 0xFF));
        out.group.push_back(static_cast<std::uint8_t>((i + 1) >> 8));
    }
    static_assert(kGroupEntry == 12 + 2, "a group entry is the ICO entry's first 12 bytes and an ID");
    return out;
}

void ReplaceIcons(ResourceTree& tree, IconResources icons) {
    ResourceKey group_name = ResourceKey::Id(1);
    ResourceKey language = ResourceKey::Id(0);
    for (const ResourceType& t : tree) {
        if (!ResourceKeyMatches(t.type, ResourceKey::Id(kRtGroupIcon)) || t.entries.empty()) continue;
        group_name = t.entries.front().name;
        if (!t.entries.front().languages.empty()) language = t.entries.front().languages.front().language;
    }
    tree.erase(std::remove_if(tree.begin(), tree.end(),
                              [](const ResourceType& t) {
                                  return ResourceKeyMatches(t.type, ResourceKey::Id(kRtIcon)) ||
                                         ResourceKeyMatches(t.type, ResourceKey::Id(kRtGroupIcon));
                              }),
               tree.end());
    ResourceType images{ResourceKey::Id(kRtIcon), {}};
    for (std::size_t i = 0; i < icons.images.size(); ++i)
        images.entries.push_back(
            {ResourceKey::Id(static_cast<std::uint32_t>(i + 1)), {{language, 0, std::move(icons.images[i])}}});
    tree.push_back(std::move(images));
    tree.push_back({ResourceKey::Id(kRtGroupIcon), {{group_name, {{language, 0, std::move(icons.group)}}}}});
}

}  // namespace zsetup
