// Puts named RCDATA resources into a copy of a 32-bit PE image and reads them back.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "builder/resource_tree.h"

namespace zsetup {

struct RcDataItem {
    std::string name;  // printable ASCII, e.g. "SETUPINI"
    std::vector<std::uint8_t> bytes;
};

// The image with each item added as RT_RCDATA (language 0) or, when an entry of
// that name exists, its data replaced in the languages it has. Every other
// resource keeps its bytes. The resource section is rewritten in place when it
// is the image's last; otherwise a new ".rsrc" section is appended. Headers and
// the checksum are fixed; same input, same output. Throws PeError for an image
// it cannot rewrite, std::invalid_argument for a bad name. The items' bytes
// are taken over, not copied: at most two copies of the new resources are
// alive at once.
// `also`, when given, edits the tree further (other resource types) before
// it is laid out.
std::vector<std::uint8_t> WriteRcData(const std::vector<std::uint8_t>& image, std::vector<RcDataItem> items,
                                      const std::function<void(ResourceTree&)>& also = {});

// The bytes of the RT_RCDATA entry of that name (matched ignoring case, first
// language), or nothing. Throws PeError for an image it cannot read.
std::optional<std::vector<std::uint8_t>> FindRcData(const std::vector<std::uint8_t>& image, const std::string& name);

}  // namespace zsetup
