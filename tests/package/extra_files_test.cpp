#include "package/extra_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <ostream>

#include "base/little_endian.h"
#include "package/config_validation.h"
#include "package/errors.h"
#include "package/packed_blob.h"
#include "tests/package/expect_problem.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

FileEntry Row(const std::string& name, std::int32_t offset, std::int32_t size) {
    FileEntry row{};
    row.Name.assign(name);
    row.Offset = offset;
    row.Size = size;
    return row;
}

TEST(ExtraFiles, RoundTripsThroughItsPackedBlob) {
    const std::vector<FileEntry> rows = {Row("\\a\\one.dll", 7, 3), Row("\\two.txt", 10, 0)};
    const Bytes bytes = ExtraFilesBytes(rows);
    ASSERT_EQ(bytes.size(), 12u + 2 * 140);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "ZSFT");
    EXPECT_EQ(bytes[4], 1);  // version
    EXPECT_EQ(bytes[8], 2);  // rows
    // A row is the record's FileEntry byte for byte: length byte, name, offset at 132, size at 136.
    EXPECT_EQ(bytes[12], 10);
    EXPECT_EQ(bytes[12 + 132], 7);
    EXPECT_EQ(bytes[12 + 140 + 136], 0);

    const Bytes packed = PackBlob(bytes.data(), bytes.size());
    const auto back = UnpackExtraFiles(packed.data(), packed.size(), "SETUPFILES");
    ASSERT_EQ(back.size(), 2u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(back[i].Name.text(), rows[i].Name.text());
        EXPECT_EQ(back[i].Offset, rows[i].Offset);
        EXPECT_EQ(back[i].Size, rows[i].Size);
    }
}

struct Damage {
    const char* label;
    std::function<void(Bytes&)> change;  // on the unpacked table
    const char* expected;
};
void PrintTo(const Damage& d, std::ostream* os) { *os << d.label; }

class ExtraFilesRefusal : public ::testing::TestWithParam<Damage> {};

TEST_P(ExtraFilesRefusal, NamesWhatIsWrong) {
    Bytes table = ExtraFilesBytes({Row("\\a.txt", 0, 1), Row("\\b.txt", 1, 1)});
    GetParam().change(table);
    const Bytes packed = PackBlob(table.data(), table.size());
    try {
        UnpackExtraFiles(packed.data(), packed.size(), "\\Z_files.cx");
        FAIL() << "accepted";
    } catch (const PackageError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().expected);
    }
}

// clang-format off
const Damage kDamages[] = {
    {"other mark", [](Bytes& b) { b[0] = 'X'; }, "\\Z_files.cx: not a file table (no \"ZSFT\" mark)"},
    {"too short for a header", [](Bytes& b) { b.resize(11); }, "\\Z_files.cx: not a file table (no \"ZSFT\" mark)"},
    {"later version", [](Bytes& b) { b[4] = 2; },
     "\\Z_files.cx: file table version 2, this program reads version 1"},
    {"more rows announced", [](Bytes& b) { b[8] = 3; },
     "\\Z_files.cx: the file table announces 3 rows but holds 280 bytes of rows"},
    {"a row cut short", [](Bytes& b) { b.pop_back(); },
     "\\Z_files.cx: the file table announces 2 rows but holds 279 bytes of rows"},
    {"no rows", [](Bytes& b) { b.resize(12); b[8] = 0; },
     "\\Z_files.cx: the file table announces 0 rows but holds 0 bytes of rows"},
    {"a huge count", [](Bytes& b) { b[11] = 0x80; },
     "\\Z_files.cx: the file table announces 2147483650 rows but holds 280 bytes of rows"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, ExtraFilesRefusal, ::testing::ValuesIn(kDamages), testing::LabelName());

TEST(ExtraFilesRefusalOfTheBlob, ADamagedStreamNamesItsSource) {
    const Bytes table = ExtraFilesBytes({Row("\\a.txt", 0, 1)});
    Bytes packed = PackBlob(table.data(), table.size());
    packed[packed.size() - 1] ^= 1;  // the Adler-32
    try {
        UnpackExtraFiles(packed.data(), packed.size(), "SETUPFILES");
        FAIL() << "accepted";
    } catch (const PackageError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("SETUPFILES: ", 0), 0u) << e.what();
    }
}

// The message of the PackageError the call throws; "" when it throws none.
std::string Refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const PackageError& e) {
        return e.what();
    }
    return "";
}

