// The PE reader and writer on arbitrary bytes. An image the writer takes must
// come out readable, keep the raw bytes of every section but the resources'
// own, hold exactly the bytes written under each name, and writing the same
// items again must change nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
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

bool OtherSectionsKept(const Bytes& image, const Bytes& out) {
    const zsetup::PeImage before = zsetup::ParsePeImage(image);
    for (const zsetup::PeSection& s : before.sections) {
        if (s.raw_size == 0 || s.virtual_address == before.directories[zsetup::kResourceDirectoryIndex].rva) continue;
        const auto from = static_cast<std::ptrdiff_t>(s.raw_offset),
                   to = from + static_cast<std::ptrdiff_t>(s.raw_size);
        if (static_cast<std::size_t>(to) > out.size() ||
            !std::equal(image.begin() + from, image.begin() + to, out.begin() + from))
            return false;
    }
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
