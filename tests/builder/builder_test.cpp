// The building tool end to end on the host: manifests in, filled programs
// out, read back by our reader and by tools that share no code with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "builder/extract.h"
#include "builder/file_count.h"
#include "builder/inspect_report.h"
#include "builder/manifest.h"
#include "builder/manifest_text.h"
#include "builder/package_builder.h"
#include "builder/package_reader.h"
#include "pe/pe_image.h"
#include "pe/resource_tree.h"
#include "pe/resource_writer.h"
#include "package/packed_blob.h"
#include "package/payload_stream.h"
#include "package/sha256.h"
#include "tests/builder/native_tools.h"
#include "tests/builder/package_in_memory.h"
#include "tests/builder/product_dir.h"
#include "tests/support/case_names.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;
using namespace zsetup::testing;

constexpr std::time_t kEpoch = 1796860800;  // 2026-12-10 00:00:00 UTC

// The example product's shape: five files, four shortcuts, Chinese texts.
const char* const kManifest = R"(licence = "licence.txt"

[product]
name = "演示软件"
version = "2.5.1"
author = "演示工作室"
site = "http://www.example.com"
company_key = "DemoSoft"
default_folder = "演示软件"
introduction = "一个演示用的小程序。\r\n第二行。"
category = "工具"
legal_notice = "版权所有"
release_date = "20261201"
second_date = "20261202"

[[file]]
source = "bin/demo.exe"
name = "\\演示.exe"

[[file]]
source = "licence.txt"
name = "\\licence.txt"

[[file]]
source = "docs/说明.txt"
name = "\\docs\\说明.txt"

[[file]]
source = "bin/uninstall.exe"
name = "\\uninstall.exe"

[[file]]
source = "empty.url"
name = "\\网站.url"

[[shortcut]]
name = "演示软件"
target = "\\演示.exe"
where = "desktop"

[[shortcut]]
name = "演示软件"
target = "\\演示.exe"
where = "programs"
arguments = "/start 1"

[[shortcut]]
name = "许可协议"
target = "\\LICENCE.TXT"
where = "programs"

[[shortcut]]
name = "说明"
target = "\\docs\\说明.txt"
where = "both"

[[registry]]
root = "hkcu"
key = "\\Software\\DemoSoft\\演示"
name = "Mode"
type = "string"
value = "完整"

[[registry]]
root = "hklm"
key = "Options"
name = "Count"
type = "int"
value = -1

[[registry]]
root = "hklm"
key = "Options"
name = "On"
type = "bool"
value = true
)";

const char* const kLicence = "许可协议\r\n第一条：随便用。\r\n";
const char* const kReadme = "说明文字";

void WriteProductFiles(const ProductDir& dir) {
    std::string program(70000, '\0');
    for (std::size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 7 + i / 300);
    dir.Write("bin/demo.exe", program);
    dir.Write("licence.txt", kLicence);
    dir.Write("docs/说明.txt", kReadme);
    dir.Write("bin/uninstall.exe", std::string(3000, 'u'));
    dir.Write("empty.url", "");
}

ManifestOptions Options() {
    ManifestOptions o;
    o.source_date_epoch = kEpoch;
    o.now = 0;
    return o;
}

// The mingw fixture of each kind stands in for the stub.
const char* StubFile(PeMachine arch) { return arch == PeMachine::kAmd64 ? ZSETUP_PE_FIXTURE_X64 : ZSETUP_PE_FIXTURE; }

Bytes Stub(PeMachine arch = PeMachine::kI386) { return ReadFile(StubFile(arch)); }

Bytes Build(const fs::path& manifest_file, PeMachine arch = PeMachine::kI386) {
    ManifestOptions options = Options();
    options.arch = arch;
    Manifest m = ReadManifest(manifest_file, options);
    return BuildSetup(m, Stub(arch), {});
}

TEST(Builder, RecordHoldsEveryFieldAndTableInGbk) {
    ProductDir dir;
    WriteProductFiles(dir);
    const PackageContents c = ReadPackage(Build(dir.Manifest(kManifest)));
    const SetupConfig& r = *c.record;
    EXPECT_EQ(GbkToUtf8(r.ProductName.text()), "演示软件");
    EXPECT_EQ(r.ProductName.text().size(), 8u);  // GBK: two bytes a character
    EXPECT_EQ(r.Version.text(), "2.5.1");
    EXPECT_EQ(GbkToUtf8(r.Author.text()), "演示工作室");
    EXPECT_EQ(r.Site.text(), "http://www.example.com");
    EXPECT_EQ(r.CompanyKeyName.text(), "DemoSoft");
    EXPECT_EQ(GbkToUtf8(r.Introduction.text()), "一个演示用的小程序。\r\n第二行。");
    EXPECT_EQ(GbkToUtf8(r.Category.text()), "工具");
    EXPECT_EQ(GbkToUtf8(r.LegalNotice.text()), "版权所有");
    EXPECT_EQ(r.ReleaseDate.text(), "20261201");
    EXPECT_EQ(r.InstallDate.text(), "20261210");  // from SOURCE_DATE_EPOCH
    EXPECT_EQ(r.SecondDate.text(), "20261202");
    EXPECT_EQ(GbkToUtf8(r.InstallFolder.text()), "C:\\演示软件");

    ASSERT_EQ(r.FileCount, 5);
    const std::int32_t sizes[] = {70000, static_cast<std::int32_t>(std::string(kLicence).size()),
                                  static_cast<std::int32_t>(std::string(kReadme).size()), 3000, 0};
    std::int32_t offset = 0;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(r.Files[i].Offset, offset) << i;  // back to back in table order
        EXPECT_EQ(r.Files[i].Size, sizes[i]) << i;
        offset += sizes[i];
    }
    EXPECT_EQ(GbkToUtf8(r.Files[2].Name.text()), "\\docs\\说明.txt");
    EXPECT_EQ(c.payload->size(), static_cast<std::size_t>(offset));
    EXPECT_EQ(static_cast<std::uint32_t>(r.PackChecksum), c.computed_checksum);

    ASSERT_EQ(r.ShortcutCount, 4);
    EXPECT_EQ(r.Shortcuts[0].Kind, 0);
    EXPECT_EQ(r.Shortcuts[1].Kind, 1);
    EXPECT_EQ(r.Shortcuts[1].Arguments.text(), "/start 1");
    EXPECT_EQ(r.Shortcuts[2].FileIndex, 1);  // names match without letter case
    EXPECT_EQ(r.Shortcuts[3].FileIndex, 2);
    EXPECT_EQ(r.Shortcuts[3].Kind, 2);

    ASSERT_EQ(r.RegistryCount, 3);
    EXPECT_TRUE(r.RegistryEntries[0].CurrentUser);
    EXPECT_EQ(r.RegistryEntries[0].Kind, 1);
    EXPECT_EQ(GbkToUtf8(r.RegistryEntries[0].StringValue.text()), "完整");
    EXPECT_EQ(GbkToUtf8(r.RegistryEntries[0].KeyPath.text()), "\\Software\\DemoSoft\\演示");
    EXPECT_FALSE(r.RegistryEntries[1].CurrentUser);
    EXPECT_EQ(r.RegistryEntries[1].Kind, 2);
    EXPECT_EQ(static_cast<std::uint32_t>(r.RegistryEntries[1].IntValue), 0xFFFFFFFFu);
    EXPECT_EQ(r.RegistryEntries[2].Kind, 0);
    EXPECT_EQ(r.RegistryEntries[2].BoolValue, 1);

    ASSERT_TRUE(c.licence);
    EXPECT_EQ(GbkToUtf8(*c.licence), kLicence);
}

