// What follows the sections: a certificate table where the security
// directory says, extra data, and tables that are not what they claim.
#include "pe/pe_certificate.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "pe/le_bytes.h"
#include "pe/pe_error.h"
#include "pe/resource_writer.h"
#include "tests/pe/test_image.h"
#include "tests/support/case_names.h"

namespace zsetup::testing {
namespace {

constexpr std::size_t kSecurityDirectory = kPe32Image.Directory(4);

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

void PointSecurityDirectory(Bytes& file, std::size_t offset, std::size_t size, const ImageKind& kind = kPe32Image) {
    le::Put32(file, kind.Directory(4), static_cast<std::uint32_t>(offset));
    le::Put32(file, kind.Directory(4) + 4, static_cast<std::uint32_t>(size));
}

// A signed image: one or more entries at the end, the directory pointing at them.
Bytes Signed(std::vector<std::uint32_t> lengths, const ImageKind& kind = kPe32Image) {
    Bytes file = MakeImage(Layout::kResourcesLast, SampleTree(), kind);
    const std::size_t start = file.size();
    for (std::uint32_t length : lengths) AppendEntry(file, length);
    PointSecurityDirectory(file, start, file.size() - start, kind);
    return file;
}

struct TailCase {
    const char* label;
    std::function<Bytes(const ImageKind&)> make;
    std::size_t entries;      // 0: no certificate table
    std::size_t extra_bytes;  // after the sections, no table's
};

// gtest names a case by its label, also in ctest's list.
void PrintTo(const TailCase& c, std::ostream* os) { *os << c.label; }

const TailCase kTails[] = {
    {"nothing after the sections",
     [](const ImageKind& k) { return MakeImage(Layout::kResourcesLast, SampleTree(), k); }, 0, 0},
    {"one signature", [](const ImageKind& k) { return Signed({1500}, k); }, 1, 0},
    {"two entries padded to 8 bytes",
     [](const ImageKind& k) {
         return Signed({13, 40}, k);
     },
     2, 0},
    {"extra data without a signature",
     [](const ImageKind& k) {
         Bytes f = MakeImage(Layout::kResourcesLast, SampleTree(), k);
         f.resize(f.size() + 100, 1);
         return f;
     },
     0, 100},
    {"extra data after the signature",
     [](const ImageKind& k) {
         Bytes f = Signed({1500}, k);
         f.resize(f.size() + 9, 1);
         return f;
     },
     1, 9},
    {"a gap of 8 bytes before the signature",
     [](const ImageKind& k) {
         Bytes f = MakeImage(Layout::kResourcesLast, SampleTree(), k);
         f.resize(f.size() + 8, 0);
         const std::size_t at = AppendEntry(f, 64);
         PointSecurityDirectory(f, at, 64, k);
         return f;
     },
     1, 8},
};

// Each file in an image of each kind: the security directory is where the kind has it.
class TailTable : public ::testing::TestWithParam<std::tuple<TailCase, ImageKind>> {};

TEST_P(TailTable, FindsTheTableAndCountsTheRest) {
    const auto& [c, kind] = GetParam();
    const Bytes file = c.make(kind);
    // The writer takes nothing after the sections; a reader takes anything and looks.
    if (c.entries == 0 && c.extra_bytes == 0) {
        EXPECT_NO_THROW(ParsePeImage(file));
    } else {
        EXPECT_THROW(ParsePeImage(file), PeError);
    }
    const PeImage image = ParsePeImage(file, AfterSections::kAnything);
    const FileTail tail = ReadFileTail(MemoryBytes(file), image);
    EXPECT_EQ(tail.extra_bytes, c.extra_bytes);
    ASSERT_EQ(tail.certificate.has_value(), c.entries != 0);
    if (!tail.certificate) return;
    EXPECT_EQ(tail.certificate->entries.size(), c.entries);
    EXPECT_EQ(tail.certificate->offset, le::U32(file, kind.Directory(4)));
    for (const CertificateEntry& e : tail.certificate->entries) EXPECT_EQ(e.type, kCertificatePkcsSignedData);
}

INSTANTIATE_TEST_SUITE_P(Files, TailTable,
                         ::testing::Combine(::testing::ValuesIn(kTails), ::testing::ValuesIn(kImageKinds)),
                         [](const ::testing::TestParamInfo<std::tuple<TailCase, ImageKind>>& info) {
                             const ::testing::TestParamInfo<TailCase> tail(std::get<0>(info.param), info.index);
                             return LabelName()(tail) + "_" + std::get<1>(info.param).label;
                         });

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
            ReadFileTail(MemoryBytes(file), ParsePeImage(file, AfterSections::kAnything));
            ADD_FAILURE() << "accepted";
        } catch (const PeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(ProgramMachine, TellsTheKindOfAWindowsProgramFromOtherFiles) {
    const Bytes pe32 = MakeImage(Layout::kResourcesLast, SampleTree(), kPe32Image);
    const Bytes pe32plus = MakeImage(Layout::kResourcesLast, SampleTree(), kPe32PlusImage);
    const auto changed = [](Bytes b, std::size_t at, std::uint16_t v) {
        le::Put16(b, at, v);
        return b;
    };
    Bytes far = pe32;
    le::Put32(far, 0x3C, 0x7FFFFFF0);
    Bytes cut_at_the_magic = pe32plus;
    cut_at_the_magic.resize(kOptionalOffset + 1);
    const std::string text = "hello, this is not a program at all, only some words in a file of text";
    const struct {
        const char* label;
        Bytes file;
        std::optional<PeMachine> kind;
    } cases[] = {
        {"i386, PE32", pe32, PeMachine::kI386},
        {"AMD64, PE32+", pe32plus, PeMachine::kAmd64},
        {"AMD64, PE32 magic", changed(pe32, kCoffOffset, 0x8664), std::nullopt},
        {"i386, PE32+ magic", changed(pe32plus, kCoffOffset, 0x14C), std::nullopt},
        {"ARM64, PE32+", changed(pe32plus, kCoffOffset, 0xAA64), std::nullopt},
        {"only MZ", Bytes{'M', 'Z'}, std::nullopt},
        {"PE header past the end", far, std::nullopt},
        {"cut inside the magic", cut_at_the_magic, std::nullopt},
        {"text", Bytes(text.begin(), text.end()), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ProgramMachine(c.file), c.kind);
    }
}

}  // namespace
}  // namespace zsetup::testing