// The largest table a package can have is read; one row more is refused
// before it is unpacked.
TEST(ExtraFilesLimit, TheLargestTableIsReadAndNoLargerOne) {
    std::vector<FileEntry> rows(kMostExtraFileRows, Row("\\f", 0, 0));
    Bytes table = ExtraFilesBytes(rows);
    ASSERT_EQ(table.size(), 9139212u);  // 12 + (65536 - 256) * 140
    Bytes packed = PackBlob(table.data(), table.size());
    EXPECT_EQ(UnpackExtraFiles(packed.data(), packed.size(), "\\Z_files.cx").size(), kMostExtraFileRows);

    rows.push_back(Row("\\g", 0, 0));
    table = ExtraFilesBytes(rows);
    packed = PackBlob(table.data(), table.size());
    EXPECT_EQ(Refusal([&] { UnpackExtraFiles(packed.data(), packed.size(), "\\Z_files.cx"); }),
              "\\Z_files.cx: it announces 9139352 bytes unpacked, at most 9139212");
    EXPECT_EQ(Refusal([&] { ParseExtraFiles(table.data(), table.size()); }),
              "the file table holds 65281 rows, at most 65280 follow the record's");
}

// A mebibyte of packed bytes may announce a gibibyte (deflate's ratio): the
// table's own bound refuses it before a byte is allocated for it.
TEST(ExtraFilesLimit, AHugeAnnouncedTableIsRefusedUnallocated) {
    Bytes blob(4 + (1 << 20), 0);
    WriteLe32(blob.data(), 1u << 30);
    EXPECT_EQ(Refusal([&] { UnpackExtraFiles(blob.data(), blob.size(), "\\Z_files.cx"); }),
              "\\Z_files.cx: it announces 1073741824 bytes unpacked, at most 9139212");
}

// A full record of 256 one-byte files and two more rows after it; the
// payload is 258 bytes; shortcuts to the first file and the last.
struct Package {
    std::unique_ptr<SetupConfig> record = std::make_unique<SetupConfig>(SetupConfig::Zero());
    std::vector<FileEntry> extra = {Row("\\more\\x.dll", 256, 1), Row("\\more\\y.dll", 257, 1)};
    Package() {
        record->ProductName.assign("Demo Tool");
        record->DefaultFolderName.assign("Demo Tool");
        record->CompanyKeyName.assign("Demo Studio");
        record->FileCount = 256;
        for (int i = 0; i < 256; ++i) record->Files[i] = Row("\\f" + std::to_string(i) + ".txt", i, 1);
        record->ShortcutCount = 2;
        record->Shortcuts[0].Name.assign("first");
        record->Shortcuts[1].Name.assign("last");
        record->Shortcuts[1].FileIndex = 257;
    }
};
constexpr std::uint64_t kPayload = 258;

struct Case {
    const char* label;
    std::function<void(Package&)> change;
    const char* expected;  // the one problem, nullptr for none
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class ExtraFilesValidation : public ::testing::TestWithParam<Case> {};

TEST_P(ExtraFilesValidation, CountsBothTablesAsOne) {
    Package p;
    GetParam().change(p);
    testing::ExpectProblem(ValidateConfig(*p.record, p.extra, kPayload), GetParam().expected);
}

// clang-format off
const Case kCases[] = {
    {"sound, a shortcut to file 257", [](Package&) {}, nullptr},
    {"a name that leaves the folder", [](Package& p) { p.extra[1].Name.assign("\\..\\evil.dll"); },
     "Files[257].Name: \"\\..\\evil.dll\" climbs out of the target folder"},
    {"a slice past the payload", [](Package& p) { p.extra[1].Size = 2; },
     "Files[257].Size: bytes 257..259 lie outside the payload of 258 bytes"},
    {"a negative offset", [](Package& p) { p.extra[0].Offset = -1; }, "Files[256].Offset: -1 is negative"},
    {"the same file as a record row", [](Package& p) { p.extra[0].Name.assign("\\F3.TXT"); },
     "Files[256].Name: \"\\F3.TXT\" is the same file as Files[3]"},
    {"inside a record row's file", [](Package& p) { p.extra[0].Name.assign("\\f3.txt\\x.dll"); },
     "Files[256].Name: \"\\f3.txt\\x.dll\" lies in a folder that is Files[3]'s file"},
    {"a clash within the extra rows", [](Package& p) { p.extra[1].Name.assign("\\more\\X.dll"); },
     "Files[257].Name: \"\\more\\X.dll\" is the same file as Files[256]"},
    {"after a record that is not full",
     [](Package& p) { p.record->FileCount = 255; p.record->Shortcuts[1].FileIndex = 0; },
     "SETUPFILES: 2 more file rows, but FileCount is 255, not 256"},
    {"a shortcut past the last file", [](Package& p) { p.record->Shortcuts[1].FileIndex = 258; },
     "Shortcuts[1].FileIndex: 258 is not a row of the file table (258 rows)"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, ExtraFilesValidation, ::testing::ValuesIn(kCases), testing::LabelName());

}  // namespace
}  // namespace zsetup
