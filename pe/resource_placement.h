// Where the resource writer puts the new resource section, and what of the
// image comes before it.
//
// The image keeps one resource section: the new one replaces the stub's own,
// which still holds the stub's resources, so readers that take the first
// ".rsrc" (exiftool) see what the loader sees, and no section name comes
// twice. The new section is last, so its data can be streamed and the file
// ends with it. The stub's section is rarely last: the linker puts .reloc
// after it. Sections after it move down into its place, which is sound only
// for sections nothing but the loader reads through a data directory: a
// discardable, non-code section such as .reloc, whose directory entry moves
// with it. Code addresses data by RVA with no record of it (32-bit code
// absolutely, patched by .reloc; 64-bit code relative to RIP, not patched at
// all), so a section code may address never moves, in either kind; nor may a
// section whose RVAs .reloc patches or another directory points into. An
// image laid out otherwise gets a new section after its last, the old one
// kept as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pe/pe_image.h"

namespace zsetup {

struct ResourcePlacement {
    // The file up to the new section's raw data: the headers (with the moved
    // sections' headers and directory entries), every other section's raw
    // data, and padding. The new section's header, the section count and the
    // sizes are the writer's to fill.
    std::vector<std::uint8_t> head;
    PeSection section;                     // name, characteristics, virtual address and raw offset; no sizes yet
    std::size_t header_at = 0;             // the new section's header, in head
    std::uint32_t replaced_raw_size = 0;   // the dropped section's SizeOfRawData; 0 when appended
    std::uint64_t other_sections_end = 0;  // where the other sections end in memory
};

// A section header as the format lays it out, the fields an image file
// leaves zero written so.
void PutSectionHeader(std::vector<std::uint8_t>& file, std::size_t at, const PeSection& section);

// Throws PeError when an appended section's header has no room.
ResourcePlacement PlaceResourceSection(const std::vector<std::uint8_t>& image, const PeImage& img);

}  // namespace zsetup
