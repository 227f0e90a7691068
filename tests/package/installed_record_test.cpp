// What the uninstaller reads from beside itself, from the three copies'
// bytes: the record's copy must be exactly a record, the file table's copy is
// bounded before it is unpacked, and everything is checked together.
#include "package/installed_record.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "package/packed_blob.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMostProblems = 8;

FileEntry Row(const std::string& name) {
    FileEntry row{};
    row.Name.assign(name);
    return row;
}

// A full record of 256 files, two more in the table, a profile that starts file 3.
struct Copies {
    std::unique_ptr<SetupConfig> record = std::make_unique<SetupConfig>(SetupConfig::Zero());
    std::vector<FileEntry> extra = {Row("\\more\\x.dll"), Row("\\more\\y.dll")};
    MakerProfile maker;

    Copies() {
        record->ProductName.assign("Demo Tool");
        record->DefaultFolderName.assign("Demo Tool");
        record->CompanyKeyName.assign("Demo Studio");
        record->FileCount = kMaxRows;
        for (int i = 0; i < kMaxRows; ++i) record->Files[i] = Row("\\f" + std::to_string(i) + ".txt");
        maker.credit = "Demo Studio";
        maker.run_file = 3;
    }
    // As the install leaves them in C:\Demo.
    InstalledCopies Files() const {
        const Bytes image = record->ToBytes();
        const Bytes table = ExtraFilesBytes(extra);
        return {{"C:\\Demo\\Z_nt.cx", PackBlob(image.data(), image.size())},
                {"C:\\Demo\\Z_files.cx", PackBlob(table.data(), table.size())},
                {"C:\\Demo\\Z_maker.cx", WriteMakerProfile(maker)}};
    }
};

Bytes Packed(const Bytes& bytes) { return PackBlob(bytes.data(), bytes.size()); }

TEST(InstalledRecord, ReadsTheThreeCopiesAsTheInstallLeftThem) {
    const Copies c;
    const auto read = ReadInstalledRecord(c.Files(), kMostProblems);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->record->ToBytes(), c.record->ToBytes());
    ASSERT_EQ(read->extra_files.size(), 2u);
    EXPECT_EQ(read->extra_files[1].Name.text(), "\\more\\y.dll");
    EXPECT_EQ(read->maker, c.maker);
}

TEST(InstalledRecord, WithoutTheRecordsCopyNothingIsInstalled) {
    InstalledCopies files = Copies().Files();
    files.record.bytes.reset();
    EXPECT_FALSE(ReadInstalledRecord(files, kMostProblems));
}

// Beside a smaller record the table is an earlier version's: not read at all.
TEST(InstalledRecord, TheTableIsReadOnlyBesideAFullRecord) {
    Copies c;
    c.record->FileCount = 255;
    InstalledCopies files = c.Files();
    files.extra_files.bytes = Bytes{'o', 'l', 'd'};
    const auto read = ReadInstalledRecord(files, kMostProblems);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->extra_files.empty());
}

struct Damage {
    const char* label;
    std::function<void(Copies&, InstalledCopies&)> change;
    std::string says;  // the whole message
};
void PrintTo(const Damage& d, std::ostream* os) { *os << d.label; }

class InstalledRecordRefusal : public ::testing::TestWithParam<Damage> {};

TEST_P(InstalledRecordRefusal, SaysWhatIsDamaged) {
    Copies c;
    InstalledCopies files = c.Files();
    GetParam().change(c, files);
    try {
        ReadInstalledRecord(files, kMostProblems);
        FAIL() << "accepted";
    } catch (const PackageError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().says);
    }
}

const Damage kDamages[] = {
    // A shorter record would read as empty tables, and their links and values would stay.
    {"a record copy cut short",
     [](Copies& c, InstalledCopies& f) {
         Bytes image = c.record->ToBytes();
         image.resize(image.size() / 2);
         f.record.bytes = Packed(image);
     },
     "C:\\Demo\\Z_nt.cx: it unpacks to 103580 bytes, a record is 207160"},
    {"a record copy a byte too long",
     [](Copies& c, InstalledCopies& f) {
         Bytes image = c.record->ToBytes();
         image.push_back(0);
         f.record.bytes = Packed(image);
     },
     "C:\\Demo\\Z_nt.cx: it unpacks to 207161 bytes, a record is 207160"},
    {"a damaged record copy", [](Copies&, InstalledCopies& f) { f.record.bytes->back() ^= 1; },
     "C:\\Demo\\Z_nt.cx: Packed data is corrupt (zlib: incorrect data check)"},
    {"a table copy announcing a gibibyte",
     [](Copies&, InstalledCopies& f) {
         Bytes blob(4 + (1 << 20), 0);
         WriteLe32(blob.data(), 1u << 30);
         f.extra_files.bytes = blob;
     },
     "C:\\Demo\\Z_files.cx: it announces 1073741824 bytes unpacked, at most 9139212"},
    {"a table row that leaves the folder",
     [](Copies& c, InstalledCopies& f) {
         c.extra[1].Name.assign("\\..\\evil.dll");
         f.extra_files = c.Files().extra_files;
     },
     "Files[257].Name: \"\\..\\evil.dll\" climbs out of the target folder"},
    {"a maker copy that is no profile",
     [](Copies&, InstalledCopies& f) {
         f.maker.bytes = Bytes{'Z', 'S'};
     },
     "SETUPMAKER: not a maker profile"},
    {"a maker copy starting a marker row",
     [](Copies& c, InstalledCopies& f) {
         c.record->Files[3].Name.assign("*.*");
         f.record = c.Files().record;
     },
     "SETUPMAKER: run file: row 3 is not an installed file"},
};

