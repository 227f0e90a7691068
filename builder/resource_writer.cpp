#include "builder/resource_writer.h"

#include <algorithm>
#include <stdexcept>

#include "builder/le_bytes.h"
#include "builder/pe_checksum.h"
#include "builder/pe_error.h"
#include "builder/pe_image.h"
#include "builder/resource_tree.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kScnInitializedData = 0x00000040;
constexpr std::uint32_t kScnMemRead = 0x40000000;

std::uint32_t Align(std::uint64_t v, std::uint32_t a) {
    const std::uint64_t aligned = (v + a - 1) / a * a;
    if (aligned > 0xFFFFFFFFu) throw PeError("The program file would grow beyond 4 GB.");
    return static_cast<std::uint32_t>(aligned);
}

ResourceKey NameKey(const std::string& name) {
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return c > 0x20 && c < 0x7F; }))
        throw std::invalid_argument("resource name must be printable ASCII: \"" + name + "\"");
    return ResourceKey::Name(std::u16string(name.begin(), name.end()));
}

ResourceType& RcDataType(ResourceTree& tree) {
    for (ResourceType& t : tree)
        if (ResourceKeyMatches(t.type, ResourceKey::Id(kRtRcData))) return t;
    tree.push_back({ResourceKey::Id(kRtRcData), {}});
    return tree.back();
}

void Upsert(ResourceTree& tree, RcDataItem& item) {
    const ResourceKey key = NameKey(item.name);
    ResourceType& type = RcDataType(tree);
    for (ResourceEntry& e : type.entries) {
        if (!ResourceKeyMatches(e.name, key)) continue;
        if (e.languages.empty()) {
            e.languages.push_back({ResourceKey::Id(0), 0, std::move(item.bytes)});
            return;
        }
        // Every language gets the new bytes, so whichever one the loader picks is current.
        for (std::size_t i = 1; i < e.languages.size(); ++i) e.languages[i].bytes = item.bytes;
        e.languages.front().bytes = std::move(item.bytes);
        return;
    }
    type.entries.push_back({key, {{ResourceKey::Id(0), 0, std::move(item.bytes)}}});
}

// The loader maps VirtualSize bytes, or SizeOfRawData when VirtualSize is 0.
std::uint32_t SectionEnd(const PeSection& s) {
    return s.virtual_address + (s.virtual_size ? s.virtual_size : s.raw_size);
}

// The resource section may be rewritten in place only when nothing follows it,
// neither in the file nor in memory, and the tree starts it (nothing else shares it).
bool RewritableInPlace(const PeImage& img, std::size_t index, std::size_t file_size) {
    if (index + 1 != img.sections.size()) return false;
    const PeSection& s = img.sections[index];
    if (s.virtual_address != img.directories[kResourceDirectoryIndex].rva) return false;
    if (static_cast<std::size_t>(s.raw_offset) + s.raw_size != file_size) return false;
    return std::all_of(img.sections.begin(), img.sections.end(),
                       [&](const PeSection& o) { return SectionEnd(o) <= SectionEnd(s); });
}

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

}  // namespace

Bytes WriteRcData(const Bytes& image, std::vector<RcDataItem> items, const std::function<void(ResourceTree&)>& also) {
    const PeImage img = ParsePeImage(image);
    ResourceTree tree = ReadResourceTree(image, img);
    for (RcDataItem& item : items) Upsert(tree, item);
    if (also) also(tree);

    const std::size_t old_index = img.directories[kResourceDirectoryIndex].rva == 0
                                      ? img.sections.size()
                                      : img.SectionOfRva(img.directories[kResourceDirectoryIndex].rva);
    const bool in_place = old_index < img.sections.size() && RewritableInPlace(img, old_index, image.size());

    Bytes out;
    PeSection rsrc;
    std::size_t header_at = 0;
    std::uint32_t old_raw_size = 0;
    if (in_place) {
        rsrc = img.sections[old_index];
        old_raw_size = rsrc.raw_size;
        header_at = img.section_table_offset + old_index * pe::kSectionHeaderSize;
        out.assign(image.begin(), image.begin() + rsrc.raw_offset);
    } else {
        header_at = img.section_table_offset + img.sections.size() * pe::kSectionHeaderSize;
        std::size_t first_raw = img.size_of_headers;
        for (const PeSection& s : img.sections)
            if (s.raw_size != 0) first_raw = std::min<std::size_t>(first_raw, s.raw_offset);
        if (header_at + pe::kSectionHeaderSize > first_raw)
            throw PeError("The program file has no room for another section header.");
        std::uint32_t image_end = 0;
        for (const PeSection& s : img.sections) image_end = std::max(image_end, SectionEnd(s));
        rsrc.name = ".rsrc";
        rsrc.characteristics = kScnInitializedData | kScnMemRead;
        rsrc.virtual_address = Align(image_end, img.section_alignment);
        rsrc.raw_offset = Align(image.size(), img.file_alignment);
        out = image;
        out.resize(rsrc.raw_offset, 0);
        le::Put16(out, img.coff_offset + pe::kCoffNumberOfSections,
                  static_cast<std::uint16_t>(img.sections.size() + 1));
    }

    Bytes section = LayoutResourceSection(tree, rsrc.virtual_address);
    ResourceTree().swap(tree);  // the section holds the bytes now
    rsrc.virtual_size = static_cast<std::uint32_t>(section.size());
    rsrc.raw_size = Align(section.size(), img.file_alignment);
    out.reserve(static_cast<std::size_t>(rsrc.raw_offset) + rsrc.raw_size);
    out.insert(out.end(), section.begin(), section.end());
    Bytes().swap(section);
    out.resize(static_cast<std::size_t>(rsrc.raw_offset) + rsrc.raw_size, 0);
    PutSectionHeader(out, header_at, rsrc);

    const std::size_t initialized_at = img.optional_offset + pe::kOptSizeOfInitializedData;
    le::Put32(out, initialized_at, le::U32(out, initialized_at) - old_raw_size + rsrc.raw_size);
    std::uint32_t image_end = SectionEnd(rsrc);
    for (std::size_t i = 0; i < img.sections.size(); ++i)
        if (!in_place || i != old_index) image_end = std::max(image_end, SectionEnd(img.sections[i]));
    le::Put32(out, img.optional_offset + pe::kOptSizeOfImage, Align(image_end, img.section_alignment));
    le::Put32(out, img.directory_offset(kResourceDirectoryIndex), rsrc.virtual_address);
    le::Put32(out, img.directory_offset(kResourceDirectoryIndex) + kDirectorySizeField, rsrc.virtual_size);
    le::Put32(out, img.checksum_offset(), PeChecksum(out, img.checksum_offset()));
    return out;
}

std::optional<Bytes> FindRcData(const Bytes& image, const std::string& name) {
    const PeImage img = ParsePeImage(image);
    const ResourceKey key = NameKey(name);
    for (const ResourceType& t : ReadResourceTree(image, img)) {
        if (!ResourceKeyMatches(t.type, ResourceKey::Id(kRtRcData))) continue;
        for (const ResourceEntry& e : t.entries)
            if (ResourceKeyMatches(e.name, key) && !e.languages.empty()) return e.languages.front().bytes;
    }
    return std::nullopt;
}

}  // namespace zsetup
