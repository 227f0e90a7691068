// Puts named RCDATA resources into a copy of a 32-bit PE image and reads them back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
// resource keeps its bytes. The resource section is rewritten in place when it
// is the image's last; otherwise a new ".rsrc" section is appended. Headers and
// the checksum are fixed; same input, same output. Throws PeError for an image
// it cannot rewrite, std::invalid_argument for a bad name. The items' bytes
// are taken over, not copied: at most two copies of the new resources are
// alive at once. Typed items go in as TypedItem says.
std::vector<std::uint8_t> WriteRcData(const std::vector<std::uint8_t>& image, std::vector<RcDataItem> items,
                                      std::vector<TypedItem> typed = {});

// The bytes of the RT_RCDATA entry of that name (matched ignoring case, first
// language), or nothing. Throws PeError for an image it cannot read.
std::optional<std::vector<std::uint8_t>> FindRcData(const std::vector<std::uint8_t>& image, const std::string& name);

}  // namespace zsetup
