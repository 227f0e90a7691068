// Start-up of the wizard on the memory platform: what it proposes, what it
// asks, what it refuses, and what it leaves in the registry. Compiled as GBK
// like the wizard, so the literals here are the bytes it shows.
#include <gtest/gtest.h>
#include <zlib.h>

#include <optional>
#include <string>
#include <vector>

#include "installer/main_form.h"
#include "installer/wizard_texts.h"
#include "base/little_endian.h"
#include "package/maker_profile.h"
#include "package/sha256.h"
#include "tests/installer/wizard_fixture.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

// A blob as another packer might write it: zlib's fastest level.
Bytes PackedFast(const Bytes& payload) {
    uLongf size = compressBound(static_cast<uLong>(payload.size()));
    Bytes blob(kBlobHeaderSize + size);
    WriteLe32(blob.data(), static_cast<std::uint32_t>(payload.size()));
    EXPECT_EQ(compress2(blob.data() + kBlobHeaderSize, &size, payload.data(), static_cast<uLong>(payload.size()), 1),
              Z_OK);
    blob.resize(kBlobHeaderSize + size);
    return blob;
}

Bytes RowBytes(PayloadStream& payload, const FileEntry& row) {
    payload.Open(row);
    Bytes out(static_cast<std::size_t>(row.Size));
    for (std::size_t at = 0; at < out.size();) at += payload.Read(out.data() + at, out.size() - at);
    return out;
}

// What the registry holds under ProductKey before the wizard starts.
struct Previous {
    enum Setup { kNone, kTrue, kFalse, kAsText } setup;
    const char* folder;  // nullptr: no value
};

void WritePrevious(MemoryPlatform& p, const Previous& prev) {
    if (prev.setup == Previous::kNone && !prev.folder) return;
    RegistryAccessor reg(p.registry, kKeySetValue, RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKey(kProductKey, true));
    if (prev.setup == Previous::kTrue) reg.WriteBool("Setup", true);
    if (prev.setup == Previous::kFalse) reg.WriteBool("Setup", false);
    if (prev.setup == Previous::kAsText) reg.WriteString("Setup", "1");
    reg.WriteString("Version", "0.9");
    if (prev.folder) reg.WriteString("Folder", prev.folder);
}

struct StartCase {
    const char* label;
    std::vector<std::string> drives;
    std::vector<std::string> folders;  // existing before the start
    Previous previous;
    std::vector<int> answers;  // to the questions, in order
    bool corrupt_checksum;
    // Expected:
    const char* install_folder;
    std::vector<const char*> questions;
    bool terminated;
};

// clang-format off
const StartCase kStartCases[] = {
    {"only C", {"C:"}, {}, {Previous::kNone, nullptr}, {}, false, "C:\\演示软件", {}, false},
    {"D present", {"C:", "D:"}, {}, {Previous::kNone, nullptr}, {}, false, "D:\\演示软件", {}, false},
    {"previous folder of three characters", {"C:", "D:"}, {}, {Previous::kFalse, "C:\\"}, {}, false,
     "D:\\演示软件", {}, false},
    {"previous folder missing", {"C:"}, {}, {Previous::kFalse, "C:\\Old"}, {}, false, "C:\\演示软件", {}, false},
    {"previous folder exists", {"C:", "D:"}, {"C:\\Old"}, {Previous::kFalse, "C:\\Old"}, {}, false, "C:\\Old", {},
     false},
    {"Setup as text: not installed, Folder unread", {"C:"}, {"C:\\Old"}, {Previous::kAsText, "C:\\Old"}, {}, false,
     "C:\\演示软件", {}, false},
    {"no Setup: Folder unread", {"C:"}, {"C:\\Old"}, {Previous::kNone, "C:\\Old"}, {}, false, "C:\\演示软件", {},
     false},
    {"installed, overwrite", {"C:"}, {"C:\\Old"}, {Previous::kTrue, "C:\\Old"}, {kIdYes}, false, "C:\\Old",
     {BuiltInMakerLines().installed_question.c_str()}, false},
    {"installed, declined", {"C:"}, {"C:\\Old"}, {Previous::kTrue, "C:\\Old"}, {kIdNo}, false, "C:\\Old",
     {BuiltInMakerLines().installed_question.c_str()}, true},
    {"checksum off, go on", {"C:"}, {}, {Previous::kNone, nullptr}, {kIdYes}, true, "C:\\演示软件",
     {BuiltInMakerLines().checksum_question.c_str()}, false},
    {"checksum off, stop", {"C:"}, {}, {Previous::kNone, nullptr}, {kIdNo}, true, "C:\\演示软件",
     {BuiltInMakerLines().checksum_question.c_str()}, true},
};
// clang-format on

class StartTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartTest, ProposesAsksAndEnds) {
    const StartCase& c = GetParam();
    MemoryPlatform p(c.drives);
    for (const std::string& f : c.folders) ASSERT_TRUE(p.files.MakeDirectory(f));
    WritePrevious(p, c.previous);
    Package package;
    if (c.corrupt_checksum) package.record.PackChecksum += 1;
    package.Install(p);
    for (int a : c.answers) p.dialogs.Answer(a);

    TMainForm wizard(p.seam);
    wizard.FormCreate();

    EXPECT_EQ(wizard.config->InstallFolder.text(), c.install_folder);
    ASSERT_EQ(p.dialogs.Shown().size(), c.questions.size());
    for (std::size_t i = 0; i < c.questions.size(); ++i) {
        EXPECT_EQ(p.dialogs.Shown()[i].text, c.questions[i]);
        EXPECT_EQ(p.dialogs.Shown()[i].caption, " ZANTO");
        EXPECT_EQ(p.dialogs.Shown()[i].flags, kMbYesNo | kMbIconQuestion);
    }
    EXPECT_EQ(wizard.form().terminated(), c.terminated);
    EXPECT_TRUE(wizard.refusal().empty()) << wizard.refusal();
    // The open of the previous installation creates ProductKey, answer or not.
    EXPECT_TRUE(p.registry.OpenKey(RegRoot::LocalMachine, kProductKey.substr(1), false, kKeyQueryValue));
    if (!c.terminated) {
        EXPECT_EQ(wizard.Control("PageCtl").active_page(), 0);
        EXPECT_EQ(wizard.CompanyKey, "\\Software\\演示工作室");
        EXPECT_EQ(wizard.ProductKey, kProductKey);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StartTest, ::testing::ValuesIn(kStartCases), zsetup::testing::LabelName());

TEST(Start, PageZeroShowsTheProductAndTheWindowIsRounded) {
    MemoryPlatform p;
    Package().Install(p);
    TMainForm wizard(p.seam);
    wizard.FormCreate();
    EXPECT_EQ(wizard.Control("NameLb").caption(), "演示软件");
    EXPECT_EQ(wizard.Control("VerLb").caption(), "1.0.0");
    EXPECT_EQ(wizard.Control("IntroLb").caption(), "一个小程序。\r\n第二行。");
    EXPECT_EQ(wizard.Control("IntroLb").bounds().width, 245);
    EXPECT_EQ(wizard.Control("IntroLb").bounds().height, 80);
    EXPECT_EQ(wizard.form().caption(), "演示软件安装向导");
    EXPECT_EQ(wizard.form().application_title(), "演示软件 安装向导");
    EXPECT_EQ(wizard.Control("Label8").caption(), "Zoraq安装程序");
    EXPECT_EQ(wizard.Control("Label12").caption(), "本安装程序将演示软件软件安装到您的计算机上");
    EXPECT_FALSE(wizard.Control("suiButton1").visible());
    EXPECT_TRUE(wizard.Control("suiButton2").visible());
    EXPECT_TRUE(wizard.Control("Sheet0").visible());
    EXPECT_FALSE(wizard.Control("Sheet1").visible());
    ASSERT_TRUE(wizard.form().region());
    const ui::RoundedRegion r = *wizard.form().region();
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom, r.ellipse_width, r.ellipse_height}),
              std::vector<int>({1, 1, 536, 296, 8, 8}));
    ASSERT_TRUE(wizard.payload);
    EXPECT_EQ(wizard.payload->size(), Package().payload.size());
    EXPECT_EQ(RowBytes(*wizard.payload, wizard.config->Files[0]), Package().payload);  // the one file, hello.txt
}

