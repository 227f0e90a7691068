#include "pe/pe_image.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "pe/le_bytes.h"
#include "pe/pe_checksum.h"
#include "pe/pe_error.h"
#include "pe/resource_writer.h"
#include "tests/pe/test_image.h"

namespace zsetup::testing {
namespace {

constexpr std::size_t kResourceRoot = 0x600;  // the .rsrc section's bytes, after 0x400 of headers and .text
// SampleTree laid out: its directories (root with 5 types; 5 type directories
// with 6 names; 6 name directories with a language each), then 6 data entries.
constexpr std::size_t kSampleDirectoryBytes = (16 + 5 * 8) + (5 * 16 + 6 * 8) + 6 * (16 + 8);
constexpr std::size_t kSampleDataEntries = 6;

// Each damage is done to an image of each kind, at the places that kind has.
struct RefusalCase {
    const char* name;
    std::function<void(Bytes&, const ImageKind&)> damage;
    const char* message_part;
};

struct RefusalParam {
    RefusalCase refusal;
    ImageKind kind;
};

void PrintTo(const RefusalParam& p, std::ostream* os) { *os << p.refusal.name << " " << p.kind.label; }

class RefusalTest : public ::testing::TestWithParam<RefusalParam> {};

TEST_P(RefusalTest, WriterAndReaderRefuseWithTheUserText) {
    const RefusalParam& p = GetParam();
    Bytes image = MakeImage(Layout::kResourcesLast, SampleTree(), p.kind);
    p.refusal.damage(image, p.kind);
    for (const auto& call : std::vector<std::function<void()>>{
             [&] {
                 WriteRcData(image, {{"SETUPINI", {1, 2, 3}}});
             },
             [&] { FindRcData(image, "PROTOCOL"); },
         }) {
        try {
            call();
            ADD_FAILURE() << "accepted";
        } catch (const PeError& e) {
            EXPECT_NE(std::string(e.what()).find(p.refusal.message_part), std::string::npos) << e.what();
        }
    }
}

const RefusalCase kRefusals[] = {
    {"TextFile",
     [](Bytes& b, const ImageKind&) {
         b.assign({'h', 'e', 'l', 'l', 'o'});
     },
     "not a Windows program"},
    {"NoPeSignature", [](Bytes& b, const ImageKind&) { b[kPeOffset + 1] = 'X'; }, "not a Windows program"},
    {"PeOffsetPastEnd", [](Bytes& b, const ImageKind&) { le::Put32(b, 0x3C, 0x7FFFFFF0); }, "not a Windows program"},
    {"Arm64Machine", [](Bytes& b, const ImageKind&) { le::Put16(b, kCoffOffset, 0xAA64); },
     "not an x86 or x64 Windows program (machine 0xAA64)"},
    // The machine says one kind, the optional header the other: read either way, its fields would be misplaced.
    {"OtherKindsMachine", [](Bytes& b, const ImageKind& k) { le::Put16(b, kCoffOffset, OtherKind(k).machine_field); },
     "headers disagree"},
    {"OtherKindsMagic", [](Bytes& b, const ImageKind& k) { le::Put16(b, kOptionalOffset, OtherKind(k).magic); },
     "headers disagree"},
    {"RomMagic", [](Bytes& b, const ImageKind&) { le::Put16(b, kOptionalOffset, 0x107); },
     "its optional header is of magic 0x107"},
    // Room for PE32's directories, not for PE32+'s.
    {"OptionalHeaderEndsBeforeItsDirectories",
     [](Bytes& b, const ImageKind& k) {
         le::Put16(b, kCoffOffset + 16, static_cast<std::uint16_t>(k.directories_at - 8));
     },
     "headers are damaged"},
    // The count says 16, the optional header holds two: the resource directory is not among them.
    {"DirectoriesCountedPastTheOptionalHeader",
     [](Bytes& b, const ImageKind& k) {
         le::Put16(b, kCoffOffset + 16, static_cast<std::uint16_t>(k.directories_at + 16));
     },
     "no resource directory"},
    {"TwoDirectoriesCounted",
     [](Bytes& b, const ImageKind& k) { le::Put32(b, kOptionalOffset + k.directory_count_at, 2); },
     "no resource directory"},
    {"Signed",
     [](Bytes& b, const ImageKind& k) {
         le::Put32(b, k.Directory(4), static_cast<std::uint32_t>(b.size()));
         le::Put32(b, k.Directory(4) + 4, 8);
     },
     "signed"},
    {"Overlay", [](Bytes& b, const ImageKind&) { b.push_back(0); }, "extra data after its last section"},
    {"TruncatedInOptionalHeader", [](Bytes& b, const ImageKind&) { b.resize(kOptionalOffset + 40); }, "truncated"},
    {"TruncatedInTheDirectories", [](Bytes& b, const ImageKind& k) { b.resize(k.Directory(1)); }, "truncated"},
    {"TruncatedInSectionTable", [](Bytes& b, const ImageKind& k) { b.resize(k.SectionTable() + 50); }, "truncated"},
    {"TruncatedInSectionData", [](Bytes& b, const ImageKind&) { b.resize(b.size() - 1); }, "truncated"},
    {"ResourceLoopsOutOfSection", [](Bytes& b, const ImageKind& k) { le::Put32(b, k.Directory(2), 0x7000); },
     "resources"},
    {"HeadersEndInTheSectionTable",
     [](Bytes& b, const ImageKind& k) {
         le::Put32(b, kOptionalOffset + 60, static_cast<std::uint32_t>(k.SectionTable()));
     },
     "headers are damaged"},
    // The writer pads the new section to it: up to 2 GiB of padding for a few bytes.
    {"FileAlignmentOver64KiB", [](Bytes& b, const ImageKind&) { le::Put32(b, kOptionalOffset + 36, 0x20000); },
     "headers are damaged"},
    {"SectionDataInTheHeaders", [](Bytes& b, const ImageKind& k) { le::Put32(b, k.SectionTable() + 20, 0); },
     "headers are damaged"},
    // .rsrc starts inside .text's 0x1F0 mapped bytes.
    {"SectionsOverlap", [](Bytes& b, const ImageKind& k) { le::Put32(b, k.SectionTable() + 40 + 12, 0x1100); },
     "headers are damaged"},
    // Two types share one directory: shared tables could make a small file an endless tree.
    {"ResourceDirectoryReachedTwice",
     [](Bytes& b, const ImageKind&) { le::Put32(b, kResourceRoot + 16 + 8 + 4, le::U32(b, kResourceRoot + 16 + 4)); },
     "resources are damaged"},
    {"ResourceDataAddsUpPastTheFile",
     [](Bytes& b, const ImageKind&) {
         const PeSection rsrc = ParsePeImage(b).sections[1];
         for (std::size_t i = 0; i < kSampleDataEntries; ++i) {
             le::Put32(b, kResourceRoot + kSampleDirectoryBytes + 16 * i, rsrc.virtual_address);
             le::Put32(b, kResourceRoot + kSampleDirectoryBytes + 16 * i + 4, rsrc.virtual_size);
         }
     },
     "resources are damaged"},
};

std::vector<RefusalParam> EveryRefusalOfEveryKind() {
    std::vector<RefusalParam> params;
    for (const RefusalCase& refusal : kRefusals)
        for (const ImageKind& kind : kImageKinds) params.push_back({refusal, kind});
    return params;
}

INSTANTIATE_TEST_SUITE_P(Images, RefusalTest, ::testing::ValuesIn(EveryRefusalOfEveryKind()),
                         [](const ::testing::TestParamInfo<RefusalParam>& info) {
                             return std::string(info.param.refusal.name) + "_" + info.param.kind.label;
                         });

class PeImageTest : public ::testing::TestWithParam<ImageKind> {};

TEST_P(PeImageTest, ReadsTheSectionTableAndDirectories) {
    const ImageKind& kind = GetParam();
    const Bytes image = MakeImage(Layout::kResourcesBeforeReloc, SampleTree(), kind);
    const PeImage img = ParsePeImage(image);
    EXPECT_EQ(img.machine, kind.machine);
    EXPECT_EQ(img.section_table_offset, kind.SectionTable());
    ASSERT_EQ(img.sections.size(), 3u);
    EXPECT_EQ(img.sections[1].name, ".rsrc");
    EXPECT_EQ(img.sections[1].virtual_address, 0x2000u);
    EXPECT_EQ(img.sections[2].name, ".reloc");
    EXPECT_EQ(img.directories.size(), 16u);
    EXPECT_EQ(img.directories[kResourceDirectoryIndex].rva, 0x2000u);
    EXPECT_EQ(img.directory_offset(kResourceDirectoryIndex), kind.Directory(2));
    EXPECT_EQ(img.checksum_offset(), kOptionalOffset + 64);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PeImageTest, ::testing::ValuesIn(kImageKinds),
                         [](const ::testing::TestParamInfo<ImageKind>& info) { return std::string(info.param.label); });

struct ChecksumCase {
    const char* name;
    Bytes file;
    std::size_t checksum_offset;
    std::uint32_t expected;  // worked out by hand
};

class ChecksumTest : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(ChecksumTest, MatchesTheHandComputedValue) {
    EXPECT_EQ(PeChecksum(GetParam().file, GetParam().checksum_offset), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    KnownValues, ChecksumTest,
    ::testing::Values(
        // 0x0001 + 0xFFFF folds to 0x0001; skip 0x0002 0xBBAA; + 0x0003 (odd byte) = 4; + length 9.
        ChecksumCase{"CarryFoldsAndOddByte", {0x01, 0x00, 0xFF, 0xFF, 0x02, 0x00, 0xAA, 0xBB, 0x03}, 4, 13},
        // 0xFFFF + 0xFFFF = 0x1FFFE folds to 0xFFFF; + length 4.
        ChecksumCase{"FieldOutsideFile", {0xFF, 0xFF, 0xFF, 0xFF}, 100, 0x10003},
        // Only the field itself: the sum is 0, the length remains.
        ChecksumCase{"OnlyTheField", {0x12, 0x34, 0x56, 0x78}, 0, 4}),
    [](const ::testing::TestParamInfo<ChecksumCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zsetup::testing
