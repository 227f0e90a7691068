#include "tests/pe/test_image.h"

#include <string>

#include "pe/le_bytes.h"

namespace zsetup::testing {
namespace {

struct Section {
    std::string name;
    std::uint32_t characteristics;
    Bytes raw;
    std::uint32_t virtual_size;
};

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 7);
    return b;
}

std::uint32_t Align(std::size_t v, std::uint32_t a) { return static_cast<std::uint32_t>((v + a - 1) / a * a); }

}  // namespace

ResourceTree SampleTree() {
    return {
        {ResourceKey::Id(3), {{ResourceKey::Id(1), {{ResourceKey::Id(0x409), 0, Pattern(744, 1)}}}}},
        {ResourceKey::Id(14), {{ResourceKey::Name(u"MAINICON"), {{ResourceKey::Id(0x409), 0, Pattern(20, 2)}}}}},
        {ResourceKey::Id(24), {{ResourceKey::Id(1), {{ResourceKey::Id(0), 0, Pattern(381, 3)}}}}},
        {ResourceKey::Name(u"PICTURE"),
         {{ResourceKey::Name(u"LOGO"), {{ResourceKey::Id(0x804), 936, Pattern(1001, 4)}}}}},
        {ResourceKey::Id(10),
         {{ResourceKey::Id(5), {{ResourceKey::Id(0x804), 0, Pattern(33, 5)}}},
          {ResourceKey::Name(u"PROTOCOL"), {{ResourceKey::Id(0x804), 0, Pattern(12, 6)}}}}},
    };
}

Bytes MakeImage(Layout layout, const ResourceTree& tree, const ImageKind& kind) {
    constexpr std::uint32_t kHeaders = 0x400;
    std::vector<Section> sections{{".text", 0x60000020, Pattern(0x200, 9), 0x1F0}};
    if (layout != Layout::kNoResources) {
        // The tree's RVAs depend on where the section lands: the second section is always at 0x2000.
        Bytes rsrc = LayoutResourceSection(tree, 2 * kSectionAlignment);
        const auto size = static_cast<std::uint32_t>(rsrc.size());
        rsrc.resize(Align(size, kFileAlignment), 0);
        sections.push_back({".rsrc", 0x40000040, std::move(rsrc), size});
    }
    if (layout == Layout::kResourcesBeforeReloc) sections.push_back({".reloc", 0x42000040, Pattern(0x200, 11), 0x10});

    const std::size_t table = kind.SectionTable();
    Bytes file(kHeaders, 0);
    file[0] = 'M';
    file[1] = 'Z';
    le::Put32(file, 0x3C, kPeOffset);
    file[kPeOffset] = 'P';
    file[kPeOffset + 1] = 'E';
    le::Put16(file, kCoffOffset, kind.machine_field);
    le::Put16(file, kCoffOffset + 2, static_cast<std::uint16_t>(sections.size()));
    le::Put16(file, kCoffOffset + 16, static_cast<std::uint16_t>(kind.optional_size));
    le::Put16(file, kOptionalOffset, kind.magic);
    le::Put16(file, kCoffOffset + 18, kind.machine == PeMachine::kAmd64 ? 0x0022 : 0x0102);
    if (kind.machine == PeMachine::kAmd64) {
        // ImageBase 0x140000000 and the stack and heap sizes, 8 bytes each:
        // what a reader taking PE32 offsets would misread.
        le::Put32(file, kOptionalOffset + 24, 0x40000000);
        le::Put32(file, kOptionalOffset + 28, 0x1);
        for (std::size_t at : {72u, 80u, 88u, 96u}) le::Put32(file, kOptionalOffset + at, 0x100000);
    }
    le::Put32(file, kOptionalOffset + 32, kSectionAlignment);
    le::Put32(file, kOptionalOffset + 36, kFileAlignment);
    le::Put32(file, kOptionalOffset + 60, kHeaders);
    le::Put32(file, kOptionalOffset + kind.directory_count_at, 16);

    std::uint32_t rva = kSectionAlignment;
    std::uint32_t initialized = 0;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        const std::size_t h = table + i * 40;
        for (std::size_t c = 0; c < s.name.size(); ++c) file[h + c] = static_cast<std::uint8_t>(s.name[c]);
        le::Put32(file, h + 8, s.virtual_size);
        le::Put32(file, h + 12, rva);
        le::Put32(file, h + 16, static_cast<std::uint32_t>(s.raw.size()));
        le::Put32(file, h + 20, static_cast<std::uint32_t>(file.size()));
        le::Put32(file, h + 36, s.characteristics);
        if (s.name == ".rsrc") {
            le::Put32(file, kind.Directory(2), rva);
            le::Put32(file, kind.Directory(2) + 4, s.virtual_size);
        }
        if (s.characteristics & 0x40) initialized += static_cast<std::uint32_t>(s.raw.size());
        file.insert(file.end(), s.raw.begin(), s.raw.end());
        rva += Align(s.virtual_size, kSectionAlignment);
    }
    le::Put32(file, kOptionalOffset + 8, initialized);
    le::Put32(file, kOptionalOffset + 56, rva);
    return file;
}

}  // namespace zsetup::testing