// Where the payload is read from. The build's digest of the payload lets the
// wizard read it from the program's file (a buffer's worth of memory), and
// only the bytes of the image it was started from are ever taken: a file
// replaced since, or damaged, or a digest that does not fit, sends it back to
// the image, which works for any package.
TEST(Start, ReadsThePayloadFromTheFileOnlyWhenItHoldsTheImagesBytes) {
    const Package package;
    const Bytes other(package.payload.rbegin(), package.payload.rend());  // same size, other bytes
    const Bytes image_pack = PackBlob(package.payload.data(), package.payload.size());
    Sha256 sha;
    sha.Add(image_pack.data(), image_pack.size());
    const Sha256Digest d = sha.Finish();
    const Bytes digest(d.begin(), d.end());
    const std::vector<std::string> file = {"file:SETUPPACK"}, image = {"image:SETUPPACK"},
                                   file_then_image = {"file:SETUPPACK", "image:SETUPPACK"};
    const struct {
        const char* label;
        std::optional<Bytes> digest;
        std::optional<Bytes> file;  // the file's SETUPPACK, when it differs from the image's
        std::vector<std::string> opened;
    } cases[] = {
        {"no digest: an earlier build", std::nullopt, std::nullopt, image},
        {"the file holds the image's payload", digest, std::nullopt, file},
        {"the same payload packed otherwise: other bytes all the same", digest, PackedFast(package.payload),
         file_then_image},
        {"the file was replaced", digest, PackBlob(other.data(), other.size()), file_then_image},
        {"the file's payload does not unpack", digest, Bytes{1, 2, 3, 4, 5, 6, 7, 8}, file_then_image},
        {"a digest of another length", Bytes(digest.begin(), digest.end() - 1), std::nullopt, image},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MemoryPlatform p;
        package.Install(p);
        if (c.digest) p.resources.Add(kPayloadDigestResource, *c.digest);
        if (c.file) p.resources.PutInFile("SETUPPACK", *c.file);
        TMainForm wizard(p.seam);
        wizard.FormCreate();
        EXPECT_EQ(wizard.Control("PageCtl").active_page(), 0);
        EXPECT_TRUE(p.dialogs.Shown().empty());
        EXPECT_EQ(p.resources.opened, c.opened);
        ASSERT_TRUE(wizard.payload);
        EXPECT_EQ(RowBytes(*wizard.payload, wizard.config->Files[0]), package.payload);
    }
}

// The shadow is attached with page 0 selected and before the window gets
// its rounded shape, so its first image follows the full rectangle.
TEST(Start, TheShadowComesBetweenPageZeroAndTheRoundedRegion) {
    MemoryPlatform p;
    Package().Install(p);
    TMainForm wizard(p.seam);
    int page_then = -1;
    bool region_then = true;
    wizard.attach_shadow = [&](ui::Form& form) {
        page_then = wizard.Control("PageCtl").active_page();
        region_then = form.region() != nullptr;
    };
    wizard.FormCreate();
    EXPECT_EQ(page_then, 0);
    EXPECT_FALSE(region_then);
    EXPECT_TRUE(wizard.form().region());
}