TEST(Builder, ExtractGivesBackTheSourcesByteForByte) {
    ProductDir dir;
    WriteProductFiles(dir);
    const PackageContents c = ReadPackage(Build(dir.Manifest(kManifest)));
    ExtractFiles(c, dir.Path("out"));
    const std::pair<const char*, const char*> files[] = {{"bin/demo.exe", "out/演示.exe"},
                                                         {"licence.txt", "out/licence.txt"},
                                                         {"docs/说明.txt", "out/docs/说明.txt"},
                                                         {"bin/uninstall.exe", "out/uninstall.exe"},
                                                         {"empty.url", "out/网站.url"}};
    for (const auto& [source, extracted] : files)
        EXPECT_EQ(ReadFile(dir.Path(extracted).string()), ReadFile(dir.Path(source).string())) << extracted;
}

// Nothing lands outside the folder: a row the installer skips (its name
// holds "*.", which exempts it from the name checks) is skipped here too, and
// a link already in the folder is not followed out of it.
TEST(Builder, ExtractNeverWritesOutsideItsFolder) {
    ProductDir dir;
    WriteProductFiles(dir);
    const Bytes good = Build(dir.Manifest(kManifest));
    PackageContents c = ReadPackage(good);
    c.record->Files[4].Name.assign("\\..\\..\\escaped*.url");
    const Bytes config = c.record->ToBytes();
    const Bytes skipping = WriteRcData(good, {{"SETUPINI", PackBlob(config.data(), config.size())}});
    EXPECT_TRUE(VerifyProblems(ReadPackage(skipping)).empty()) << "the installer skips the row: nothing to warn of";
    fs::create_directories(dir.Path("a/b"));
    const std::vector<std::string> skipped = ExtractFiles(ReadPackage(skipping), dir.Path("a/b/out"));
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0], "Files[4] \"\\..\\..\\escaped*.url\": its name holds \"*.\", a row the installer skips");
    EXPECT_EQ(ReadFile(dir.Path("a/b/out/演示.exe").string()), ReadFile(dir.Path("bin/demo.exe").string()));
    for (const char* outside : {"a/b/escaped*.url", "a/escaped*.url", "escaped*.url", "a/b/out/escaped*.url"})
        EXPECT_FALSE(fs::exists(dir.Path(outside))) << outside;

    // A folder of the package's that is a link to elsewhere, and a file that is one.
    const struct {
        const char* label;
        const char* link;
        const char* points_at;
        const char* not_written;
    } links[] = {{"a folder", "c/docs", "../elsewhere", "elsewhere/说明.txt"},
                 {"a file", "d/licence.txt", "../elsewhere-file.txt", "elsewhere-file.txt"}};
    for (const auto& l : links) {
        SCOPED_TRACE(l.label);
        fs::create_directories(dir.Path(l.link).parent_path());
        fs::create_directories(dir.Path("elsewhere"));
        fs::create_symlink(l.points_at, dir.Path(l.link));
        EXPECT_THROW(ExtractFiles(ReadPackage(good), dir.Path(l.link).parent_path()), std::runtime_error);
        EXPECT_FALSE(fs::exists(dir.Path(l.not_written)));
    }
}

TEST(Builder, SameInputsGiveTheSameProgram) {
    ProductDir dir;
    WriteProductFiles(dir);
    const Bytes first = Build(dir.Manifest(kManifest));
    EXPECT_EQ(Build(dir.Manifest(kManifest)), first);
    dir.Write("docs/说明.txt", "说明文字!");
    EXPECT_NE(Build(dir.Manifest(kManifest)), first);
}

TEST(Builder, DefaultInstallDateIsTodayWithoutSourceDateEpoch) {
    ProductDir dir;
    WriteProductFiles(dir);
    ManifestOptions o;
    o.now = 951782400;  // 2000-02-29
    EXPECT_EQ(ReadManifest(dir.Manifest(kManifest), o).record->InstallDate.text(), "20000229");
    EXPECT_EQ(DateText(0), "19700101");
    EXPECT_EQ(*SourceDateEpoch("1796860800"), kEpoch);
    EXPECT_FALSE(SourceDateEpoch(nullptr));
    EXPECT_THROW(SourceDateEpoch("yesterday"), ManifestError);
}

// Each case: the baseline manifest with one text replaced, the message the
// builder must give and the line it must name: the line where a marker text
// first appears in the changed manifest (no marker: no line).
struct BadManifest {
    const char* label;
    const char* find;
    std::string replace;
    std::string message;
    std::string line_of;
};

