// What follows the sections: a certificate table where the security
// directory says, extra data, and tables that are not what they claim.
#include "builder/pe_certificate.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "builder/le_bytes.h"
#include "builder/pe_error.h"
#include "builder/resource_writer.h"
#include "tests/builder/test_image.h"
#include "tests/support/case_names.h"

namespace zsetup::testing {
namespace {

constexpr std::size_t kSecurityDirectory = kOptionalOffset + 96 + 8 * 4;

// Appends a WIN_CERTIFICATE entry of that length (its header included) and
// the zeros that bring it to 8 bytes; gives where it starts.
std::size_t AppendEntry(Bytes& file, std::uint32_t length, std::uint16_t type = 2) {
    const std::size_t at = file.size();
    file.resize(at + (length + 7) / 8 * 8, 0xAB);
    le::Put32(file, at, length);
    le::Put16(file, at + 4, 0x0200);
    le::Put16(file, at + 6, type);
    for (std::size_t i = at + length; i < file.size(); ++i) file[i] = 0;
    return at;
}

void PointSecurityDirectory(Bytes& file, std::size_t offset, std::size_t size) {
    le::Put32(file, kSecurityDirectory, static_cast<std::uint32_t>(offset));
    le::Put32(file, kSecurityDirectory + 4, static_cast<std::uint32_t>(size));
}

// A signed image: one or more entries at the end, the directory pointing at them.
Bytes Signed(std::vector<std::uint32_t> lengths) {
    Bytes file = MakeImage(Layout::kResourcesLast, SampleTree());
    const std::size_t start = file.size();
    for (std::uint32_t length : lengths) AppendEntry(file, length);
    PointSecurityDirectory(file, start, file.size() - start);
    return file;
}

struct TailCase {
    const char* label;
    std::function<Bytes()> make;
    std::size_t entries;      // 0: no certificate table
    std::size_t extra_bytes;  // after the sections, no table's
};

// gtest names a case by its label, also in ctest's list.
void PrintTo(const TailCase& c, std::ostream* os) { *os << c.label; }

const TailCase kTails[] = {
    {"nothing after the sections", [] { return MakeImage(Layout::kResourcesLast, SampleTree()); }, 0, 0},
    {"one signature", [] { return Signed({1500}); }, 1, 0},
    {"two entries padded to 8 bytes",
     [] {
         return Signed({13, 40});
     },
     2, 0},
    {"extra data without a signature",
     [] {
         Bytes f = MakeImage(Layout::kResourcesLast, SampleTree());
         f.resize(f.size() + 100, 1);
         return f;
     },
     0, 100},
    {"extra data after the signature",
     [] {
         Bytes f = Signed({1500});
         f.resize(f.size() + 9, 1);
         return f;
     },
     1, 9},
    {"a gap of 8 bytes before the signature",
     [] {
         Bytes f = MakeImage(Layout::kResourcesLast, SampleTree());
         f.resize(f.size() + 8, 0);
         const std::size_t at = AppendEntry(f, 64);
         PointSecurityDirectory(f, at, 64);
         return f;
     },
     1, 8},
};

class TailTable : public ::testing::TestWithParam<TailCase> {};

TEST_P(TailTable, FindsTheTableAndCountsTheRest) {
    const Bytes file = GetParam().make();
    // The writer takes nothing after the sections; a reader takes anything and looks.
    if (GetParam().entries == 0 && GetParam().extra_bytes == 0) {
        EXPECT_NO_THROW(ParsePeImage(file));
    } else {
        EXPECT_THROW(ParsePeImage(file), PeError);
    }
    const PeImage image = ParsePeImage(file, AfterSections::kAnything);
    const FileTail tail = ReadFileTail(file, image);
    EXPECT_EQ(tail.extra_bytes, GetParam().extra_bytes);
    ASSERT_EQ(tail.certificate.has_value(), GetParam().entries != 0);
    if (!tail.certificate) return;
    EXPECT_EQ(tail.certificate->entries.size(), GetParam().entries);
    EXPECT_EQ(tail.certificate->offset, le::U32(file, kSecurityDirectory));
    for (const CertificateEntry& e : tail.certificate->entries) EXPECT_EQ(e.type, kCertificatePkcsSignedData);
}

INSTANTIATE_TEST_SUITE_P(Files, TailTable, ::testing::ValuesIn(kTails), zsetup::testing::LabelName());

TEST(FileTail, RefusesATableThatIsNotWhereTheDirectorySays) {
    const struct {
        const char* label;
        std::function<void(Bytes&)> damage;
        const char* message;
    } cases[] = {
        {"inside the sections", [](Bytes& f) { PointSecurityDirectory(f, 0x400, 16); },
         "inside the program's sections"},
        {"past the end", [](Bytes& f) { PointSecurityDirectory(f, f.size() - 8, 64); }, "outside the file"},
        {"not on 8 bytes", [](Bytes& f) { PointSecurityDirectory(f, f.size() - 12, 12); }, "not laid out as one"},
        {"an entry longer than the table", [](Bytes& f) { le::Put32(f, le::U32(f, kSecurityDirectory), 100000); },
         "does not fit"},
        {"an entry shorter than its header", [](Bytes& f) { le::Put32(f, le::U32(f, kSecurityDirectory), 4); },
         "does not fit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Bytes file = Signed({64});
        c.damage(file);
        try {
            ReadFileTail(file, ParsePeImage(file, AfterSections::kAnything));
            ADD_FAILURE() << "accepted";
        } catch (const PeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(IsI386Program, TellsA32BitProgramFromOtherFiles) {
    const Bytes image = MakeImage(Layout::kResourcesLast, SampleTree());
    EXPECT_TRUE(IsI386Program(image));
    Bytes amd64 = image;
    le::Put16(amd64, kCoffOffset, 0x8664);
    EXPECT_FALSE(IsI386Program(amd64));
    Bytes pe32plus = image;
    le::Put16(pe32plus, kOptionalOffset, 0x20B);
    EXPECT_FALSE(IsI386Program(pe32plus));
    EXPECT_FALSE(IsI386Program(Bytes{'M', 'Z'}));
    Bytes far = image;
    le::Put32(far, 0x3C, 0x7FFFFFF0);
    EXPECT_FALSE(IsI386Program(far));
    const std::string text = "hello, this is not a program at all, only some words in a file of text";
    EXPECT_FALSE(IsI386Program(Bytes(text.begin(), text.end())));
}

}  // namespace
}  // namespace zsetup::testing