INSTANTIATE_TEST_SUITE_P(Table, InstalledRecordRefusal, ::testing::ValuesIn(kDamages), testing::LabelName());

}  // namespace
}  // namespace zsetup

namespace zsetup {
namespace {

// The entry as the install writes it for Copies' files in C:\Demo.
InstalledEntry EntryFor(const InstalledCopies& files) {
    return {"C:\\Demo",
            {CopyDigest(*files.record.bytes), CopyDigest(*files.extra_files.bytes), CopyDigest(*files.maker.bytes)}};
}

TEST(InstalledRecord, CopiesAreBelievedOnlyAsTheUninstallEntryVouchesForThem) {
    const struct {
        const char* label;
        std::function<void(InstalledCopies&, std::optional<InstalledEntry>&)> change;
        const char* refusal;  // nullptr: believed
    } cases[] = {
        {"as the install left them", [](InstalledCopies&, std::optional<InstalledEntry>&) {}, nullptr},
        {"the folder in another letter case",
         [](InstalledCopies&, std::optional<InstalledEntry>& e) { e->folder = "c:\\DEMO"; }, nullptr},
        {"an earlier install without digests",
         [](InstalledCopies&, std::optional<InstalledEntry>& e) { e->digests = {}; }, nullptr},
        {"no uninstall entry", [](InstalledCopies&, std::optional<InstalledEntry>& e) { e.reset(); },
         "the uninstall entry of this product does not name the folder C:\\Demo"},
        {"an entry of another folder",
         [](InstalledCopies&, std::optional<InstalledEntry>& e) { e->folder = "C:\\Other"; },
         "the uninstall entry of this product does not name the folder C:\\Demo"},
        {"a record rewritten", [](InstalledCopies& f, std::optional<InstalledEntry>&) { f.record.bytes->back() ^= 1; },
         "C:\\Demo\\Z_nt.cx: it is not the copy the install left"},
        {"a table rewritten",
         [](InstalledCopies& f, std::optional<InstalledEntry>&) { f.extra_files.bytes->push_back(0); },
         "C:\\Demo\\Z_files.cx: it is not the copy the install left"},
        {"a profile planted", [](InstalledCopies&, std::optional<InstalledEntry>& e) { e->digests.maker.clear(); },
         "C:\\Demo\\Z_maker.cx: the install did not leave it"},
        {"a profile taken away", [](InstalledCopies& f, std::optional<InstalledEntry>&) { f.maker.bytes.reset(); },
         "C:\\Demo\\Z_maker.cx: the install left it and it is gone"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        InstalledCopies files = Copies().Files();
        std::optional<InstalledEntry> entry = EntryFor(files);
        k.change(files, entry);
        if (!k.refusal) {
            EXPECT_NO_THROW(CheckCopiesAgainstEntry(files, entry, "C:\\Demo"));
            continue;
        }
        try {
            CheckCopiesAgainstEntry(files, entry, "C:\\Demo");
            ADD_FAILURE() << "believed";
        } catch (const PackageError& e) {
            EXPECT_EQ(std::string(e.what()), k.refusal);
        }
    }
}

TEST(InstalledRecord, CopyDigestIsTheSha256OfTheBytesInLowercaseHex) {
    EXPECT_EQ(CopyDigest(Bytes{'a', 'b', 'c'}), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(CopyDigest({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(InstalledRecord, ProgramsToEndAreTheProductsOwnFiles) {
    const Copies c;
    const std::vector<std::string> asked = {"F3.TXT", "y.dll", "notepad.exe", "more", "f3.txt\\"};
    EXPECT_EQ(InstalledPrograms(asked, *c.record, c.extra), (std::vector<std::string>{"F3.TXT", "y.dll"}));
}

}  // namespace
}  // namespace zsetup
