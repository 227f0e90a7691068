// A PE resource tree (type / name / language) as plain values, read from an
// image's resource directory and laid out again as a section's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/file_bytes.h"
#include "pe/pe_image.h"

namespace zsetup {

// An entry's key: a UTF-16 name or a numeric ID.
struct ResourceKey {
    bool is_name = false;
    std::u16string name;
    std::uint32_t id = 0;

    static ResourceKey Id(std::uint32_t id) { return {false, {}, id}; }
    static ResourceKey Name(std::u16string name) { return {true, std::move(name), 0}; }
    bool operator==(const ResourceKey& o) const { return is_name == o.is_name && name == o.name && id == o.id; }
};

struct ResourceData {
    ResourceKey language;
    std::uint32_t code_page = 0;
    std::vector<std::uint8_t> bytes;
    // Bytes that come later, written straight after the laid-out section.
    bool streamed = false;
    // Bytes laid out now and written over once known (as many): the
    // section head says where.
    bool filled_later = false;
    bool operator==(const ResourceData& o) const {
        return language == o.language && code_page == o.code_page && bytes == o.bytes && streamed == o.streamed &&
               filled_later == o.filled_later;
    }
};

struct ResourceEntry {
    ResourceKey name;
    std::vector<ResourceData> languages;
    bool operator==(const ResourceEntry& o) const { return name == o.name && languages == o.languages; }
};

struct ResourceType {
    ResourceKey type;
    std::vector<ResourceEntry> entries;
    bool operator==(const ResourceType& o) const { return type == o.type && entries == o.entries; }
};

using ResourceTree = std::vector<ResourceType>;

inline constexpr std::uint32_t kRtRcData = 10;

// Windows' order within a directory: names first, compared as uppercase, then IDs ascending.
bool ResourceKeyLess(const ResourceKey& a, const ResourceKey& b);
// Names match the way FindResource matches them: ignoring case.
bool ResourceKeyMatches(const ResourceKey& a, const ResourceKey& b);

// The same tree with each entry's data left in the file: where it lies.
struct LocatedData {
    ResourceKey language;
    std::uint32_t code_page = 0;
    std::uint64_t offset = 0;  // in the file
    std::uint32_t size = 0;
};

struct LocatedEntry {
    ResourceKey name;
    std::vector<LocatedData> languages;
};

struct LocatedType {
    ResourceKey type;
    std::vector<LocatedEntry> entries;
};

using ResourceMap = std::vector<LocatedType>;

// The tree the image's resource directory describes (empty when it has none),
// its directories read from the file a piece at a time. Throws PeError when
// the tree is damaged.
ResourceMap LocateResources(const FileBytes& file, const PeImage& image);

// The tree with every entry's data, from an image in memory.
ResourceTree ReadResourceTree(const std::vector<std::uint8_t>& file, const PeImage& image);

// The tree laid out as a resource section starting at section_rva: directories
// sorted as Windows requires, time stamps 0, data RVAs inside the section.
std::vector<std::uint8_t> LayoutResourceSection(const ResourceTree& tree, std::uint32_t section_rva);

// The same, with the data of streamed entries left out: `bytes` ends, 8-byte
// aligned, where that data is to follow; every streamed entry's data entry
// points there, its size (at `size_fields`, offsets in `bytes`) still 0.
// `later_data`: where the data of entries filled later lies in `bytes`.
struct SectionHead {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> size_fields;
    std::vector<std::size_t> later_data;
};
SectionHead LayoutResourceSectionHead(const ResourceTree& tree, std::uint32_t section_rva);

}  // namespace zsetup
