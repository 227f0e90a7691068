// Puts named RCDATA resources into a copy of a PE image (PE32 or PE32+) and reads them back.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/byte_sink.h"
#include "pe/pe_checksum.h"
#include "pe/pe_image.h"
#include "pe/resource_tree.h"

namespace zsetup {

struct RcDataItem {
    std::string name;  // printable ASCII, e.g. "SETUPINI"
    std::vector<std::uint8_t> bytes;
};

// A resource of a numeric type and ID in one language, such as the version
// information (type 16, ID 1). It takes the place of every entry of its type,
// so no other language of it is left for the loader to pick.
struct TypedItem {
    std::uint32_t type;
    std::uint32_t id;
    std::uint16_t language;
    std::vector<std::uint8_t> bytes;
};

// The image with each item added as RT_RCDATA (language 0) or, when an entry of
// that name exists, its data replaced in the languages it has. Every other
// resource keeps its bytes. The new resource section takes the place of the
// image's own and goes last, the sections after it moving down
// (resource_placement.h); an image that cannot lose its own gets a new
// ".rsrc" section after its last. Headers and
// the checksum are fixed; same input, same output. Throws PeError for an image
// it cannot rewrite, std::invalid_argument for a bad name. The items' bytes
// are taken over, not copied: at most two copies of the new resources are
// alive at once. Typed items go in as TypedItem says. `also`, when given,
// edits the tree further (other resource types, such as the icons) before it
// is laid out.
std::vector<std::uint8_t> WriteRcData(const std::vector<std::uint8_t>& image, std::vector<RcDataItem> items,
                                      std::vector<TypedItem> typed = {},
                                      const std::function<void(ResourceTree&)>& also = {});

// WriteRcData for an entry too large to hold: the image with the items is
// written up to where that entry's bytes go, the last data of the resource
// section, which is the file's last; the bytes are then appended as they
// come, and Finish pads the section and writes the headers again with the
// sizes and the checksum. The same input gives the same bytes however it is
// cut into pieces. An item can be filled later: laid out with its bytes now
// (a placeholder of the right length), given its real bytes by Fill before
// Finish (a digest of what was streamed). Throws what WriteRcData throws,
// from the constructor.
class RcDataStreamWriter {
public:
    RcDataStreamWriter(const std::vector<std::uint8_t>& image, std::vector<RcDataItem> items,
                       std::vector<TypedItem> typed, const std::string& streamed_name, ByteSink& out,
                       const std::function<void(ResourceTree&)>& also = {}, std::optional<RcDataItem> later = {});
    void Append(const std::uint8_t* data, std::size_t size);
    // The later item's bytes, as many as its placeholder had.
    void Fill(const std::vector<std::uint8_t>& bytes);
    void Finish();

private:
    ByteSink& out_;
    PeImage img_;
    std::vector<std::uint8_t> head_;        // the image up to the streamed bytes
    std::vector<std::size_t> size_fields_;  // the streamed entry's sizes, in head_
    std::vector<std::size_t> later_data_;   // the later item's bytes, in head_
    std::size_t later_size_ = 0;
    PeSection rsrc_;
    std::size_t header_at_ = 0;  // the resource section's header
    std::size_t section_head_size_ = 0;
    std::uint32_t old_raw_size_ = 0;
    std::uint64_t other_sections_end_ = 0;  // in memory
    std::uint64_t streamed_ = 0;
    PeChecksumSum streamed_sum_;
};

// The bytes of the RT_RCDATA entry of that name (matched ignoring case, first
// language), or nothing. Throws PeError for an image it cannot read.
std::optional<std::vector<std::uint8_t>> FindRcData(const std::vector<std::uint8_t>& image, const std::string& name);

}  // namespace zsetup
