// The maker profile's format: what is written reads back the same, and what a
// reader must refuse is refused with the field named.
#include "package/maker_profile.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "package/errors.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every field set; Chinese texts in GBK.
MakerProfile Full() {
    MakerProfile p;
    p.page_title = "\xD1\xDD\xCA\xBE\xB0\xB2\xD7\xB0";  // 演示安装
    p.credit = "Demo Works";
    p.already_installed = "   Installed already?\r\nOverwrite?";
    p.checksum_question = "Damaged, go on?";
    p.quit_question = "Quit?\rReally?\r\nYes or no.";
    p.caption = " Demo";
    p.folder_example = "C:\\Demo";
    p.site = "https://demo.example.org:8080";
    p.site_text = "demo.example.org";
    p.tutorial_text = "Read the guide";
    p.tutorial_address = "https://demo.example.org/guide?id=1&x=%E4";
    p.processes = std::vector<std::string>{"demo.exe", "\xD1\xDD\xCA\xBE.exe"};
    p.licence_inline = true;
    p.run_file = 3;
    p.keep_folder_closed = true;
    return p;
}

// The byte offset of the first field with this tag in written bytes.
std::size_t FieldAt(const Bytes& b, std::uint8_t tag) {
    for (std::size_t at = 5; at + 3 <= b.size(); at += 3 + b[at + 1] + (b[at + 2] << 8))
        if (b[at] == tag) return at;
    ADD_FAILURE() << "no field " << int(tag);
    return 0;
}

struct Case {
    const char* label;
    std::function<void(MakerProfile&)> change;
    std::function<void(Bytes&)> damage;  // applied to the written bytes; null: none
    const char* refusal;                 // nullptr: sound, and it reads back the same
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class MakerProfileFormat : public ::testing::TestWithParam<Case> {};

TEST_P(MakerProfileFormat, RoundTripsOrRefuses) {
    const Case& c = GetParam();
    MakerProfile p = Full();
    if (c.change) c.change(p);
    if (!c.damage) {
        if (!c.refusal) {
            const Bytes bytes = WriteMakerProfile(p);
            EXPECT_TRUE(ReadMakerProfile(bytes.data(), bytes.size()) == p);
            return;
        }
        // The writer refuses what a reader would.
        try {
            WriteMakerProfile(p);
            FAIL() << "written";
        } catch (const PackageError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("SETUPMAKER: ") + c.refusal);
        }
        return;
    }
    Bytes bytes = WriteMakerProfile(p);
    c.damage(bytes);
    try {
        ReadMakerProfile(bytes.data(), bytes.size());
        FAIL() << "read";
    } catch (const PackageError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("SETUPMAKER: ") + c.refusal);
    }
}