TEST(Start, ThePicturesComeFromTheProgramsResources) {
    MemoryPlatform p;
    Package().Install(p);
    p.resources.Add("LICENCEART", {1, 2, 3});
    TMainForm with(p.seam);
    EXPECT_EQ(with.Control("Image2").picture(), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(with.Control("Image1").picture().empty());  // no FINISHART: an empty picture
}

TEST(Start, AShortRecordLeavesTheRestZero) {
    MemoryPlatform p;
    Package package;
    package.Install(p, 1324);  // up to the file table
    TMainForm wizard(p.seam);
    wizard.FormCreate();
    EXPECT_EQ(wizard.config->ProductName.text(), "演示软件");
    EXPECT_EQ(wizard.config->FileCount, 0);
    EXPECT_TRUE(wizard.refusal().empty()) << wizard.refusal();
}

// A package that cannot be installed: a message naming the problem, the
// wizard never leaves page 0 however often Next is pressed, and nothing is
// written: no file, no registry key.
struct BadPackage {
    const char* label;
    void (*spoil)(MemoryPlatform&);
    const char* problem;
};

Bytes Resource(MemoryPlatform& p, const char* name) { return *p.resources.RcData(name); }

// A sound package of that many one-byte files, the rows past 256 in SETUPFILES.
Package PackageOf(int files) {
    Package big;
    for (int i = 1; i < files; ++i) big.AddFile("\\f" + std::to_string(i), "x");
    return big;
}

// clang-format off
const BadPackage kBadPackages[] = {
    {"no record", [](MemoryPlatform& p) { p.resources.Add("SETUPINI", {}); }, "SETUPINI: Stream read error"},
    {"record does not unpack", [](MemoryPlatform& p) {
         Bytes blob = Resource(p, "SETUPINI");
         blob[10] ^= 0xFF;
         p.resources.Add("SETUPINI", blob);
     }, "SETUPINI: "},
    {"record's checksum flipped", [](MemoryPlatform& p) {
         Bytes blob = Resource(p, "SETUPINI");
         blob[blob.size() - 1] ^= 0x01;
         p.resources.Add("SETUPINI", blob);
     }, "SETUPINI: Packed data is corrupt (zlib: incorrect data check)"},
    {"record fails validation", [](MemoryPlatform& p) {
         Package bad;
         bad.record.Files[0].Name.assign("\\..\\..\\evil.exe");
         bad.Install(p);
     }, "Files[0].Name"},
    {"shortcut name climbs", [](MemoryPlatform& p) {
         Package bad;
         bad.AddShortcut("..\\..\\..\\..\\x", 0, 0);
         bad.Install(p);
     }, "Shortcuts[0].Name"},
    {"no payload", [](MemoryPlatform& p) {
         MemoryResources only;
         only.Add("SETUPINI", Resource(p, "SETUPINI"));
         p.resources = only;
     }, "SETUPPACK: the program carries no payload resource"},
    {"payload without its last four bytes", [](MemoryPlatform& p) {
         Bytes blob = Resource(p, "SETUPPACK");
         blob.resize(blob.size() - 4);
         p.resources.Add("SETUPPACK", blob);
     }, "SETUPPACK: Packed data is corrupt (its zlib stream is cut short)"},
    {"payload announcing 4 GiB", [](MemoryPlatform& p) {
         Bytes blob = Resource(p, "SETUPPACK");
         for (int i = 0; i < 4; ++i) blob[i] = 0xFF;
         p.resources.Add("SETUPPACK", blob);
     }, "SETUPPACK: Stream read error"},
    {"extra file table damaged", [](MemoryPlatform& p) {
         Package big = PackageOf(257);
         big.Install(p);
         Bytes blob = Resource(p, "SETUPFILES");
         blob[blob.size() - 1] ^= 0x01;
         p.resources.Add("SETUPFILES", blob);
     }, "SETUPFILES: Packed data is corrupt (zlib: incorrect data check)"},
    {"extra file table of another version", [](MemoryPlatform& p) {
         Package big = PackageOf(257);
         big.Install(p);
         Bytes table = ExtraFilesBytes(big.extra);
         table[4] = 9;
         p.resources.Add("SETUPFILES", PackBlob(table.data(), table.size()));
     }, "SETUPFILES: file table version 9, this program reads version 1"},
    {"extra row climbs", [](MemoryPlatform& p) {
         Package big = PackageOf(257);
         big.extra[0].Name.assign("\\..\\evil.exe");
         big.Install(p);
     }, "Files[256].Name"},
    {"extra row clashes with a record row", [](MemoryPlatform& p) {
         Package big = PackageOf(257);
         big.extra[0].Name.assign("\\HELLO.txt");
         big.Install(p);
     }, "Files[256].Name: \"\\HELLO.txt\" is the same file as Files[0]"},
    {"extra row's slice outside", [](MemoryPlatform& p) {
         Package big = PackageOf(257);
         big.extra[0].Size = 9;
         big.Install(p);
     }, "Files[256].Size"},
    {"payload slice outside", [](MemoryPlatform& p) {
         Package bad;
         bad.record.Files[0].Size = 6;
         bad.Install(p);
     }, "Files[0]"},
    // The maker's profile is checked like the record.
    {"maker profile of another version", [](MemoryPlatform& p) {
         Bytes profile = WriteMakerProfile(MakerProfile());
         profile[4] = 9;
         p.resources.Add("SETUPMAKER", profile);
     }, "SETUPMAKER: version 9 is not known"},
    {"maker run file past the table", [](MemoryPlatform& p) {
         MakerProfile far;
         far.run_file = 7;
         p.resources.Add("SETUPMAKER", WriteMakerProfile(far));
     }, "SETUPMAKER: run file: row 7 is not an installed file"},
    {"maker licence inline without one", [](MemoryPlatform& p) {
         MakerProfile shown;
         shown.licence_inline = true;
         p.resources.Add("SETUPMAKER", WriteMakerProfile(shown));
     }, "PROTOCOL: the licence to show is not in the program"},
};
// clang-format on

class BadPackageTest : public ::testing::TestWithParam<BadPackage> {};

TEST_P(BadPackageTest, StaysOnPageZeroNamingTheProblem) {
    const BadPackage& c = GetParam();
    MemoryPlatform p;
    Package().Install(p);
    c.spoil(p);
    p.dialogs.Answer(kIdOk);
    TMainForm wizard(p.seam);
    wizard.FormCreate();
    ASSERT_EQ(p.dialogs.Shown().size(), 1u);
    const ShownMessage box = p.dialogs.Shown()[0];
    EXPECT_EQ(box.caption, " ZANTO");
    EXPECT_EQ(box.flags, kMbOk | kMbIconWarning);
    EXPECT_NE(box.text.find(c.problem), std::string::npos) << box.text;
    EXPECT_FALSE(wizard.form().terminated());
    EXPECT_EQ(wizard.Control("PageCtl").active_page(), 0);

    for (int press = 0; press < 2; ++press) {
        p.dialogs.Answer(kIdOk);
        wizard.Control("suiButton2").Click();
        EXPECT_EQ(wizard.Control("PageCtl").active_page(), 0);
        EXPECT_EQ(p.dialogs.Shown().size(), 2u + press);
        EXPECT_EQ(p.dialogs.Shown().back().text, box.text);
    }
    EXPECT_FALSE(p.registry.OpenKey(RegRoot::LocalMachine, kProductKey.substr(1), false, kKeyQueryValue));
    EXPECT_TRUE(p.registry.WriteLog().empty());
    EXPECT_TRUE(p.files.Created().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BadPackageTest, ::testing::ValuesIn(kBadPackages), zsetup::testing::LabelName());

TEST(Start, NextOnASoundPackageEndsTheProductProcessesFirst) {
    MemoryPlatform p;
    Package().Install(p);
    TMainForm wizard(p.seam);
    wizard.FormCreate();
    wizard.Control("suiButton2").Click();
    EXPECT_EQ(wizard.Control("PageCtl").active_page(), 1);
    EXPECT_TRUE(wizard.Control("suiButton4").visible());
}

}  // namespace
}  // namespace zsetup
