#include "pe/resource_writer.h"

#include <algorithm>
#include <stdexcept>

#include "pe/le_bytes.h"
#include "pe/pe_checksum.h"
#include "pe/pe_error.h"
#include "pe/pe_image.h"
#include "pe/resource_placement.h"
#include "pe/resource_tree.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

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

void Replace(ResourceTree& tree, TypedItem& item) {
    ResourceEntry entry{ResourceKey::Id(item.id), {{ResourceKey::Id(item.language), 0, std::move(item.bytes)}}};
    for (ResourceType& t : tree) {
        if (!ResourceKeyMatches(t.type, ResourceKey::Id(item.type))) continue;
        t.entries.clear();
        t.entries.push_back(std::move(entry));
        return;
    }
    tree.push_back({ResourceKey::Id(item.type), {std::move(entry)}});
}

// Collects a program in memory.
class MemorySink : public ByteSink {
public:
    void Append(const std::uint8_t* data, std::size_t size) override { bytes.insert(bytes.end(), data, data + size); }
    void Overwrite(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override {
        std::copy(data, data + size, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    Bytes bytes;
};

}  // namespace

RcDataStreamWriter::RcDataStreamWriter(const Bytes& image, std::vector<RcDataItem> items, std::vector<TypedItem> typed,
                                       const std::string& streamed_name, ByteSink& out,
                                       const std::function<void(ResourceTree&)>& also, std::optional<RcDataItem> later)
    : out_(out), img_(ParsePeImage(image)) {
    ResourceTree tree = ReadResourceTree(image, img_);
    for (RcDataItem& item : items) Upsert(tree, item);
    if (later) {
        later_size_ = later->bytes.size();
        const std::string name = later->name;
        Upsert(tree, *later);
        for (ResourceEntry& e : RcDataType(tree).entries)
            if (ResourceKeyMatches(e.name, NameKey(name)))
                for (ResourceData& d : e.languages) d.filled_later = true;
    }
    for (TypedItem& item : typed) Replace(tree, item);
    if (also) also(tree);
    if (!streamed_name.empty()) {
        RcDataItem streamed{streamed_name, {}};
        Upsert(tree, streamed);
        // Every language of the entry points at the one streamed copy.
        for (ResourceEntry& e : RcDataType(tree).entries)
            if (ResourceKeyMatches(e.name, NameKey(streamed_name)))
                for (ResourceData& d : e.languages) d.streamed = true;
    }

    ResourcePlacement placement = PlaceResourceSection(image, img_);
    head_ = std::move(placement.head);
    rsrc_ = placement.section;
    header_at_ = placement.header_at;
    old_raw_size_ = placement.replaced_raw_size;
    other_sections_end_ = placement.other_sections_end;

    SectionHead section = LayoutResourceSectionHead(tree, rsrc_.virtual_address);
    ResourceTree().swap(tree);  // the section holds the bytes now
    section_head_size_ = section.bytes.size();
    for (std::size_t field : section.size_fields) size_fields_.push_back(rsrc_.raw_offset + field);
    for (std::size_t at : section.later_data) later_data_.push_back(rsrc_.raw_offset + at);
    head_.insert(head_.end(), section.bytes.begin(), section.bytes.end());
    // Written now to hold the place; the headers are written again at the end.
    out_.Append(head_.data(), head_.size());
}

void RcDataStreamWriter::Append(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    if (size_fields_.empty()) throw std::logic_error("no streamed entry to append to");
    streamed_sum_.Add(head_.size() + streamed_, data, size);
    out_.Append(data, size);
    streamed_ += size;
}

void RcDataStreamWriter::Fill(const Bytes& bytes) {
    if (bytes.size() != later_size_) throw std::logic_error("the later item changed its length");
    for (std::size_t at : later_data_)
        std::copy(bytes.begin(), bytes.end(), head_.begin() + static_cast<std::ptrdiff_t>(at));
}

void RcDataStreamWriter::Finish() {
    const std::uint64_t section_size = section_head_size_ + streamed_;
    if (streamed_ > 0xFFFFFFFFu || section_size > 0xFFFFFFFFu)
        throw PeError("The program file would grow beyond 4 GB.");
    rsrc_.virtual_size = static_cast<std::uint32_t>(section_size);
    rsrc_.raw_size = Align(section_size, img_.file_alignment);
    const std::uint64_t file_size = std::uint64_t{rsrc_.raw_offset} + rsrc_.raw_size;
    const Bytes padding(static_cast<std::size_t>(rsrc_.raw_size - section_size), 0);
    out_.Append(padding.data(), padding.size());

    for (std::size_t field : size_fields_) le::Put32(head_, field, static_cast<std::uint32_t>(streamed_));
    PutSectionHeader(head_, header_at_, rsrc_);
    const std::size_t initialized_at = img_.initialized_data_offset();
    le::Put32(head_, initialized_at, le::U32(head_, initialized_at) - old_raw_size_ + rsrc_.raw_size);
    const std::uint64_t image_end = std::max(other_sections_end_, MappedEnd(rsrc_));
    le::Put32(head_, img_.size_of_image_offset(), Align(image_end, img_.section_alignment));
    le::Put32(head_, img_.directory_offset(kResourceDirectoryIndex), rsrc_.virtual_address);
    le::Put32(head_, img_.directory_offset(kResourceDirectoryIndex) + kDirectorySizeField, rsrc_.virtual_size);

    // The checksum field counts as zero; padding adds nothing.
    le::Put32(head_, img_.checksum_offset(), 0);
    PeChecksumSum sum = streamed_sum_;
    sum.Add(0, head_.data(), head_.size());
    le::Put32(head_, img_.checksum_offset(), sum.Checksum(file_size));
    out_.Overwrite(0, head_.data(), head_.size());
}

Bytes WriteRcData(const Bytes& image, std::vector<RcDataItem> items, std::vector<TypedItem> typed,
                  const std::function<void(ResourceTree&)>& also) {
    MemorySink sink;
    RcDataStreamWriter writer(image, std::move(items), std::move(typed), "", sink, also);
    writer.Finish();
    return std::move(sink.bytes);
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
