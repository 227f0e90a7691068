// The PE reader and writer on arbitrary bytes. An image the writer takes must
// come out readable, keep the raw bytes of every section but the resources'
// own, hold exactly the bytes written under each name, and writing the same
// items again must change nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "pe/pe_error.h"
#include "pe/pe_image.h"
#include "pe/resource_writer.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the builder writes: the record and the payload. Their bytes are the
// input's first and last ones, so their sizes and the alignment vary too.
std::vector<zsetup::RcDataItem> Items(const Bytes& image) {
    const std::size_t ini = std::min<std::size_t>(image.size(), 13);
    const std::size_t pack = std::min<std::size_t>(image.size(), 600);
    return {{"SETUPINI", Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(ini))},
            {"SETUPPACK", Bytes(image.rbegin(), image.rbegin() + static_cast<std::ptrdiff_t>(pack))}};
}

// Sections after the resources' may move (resource_placement.h): each is
// found by its name and bytes, wherever it lies.
bool OtherSectionsKept(const Bytes& image, const Bytes& out) {
    const auto sections = [](const Bytes& file) {
        const zsetup::PeImage img = zsetup::ParsePeImage(file);
        std::vector<std::pair<std::string, Bytes>> found;
        for (const zsetup::PeSection& s : img.sections)
            if (s.raw_size != 0 && s.virtual_address != img.directories[zsetup::kResourceDirectoryIndex].rva)
                found.emplace_back(s.name,
                                   Bytes(file.begin() + s.raw_offset, file.begin() + s.raw_offset + s.raw_size));
        return found;
    };
    const auto after = sections(out);
    for (const auto& section : sections(image))
        if (std::find(after.begin(), after.end(), section) == after.end()) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zsetup;
    using fuzz::Require;
    const Bytes image(data, data + size);
    try {
        ParsePeImage(image);
        FindRcData(image, "SETUPINI");
    } catch (const PeError&) {
    }

    const std::vector<RcDataItem> items = Items(image);
    Bytes once;
    try {
        once = WriteRcData(image, items);
    } catch (const PeError&) {
        return 0;  // an image it cannot rewrite, refused with the user's text
    }
    try {
        ParsePeImage(once);
        Require(OtherSectionsKept(image, once), "every section but the resources' own keeps its raw bytes");
        for (const RcDataItem& item : items)
            Require(FindRcData(once, item.name) == item.bytes, "what was written reads back");
        Require(WriteRcData(once, items) == once, "writing the same items again changes nothing");
    } catch (const PeError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        Require(false, "what the writer made, it reads and rewrites");
    }
    return 0;
}
