#include "pe/resource_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>

#include "pe/le_bytes.h"
#include "pe/pe_checksum.h"
#include "pe/pe_error.h"
#include "pe/pe_image.h"
#include "pe/resource_tree.h"
#include "tests/pe/test_image.h"
#include "tests/support/case_names.h"

namespace zsetup::testing {
namespace {

Bytes Filled(std::size_t size, std::uint8_t seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed ^ (i * 31 + i / 251));
    return b;
}

// The tree without RT_RCDATA entries of these names.
ResourceTree Without(ResourceTree tree, const std::vector<std::u16string>& names) {
    for (ResourceType& t : tree) {
        if (!(t.type == ResourceKey::Id(kRtRcData))) continue;
        t.entries.erase(std::remove_if(t.entries.begin(), t.entries.end(),
                                       [&](const ResourceEntry& e) {
                                           return e.name.is_name &&
                                                  std::find(names.begin(), names.end(), e.name.name) != names.end();
                                       }),
                        t.entries.end());
    }
    tree.erase(std::remove_if(tree.begin(), tree.end(), [](const ResourceType& t) { return t.entries.empty(); }),
               tree.end());
    std::sort(tree.begin(), tree.end(),
              [](const ResourceType& a, const ResourceType& b) { return ResourceKeyLess(a.type, b.type); });
    for (ResourceType& t : tree)
        std::sort(t.entries.begin(), t.entries.end(),
                  [](const ResourceEntry& a, const ResourceEntry& b) { return ResourceKeyLess(a.name, b.name); });
    return tree;
}

ResourceTree TreeOf(const Bytes& image) { return ReadResourceTree(image, ParsePeImage(image)); }

std::uint32_t AlignUp(std::uint32_t v, std::uint32_t a) { return (v + a - 1) / a * a; }

// The raw bytes of each section but the resource one, by name.
std::map<std::string, Bytes> OtherSections(const Bytes& image) {
    const PeImage img = ParsePeImage(image);
    std::map<std::string, Bytes> sections;
    for (const PeSection& s : img.sections)
        if (s.virtual_address != img.directories[kResourceDirectoryIndex].rva)
            sections[s.name] = Bytes(image.begin() + s.raw_offset, image.begin() + s.raw_offset + s.raw_size);
    return sections;
}

std::size_t SectionsNamed(const Bytes& image, const std::string& name) {
    const PeImage img = ParsePeImage(image);
    return static_cast<std::size_t>(
        std::count_if(img.sections.begin(), img.sections.end(), [&](const PeSection& s) { return s.name == name; }));
}

struct LayoutCase {
    const char* name;
    Layout layout;
    // Replacing the image's own keeps the count (what followed it moves into
    // its place), a section appended to an image without resources adds one.
    std::size_t sections_after;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

// Every layout in an image of each kind.
class WriterLayoutTest : public ::testing::TestWithParam<std::tuple<LayoutCase, ImageKind>> {
protected:
    const LayoutCase& Case() const { return std::get<0>(GetParam()); }
    const ImageKind& Kind() const { return std::get<1>(GetParam()); }
    Bytes Input() const {
        return MakeImage(Case().layout, Case().layout == Layout::kNoResources ? ResourceTree{} : SampleTree(), Kind());
    }
    ResourceTree Others() const {
        return Case().layout == Layout::kNoResources ? ResourceTree{} : Without(SampleTree(), {u"PROTOCOL"});
    }