// clang-format off
const Case kCases[] = {
    {"every field", nullptr, nullptr, nullptr},
    {"no field at all", [](MakerProfile& p) { p = MakerProfile(); }, nullptr, nullptr},
    {"an empty program list", [](MakerProfile& p) { p.processes = std::vector<std::string>{}; }, nullptr, nullptr},
    // 0x80 is the euro sign in code page 936, as in the record's texts.
    {"a caption with the euro sign", [](MakerProfile& p) { p.caption = "\x80 Shop"; }, nullptr, nullptr},
    {"no tutorial box", [](MakerProfile& p) { p.tutorial_text.reset(); p.tutorial_address.reset(); p.no_tutorial = true; },
     nullptr, nullptr},
    {"texts at their limits", [](MakerProfile& p) {
         p.credit = std::string(64, 'c'); p.quit_question = std::string(511, 'q');
         p.processes = std::vector<std::string>(4, std::string(60, 'p') + ".exe");
     }, nullptr, nullptr},
    {"the Program Files root", [](MakerProfile& p) { p.folder_root = FolderRoot::kProgramFiles; }, nullptr, nullptr},
    {"the complete uninstall entry", [](MakerProfile& p) {
         p.complete_entry = true; p.entry_icon = 2;
         p.help_link = "https://demo.example.org/help"; p.update_link = "http://demo.example.org/new";
     }, nullptr, nullptr},
    {"the complete entry without an icon or links", [](MakerProfile& p) { p.complete_entry = true; }, nullptr, nullptr},

    // What the writer, and so the reader, refuses.
    {"a line over 64 bytes", [](MakerProfile& p) { p.caption = std::string(65, 'c'); }, nullptr,
     "caption: 65 bytes, at most 64"},
    {"a question over 255 bytes", [](MakerProfile& p) { p.already_installed = std::string(256, 'q'); }, nullptr,
     "installed question: 256 bytes, at most 255"},
    {"a line break in a line", [](MakerProfile& p) { p.page_title = "a\r\nb"; }, nullptr,
     "page title: not GBK text of one line"},
    {"a lead byte without its trail", [](MakerProfile& p) { p.credit = "ab\xD1"; }, nullptr,
     "credit: not GBK text of one line"},
    {"a site with a path", [](MakerProfile& p) { p.site = "http://host/path"; }, nullptr,
     "site: not http:// or https:// and a host"},
    {"a site of another scheme", [](MakerProfile& p) { p.site = "file://host"; }, nullptr,
     "site: not http:// or https:// and a host"},
    {"an address with a quote", [](MakerProfile& p) { p.tutorial_address = "http://h/\" /evil"; }, nullptr,
     "tutorial address: not an http:// or https:// address"},
    {"five programs", [](MakerProfile& p) { p.processes = std::vector<std::string>(5, "a.exe"); }, nullptr,
     "programs: 5 names, at most 4"},
    {"a program name with a folder", [](MakerProfile& p) { p.processes = std::vector<std::string>{"bin\\a.exe"}; },
     nullptr, "programs: \"bin\\a.exe\" holds a backslash"},
    {"tutorial text without a box", [](MakerProfile& p) { p.no_tutorial = true; }, nullptr,
     "tutorial: no check box, yet its text or address"},
    {"an entry icon without the complete entry", [](MakerProfile& p) { p.entry_icon = 0; }, nullptr,
     "uninstall entry: an icon or link, yet not the complete entry"},
    {"a help link without the complete entry", [](MakerProfile& p) { p.help_link = "https://h/"; }, nullptr,
     "uninstall entry: an icon or link, yet not the complete entry"},
    {"an entry icon past the table", [](MakerProfile& p) { p.complete_entry = true; p.entry_icon = 256; }, nullptr,
     "uninstall entry: the icon is no row of the file table"},
    {"an update link of another scheme", [](MakerProfile& p) { p.complete_entry = true; p.update_link = "ftp://h/"; },
     nullptr, "update link: not an http:// or https:// address"},

    // Damaged bytes.
    {"another magic", nullptr, [](Bytes& b) { b[0] = 'X'; }, "not a maker profile"},
    {"shorter than its header", nullptr, [](Bytes& b) { b.resize(4); }, "not a maker profile"},
    {"an unknown version", nullptr, [](Bytes& b) { b[4] = 2; }, "version 2 is not known"},
    {"a field cut short", nullptr, [](Bytes& b) { b.pop_back(); }, "field 14 is cut short"},
    {"a field header cut short", nullptr, [](Bytes& b) { b.resize(b.size() - 3); }, "a field is cut short"},
    {"an unknown tag", nullptr, [](Bytes& b) { b[FieldAt(b, 6)] = 99; }, "field 99 is not known"},
    {"a tag twice", nullptr, [](Bytes& b) { b[FieldAt(b, 6)] = 2; }, "field 2 comes twice"},
    {"an unknown flag", nullptr, [](Bytes& b) { b.back() |= 0x80; }, "flags: not known"},
    {"a control byte in the caption", nullptr, [](Bytes& b) { b[FieldAt(b, 6) + 3] = 0x07; },
     "caption: not GBK text of one line"},
    {"a program name not ended", nullptr, [](Bytes& b) {
         const std::size_t at = FieldAt(b, 12);
         b[at + 3 + b[at + 1] - 1] = 'x';
     }, "programs: the last name is not ended"},
    {"an empty program name", nullptr, [](Bytes& b) { b[FieldAt(b, 12) + 3] = 0; },
     "programs: \"\" is empty"},
    {"the drive root written out", [](MakerProfile& p) { p.folder_root = FolderRoot::kProgramFiles; },
     [](Bytes& b) { b.back() = 0; }, "folder root: not known"},
    {"an unknown folder root", [](MakerProfile& p) { p.folder_root = FolderRoot::kProgramFiles; },
     [](Bytes& b) { b.back() = 2; }, "folder root: not known"},
    {"an entry icon of one byte", [](MakerProfile& p) { p.complete_entry = true; p.entry_icon = 1; },
     [](Bytes& b) { b.pop_back(); b[b.size() - 3] = 1; }, "uninstall entry: not a 2-byte row number"},
    {"a run file of three bytes", nullptr, [](Bytes& b) {
         const std::size_t at = FieldAt(b, 13);
         b[at + 1] = 3;
         b.insert(b.begin() + static_cast<std::ptrdiff_t>(at + 5), 0);
     }, "run file: not a 2-byte row number"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, MakerProfileFormat, ::testing::ValuesIn(kCases), testing::LabelName());

// Readers refuse a tag they do not know: the folder root, added after the
// first stubs and uninstallers, is written only when it is not the drive, so
// a profile that keeps the drive is byte for byte what they read.
TEST(MakerProfileFolderRoot, WrittenOnlyWhenNotTheDrive) {
    for (const MakerProfile& drive : {MakerProfile(), Full()}) {
        const Bytes before = WriteMakerProfile(drive);
        for (std::size_t at = 5; at + 3 <= before.size(); at += 3 + before[at + 1] + (before[at + 2] << 8))
            EXPECT_LE(before[at], 14) << "field " << int(before[at]);
        MakerProfile elsewhere = drive;
        elsewhere.folder_root = FolderRoot::kProgramFiles;
        Bytes expected = before;
        expected.insert(expected.end(), {15, 1, 0, 1});
        EXPECT_EQ(WriteMakerProfile(elsewhere), expected);
    }
}

TEST(MakerProfileRecord, TheRunFileIsAnInstalledRowOfTheTable) {
    auto record = std::make_unique<SetupConfig>(SetupConfig::Zero());
    record->FileCount = 2;
    record->Files[0].Name.assign("\\bin\\demo.exe");
    record->Files[1].Name.assign("\\..\\*.txt");  // a marker row, installed nowhere
    MakerProfile p;
    EXPECT_EQ(MakerProfileProblem(p, *record), "");
    p.run_file = 0;
    EXPECT_EQ(MakerProfileProblem(p, *record), "");
    p.run_file = 1;
    EXPECT_EQ(MakerProfileProblem(p, *record), "SETUPMAKER: run file: row 1 is not an installed file");
    p.run_file = 2;
    EXPECT_EQ(MakerProfileProblem(p, *record), "SETUPMAKER: run file: row 2 is not an installed file");
}

// The entry's icon is an installed file's, like the run file.
TEST(MakerProfileRecord, TheEntryIconIsAnInstalledRowOfTheTable) {
    auto record = std::make_unique<SetupConfig>(SetupConfig::Zero());
    record->FileCount = 2;
    record->Files[0].Name.assign("\\bin\\demo.exe");
    record->Files[1].Name.assign("\\..\\*.txt");
    MakerProfile p;
    p.complete_entry = true;
    for (const int row : {0, 1, 5}) {
        p.entry_icon = row;
        EXPECT_EQ(MakerProfileProblem(p, *record), row == 0 ? ""
                                                            : "SETUPMAKER: uninstall entry icon: row " +
                                                                  std::to_string(row) + " is not an installed file");
    }
}

// A profile that does not ask for the complete entry is the bytes earlier
// readers know; one that does adds a field of its own at the end.
TEST(MakerProfileCompleteEntry, WrittenOnlyWhenAsked) {
    const Bytes before = WriteMakerProfile(Full());
    MakerProfile complete = Full();
    complete.complete_entry = true;
    complete.entry_icon = 0xFF;
    Bytes expected = before;
    expected.insert(expected.end(), {18, 2, 0, 0xFF, 0});
    EXPECT_EQ(WriteMakerProfile(complete), expected);
}

}  // namespace
}  // namespace zsetup