int LineOf(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    EXPECT_NE(at, std::string::npos) << marker;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

const BadManifest kBadManifests[] = {
    {"syntax", "version = \"2.5.1\"", "version = 2.5.1.0", "", "version = 2.5.1.0"},
    {"unknown key", "category = ", "colour = \"red\"\ncategory = ", "product.colour: unknown key", "colour"},
    {"unknown table", "[product]", "[products]\nx = 1\n[product]", "products: unknown key", "[products]"},
    {"missing key", "version = \"2.5.1\"\n", "", "product.version: missing, it is required", "[product]"},
    {"missing licence", "licence = \"licence.txt\"", "", "licence: missing, it is required", ""},
    {"arch of another processor",
     "licence = ", "arch = \"arm64\"\nlicence = ", "arch: \"arm64\" is not \"x86\" or \"x64\"", "arm64"},
    {"arch as a number", "licence = ", "arch = 64\nlicence = ", "arch: expected \"x86\" or \"x64\"", "arch = 64"},
    {"wrong type", "version = \"2.5.1\"", "version = 2", "product.version: expected a text in double quotes",
     "version = 2"},
    {"too long in GBK", "name = \"演示软件\"", "name = \"" + Repeat("演", 65) + "z\"",
     "product.name: 131 bytes in GBK, at most 128", "name = \""},
    {"no GBK form", "author = \"演示工作室\"", "author = \"Ada 😀\"",
     "product.author: \"Ada 😀\" holds a character with no GBK form", "author"},
    {"a line break in a value", "release_date = \"20261201\"", "release_date = \"2026\\n1201\"",
     "product.release_date: \"2026\\n1201\" is not a date written yyyymmdd", "release_date"},
    {"bad date", "release_date = \"20261201\"", "release_date = \"2026-12-1\"",
     "product.release_date: \"2026-12-1\" is not a date written yyyymmdd", "release_date"},
    {"folder with a separator", "default_folder = \"演示软件\"", "default_folder = \"a\\\\b\"",
     "product.default_folder: \"a\\b\" holds a backslash", "default_folder"},
    {"default folder of dots", "default_folder = \"演示软件\"", "default_folder = \"..\"",
     "product.default_folder: \"..\" climbs out of the folder it belongs in", "default_folder"},
    {"product name with a folder", "name = \"演示软件\"", "name = \"..\\\\Startup\"",
     "product.name: \"..\\Startup\" holds a backslash", "Startup"},
    {"company key with a path", "company_key = \"DemoSoft\"", "company_key = \"..\\\\..\\\\Classes\"",
     "product.company_key: \"..\\..\\Classes\" holds a backslash", "company_key"},
    {"shortcut name that climbs", "[[shortcut]]\nname = \"演示软件\"", "[[shortcut]]\nname = \"..\\\\..\\\\x\"",
     "shortcut[0].name: \"..\\..\\x\" holds a backslash", "..\\\\..\\\\x"},
    {"too many shortcuts", "[[registry]]",
     Repeat("[[shortcut]]\nname = \"s\"\ntarget = \"\\\\演示.exe\"\nwhere = \"both\"\n", 253) + "[[registry]]",
     "shortcut: 257 rows, at most 256", "[[shortcut]]"},
    {"installed name too long", "name = \"\\\\licence.txt\"", "name = \"\\\\" + Repeat("x", 131) + "\"",
     "file[1].name: 132 bytes in GBK, at most 131", "xxxxxxxx"},
    {"no leading backslash", "name = \"\\\\licence.txt\"", "name = \"licence.txt\"",
     "file[1].name: \"licence.txt\" does not start with a backslash", "name = \"licence.txt"},
    {"climbs out", "name = \"\\\\licence.txt\"", "name = \"\\\\docs\\\\..\\\\..\\\\x.txt\"",
     "climbs out of the target folder", ".."},
    {"drive colon", "name = \"\\\\licence.txt\"", "name = \"\\\\c:x.txt\"", "holds a drive or stream separator ':'",
     "c:x.txt"},
    {"forward slash", "name = \"\\\\licence.txt\"", "name = \"\\\\docs/x.txt\"", "holds a forward slash",
     "docs/x.txt\""},
    {"same name twice", "name = \"\\\\licence.txt\"", "name = \"\\\\演示.EXE\"",
     "file[1].name: \"\\演示.EXE\" is already file[0]'s name", "演示.EXE"},
    {"wildcard", "name = \"\\\\licence.txt\"", "name = \"\\\\*.txt\"",
     "file[1].name: \"\\*.txt\" has \"*.txt\", which holds '*', which Windows refuses in a name", "*.txt"},
    {"question mark", "name = \"\\\\licence.txt\"", "name = \"\\\\a?.txt\"", "which holds '?'", "a?.txt"},
    {"trailing dot", "name = \"\\\\licence.txt\"", "name = \"\\\\演示.exe.\"",
     "file[1].name: \"\\演示.exe.\" has \"演示.exe.\", which ends with a dot or a blank", "演示.exe."},
    {"device name", "name = \"\\\\licence.txt\"", "name = \"\\\\docs\\\\Con.txt\"",
     "which is the name of a Windows device", "Con.txt"},
    {"a file where another row makes a folder", "name = \"\\\\licence.txt\"", "name = \"\\\\docs\"",
     "file[2].name: \"\\docs\\说明.txt\" lies in a folder that is file[1]'s file", "\\\\docs\\\\说明"},
    {"target not a file", "target = \"\\\\LICENCE.TXT\"", "target = \"\\\\readme.txt\"",
     "shortcut[2].target: \"\\readme.txt\" is not the name of any [[file]]", "readme.txt"},
    {"bad where", "where = \"both\"", "where = \"start menu\"",
     "shortcut[3].where: \"start menu\" is not one of \"desktop\", \"programs\", \"both\"", "start menu"},
    {"bad root", "root = \"hkcu\"", "root = \"hkcr\"", "registry[0].root: \"hkcr\" is not \"hkcu\" or \"hklm\"",
     "hkcr"},
    {"bad type", "type = \"bool\"", "type = \"dword\"",
     "registry[2].type: \"dword\" is not \"bool\", \"string\" or \"int\"", "dword"},
    {"int out of range", "value = -1", "value = 4294967296",
     "registry[1].value: expected a whole number from -2147483648 to 4294967295", "4294967296"},
    {"bool as text", "value = true", "value = \"yes\"", "registry[2].value: expected true or false", "\"yes\""},
    // The [maker] table, put before the first shortcut.
    {"maker unknown key", "[[shortcut]]", "[maker]\ncolour = 1\n[[shortcut]]", "maker.colour: unknown key", "colour"},
    {"maker text over its limit", "[[shortcut]]", "[maker]\ncaption = \"" + Repeat("演", 33) + "\"\n[[shortcut]]",
     "maker.caption: 66 bytes in GBK, at most 64", "caption"},
    {"maker name too long for the title", "[[shortcut]]", "[maker]\nname = \"" + Repeat("演", 29) + "\"\n[[shortcut]]",
     "maker.name: 66 bytes in GBK, at most 64", "name = \"演演"},
    {"maker run file not in the table", "[[shortcut]]", "[maker]\nrun = \"\\\\nope.exe\"\n[[shortcut]]",
     "maker.run: \"\\nope.exe\" is not the name of any [[file]]", "nope.exe"},
    {"maker site with a path", "[[shortcut]]", "[maker]\nsite = \"http://a/b\"\n[[shortcut]]",
     "maker.site: not http:// or https:// and a host", "[maker]"},
    {"maker programs not texts", "[[shortcut]]", "[maker]\nprograms = [1]\n[[shortcut]]",
     "maker.programs: expected a list of texts in double quotes", "programs"},
    {"maker folder root of another kind", "[[shortcut]]", "[maker]\nfolder_root = \"home\"\n[[shortcut]]",
     "maker.folder_root: expected \"drive\" or \"program_files\"", "folder_root"},
    {"maker folder root as a switch", "[[shortcut]]", "[maker]\nfolder_root = true\n[[shortcut]]",
     "maker.folder_root: expected \"drive\" or \"program_files\"", "folder_root"},
    {"uninstall entry with an unknown key", "[[shortcut]]", "[uninstall_entry]\nsize = 5\n[[shortcut]]",
     "uninstall_entry.size: unknown key", "size"},
    {"uninstall entry icon of no file", "[[shortcut]]", "[uninstall_entry]\nicon = \"\\\\none.exe\"\n[[shortcut]]",
     "uninstall_entry.icon: \"\\none.exe\" is not the name of any [[file]]", "icon"},
    {"uninstall entry link of another scheme", "[[shortcut]]",
     "[uninstall_entry]\nhelp_link = \"ftp://demo.example.org\"\n[[shortcut]]",
     "uninstall_entry.help_link: not an http:// or https:// address", "help_link"},
    {"uninstall entry as a key", "[product]", "uninstall_entry = true\n[product]",
     "uninstall_entry: expected an [uninstall_entry] table", "uninstall_entry"},
    {"maker switch as text", "[[shortcut]]", "[maker]\nopen_folder = \"no\"\n[[shortcut]]",
     "maker.open_folder: expected true or false", "open_folder"},
    {"registry text too long", "value = \"完整\"", "value = \"" + Repeat("完", 66) + "\"",
     "registry[0].value: 132 bytes in GBK, at most 130", "value = \"完完"},
    // Text that toml++ 3.3.0 misreads (undefined behaviour) is refused before it reads it.
    {"character outside quotes", "version = \"2.5.1\"", "version = \"2.5.1\"。",
     "\"。\" (U+3002) stands outside quotes, where TOML allows only ASCII", "2.5.1\"。"},
    {"continued line starting with a full stop", "category = ", "notes = \"\"\"x\\\n  。\"\"\"\ncategory = ",
     "\"。\" (U+3002) cannot start a line continued by a backslash", "  。"},
    {"table header without a name", "[[shortcut]]", "[[[shortcut]]]", "a [table] header needs a name, not \"[\"",
     "[[[shortcut"},
};

class BadManifestTest : public ::testing::TestWithParam<BadManifest> {};

TEST_P(BadManifestTest, IsRefusedNamingKeyValueAndLine) {
    const BadManifest& bad = GetParam();
    std::string text = kManifest;
    const std::size_t at = text.find(bad.find);
    ASSERT_NE(at, std::string::npos) << bad.find;
    text.replace(at, std::string(bad.find).size(), bad.replace);
    ProductDir dir;
    WriteProductFiles(dir);
    const fs::path file = dir.Manifest(text);
    try {
        ReadManifest(file, Options());
        FAIL() << "accepted";
    } catch (const ManifestError& e) {
        const std::string where =
            file.string() + (bad.line_of.empty() ? std::string() : ":" + std::to_string(LineOf(text, bad.line_of))) +
            ": ";
        const std::string message = "\n" + std::string(e.what()) + "\n";
        const std::size_t found = message.find(bad.message);
        ASSERT_NE(found, std::string::npos) << message;
        const std::size_t line_start = message.rfind('\n', found) + 1;
        EXPECT_EQ(message.substr(line_start, where.size()), where) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BadManifestTest, ::testing::ValuesIn(kBadManifests), zsetup::testing::LabelName());

TEST(Builder, ReportsEveryProblemAtOnce) {
    ProductDir dir;
    WriteProductFiles(dir);
    std::string text = kManifest;
    text.replace(text.find("version = \"2.5.1\"\n"), 18, "");
    text.replace(text.find("where = \"both\""), 14, "where = \"nowhere\"");
    try {
        ReadManifest(dir.Manifest(text), Options());
        FAIL() << "accepted";
    } catch (const ManifestError& e) {
        EXPECT_NE(std::string(e.what()).find("product.version: missing"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("shortcut[3].where"), std::string::npos) << e.what();
    }
}

// "癆" and "癮" are 0xB0 0x41 and 0xB0 0x61 in GBK: their second bytes look
// like 'A' and 'a' but Windows never folds them, so they are two names.
TEST(Builder, NamesThatDifferOnlyInATrailByteAreTwoFiles) {
    ProductDir dir;
    WriteProductFiles(dir);
    std::string text = kManifest;
    const auto replace = [&text](const std::string& from, const std::string& to) {
        text.replace(text.find(from), from.size(), to);
    };
    replace("name = \"\\\\licence.txt\"", "name = \"\\\\癆.txt\"");
    replace("name = \"\\\\网站.url\"", "name = \"\\\\癮.txt\"");
    replace("target = \"\\\\LICENCE.TXT\"", "target = \"\\\\癆.TXT\"");
    Manifest m = ReadManifest(dir.Manifest(text), Options());
    EXPECT_EQ(m.record->Files[1].Name.text(), "\\\xB0\x41.txt");
    EXPECT_EQ(m.record->Files[4].Name.text(), "\\\xB0\x61.txt");
    EXPECT_EQ(m.record->Shortcuts[2].FileIndex, 1);  // ASCII letters still fold
}

TEST(Builder, MissingSourcesAreNamedWithTheirLines) {
    ProductDir dir;
    WriteProductFiles(dir);
    fs::remove(dir.Path("docs/说明.txt"));
    fs::remove(dir.Path("bin/uninstall.exe"));
    fs::create_directories(dir.Path("bin/uninstall.exe"));  // a folder is no file either
    Manifest m = ReadManifest(dir.Manifest(kManifest), Options());
    try {
        BuildSetup(m, Stub(), {});
        FAIL() << "built";
    } catch (const ManifestError& e) {
        const std::string message = e.what();
        EXPECT_NE(
            message.find(": file[2].source: cannot read \"" + dir.Path("docs/说明.txt").string() + "\" (no such file)"),
            std::string::npos)
            << message;
        EXPECT_NE(message.find(": file[3].source: cannot read"), std::string::npos) << message;
        EXPECT_EQ(message.find("file[0]"), std::string::npos) << message;
    }
}

// The licence is read with the manifest: its problems are listed with the
// others, its stand-ins are warnings and its encoding a note, each with the
// licence key's line.
TEST(Builder, LicenceMustHaveAGbkForm) {
    ProductDir dir;
    WriteProductFiles(dir);
    dir.Write("licence.txt", "\xEF\xBB\xBF许可 ✓ 😀");
    try {
        ReadManifest(dir.Manifest(kManifest), Options());
        ADD_FAILURE() << "accepted";
    } catch (const ManifestError& e) {
        EXPECT_NE(std::string(e.what()).find(":1: licence: \"" + dir.Path("licence.txt").u8string() +
                                             "\": line 1, column 6: \"😀\" (U+1F600) has no GBK form"),
                  std::string::npos)
            << e.what();
    }
    dir.Write("licence.txt", "\xEF\xBB\xBF许可");  // a byte-order mark is dropped
    Manifest ok = ReadManifest(dir.Manifest(kManifest), Options());
    EXPECT_TRUE(ok.notes.empty());
    EXPECT_EQ(GbkToUtf8(*ReadPackage(BuildSetup(ok, Stub(), {})).licence), "许可");

    dir.Write("licence.txt", std::string("\xFF\xFE\xA9\x00 \x00", 6));  // "© " in UTF-16 LE
    Manifest stood_in = ReadManifest(dir.Manifest(kManifest), Options());
    EXPECT_EQ(stood_in.licence_text, "(C) ");
    ASSERT_EQ(stood_in.warnings.size(), 1u);
    EXPECT_NE(stood_in.warnings[0].find(":1: warning: licence: "), std::string::npos) << stood_in.warnings[0];
    ASSERT_EQ(stood_in.notes.size(), 1u);
    EXPECT_NE(stood_in.notes[0].find(":1: note: licence: "), std::string::npos) << stood_in.notes[0];
    EXPECT_NE(stood_in.notes[0].find("read as UTF-16 LE"), std::string::npos) << stood_in.notes[0];
}

TEST(Builder, PayloadOver2GiBIsRefusedBeforeAnythingIsRead) {
    ProductDir dir;
    WriteProductFiles(dir);
    // Sparse files: sizes count, nothing is packed before the check.
    for (const char* big : {"bin/demo.exe", "bin/uninstall.exe"}) fs::resize_file(dir.Path(big), 0x40000000);
    Manifest m = ReadManifest(dir.Manifest(kManifest), Options());
    try {
        BuildSetup(m, Stub(), {});
        FAIL() << "built";
    } catch (const ManifestError& e) {
        EXPECT_NE(std::string(e.what()).find("the payload is over 2 GiB (2147483700 bytes by file[3].source), at most "
                                             "2147483647"),
                  std::string::npos)
            << e.what();
    }
}

TEST(Builder, VerifyFindsABadChecksumAndABadRecord) {
    ProductDir dir;
    WriteProductFiles(dir);
    const Bytes good = Build(dir.Manifest(kManifest));
    EXPECT_TRUE(VerifyProblems(ReadPackage(good)).empty());

    PackageContents c = ReadPackage(good);
    c.record->PackChecksum += 1;
    c.record->Files[4].Name.assign("\\..\\x.url");
    const Bytes config = c.record->ToBytes();
    const Bytes bad = WriteRcData(good, {{"SETUPINI", PackBlob(config.data(), config.size())}});
    const auto problems = VerifyProblems(ReadPackage(bad));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("Files[4].Name"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("PackChecksum: stored"), std::string::npos) << problems[1];
    EXPECT_THROW(ExtractFiles(ReadPackage(bad), dir.Path("out")), std::runtime_error);
    EXPECT_FALSE(fs::exists(dir.Path("out")));
}

// The build writes the packed payload's SHA-256 beside it (so the stub may read
// the payload from its file); verify names a digest that does not fit.
TEST(Builder, WritesThePayloadsDigestAndVerifyChecksIt) {
    ProductDir dir;
    WriteProductFiles(dir);
    const Bytes good = Build(dir.Manifest(kManifest));
    const PackageContents c = ReadPackage(good);
    const auto pack = FindRcData(good, "SETUPPACK");
    ASSERT_TRUE(pack);
    Sha256 sha;
    sha.Add(pack->data(), pack->size());
    const Sha256Digest digest = sha.Finish();
    EXPECT_EQ(FindRcData(good, kPayloadDigestResource), Bytes(digest.begin(), digest.end()));
    EXPECT_EQ(c.digest_matches, true);

    Bytes other(digest.begin(), digest.end());
    other[0] ^= 1;
    const auto problems = VerifyProblems(ReadPackage(WriteRcData(good, {{kPayloadDigestResource, other}})));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("SETUPDIGEST: not the SHA-256 of SETUPPACK"), std::string::npos) << problems[0];
}

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A JPEG as far as its frame header: enough for the size check.
std::string JpegHead(int width, int height) {
    return std::string("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xC0\x00\x11\x08", 13) + char(height >> 8) +
           char(height & 0xFF) + char(width >> 8) + char(width & 0xFF) + std::string(12, '\x01') + "\xFF\xD9";
}

std::string WithMaker(const std::string& maker) {
    std::string text = kManifest;
    text.replace(text.find("[[shortcut]]"), 12, "[maker]\n" + maker + "[[shortcut]]");
    return text;
}

TEST(Builder, MakerTableBecomesTheProfileThatInspectShowsAndVerifyChecks) {
    ProductDir dir;
    WriteProductFiles(dir);
    dir.Write("art/licence.jpg", JpegHead(233, 89));
    dir.Write("art/finish.jpg", JpegHead(73, 75));
    const Bytes setup = Build(dir.Manifest(WithMaker(R"(name = "演示"
site = "https://demo.example.org"
tutorial = false
programs = ["demo.exe"]
licence_inline = true
run = "\\演示.EXE"
open_folder = false
folder_root = "program_files"
licence_picture = "art/licence.jpg"
finish_picture = "art/finish.jpg"
)")));
    const PackageContents c = ReadPackage(setup);
    ASSERT_TRUE(c.maker.has_value()) << c.maker_refusal;
    const MakerProfile& p = *c.maker;
    EXPECT_EQ(p.page_title, std::optional<std::string>("\xD1\xDD\xCA\xBE\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2"));
    EXPECT_EQ(p.credit, std::optional<std::string>("\xD1\xDD\xCA\xBE \xB3\xF6\xC6\xB7"));
    EXPECT_EQ(p.already_installed->substr(0, 7), "   \xD1\xDD\xCA\xBE");
    EXPECT_FALSE(p.caption.has_value());
    EXPECT_EQ(p.site_text, std::optional<std::string>("demo.example.org"));
    EXPECT_TRUE(p.no_tutorial);
    EXPECT_EQ(p.processes, std::optional<std::vector<std::string>>({"demo.exe"}));
    EXPECT_TRUE(p.licence_inline);
    EXPECT_EQ(p.run_file, std::optional<int>(0));
    EXPECT_TRUE(p.keep_folder_closed);
    EXPECT_EQ(FindRcData(setup, "LICENCEART"), std::optional<Bytes>(ToBytes(JpegHead(233, 89))));
    EXPECT_EQ(FindRcData(setup, "FINISHART"), std::optional<Bytes>(ToBytes(JpegHead(73, 75))));
    EXPECT_TRUE(VerifyProblems(c).empty());

    std::ostringstream text;
    WriteTextReport(c, text);
    EXPECT_NE(text.str().find("Maker profile (SETUPMAKER):\n  page_title: \"演示安装程序\"\n"), std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find("  run: \"0 \\演示.exe\"\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("  open_folder: \"no\"\n  folder_root: \"program_files\"\n"), std::string::npos)
        << text.str();
    EXPECT_EQ(p.folder_root, FolderRoot::kProgramFiles);

    // A damaged profile, and one whose run file is no row: verify names both.
    Bytes damaged = WriteMakerProfile(p);
    damaged[4] = 9;
    const auto broken = VerifyProblems(ReadPackage(WriteRcData(setup, {{"SETUPMAKER", damaged}})));
    EXPECT_EQ(broken, std::vector<std::string>{"SETUPMAKER: version 9 is not known"});
    MakerProfile far = p;
    far.run_file = 200;
    const auto no_row = VerifyProblems(ReadPackage(WriteRcData(setup, {{"SETUPMAKER", WriteMakerProfile(far)}})));
    EXPECT_EQ(no_row, std::vector<std::string>{"SETUPMAKER: run file: row 200 is not an installed file"});
}

// [uninstall_entry] asks for the complete entry: with a [maker] table it joins
// its profile, without one it is a profile of its own that changes nothing else.
TEST(Builder, UninstallEntryTableAsksForTheCompleteEntry) {
    const std::string entry =
        "[uninstall_entry]\nicon = \"\\\\演示.exe\"\nhelp_link = \"https://demo.example.org/help\"\n";
    for (const bool with_maker : {false, true}) {
        SCOPED_TRACE(with_maker ? "with [maker]" : "alone");
        ProductDir dir;
        WriteProductFiles(dir);
        std::string manifest = with_maker ? WithMaker("name = \"演示\"\n") : std::string(kManifest);
        manifest.replace(manifest.find("[[shortcut]]"), 12, entry + "[[shortcut]]");
        const PackageContents c = ReadPackage(Build(dir.Manifest(manifest)));
        ASSERT_TRUE(c.maker.has_value()) << c.maker_refusal;
        EXPECT_TRUE(c.maker->complete_entry);
        EXPECT_EQ(c.maker->entry_icon, std::optional<int>(0));
        EXPECT_EQ(c.maker->help_link, std::optional<std::string>("https://demo.example.org/help"));
        EXPECT_FALSE(c.maker->update_link);
        EXPECT_EQ(c.maker->page_title.has_value(), with_maker);
        EXPECT_EQ(c.maker->licence_inline, with_maker);
        EXPECT_TRUE(VerifyProblems(c).empty());
        std::ostringstream text;
        WriteTextReport(c, text);
        EXPECT_NE(text.str().find("  uninstall_entry: \"complete\"\n  uninstall_entry_icon: \"0 \\演示.exe\"\n"),
                  std::string::npos)
            << text.str();
    }
}

// With a [maker] table the licence shows inline unless the table says not;
// without one there is no profile, and page 1 keeps its link.
TEST(Builder, LicenceInlineByDefaultWithAMakerTable) {
    const struct {
        const char* label;
        std::optional<std::string> maker;    // the [maker] table's lines; none: no table
        std::optional<bool> licence_inline;  // none: no profile
    } cases[] = {
        {"no table", std::nullopt, std::nullopt},
        {"table without the key", "credit = \"x\"\n", true},
        {"empty table", "", true},
        {"key false", "licence_inline = false\n", false},
        {"key true", "licence_inline = true\n", true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        ProductDir dir;
        WriteProductFiles(dir);
        const Manifest m = ReadManifest(dir.Manifest(k.maker ? WithMaker(*k.maker) : kManifest), Options());
        ASSERT_EQ(m.maker.profile.has_value(), k.licence_inline.has_value());
        if (m.maker.profile) {
            EXPECT_EQ(m.maker.profile->licence_inline, *k.licence_inline);
        }
    }
}

TEST(Builder, NoMakerTableNoProfile) {
    ProductDir dir;
    WriteProductFiles(dir);
    const PackageContents c = ReadPackage(Build(dir.Manifest(kManifest)));
    EXPECT_FALSE(c.has_maker);
    std::ostringstream text;
    WriteTextReport(c, text);
    EXPECT_EQ(text.str().find("Maker"), std::string::npos);
}

// Two images: the ICO directory, then "AAAA" and "BBBBBB".
std::string TwoImageIco() {
    std::string ico("\0\0\1\0\2\0", 6);
    auto entry = [&](char side, std::uint32_t size, std::uint32_t offset) {
        ico += std::string{side, side, 0, 0, 1, 0, 32, 0};
        for (std::uint32_t v : {size, offset})
            for (int i = 0; i < 4; ++i) ico += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    entry(16, 4, 38);
    entry(32, 6, 42);
    return ico + "AAAABBBBBB";
}

TEST(Builder, MakerIconBecomesTheProgramsIconGroup) {
    ProductDir dir;
    WriteProductFiles(dir);
    dir.Write("art/p.ico", TwoImageIco());
    const Bytes setup = Build(dir.Manifest(WithMaker("icon = \"art/p.ico\"\n")));
    const ResourceTree tree = ReadResourceTree(setup, ParsePeImage(setup));
    std::map<std::uint32_t, std::map<std::uint32_t, std::string>> found;  // type -> id -> bytes
    for (const ResourceType& t : tree)
        for (const ResourceEntry& e : t.entries)
            found[t.type.id][e.name.id] = std::string(e.languages.at(0).bytes.begin(), e.languages.at(0).bytes.end());
    const std::string ico = TwoImageIco();
    const std::string group =
        ico.substr(0, 6) + ico.substr(6, 12) + std::string("\1\0", 2) + ico.substr(22, 12) + std::string("\2\0", 2);
    EXPECT_EQ(found[14], (std::map<std::uint32_t, std::string>{{1, group}}));
    EXPECT_EQ(found[3], (std::map<std::uint32_t, std::string>{{1, "AAAA"}, {2, "BBBBBB"}}));

    for (const std::string& bad : {std::string("GIF89a"), ico.substr(0, 30), ico.substr(0, 40)}) {
        dir.Write("art/p.ico", bad);
        const std::string text = WithMaker("icon = \"art/p.ico\"\n");
        const fs::path file = dir.Manifest(text);
        Manifest m = ReadManifest(file, Options());
        try {
            BuildSetup(m, Stub(), {});
            ADD_FAILURE() << "built with " << bad.size() << " bytes of icon";
        } catch (const ManifestError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(
                          file.string() + ":" + std::to_string(LineOf(text, "icon")) + ": maker.icon: ", 0),
                      0u)
                << e.what();
        }
    }
}

TEST(Builder, MakerPicturesAreJpegsOfTheirPlacesSize) {
    struct Case {
        const char* label;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"another size", JpegHead(233, 90), "maker.licence_picture: the picture is 233 x 90, its place is 233 x 89"},
        {"no JPEG", "GIF89a", "\" is not a JPEG picture"},
        {"no frame before the data", std::string("\xFF\xD8\xFF\xDA\x00\x02", 6), "is not a JPEG picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ProductDir dir;
        WriteProductFiles(dir);
        dir.Write("art.jpg", c.bytes);
        const std::string text = WithMaker("licence_picture = \"art.jpg\"\n");
        const fs::path file = dir.Manifest(text);
        Manifest m = ReadManifest(file, Options());
        try {
            BuildSetup(m, Stub(), {});
            FAIL() << "built";
        } catch (const ManifestError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(file.string() + ":" + std::to_string(LineOf(text, "licence_picture")) + ": ", 0), 0u)
                << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
        }
    }
}

// Every package can be taken away: the built-in uninstaller goes in as the
// last row unless the product brings its own or asks for none, and inspect says which.
TEST(Builder, CarriesTheBuiltInUninstallerUnlessTheProductSaysOtherwise) {
    const std::string own_row = "[[file]]\nsource = \"bin/uninstall.exe\"\nname = \"\\\\uninstall.exe\"\n\n";
    std::string without_own = kManifest;
    ASSERT_NE(without_own.find(own_row), std::string::npos);
    without_own.erase(without_own.find(own_row), own_row.size());
    const struct {
        const char* label;
        std::string manifest;
        int files;
        const char* kind;
    } cases[] = {
        {"built-in", without_own, 5, "built-in"},
        {"own", kManifest, 5, "own"},
        {"none", "uninstaller = false\n" + without_own, 4, "none"},
        {"own, and none asked for", "uninstaller = false\n" + std::string(kManifest), 5, "own"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        ProductDir dir;
        WriteProductFiles(dir);
        const Bytes uninstaller = WriteRcData(Stub(), {{"ZSETUPUNINSTALL", {'1'}}});
        WriteFile(dir.Path("zsetup-uninstall.exe").string(), std::string(uninstaller.begin(), uninstaller.end()));
        ManifestOptions options = Options();
        options.uninstaller = [&](PeMachine) { return dir.Path("zsetup-uninstall.exe"); };
        Manifest m = ReadManifest(dir.Manifest(k.manifest), options);
        const PackageContents c = ReadPackage(BuildSetup(m, Stub(), {}));
        EXPECT_EQ(c.record->FileCount, k.files);
        EXPECT_EQ(ReadPackedUninstaller(c).kind, k.kind);
        if (std::string(k.kind) != "built-in") continue;
        const FileEntry& last = c.record->Files[k.files - 1];
        EXPECT_EQ(last.Name.text(), "\\uninstall.exe");
        EXPECT_EQ(RowBytes(c, last), uninstaller);
    }
}

TEST(Builder, TheUninstallerNeedsARowAndAYesOrNo) {
    ProductDir dir;
    WriteProductFiles(dir);
    std::string full = "[product]\nname = \"演示软件\"\n";
    for (std::size_t i = 0; i < kMostFiles; ++i)
        full += "[[file]]\nsource = \"licence.txt\"\nname = \"\\\\f" + std::to_string(i) + ".txt\"\n";
    const struct {
        const char* label;
        std::string manifest;
        const char* problem;
    } cases[] = {
        {"at the limit", full, "65536 files leave no room for the built-in uninstaller; give uninstaller = false"},
        {"not a boolean", "uninstaller = \"yes\"\n" + std::string(kManifest),
         "product.toml:1: uninstaller: expected true or false"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        try {
            ReadManifest(dir.Manifest(k.manifest), Options());
            ADD_FAILURE() << "accepted";
        } catch (const ManifestError& e) {
            EXPECT_NE(std::string(e.what()).find(k.problem), std::string::npos) << e.what();
        }
    }
}

// The command-line program: exit codes, nothing written on failure, readers
// that share no code with ours.
class Cli : public ::testing::Test {
protected:
    ToolRun Zsetup(const std::string& args) {
        return Capture("SOURCE_DATE_EPOCH=1796860800 '" + std::string(ZSETUP_PROGRAM) + "' " + args + " 2>/dev/null");
    }
    ToolRun ZsetupWithErrors(const std::string& args) {
        return Capture("SOURCE_DATE_EPOCH=1796860800 '" + std::string(ZSETUP_PROGRAM) + "' " + args);
    }
    std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }
};

// A build of each kind, with the objdump that reads that kind.
struct BuildKind {
    const char* label;
    PeMachine arch;
    const char* option;  // x86 is the default
    const char* objdump;
};

void PrintTo(const BuildKind& k, std::ostream* os) { *os << k.label; }

class CliOfEachKind : public Cli, public ::testing::WithParamInterface<BuildKind> {};

TEST_P(CliOfEachKind, BuildsAProgramThatIndependentReadersAccept) {
    const PeMachine arch = GetParam().arch;
    ProductDir dir;
    WriteProductFiles(dir);
    const fs::path manifest = dir.Manifest(kManifest);
    const fs::path setup = dir.Path("setup.exe");
    const ToolRun run = ZsetupWithErrors("build " + Q(manifest) + " -o " + Q(setup) + GetParam().option + " --stub " +
                                         Q(StubFile(arch)));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("packing:"), std::string::npos) << "no progress when stderr is no terminal";
    EXPECT_EQ(run.output.rfind("built \"", 0), 0u) << run.output;
    const Bytes image = ReadFile(setup.string());
    EXPECT_EQ(image, Build(manifest, arch));
    EXPECT_EQ(ProgramMachine(image), arch);

    const ToolRun objdump = Capture(std::string(GetParam().objdump) + " -p " + Q(setup));
    ASSERT_EQ(objdump.status, 0) << objdump.output;
    EXPECT_NE(objdump.output.find("Resource Directory"), std::string::npos);
    const auto listed = ListedRcData(ZSETUP_WRESTOOL, setup.string());
    for (const char* name : {"SETUPINI", "SETUPPACK", "PROTOCOL"}) {
        ASSERT_TRUE(listed.count(name)) << name;
        EXPECT_EQ(listed.at(name), FindRcData(image, name)->size()) << name;
    }
    // wrestool's own extraction of SETUPINI unpacks to our record.
    const fs::path raw = dir.Path("setupini.bin");
    ASSERT_EQ(
        Capture(std::string(ZSETUP_WRESTOOL) + " -x --raw --type=10 --name=SETUPINI -o " + Q(raw) + " " + Q(setup))
            .status,
        0);
    Bytes blob = ReadFile(raw.string());
    blob = UnpackBlob(blob.data(), blob.size());
    EXPECT_EQ(blob, ReadPackage(image).record->ToBytes());

    EXPECT_EQ(Zsetup("verify " + Q(setup)).status, 0);
    const ToolRun json = Zsetup("inspect --json " + Q(setup));
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.output.find("\"ProductName\": \"演示软件\""), std::string::npos) << json.output;
    EXPECT_NE(json.output.find("\"FileCount\": 5"), std::string::npos);
    const ToolRun text = Zsetup("inspect " + Q(setup));
    EXPECT_NE(text.output.find("[2] \"\\docs\\说明.txt\" offset 70040 size 12"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("(match)"), std::string::npos);

    ASSERT_EQ(Zsetup("extract " + Q(setup) + " " + Q(dir.Path("x"))).status, 0);
    EXPECT_EQ(ReadFile(dir.Path("x/演示.exe").string()), ReadFile(dir.Path("bin/demo.exe").string()));
}

INSTANTIATE_TEST_SUITE_P(Kinds, CliOfEachKind,
                         ::testing::Values(BuildKind{"x86", PeMachine::kI386, "", ZSETUP_OBJDUMP},
                                           BuildKind{"x64", PeMachine::kAmd64, " --arch x64", ZSETUP_OBJDUMP_X64}),
                         [](const ::testing::TestParamInfo<BuildKind>& info) { return std::string(info.param.label); });

// On a terminal the builder shows how far packing is; `script` gives it one.
TEST_F(Cli, ShowsProgressOnATerminalOnly) {
    ProductDir dir;
    WriteProductFiles(dir);
    const std::string build = "'" + std::string(ZSETUP_PROGRAM) + "' build " + Q(dir.Manifest(kManifest)) + " -o " +
                              Q(dir.Path("setup.exe")) + " --stub '" ZSETUP_PE_FIXTURE "'";
    const ToolRun tty = Capture("script -qec \"" + build + "\" /dev/null");
    ASSERT_EQ(tty.status, 0) << tty.output;
    EXPECT_NE(tty.output.find("packing: 5/5 files, 0.1/0.1 MB"), std::string::npos) << tty.output;
    EXPECT_NE(tty.output.find("MB/s"), std::string::npos) << tty.output;
}

TEST_F(Cli, FailuresWriteNothingAndSayWhy) {
    ProductDir dir;
    WriteProductFiles(dir);
    const fs::path setup = dir.Path("setup.exe");
    const std::string stub = " --stub '" ZSETUP_PE_FIXTURE "'";
    std::string bad = kManifest;
    bad.replace(bad.find("version"), 7, "versio");
    const ToolRun input = ZsetupWithErrors("build " + Q(dir.Manifest(bad, "bad.toml")) + " -o " + Q(setup) + stub);
    EXPECT_EQ(input.status, 2);
    EXPECT_NE(input.output.find("product.versio: unknown key"), std::string::npos) << input.output;

    const fs::path manifest = dir.Manifest(kManifest);
    dir.Write("not-a-program.exe", "MZ but nothing more");
    const ToolRun stubRun =
        ZsetupWithErrors("build " + Q(manifest) + " -o " + Q(setup) + " --stub " + Q(dir.Path("not-a-program.exe")));
    EXPECT_EQ(stubRun.status, 1);
    EXPECT_NE(stubRun.output.find("not a Windows program"), std::string::npos) << stubRun.output;
    EXPECT_EQ(
        ZsetupWithErrors("build " + Q(manifest) + " -o " + Q(setup) + " --stub " + Q(dir.Path("none.exe"))).status, 1);
    EXPECT_FALSE(fs::exists(setup));

    // A failed build leaves an existing output as it was.
    dir.Write("setup.exe", "previous");
    EXPECT_EQ(Zsetup("build " + Q(dir.Path("bad.toml")) + " -o " + Q(setup) + stub).status, 2);
    EXPECT_EQ(ReadFile(setup.string()), Bytes({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    EXPECT_EQ(Zsetup("build " + Q(manifest) + " -o " + Q(setup) + stub).status, 0);
    EXPECT_EQ(ReadFile(setup.string()), Build(manifest));
    EXPECT_FALSE(fs::exists(setup.string() + ".partial"));

    EXPECT_EQ(Zsetup("").status, 2);
    EXPECT_EQ(Zsetup("build").status, 2);
    EXPECT_EQ(Zsetup("inspect " + Q(dir.Path("licence.txt"))).status, 2);  // no installer at all
    EXPECT_EQ(
        Capture("SOURCE_DATE_EPOCH=soon '" + std::string(ZSETUP_PROGRAM) + "' build " + Q(manifest) + stub).status, 2);
}

// What the tool is given on its command line is checked before it reads a
// source: no stub that cannot be an installer, no output that would
// overwrite what the build reads, no output folder that is not there.
TEST_F(Cli, BadInputOnTheCommandLineIsRefusedWithExitTwo) {
    ProductDir dir;
    WriteProductFiles(dir);
    const fs::path manifest = dir.Manifest(kManifest);
    dir.Write("stub.exe", ReadFileText(ZSETUP_PE_FIXTURE));
    const struct {
        const char* label;
        std::string output;
        std::string stub;
        std::string message;
    } cases[] = {
        {"a DLL as the stub", dir.Path("setup.exe").string(), ZSETUP_PE_FIXTURE_DLL, "it is a DLL, not a program"},
        {"a console program as the stub", dir.Path("setup.exe").string(), ZSETUP_PE_FIXTURE_CONSOLE,
         "it is a console program"},
        {"the output is the stub", dir.Path("stub.exe").string(), dir.Path("stub.exe").string(), "is the stub itself"},
        {"the output is the stub by another name", dir.Path("bin/../stub.exe").string(), dir.Path("stub.exe").string(),
         "is the stub itself"},
        {"the output is a source", dir.Path("docs/说明.txt").string(), ZSETUP_PE_FIXTURE, "is file[2].source"},
        {"the output is the manifest", manifest.string(), ZSETUP_PE_FIXTURE, "is the manifest itself"},
        {"the output folder is missing", dir.Path("nowhere/setup.exe").string(), ZSETUP_PE_FIXTURE,
         "the folder \"" + dir.Path("nowhere").string() + "\" does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string before = fs::exists(c.output) ? ReadFileText(c.output) : "";
        const ToolRun run = ZsetupWithErrors("build " + Q(manifest) + " -o " + Q(c.output) + " --stub " + Q(c.stub));
        EXPECT_EQ(run.status, 2) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_EQ(fs::exists(c.output) ? ReadFileText(c.output) : "", before) << "nothing written";
    }
    EXPECT_FALSE(fs::exists(dir.Path("setup.exe")));
}

}  // namespace
}  // namespace zsetup