    // Headers agree with the section table and the checksum field with the
    // bytes; the directory entry and the checksum are read where the kind has
    // them, not where the reader says.
    void ExpectConsistentHeaders(const Bytes& out) const {
        const PeImage img = ParsePeImage(out);
        EXPECT_EQ(img.machine, Kind().machine);
        ASSERT_EQ(img.sections.size(), Case().sections_after);
        const PeSection& last = img.sections.back();
        EXPECT_EQ(last.name, ".rsrc");
        EXPECT_EQ(SectionsNamed(out, ".rsrc"), 1u) << "one resource section, as readers that take the first expect";
        EXPECT_EQ(le::U32(out, Kind().Directory(2)), last.virtual_address);
        EXPECT_EQ(le::U32(out, Kind().Directory(2) + 4), last.virtual_size);
        EXPECT_EQ(le::U16(out, kCoffOffset), Kind().machine_field);
        EXPECT_EQ(le::U16(out, kOptionalOffset), Kind().magic);
        EXPECT_EQ(last.raw_size % kFileAlignment, 0u);
        EXPECT_EQ(last.raw_offset % 4096, 0u) << "on a page, for the loader to map it from the file";
        EXPECT_EQ(last.virtual_address % kSectionAlignment, 0u);
        EXPECT_EQ(static_cast<std::size_t>(last.raw_offset) + last.raw_size, out.size());
        EXPECT_EQ(le::U32(out, kOptionalOffset + 56),
                  AlignUp(last.virtual_address + last.virtual_size, kSectionAlignment));
        std::uint32_t initialized = 0;
        for (const PeSection& s : img.sections)
            if (s.characteristics & 0x40) initialized += s.raw_size;
        EXPECT_EQ(le::U32(out, kOptionalOffset + 8), initialized);
        EXPECT_EQ(le::U32(out, kOptionalOffset + 64), PeChecksum(out, kOptionalOffset + 64));
        for (std::size_t i = 0; i + 1 < img.sections.size(); ++i)
            EXPECT_LE(img.sections[i].virtual_address + img.sections[i].virtual_size, last.virtual_address);
    }
};

TEST_P(WriterLayoutTest, RoundTripsAndReplacesKeepingEverythingElse) {
    const Bytes input = Input();
    const Bytes ini = Filled(100, 1), pack = Filled(5000, 2), protocol = Filled(7, 3);
    const Bytes first = WriteRcData(input, {{"SETUPINI", ini}, {"SETUPPACK", pack}, {"PROTOCOL", protocol}});
    ExpectConsistentHeaders(first);
    EXPECT_EQ(FindRcData(first, "SETUPINI"), ini);
    EXPECT_EQ(FindRcData(first, "SETUPPACK"), pack);
    EXPECT_EQ(FindRcData(first, "protocol"), protocol);
    EXPECT_EQ(FindRcData(first, "MISSING"), std::nullopt);

    const Bytes smaller_pack = Filled(30, 4);
    const Bytes second = WriteRcData(first, {{"setuppack", smaller_pack}});
    ExpectConsistentHeaders(second);
    EXPECT_EQ(FindRcData(second, "SETUPINI"), ini);
    EXPECT_EQ(FindRcData(second, "SETUPPACK"), smaller_pack);
    EXPECT_EQ(FindRcData(second, "PROTOCOL"), protocol);
    EXPECT_LT(second.size(), first.size());  // the new section is last now: shrunk in place

    EXPECT_EQ(Without(TreeOf(second), {u"SETUPINI", u"SETUPPACK", u"PROTOCOL"}), Others());
    // Code outside the resource section is untouched, where it was; what
    // followed the resources keeps its bytes where it moved.
    const PeSection text = ParsePeImage(input).sections.front();
    EXPECT_TRUE(std::equal(input.begin() + text.raw_offset, input.begin() + text.raw_offset + text.raw_size,
                           second.begin() + text.raw_offset));
    EXPECT_EQ(OtherSections(first), OtherSections(input));
    EXPECT_EQ(OtherSections(second), OtherSections(input));
}

TEST_P(WriterLayoutTest, SameInputGivesTheSameBytesWhateverTheItemOrder) {
    const Bytes input = Input();
    const Bytes a = WriteRcData(input, {{"SETUPINI", Filled(9, 1)}, {"SETUPPACK", Filled(900, 2)}});
    EXPECT_EQ(WriteRcData(input, {{"SETUPINI", Filled(9, 1)}, {"SETUPPACK", Filled(900, 2)}}), a);
    EXPECT_EQ(WriteRcData(input, {{"SETUPPACK", Filled(900, 2)}, {"SETUPINI", Filled(9, 1)}}), a);
}

// A program written as it is made: in memory here, as the builder's file is.
struct MemorySink : ByteSink {
    void Append(const std::uint8_t* data, std::size_t size) override { bytes.insert(bytes.end(), data, data + size); }
    void Overwrite(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override {
        ASSERT_LE(offset + size, bytes.size());
        std::copy(data, data + size, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    Bytes bytes;
};

// The streamed entry's bytes, appended in pieces of any size, land last in
// the section; the headers, the checksum and every other resource come out
// as WriteRcData gives them.
TEST_P(WriterLayoutTest, StreamedEntryIsReadBackWithConsistentHeaders) {
    const Bytes input = Input();
    const Bytes ini = Filled(100, 1), pack = Filled(70001, 2);
    Bytes first;
    for (std::size_t piece : {1u, 4095u, 70001u}) {
        SCOPED_TRACE(piece);
        MemorySink sink;
        RcDataStreamWriter writer(input, {{"SETUPINI", ini}}, {}, "SETUPPACK", sink);
        for (std::size_t at = 0; at < pack.size(); at += piece)
            writer.Append(pack.data() + at, std::min(piece, pack.size() - at));
        writer.Finish();
        ExpectConsistentHeaders(sink.bytes);
        EXPECT_EQ(FindRcData(sink.bytes, "SETUPINI"), ini);
        EXPECT_EQ(FindRcData(sink.bytes, "SETUPPACK"), pack);
        EXPECT_EQ(Without(TreeOf(sink.bytes), {u"SETUPINI", u"SETUPPACK", u"PROTOCOL"}),
                  Without(Others(), {u"SETUPINI", u"SETUPPACK"}));
        const PeSection rsrc = ParsePeImage(sink.bytes).sections.back();
        EXPECT_EQ(rsrc.virtual_size % 8, pack.size() % 8) << "the streamed data ends the section";
        if (first.empty()) first = sink.bytes;
        EXPECT_EQ(sink.bytes, first);
    }
}

// An item filled once the streamed bytes are known (their digest) reads back
// with its final bytes, in a file whose headers and checksum count them.
TEST_P(WriterLayoutTest, AnItemFilledLaterReadsBackWithItsFinalBytes) {
    const Bytes pack = Filled(5000, 2), digest = Filled(32, 7);
    MemorySink sink;
    RcDataStreamWriter writer(Input(), {{"SETUPINI", Filled(100, 1)}}, {}, "SETUPPACK", sink, {},
                              RcDataItem{"SETUPDIGEST", Bytes(32, 0)});
    writer.Append(pack.data(), pack.size());
    EXPECT_THROW(writer.Fill(Bytes(31, 1)), std::logic_error);
    writer.Fill(digest);
    writer.Finish();
    ExpectConsistentHeaders(sink.bytes);
    EXPECT_EQ(FindRcData(sink.bytes, "SETUPDIGEST"), digest);
    EXPECT_EQ(FindRcData(sink.bytes, "SETUPPACK"), pack);
}

TEST_P(WriterLayoutTest, WritingTheSameItemsAgainChangesNothing) {
    const std::vector<RcDataItem> items{{"SETUPINI", Filled(9, 1)}, {"SETUPPACK", Filled(900, 2)}};
    const Bytes once = WriteRcData(Input(), items);
    EXPECT_EQ(WriteRcData(once, items), once);
}

INSTANTIATE_TEST_SUITE_P(Layouts, WriterLayoutTest,
                         ::testing::Combine(::testing::Values(LayoutCase{"NoResources", Layout::kNoResources, 2},
                                                              LayoutCase{"ResourcesLast", Layout::kResourcesLast, 2},
                                                              LayoutCase{"ResourcesBeforeReloc",
                                                                         Layout::kResourcesBeforeReloc, 3}),
                                            ::testing::ValuesIn(kImageKinds)),
                         [](const ::testing::TestParamInfo<std::tuple<LayoutCase, ImageKind>>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).label;
                         });

// Images the writer takes though they are laid out unusually: what it writes
// reads back, every section but the resources' own keeps its raw bytes (moved
// or not), and writing the same items again changes nothing.
struct UnusualImage {
    const char* label;
    Layout layout;
    std::function<void(Bytes&, const ImageKind&)> change;
};

void PrintTo(const UnusualImage& c, std::ostream* os) { *os << c.label; }

// Each image of each kind.
class UnusualImageTest : public ::testing::TestWithParam<std::tuple<UnusualImage, ImageKind>> {};

TEST_P(UnusualImageTest, WritesWhatReadsBackAndRewritesToTheSameBytes) {
    const auto& [unusual, kind] = GetParam();
    Bytes image = MakeImage(unusual.layout, SampleTree(), kind);
    unusual.change(image, kind);
    const std::vector<RcDataItem> items{{"SETUPINI", Filled(13, 1)}, {"SETUPPACK", Filled(600, 2)}};
    const Bytes once = WriteRcData(image, items);
    for (const RcDataItem& item : items) EXPECT_EQ(FindRcData(once, item.name), item.bytes) << item.name;
    for (const auto& [name, bytes] : OtherSections(image)) EXPECT_EQ(OtherSections(once)[name], bytes) << name;
    EXPECT_EQ(WriteRcData(once, items), once);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnusualImageTest,
    ::testing::Combine(::testing::Values(
                           // Raw data past the loader's 0x1F0 bytes and past the next 0x1000
                           // boundary: the new section goes after what the loader maps, and the
                           // reader finds it there, not in .text.
                           UnusualImage{"text raw data past its mapped size", Layout::kNoResources,
                                        [](Bytes& b, const ImageKind& k) {
                                            le::Put32(b, k.SectionTable() + 16, 0x1200);
                                            b.resize(b.size() + 0x1000, 0);
                                        }},
                           // .text's raw data inside that of .rsrc, which is last: rewriting .rsrc
                           // in place would cut it off, so a new section is appended.
                           UnusualImage{
                               "text raw data inside the resources' raw data", Layout::kResourcesLast,
                               [](Bytes& b, const ImageKind& k) { le::Put32(b, k.SectionTable() + 20, 0xC00); }},
                           // The new section goes after the headers, not at rva 0, which means "no resources".
                           UnusualImage{"no sections at all", Layout::kNoResources,
                                        [](Bytes& b, const ImageKind&) {
                                            le::Put16(b, kCoffOffset + 2, 0);
                                            b.resize(0x400);
                                        }},
                           // An rva of 0 means no resources whatever the size says, to the reader as to the writer.
                           UnusualImage{"resource directory at rva 0 with a size", Layout::kResourcesLast,
                                        [](Bytes& b, const ImageKind& k) { le::Put32(b, k.Directory(2), 0); }},
                           // VirtualSize 0: the loader maps SizeOfRawData.
                           UnusualImage{"text without a virtual size", Layout::kResourcesBeforeReloc,
                                        [](Bytes& b, const ImageKind& k) { le::Put32(b, k.SectionTable() + 8, 0); }}),
                       ::testing::ValuesIn(kImageKinds)),
    [](const ::testing::TestParamInfo<std::tuple<UnusualImage, ImageKind>>& info) {
        const ::testing::TestParamInfo<UnusualImage> unusual(std::get<0>(info.param), info.index);
        return LabelName()(unusual) + "_" + std::get<1>(info.param).label;
    });

// An empty item laid out last sits exactly at the end of the section.
TEST(ResourceWriterTest, AnEmptyItemAtTheSectionsEndReadsBack) {
    const Bytes out = WriteRcData(MakeImage(Layout::kNoResources, {}), {{"SETUPINI", Filled(8, 1)}, {"ZZZ", {}}});
    EXPECT_EQ(FindRcData(out, "ZZZ"), Bytes{});
    EXPECT_EQ(FindRcData(out, "SETUPINI"), Filled(8, 1));
}

TEST(ResourceWriterTest, ReplacingKeepsTheLanguageAndNewEntriesGetLanguageZero) {
    const Bytes out = WriteRcData(MakeImage(Layout::kResourcesLast, SampleTree()),
                                  {{"PROTOCOL", Filled(3, 1)}, {"SETUPINI", Filled(4, 2)}});
    for (const ResourceType& t : TreeOf(out)) {
        if (!(t.type == ResourceKey::Id(kRtRcData))) continue;
        for (const ResourceEntry& e : t.entries) {
            ASSERT_EQ(e.languages.size(), 1u);
            const std::uint32_t expected = e.name == ResourceKey::Name(u"SETUPINI") ? 0 : 0x804;
            EXPECT_EQ(e.languages[0].language, ResourceKey::Id(expected));
        }
    }
}

// The loader binary-searches each directory: names first (as uppercase), then IDs.
TEST(ResourceWriterTest, DirectoriesAreSortedAndCountNamedAndIdEntries) {
    const Bytes out = WriteRcData(MakeImage(Layout::kResourcesLast, SampleTree()),
                                  {{"zeta", {1}}, {"Alpha", {2}}, {"beta", {3}}, {"_X", {4}}});
    const PeImage img = ParsePeImage(out);
    const std::size_t root = img.OffsetOfRva(img.directories[kResourceDirectoryIndex].rva, 16);
    EXPECT_EQ(le::U32(out, root + 4), 0u);   // time stamp
    EXPECT_EQ(le::U16(out, root + 12), 1u);  // PICTURE
    EXPECT_EQ(le::U16(out, root + 14), 4u);  // 3, 10, 14, 24

    std::vector<ResourceKey> types, rcdata;
    for (const ResourceType& t : TreeOf(out)) {
        types.push_back(t.type);
        if (t.type == ResourceKey::Id(kRtRcData))
            for (const ResourceEntry& e : t.entries) rcdata.push_back(e.name);
    }
    EXPECT_EQ(types, (std::vector<ResourceKey>{ResourceKey::Name(u"PICTURE"), ResourceKey::Id(3), ResourceKey::Id(10),
                                               ResourceKey::Id(14), ResourceKey::Id(24)}));
    // Uppercase comparison puts "_X" (0x5F) after letters, which a lowercase one would not.
    EXPECT_EQ(rcdata, (std::vector<ResourceKey>{ResourceKey::Name(u"Alpha"), ResourceKey::Name(u"beta"),
                                                ResourceKey::Name(u"PROTOCOL"), ResourceKey::Name(u"zeta"),
                                                ResourceKey::Name(u"_X"), ResourceKey::Id(5)}));
}

// A directory past every section would come to point into the new resources:
// refused, rather than placed differently by every write.
TEST(ResourceWriterTest, RefusesADirectoryPastItsSections) {
    // Thread-local storage far away, empty; debug data just past the end.
    for (const auto& [index, rva, size] : {std::tuple{9, 0xFF0000u, 0u}, std::tuple{6, 5 * kSectionAlignment, 28u}}) {
        SCOPED_TRACE(index);
        Bytes image = MakeImage(Layout::kResourcesBeforeReloc, SampleTree());
        const PeImage img = ParsePeImage(image);
        le::Put32(image, img.directory_offset(static_cast<std::size_t>(index)), rva);
        le::Put32(image, img.directory_offset(static_cast<std::size_t>(index)) + 4, size);
        try {
            WriteRcData(image, {{"SETUPINI", {1}}});
            ADD_FAILURE() << "written";
        } catch (const PeError& e) {
            EXPECT_EQ(std::string(e.what()), "The program file is damaged: data directory " + std::to_string(index) +
                                                 " points past its sections.");
        }
    }
}

// An image without resources gets a section of its own, whose header needs room.
TEST(ResourceWriterTest, RefusesWhenNoSectionHeaderFits) {
    Bytes image = MakeImage(Layout::kNoResources, {});
    le::Put32(image, kOptionalOffset + 60, kOptionalOffset + 224 + 1 * 40);  // SizeOfHeaders: table is full
    const PeImage img = ParsePeImage(image);
    le::Put32(image, img.section_table_offset + 20, kOptionalOffset + 224 + 1 * 40);  // .text starts right there
    EXPECT_THROW(WriteRcData(image, {{"SETUPINI", {1}}}), PeError);
}

// The image as the linker lays out the stub: .rsrc, then .reloc with its
// directory entry and blocks patching .text. .reloc moves into the old
// section's place in memory and in the file, its entry with it; the new
// resource section goes last; nothing else moves.
class RelocatedImage {
public:
    explicit RelocatedImage(const ImageKind& kind)
        : kind_(kind), image_(MakeImage(Layout::kResourcesBeforeReloc, SampleTree(), kind)) {
        const PeSection reloc = ParsePeImage(image_).sections.back();
        // One block for .text's page: two fields to patch and padding.
        Bytes table(12, 0);
        le::Put32(table, 0, kSectionAlignment);
        le::Put32(table, 4, 12);
        le::Put16(table, 8, 0x3010);
        le::Put16(table, 10, 0x3020);
        Put(reloc.virtual_address, table);
    }
    // A relocation block of `size` bytes at rva, for the base relocation directory.
    void Put(std::uint32_t rva, const Bytes& table) {
        const PeImage img = ParsePeImage(image_);
        std::copy(table.begin(), table.end(), image_.begin() + img.OffsetOfRva(rva, 0));
        le::Put32(image_, kind_.Directory(5), rva);
        le::Put32(image_, kind_.Directory(5) + 4, static_cast<std::uint32_t>(table.size()));
    }
    Bytes& image() { return image_; }

private:
    const ImageKind& kind_;
    Bytes image_;
};

class RelocatedImageTest : public ::testing::TestWithParam<ImageKind> {};

TEST_P(RelocatedImageTest, RelocationsMoveIntoTheOldResourcesPlace) {
    RelocatedImage relocated(GetParam());
    const Bytes& input = relocated.image();
    const PeImage before = ParsePeImage(input);
    const Bytes out = WriteRcData(input, {{"SETUPPACK", Filled(9000, 1)}});
    const PeImage after = ParsePeImage(out);
    ASSERT_EQ(after.sections.size(), before.sections.size());
    const PeSection &old_rsrc = before.sections[1], &old_reloc = before.sections[2];
    const PeSection &reloc = after.sections[1], &rsrc = after.sections[2];
    EXPECT_EQ(reloc.name, ".reloc");
    EXPECT_EQ(reloc.virtual_address, old_rsrc.virtual_address);
    EXPECT_EQ(reloc.raw_offset, old_rsrc.raw_offset);
    EXPECT_EQ(reloc.characteristics, old_reloc.characteristics);
    EXPECT_EQ(reloc.virtual_size, old_reloc.virtual_size);
    EXPECT_EQ(after.directories[5].rva, reloc.virtual_address);
    EXPECT_EQ(after.directories[5].size, before.directories[5].size);
    EXPECT_EQ(Bytes(out.begin() + reloc.raw_offset, out.begin() + reloc.raw_offset + reloc.raw_size),
              Bytes(input.begin() + old_reloc.raw_offset, input.begin() + old_reloc.raw_offset + old_reloc.raw_size));
    EXPECT_EQ(rsrc.name, ".rsrc");
    EXPECT_EQ(rsrc.virtual_address, AlignUp(reloc.virtual_address + reloc.virtual_size, kSectionAlignment));
    EXPECT_EQ(after.directories[kResourceDirectoryIndex].rva, rsrc.virtual_address);
    EXPECT_EQ(le::U32(out, kOptionalOffset + 56), AlignUp(rsrc.virtual_address + rsrc.virtual_size, kSectionAlignment));
    EXPECT_EQ(le::U32(out, kOptionalOffset + 64), PeChecksum(out, kOptionalOffset + 64));
    EXPECT_EQ(Without(TreeOf(out), {u"SETUPPACK"}), Without(SampleTree(), {}));
    EXPECT_EQ(WriteRcData(out, {{"SETUPPACK", Filled(9000, 1)}}), out);
}

// Where moving .reloc could break the program, the image keeps its sections
// where they are and gets a new resource section after its last.
struct Unmovable {
    const char* label;
    std::function<void(RelocatedImage&, const ImageKind&)> change;
};

void PrintTo(const Unmovable& c, std::ostream* os) { *os << c.label; }

class UnmovableTest : public ::testing::TestWithParam<std::tuple<Unmovable, ImageKind>> {};

TEST_P(UnmovableTest, KeepsTheSectionsAndAppends) {
    const auto& [unmovable, kind] = GetParam();
    RelocatedImage relocated(kind);
    unmovable.change(relocated, kind);
    const Bytes& input = relocated.image();
    const Bytes out = WriteRcData(input, {{"SETUPPACK", Filled(900, 1)}});
    const PeImage before = ParsePeImage(input), after = ParsePeImage(out);
    ASSERT_EQ(after.sections.size(), before.sections.size() + 1);
    for (std::size_t i = 0; i < before.sections.size(); ++i) {
        const PeSection& s = before.sections[i];
        EXPECT_EQ(after.sections[i].virtual_address, s.virtual_address) << s.name;
        EXPECT_TRUE(std::equal(input.begin() + s.raw_offset, input.begin() + s.raw_offset + s.raw_size,
                               out.begin() + s.raw_offset))
            << s.name;
    }
    EXPECT_EQ(after.directories[5].rva, before.directories[5].rva);
    EXPECT_EQ(FindRcData(out, "SETUPPACK"), Filled(900, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnmovableTest,
    ::testing::Combine(::testing::Values(Unmovable{"a relocation patches the resource section",
                                                   [](RelocatedImage& r, const ImageKind&) {
                                                       Bytes table(12, 0);
                                                       le::Put32(table, 0,
                                                                 2 * kSectionAlignment);  // the resources' page
                                                       le::Put32(table, 4, 12);
                                                       le::Put16(table, 8, 0x3010);
                                                       r.Put(3 * kSectionAlignment, table);
                                                   }},
                                         Unmovable{"a relocation patches .reloc itself",
                                                   [](RelocatedImage& r, const ImageKind&) {
                                                       Bytes table(12, 0);
                                                       le::Put32(table, 0, 3 * kSectionAlignment);
                                                       le::Put32(table, 4, 12);
                                                       le::Put16(table, 10, 0xA008);
                                                       r.Put(3 * kSectionAlignment, table);
                                                   }},
                                         Unmovable{"the section after is not discardable: code may address it",
                                                   [](RelocatedImage& r, const ImageKind& k) {
                                                       le::Put32(r.image(), k.SectionTable() + 2 * 40 + 36, 0xC0000040);
                                                   }},
                                         Unmovable{"the section after holds code",
                                                   [](RelocatedImage& r, const ImageKind& k) {
                                                       le::Put32(r.image(), k.SectionTable() + 2 * 40 + 36, 0x62000020);
                                                   }},
                                         Unmovable{"another directory points into the section after",
                                                   [](RelocatedImage& r, const ImageKind& k) {
                                                       le::Put32(r.image(), k.Directory(6),
                                                                 3 * kSectionAlignment + 0xC);  // debug
                                                       le::Put32(r.image(), k.Directory(6) + 4, 4);
                                                   }},
                                         Unmovable{"another directory points into the resource section",
                                                   [](RelocatedImage& r, const ImageKind& k) {
                                                       le::Put32(r.image(), k.Directory(6),
                                                                 2 * kSectionAlignment + 0x10);
                                                       le::Put32(r.image(), k.Directory(6) + 4, 28);
                                                   }}),

                       ::testing::ValuesIn(kImageKinds)),
    [](const ::testing::TestParamInfo<std::tuple<Unmovable, ImageKind>>& info) {
        const ::testing::TestParamInfo<Unmovable> unmovable(std::get<0>(info.param), info.index);
        return LabelName()(unmovable) + "_" + std::get<1>(info.param).label;
    });

// A relocation table that cannot be read (here: the resources' bytes taken
// for one, or a size past the image) is refused: no placement is safe.
TEST_P(RelocatedImageTest, RefusesRelocationsThatCannotBeRead) {
    const ImageKind& kind = GetParam();
    const std::function<void(RelocatedImage&)> damages[] = {
        [&](RelocatedImage& r) { le::Put32(r.image(), kind.Directory(5), 2 * kSectionAlignment + 0x100); },
        [&](RelocatedImage& r) { le::Put32(r.image(), kind.Directory(5) + 4, 0x100000); },
    };
    for (const auto& damage : damages) {
        RelocatedImage relocated(kind);
        damage(relocated);
        EXPECT_THROW(WriteRcData(relocated.image(), {{"SETUPPACK", Filled(900, 1)}}), PeError);
    }
}

// An image without sections whose relocation table lies in its headers,
// which every write rewrites: refused, not written into a file that would
// then read otherwise.
TEST(ResourceWriterTest, RefusesRelocationsInTheHeadersOfAnImageWithoutSections) {
    for (const ImageKind& kind : kImageKinds) {
        SCOPED_TRACE(kind.label);
        Bytes image = MakeImage(Layout::kNoResources, {}, kind);
        le::Put16(image, kCoffOffset + 2, 0);
        image.resize(0x400);
        const std::uint32_t at = 0x300;
        le::Put32(image, at, kSectionAlignment);
        le::Put32(image, at + 4, 12);
        le::Put16(image, at + 8, 0x3010);
        le::Put32(image, kind.Directory(5), at);
        le::Put32(image, kind.Directory(5) + 4, 12);
        EXPECT_THROW(WriteRcData(image, {{"SETUPINI", Filled(8, 1)}}), PeError);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, RelocatedImageTest, ::testing::ValuesIn(kImageKinds),
                         [](const ::testing::TestParamInfo<ImageKind>& info) { return std::string(info.param.label); });

// The COFF header counts sections in 16 bits: one more than 0xFFFF would wrap to none.
TEST(ResourceWriterTest, RefusesASectionPastTheHighestCount) {
    constexpr std::size_t kCount = 0xFFFF;
    constexpr std::size_t kTable = kOptionalOffset + 224;
    const std::uint32_t headers = AlignUp(kTable + (kCount + 1) * 40, kFileAlignment);  // room for one more
    const Bytes small = MakeImage(Layout::kNoResources, {});
    Bytes image(small.begin(), small.begin() + kTable);
    image.resize(headers, 0);
    le::Put16(image, kCoffOffset + 2, kCount);
    le::Put32(image, kOptionalOffset + 60, headers);
    le::Put32(image, kOptionalOffset + 96 + 8 * 2, 0);                                       // no resources yet
    std::copy(small.begin() + kTable, small.begin() + kTable + 40, image.begin() + kTable);  // .text
    le::Put32(image, kTable + 20, headers);
    for (std::size_t i = 1; i < kCount; ++i) le::Put32(image, kTable + i * 40 + 12, 2 * kSectionAlignment);  // empty
    image.insert(image.end(), small.end() - kFileAlignment, small.end());
    ASSERT_EQ(ParsePeImage(image).sections.size(), kCount);
    EXPECT_THROW(WriteRcData(image, {{"SETUPINI", {1}}}), PeError);
}

TEST(ResourceWriterTest, RefusesNamesThatAreNotPrintableAscii) {
    const Bytes image = MakeImage(Layout::kResourcesLast, SampleTree());
    for (const std::string& name : {std::string(), std::string("SETUP INI"), std::string("\xC9\xE8")}) {
        EXPECT_THROW(WriteRcData(image, {{name, {1}}}), std::invalid_argument) << name;
    }
}

}  // namespace
}  // namespace zsetup::testing

namespace zsetup::testing {
namespace {

// The checksum as Windows' tools describe it, word by word, folding each time.
std::uint32_t ReferenceChecksum(const Bytes& file, std::size_t field) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < file.size(); i += 2) {
        if (i >= field && i < field + 4) continue;
        std::uint32_t word = file[i];
        if (i + 1 < file.size()) word |= static_cast<std::uint32_t>(file[i + 1]) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<std::uint32_t>(file.size());
}

// Sums of parts, added in any order and split at odd offsets, give the
// checksum of the whole: all zero, all 0xFF (sums that fold to 0xFFFF), mixed.
TEST(PeChecksumTest, PartsInAnyOrderGiveTheWholeFilesChecksum) {
    const struct {
        const char* label;
        Bytes file;
    } cases[] = {{"zeros", Bytes(1000, 0)}, {"ones", Bytes(70001, 0xFF)}, {"mixed", Filled(131073, 7)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::size_t field = 216;
        EXPECT_EQ(PeChecksum(c.file, field), ReferenceChecksum(c.file, field));
        Bytes zeroed = c.file;
        std::fill(zeroed.begin() + field, zeroed.begin() + field + 4, 0);
        const std::size_t cut = c.file.size() / 3 | 1;  // odd
        PeChecksumSum sum;
        sum.Add(cut, zeroed.data() + cut, zeroed.size() - cut);
        sum.Add(0, zeroed.data(), cut);
        EXPECT_EQ(sum.Checksum(zeroed.size()), ReferenceChecksum(c.file, field));
    }
}

}  // namespace
}  // namespace zsetup::testing
