#include "builder/pe_image.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "builder/le_bytes.h"
#include "builder/pe_checksum.h"
#include "builder/pe_error.h"
#include "builder/resource_writer.h"
#include "tests/builder/test_image.h"

namespace zsetup::testing {
namespace {

constexpr std::size_t kSectionTable = kOptionalOffset + 224;
constexpr std::size_t kResourceRoot = 0x600;  // the .rsrc section's bytes, after 0x400 of headers and .text
// SampleTree laid out: its directories (root with 5 types; 5 type directories
// with 6 names; 6 name directories with a language each), then 6 data entries.
constexpr std::size_t kSampleDirectoryBytes = (16 + 5 * 8) + (5 * 16 + 6 * 8) + 6 * (16 + 8);
constexpr std::size_t kSampleDataEntries = 6;

struct RefusalCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    const char* message_part;
};

std::string CaseName(const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; }

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, WriterAndReaderRefuseWithTheUserText) {
    Bytes image = MakeImage(Layout::kResourcesLast, SampleTree());
    GetParam().damage(image);
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
            EXPECT_NE(std::string(e.what()).find(GetParam().message_part), std::string::npos) << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Images, RefusalTest,
    ::testing::Values(
        RefusalCase{"TextFile",
                    [](Bytes& b) {
                        b.assign({'h', 'e', 'l', 'l', 'o'});
                    },
                    "not a Windows program"},
        RefusalCase{"NoPeSignature", [](Bytes& b) { b[kPeOffset + 1] = 'X'; }, "not a Windows program"},
        RefusalCase{"PeOffsetPastEnd", [](Bytes& b) { le::Put32(b, 0x3C, 0x7FFFFFF0); }, "not a Windows program"},
        RefusalCase{"Amd64Machine", [](Bytes& b) { le::Put16(b, kCoffOffset, 0x8664); }, "32-bit (i386)"},
        RefusalCase{"Pe32PlusMagic", [](Bytes& b) { le::Put16(b, kOptionalOffset, 0x20B); }, "64-bit"},
        RefusalCase{"Signed",
                    [](Bytes& b) {
                        le::Put32(b, kOptionalOffset + 96 + 8 * 4, static_cast<std::uint32_t>(b.size()));
                        le::Put32(b, kOptionalOffset + 96 + 8 * 4 + 4, 8);
                    },
                    "signed"},
        RefusalCase{"Overlay", [](Bytes& b) { b.push_back(0); }, "extra data after its last section"},
        RefusalCase{"TruncatedInOptionalHeader", [](Bytes& b) { b.resize(kOptionalOffset + 40); }, "truncated"},
        RefusalCase{"TruncatedInSectionTable", [](Bytes& b) { b.resize(kOptionalOffset + 224 + 50); }, "truncated"},
        RefusalCase{"TruncatedInSectionData", [](Bytes& b) { b.resize(b.size() - 1); }, "truncated"},
        RefusalCase{"ResourceLoopsOutOfSection", [](Bytes& b) { le::Put32(b, kOptionalOffset + 96 + 8 * 2, 0x7000); },
                    "resources"},
        RefusalCase{"HeadersEndInTheSectionTable", [](Bytes& b) { le::Put32(b, kOptionalOffset + 60, kSectionTable); },
                    "headers are damaged"},
        // The writer pads the new section to it: up to 2 GiB of padding for a few bytes.
        RefusalCase{"FileAlignmentOver64KiB", [](Bytes& b) { le::Put32(b, kOptionalOffset + 36, 0x20000); },
                    "headers are damaged"},
        RefusalCase{"SectionDataInTheHeaders", [](Bytes& b) { le::Put32(b, kSectionTable + 20, 0); },
                    "headers are damaged"},
        // .rsrc starts inside .text's 0x1F0 mapped bytes.
        RefusalCase{"SectionsOverlap", [](Bytes& b) { le::Put32(b, kSectionTable + 40 + 12, 0x1100); },
                    "headers are damaged"},
        // Two types share one directory: shared tables could make a small file an endless tree.
        RefusalCase{"ResourceDirectoryReachedTwice",
                    [](Bytes& b) { le::Put32(b, kResourceRoot + 16 + 8 + 4, le::U32(b, kResourceRoot + 16 + 4)); },
                    "resources are damaged"},
        RefusalCase{"ResourceDataAddsUpPastTheFile",
                    [](Bytes& b) {
                        const PeSection rsrc = ParsePeImage(b).sections[1];
                        for (std::size_t i = 0; i < kSampleDataEntries; ++i) {
                            le::Put32(b, kResourceRoot + kSampleDirectoryBytes + 16 * i, rsrc.virtual_address);
                            le::Put32(b, kResourceRoot + kSampleDirectoryBytes + 16 * i + 4, rsrc.virtual_size);
                        }
                    },
                    "resources are damaged"}),
    CaseName);

TEST(PeImageTest, ReadsTheSectionTableAndDirectories) {
    const Bytes image = MakeImage(Layout::kResourcesBeforeReloc, SampleTree());
    const PeImage img = ParsePeImage(image);
    ASSERT_EQ(img.sections.size(), 3u);
    EXPECT_EQ(img.sections[1].name, ".rsrc");
    EXPECT_EQ(img.sections[1].virtual_address, 0x2000u);
    EXPECT_EQ(img.sections[2].name, ".reloc");
    EXPECT_EQ(img.directories.size(), 16u);
    EXPECT_EQ(img.directories[kResourceDirectoryIndex].rva, 0x2000u);
    EXPECT_EQ(img.checksum_offset(), kOptionalOffset + 64);
}

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
