// The command line as a user meets it with a real product: the summary and
// the quiet build, --strict, --version, 32-bit and 64-bit builds (--arch and
// the manifest's arch key), the version resource read back by tools of their
// own, an Authenticode round trip through osslsigncode, and files that are
// no zsetup installer, in words and in JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <ostream>
#include <sstream>
#include <string>

#include "builder/manifest.h"
#include "builder/package_reader.h"
#include "builder/program_manifest.h"
#include "package/install_scope.h"
#include "package/setup_map.h"
#include "pe/resource_writer.h"
#include "pe/pe_image.h"
#include "pe/pe_machine.h"
#include "builder/version_info.h"
#include "tests/builder/native_tools.h"
#include "tests/builder/package_in_memory.h"
#include "tests/builder/product_dir.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;
using namespace zsetup::testing;

// The bytes of `objdump -s`: lines of an address (wider for a 64-bit
// program), up to four groups of hex digits, two blanks, then the text.
Bytes DumpedBytes(const std::string& dump) {
    Bytes bytes;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < 2 || line[0] != ' ' || !std::isxdigit(static_cast<unsigned char>(line[1]))) continue;
        std::istringstream groups(line.substr(0, line.find("  ", 1)));
        std::string address, group;
        groups >> address;
        while (groups >> group && group.size() % 2 == 0 &&
               group.find_first_not_of("0123456789abcdef") == std::string::npos)
            for (std::size_t i = 0; i < group.size(); i += 2)
                bytes.push_back(static_cast<std::uint8_t>(std::stoul(group.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// Whether text is head, then only the characters of middle (at least one), then tail.
bool Shaped(const std::string& text, const std::string& head, const std::string& middle, const std::string& tail) {
    if (text.size() <= head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string between = text.substr(head.size(), text.size() - head.size() - tail.size());
    return between.find_first_not_of(middle) == std::string::npos;
}

const char* const kManifest = R"(licence = "licence.txt"

[product]
name = "演示软件"
version = "2.5.1"
author = "演示工作室"
company_key = "DemoSoft"
default_folder = "演示软件"
legal_notice = "版权所有"

[[file]]
source = "licence.txt"
name = "\\uninstall.exe"

[[folder]]
source = "docs"
name = "\\文档"
)";

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("licence.txt", "许可");
        dir_.Write("docs/a.txt", std::string(5000, 'a'));
        dir_.Write("docs/sub/b.txt", "b");
        manifest_ = dir_.Manifest(kManifest);
        setup_ = dir_.Path("setup.exe");
    }
    // stdout and stderr together, with the status.
    static ToolRun Zsetup(const std::string& args) {
        return Capture("SOURCE_DATE_EPOCH=1796860800 '" + std::string(ZSETUP_PROGRAM) + "' " + args);
    }
    // stdout only.
    static ToolRun ZsetupOut(const std::string& args) { return Zsetup(args + " 2>/dev/null"); }
    static std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }
    ToolRun Build(const std::string& extra = "") {
        return Zsetup("build " + Q(manifest_) + " -o " + Q(setup_) + " --stub '" ZSETUP_PE_FIXTURE "' " + extra);
    }
    // A build of that kind, with the fixture of that kind as its stub.
    ToolRun BuildOf(PeMachine arch, const std::string& extra = "") {
        return Zsetup("build " + Q(manifest_) + " -o " + Q(setup_) + " --arch " + ArchName(arch) + " --stub " +
                      Q(Fixture(arch)) + " " + extra);
    }
    static std::string Fixture(PeMachine arch) {
        return arch == PeMachine::kAmd64 ? ZSETUP_PE_FIXTURE_X64 : ZSETUP_PE_FIXTURE;
    }

    ProductDir dir_;
    fs::path manifest_, setup_;
};

TEST_F(Cli, ABuildSaysWhatItMadeInOneLine) {
    const ToolRun run = Build();
    ASSERT_EQ(run.status, 0) << run.output;
    const std::size_t setup_bytes = fs::file_size(setup_);
    EXPECT_TRUE(Shaped(
        run.output,
        "built \"" + setup_.string() + "\": 3 files, 5007 bytes in, setup " + std::to_string(setup_bytes) + " bytes (",
        "0123456789.%), ", " s\n"))
        << run.output;

    fs::remove(setup_);
    const ToolRun quiet = Build("--quiet");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.output, "");
    EXPECT_TRUE(fs::exists(setup_));
}

TEST_F(Cli, StrictTurnsWarningsIntoBadInput) {
    std::string text = "uninstaller = false\n" + std::string(kManifest);
    text.replace(text.find("name = \"\\\\uninstall.exe\""), 25, "name = \"\\\\readme.txt\"");
    dir_.Manifest(text);
    const ToolRun warned = Build();
    EXPECT_EQ(warned.status, 0) << warned.output;
    EXPECT_NE(warned.output.find("warning: no file is installed as \"\\uninstall.exe\""), std::string::npos)
        << warned.output;

    fs::remove(setup_);
    const ToolRun strict = Build("--strict");
    EXPECT_EQ(strict.status, 2) << strict.output;
    EXPECT_NE(strict.output.find("warning: no file is installed as"), std::string::npos) << strict.output;
    EXPECT_NE(strict.output.find("--strict: 1 warning, nothing written"), std::string::npos) << strict.output;
    EXPECT_FALSE(fs::exists(setup_));
}

// The built-in uninstaller is the last row: past the record's 256 it lies in
// the extra table, and counts there as anywhere.
TEST_F(Cli, StrictFindsTheUninstallerInEitherTable) {
    const struct {
        const char* label;
        int product_files;
        bool uninstaller;
        int status;
    } cases[] = {
        {"255 files: the uninstaller is the record's 256th row", 255, true, 0},
        {"256 files: the uninstaller is the extra table's first row", 256, true, 0},
        {"5000 files: the uninstaller is row 5001", 5000, true, 0},
        {"5000 files without an uninstaller", 5000, false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string folder = "many-" + std::to_string(c.product_files);
        for (int i = 0; i < c.product_files; ++i) dir_.Write(folder + "/f" + std::to_string(i) + ".txt", "x");
        const fs::path manifest =
            dir_.Manifest(std::string(c.uninstaller ? "" : "uninstaller = false\n") +
                              "licence = \"licence.txt\"\n[product]\nname = \"演示软件\"\nversion = \"1.0\"\n"
                              "company_key = \"DemoSoft\"\ndefault_folder = \"演示软件\"\n"
                              "[[folder]]\nsource = \"" +
                              folder + "\"\nname = \"\\\\\"\n",
                          folder + ".toml");
        const ToolRun run = Zsetup("build " + Q(manifest) + " -o " + Q(setup_) +
                                   " --strict --stub '" ZSETUP_PE_FIXTURE "' --uninstaller '" ZSETUP_PE_FIXTURE "'");
        EXPECT_EQ(run.status, c.status) << run.output;
        EXPECT_EQ(run.output.find("warning: no file is installed as") != std::string::npos, !c.uninstaller)
            << run.output;
        fs::remove(setup_);
    }
}

// The manual page is written by hand: it names every option the program
// takes, and none it does not.
TEST_F(Cli, TheManualPageNamesEveryOptionOfTheHelp) {
    // Every "--name" in a text: two hyphens, a letter, then letters and hyphens.
    const auto options = [](const std::string& text) {
        const auto part = [](char c, bool first) { return (c >= 'a' && c <= 'z') || (!first && c == '-'); };
        std::set<std::string> found;
        for (std::size_t at = 0; (at = text.find("--", at)) != std::string::npos;) {
            std::size_t end = at + 2;
            while (end < text.size() && part(text[end], end == at + 2)) ++end;
            if (end > at + 2) found.insert(text.substr(at, end - at));
            at = end;
        }
        found.erase("--help");
        return found;
    };
    std::string help;
    for (const char* command : {"", "build ", "inspect ", "extract ", "verify "}) {
        const ToolRun run = ZsetupOut(std::string(command) + "--help");
        EXPECT_EQ(run.status, 0) << run.output;
        help += run.output;
    }
    std::string page = ReadFileText(ZSETUP_MAN_PAGE);
    for (std::size_t at; (at = page.find("\\-")) != std::string::npos;) page.replace(at, 2, "-");
    const std::set<std::string> in_help = options(help);
    EXPECT_GT(in_help.size(), 10u) << help;
    EXPECT_EQ(options(page), in_help);
}

TEST_F(Cli, TellsItsVersion) {
    const ToolRun run = ZsetupOut("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Shaped(run.output, "zsetup ", "0123456789.", "\n")) << run.output;
}

// --arch, else the manifest's arch key, else x86; the stub and the built-in
// uninstaller must be programs of that kind. A build says its kind in inspect
// and verify, in words and in JSON, extract reads it, and however its kind
// was chosen it has the same bytes.
TEST_F(Cli, ArchChoosesTheKindTheStubAndUninstallerMustBe) {
    const std::string x86 = ZSETUP_PE_FIXTURE, x64 = ZSETUP_PE_FIXTURE_X64;
    const std::string manifest = manifest_.string(), licence = dir_.Path("licence.txt").string();
    dir_.Write("x64/zsetup-stub.exe", ReadFileText(x64));
    dir_.Write("x64/zsetup-uninstall.exe", ReadFileText(x86));  // beside the 64-bit stub, but 32-bit
    std::string without_own = kManifest;
    const std::string own_row = "[[file]]\nsource = \"licence.txt\"\nname = \"\\\\uninstall.exe\"\n\n";
    ASSERT_NE(without_own.find(own_row), std::string::npos);
    without_own.erase(without_own.find(own_row), own_row.size());
    const std::string uninstaller = manifest + ": the built-in uninstaller (--uninstaller): \"";
    const std::map<PeMachine, Bytes> reference = [&] {
        EXPECT_EQ(Build().status, 0);
        const Bytes x86_build = ReadFile(setup_.string());
        EXPECT_EQ(BuildOf(PeMachine::kAmd64).status, 0);
        return std::map<PeMachine, Bytes>{{PeMachine::kI386, x86_build},
                                          {PeMachine::kAmd64, ReadFile(setup_.string())}};
    }();
    const struct {
        const char* label;
        std::string top;  // top-level lines put first
        bool built_in;    // no "\uninstall.exe" row of the product's: the built-in one goes in
        std::string args;
        int status;
        std::string said;  // built: the kind; refused: the message
    } cases[] = {
        {"--arch x64", "", false, "--arch x64 --stub " + Q(x64), 0, "x64"},
        {"arch = x64", "arch = \"x64\"\n", false, "--stub " + Q(x64), 0, "x64"},
        {"arch = x86", "arch = \"x86\"\n", false, "--stub " + Q(x86), 0, "x86"},
        {"--arch x86 over arch = x64", "arch = \"x64\"\n", false, "--arch x86 --stub " + Q(x86), 0, "x86"},
        {"a 64-bit uninstaller", "", true, "--arch x64 --stub " + Q(x64) + " --uninstaller " + Q(x64), 0, "x64"},
        {"--arch x64, a 32-bit stub", "", false, "--arch x64 --stub " + Q(x86), 2,
         "zsetup: the stub \"" + x86 +
             "\": it is a 32-bit (x86) program; --arch x64 needs a 64-bit one (give --stub, or --arch x86)\n"},
        {"no arch, a 64-bit stub", "", false, "--stub " + Q(x64), 2,
         "zsetup: the stub \"" + x64 +
             "\": it is a 64-bit (x64) program; --arch x86 needs a 32-bit one (give --stub, or --arch x64)\n"},
        {"arch = x64, a 32-bit stub", "arch = \"x64\"\n", false, "--stub " + Q(x86), 2,
         "zsetup: the stub \"" + x86 + "\": it is a 32-bit (x86) program; arch = \"x64\" (" + manifest +
             ":1) needs a 64-bit one (give --stub, or --arch x86)\n"},
        {"--arch x64, a 32-bit uninstaller", "", true, "--arch x64 --stub " + Q(x64) + " --uninstaller " + Q(x86), 2,
         uninstaller + x86 +
             "\" is a 32-bit (x86) program; --arch x64 needs a 64-bit one (give --uninstaller, or --arch x86)\n"},
        {"a 32-bit uninstaller beside the 64-bit stub", "", true,
         "--arch x64 --stub " + Q(dir_.Path("x64/zsetup-stub.exe")), 2,
         uninstaller + dir_.Path("x64/zsetup-uninstall.exe").string() + "\" is a 32-bit (x86) program"},
        {"a text file as the uninstaller", "", true, "--stub " + Q(x86) + " --uninstaller " + Q(licence), 2,
         uninstaller + licence +
             "\" is not an x86 or x64 Windows program; --arch x86 needs a 32-bit one (give --uninstaller)\n"},
        {"a bad arch, though --arch is given", "arch = \"amd64\"\n", false, "--arch x64 --stub " + Q(x64), 2,
         manifest + ":1: arch: \"amd64\" is not \"x86\" or \"x64\"\n"},
        {"--arch of another processor", "", false, "--arch arm64 --stub " + Q(x64), 2,
         "--arch: arm64 not in {x86,x64}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove(setup_);
        dir_.Manifest(c.top + (c.built_in ? without_own : std::string(kManifest)));
        const ToolRun run = Zsetup("build " + Q(manifest_) + " -o " + Q(setup_) + " -q " + c.args);
        ASSERT_EQ(run.status, c.status) << run.output;
        if (c.status != 0) {
            EXPECT_NE(run.output.find(c.said), std::string::npos) << run.output;
            EXPECT_FALSE(fs::exists(setup_));
            continue;
        }
        const PeMachine arch = *ArchNamed(c.said);
        const Bytes image = ReadFile(setup_.string());
        EXPECT_EQ(ProgramMachine(image), arch);
        if (!c.built_in) {
            EXPECT_EQ(image, reference.at(arch)) << "the same bytes however the kind was chosen";
        }
        const std::string json_field = "\"architecture\": \"" + c.said + "\"";
        EXPECT_NE(ZsetupOut("verify " + Q(setup_)).output.find("\narchitecture: " + ArchDescription(arch) + "\n"),
                  std::string::npos);
        EXPECT_NE(ZsetupOut("verify --json " + Q(setup_)).output.find(json_field), std::string::npos);
        EXPECT_NE(ZsetupOut("inspect " + Q(setup_)).output.find("\nArchitecture: " + ArchDescription(arch) + "\n"),
                  std::string::npos);
        EXPECT_NE(ZsetupOut("inspect --json " + Q(setup_)).output.find(json_field), std::string::npos);
        const fs::path out = dir_.Path(std::string("out-") + c.label);
        ASSERT_EQ(ZsetupOut("extract " + Q(setup_) + " " + Q(out)).status, 0);
        EXPECT_EQ(ReadFile((out / fs::u8path("文档/a.txt")).string()), ReadFile(dir_.Path("docs/a.txt").string()));
    }
}

// Without --stub the Linux builder fills the stub of the chosen kind from the
// Windows tree of that width, or says which tree to build.
TEST_F(Cli, TheDefaultStubIsTheOneOfTheChosenKind) {
    for (const PeMachine arch : {PeMachine::kI386, PeMachine::kAmd64}) {
        SCOPED_TRACE(ArchName(arch));
        const std::string tree = arch == PeMachine::kAmd64 ? "win64" : "win32";
        const ToolRun run = Zsetup("build " + Q(manifest_) + " -o " + Q(setup_) + " -q --arch " + ArchName(arch));
        if (run.status == 0) {
            EXPECT_EQ(ProgramMachine(ReadFile(setup_.string())), arch);
            continue;
        }
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find("/" + tree + "/bin/zsetup-stub.exe"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("(build the " + tree + " tree, or give --stub)"), std::string::npos) << run.output;
    }
}

// The manifest a program carries, read back whole.
std::string ProgramManifestOf(const Bytes& image) {
    const PeImage pe = ParsePeImage(image);
    for (const ResourceType& type : ReadResourceTree(image, pe))
        if (type.type == ResourceKey::Id(kRtManifest))
            for (const ResourceEntry& entry : type.entries)
                if (entry.name == ResourceKey::Id(1) && !entry.languages.empty())
                    return std::string(entry.languages[0].bytes.begin(), entry.languages[0].bytes.end());
    return {};
}

// scope = "user": setup.exe and the built-in uninstaller it packs run as the
// user who starts them, their manifests otherwise as they were; the readers
// say so, and verify finds a package whose two programs disagree.
TEST_F(Cli, ScopeUserMakesBothProgramsRunAsTheUser) {
    const Bytes fixture = ReadFile(ZSETUP_PE_FIXTURE);
    const std::string machine_manifest = ProgramManifestOf(fixture);
    ASSERT_EQ(ScopeOfManifest(machine_manifest), InstallScope::kMachine);
    // The fixture marked as the built-in uninstaller, and a stub without a manifest.
    const fs::path uninstaller = dir_.Path("zsetup-uninstall.exe");
    WriteFile(uninstaller.string(), WriteRcData(fixture, {{kUninstallerMarkResource, {'1'}}}));
    const Bytes uninstaller_bytes = ReadFile(uninstaller.string());
    const fs::path bare = dir_.Path("bare-stub.exe");
    WriteFile(bare.string(), WriteRcData(fixture, {}, {}, [](ResourceTree& tree) {
                  tree.erase(
                      std::remove_if(tree.begin(), tree.end(),
                                     [](const ResourceType& t) { return t.type == ResourceKey::Id(kRtManifest); }),
                      tree.end());
              }));
    std::string text = kManifest;
    const std::string own_row = "[[file]]\nsource = \"licence.txt\"\nname = \"\\\\uninstall.exe\"\n\n";
    ASSERT_NE(text.find(own_row), std::string::npos);
    text.erase(text.find(own_row), own_row.size());
    dir_.Manifest("scope = \"user\"\n" + text);

    ASSERT_EQ(Build("-q --uninstaller " + Q(uninstaller)).status, 0);
    const Bytes setup = ReadFile(setup_.string());
    EXPECT_EQ(ProgramManifestOf(setup), ManifestForScope(machine_manifest, InstallScope::kUser));
    EXPECT_EQ(ZsetupOut("verify " + Q(setup_)).output.rfind("ok\n", 0), 0u);
    EXPECT_NE(
        ZsetupOut("inspect " + Q(setup_)).output.find("\nScope: user (for the user who runs it, without elevation)\n"),
        std::string::npos);
    EXPECT_NE(ZsetupOut("inspect --json " + Q(setup_)).output.find("\"scope\": \"user\""), std::string::npos);
    const fs::path out = dir_.Path("out");
    ASSERT_EQ(ZsetupOut("extract " + Q(setup_) + " " + Q(out)).status, 0);
    EXPECT_EQ(ProgramManifestOf(ReadFile((out / "uninstall.exe").string())),
              ManifestForScope(machine_manifest, InstallScope::kUser));
    EXPECT_EQ(ReadFile(uninstaller.string()), uninstaller_bytes) << "the uninstaller given is left as it was";

    // Two programs of different minds: setup.exe made per-user after the build.
    dir_.Manifest(text);
    ASSERT_EQ(Build("-q --uninstaller " + Q(uninstaller)).status, 0);
    EXPECT_NE(ZsetupOut("inspect " + Q(setup_)).output.find("\nScope: machine (for every user)\n"), std::string::npos);
    WriteFile(setup_.string(), WriteRcData(ReadFile(setup_.string()), {}, {},
                                           [](ResourceTree& tree) { SetManifestScope(tree, InstallScope::kUser); }));
    const ToolRun verify = ZsetupOut("verify " + Q(setup_));
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.output.find("the built-in uninstaller is for a machine install, setup.exe makes a user install"),
              std::string::npos)
        << verify.output;

    // A stub that names no level cannot be made per-user: nothing is written.
    dir_.Manifest("scope = \"user\"\n" + text);
    fs::remove(setup_);
    const ToolRun refused = Zsetup("build " + Q(manifest_) + " -o " + Q(setup_) + " -q --stub " + Q(bare) +
                                   " --uninstaller " + Q(uninstaller));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("zsetup: the stub \"" + bare.string() +
                                  "\": the program has no manifest, whose level scope = \"user\" sets"),
              std::string::npos)
        << refused.output;
    EXPECT_FALSE(fs::exists(setup_));
}

TEST_F(Cli, OutputInsideAFolderSourceIsRefused) {
    const ToolRun run =
        Zsetup("build " + Q(manifest_) + " -o " + Q(dir_.Path("docs/setup.exe")) + " --stub '" ZSETUP_PE_FIXTURE "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("lies in folder[0].source"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("the next build would pack the installer into itself"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_.Path("docs/setup.exe")));
}

// Each kind of build, with the objdump that reads it.
struct BuildKind {
    const char* label;
    PeMachine arch;
    const char* objdump;
};

void PrintTo(const BuildKind& k, std::ostream* os) { *os << k.label; }

class CliOfEachKind : public Cli, public ::testing::WithParamInterface<BuildKind> {};

// wrestool and objdump share no code with the writer or with each other.
TEST_P(CliOfEachKind, VersionResourceIsReadBackByIndependentTools) {
    ASSERT_EQ(BuildOf(GetParam().arch).status, 0);
    const ToolRun listed = Capture(std::string(ZSETUP_WRESTOOL) + " -l --type=16 " + Q(setup_));
    ASSERT_EQ(listed.status, 0) << listed.output;
    EXPECT_NE(listed.output.find("--type=16 --name=1 --language=2052"), std::string::npos) << listed.output;

    const fs::path raw = dir_.Path("version.bin");
    ASSERT_EQ(
        Capture(std::string(ZSETUP_WRESTOOL) + " -x --raw --type=16 --name=1 -o " + Q(raw) + " " + Q(setup_)).status,
        0);
    const PackageContents package = ReadPackage(ReadFile(setup_.string()));
    EXPECT_EQ(ReadFile(raw.string()), VersionInfoResource(*package.record));

    // objdump: the bytes mapped where the resource directory says, as it dumps them.
    const ToolRun headers = Capture(std::string(GetParam().objdump) + " -p " + Q(setup_));
    ASSERT_EQ(headers.status, 0) << headers.output;
    std::istringstream fields(headers.output.substr(headers.output.find("ImageBase")));
    std::string label;
    unsigned long base = 0, rva = 0, size = 0;
    fields >> label >> std::hex >> base;
    std::istringstream entry(headers.output.substr(headers.output.find("Entry 2 ")));
    entry >> label >> label >> std::hex >> rva >> size;
    ASSERT_GT(size, 0u) << headers.output;
    const ToolRun dump = Capture(std::string(GetParam().objdump) + " -s --start-address=" + std::to_string(base + rva) +
                                 " --stop-address=" + std::to_string(base + rva + size) + " " + Q(setup_));
    ASSERT_EQ(dump.status, 0) << dump.output;
    const Bytes mapped = DumpedBytes(dump.output);
    EXPECT_EQ(mapped.size(), size);
    const Bytes version = VersionInfoResource(*package.record);
    EXPECT_NE(std::search(mapped.begin(), mapped.end(), version.begin(), version.end()), mapped.end());
}

// The part of pefile_summary.py's JSON after `"key": `, up to the next key.
std::string JsonField(const std::string& json, const std::string& key, const std::string& next) {
    const std::size_t from = json.find("\"" + key + "\": "), to = json.find(", \"" + next + "\": ");
    if (from == std::string::npos || to == std::string::npos || to < from) return "";
    return json.substr(from + key.size() + 4, to - from - key.size() - 4);
}

// The stub's resource section is replaced, not left beside ours: objdump
// lists one .rsrc, exiftool (which reads the first) finds the version
// information, and pefile finds the stub's resources beside ours and every
// base relocation of the stub where .reloc moved to.
TEST_P(CliOfEachKind, OneResourceSectionThatIndependentReadersRead) {
    ASSERT_EQ(BuildOf(GetParam().arch).status, 0);
    const ToolRun sections = Capture(std::string(GetParam().objdump) + " -h " + Q(setup_));
    ASSERT_EQ(sections.status, 0) << sections.output;
    std::size_t rsrc = 0;
    for (std::size_t at = 0; (at = sections.output.find(" .rsrc ", at)) != std::string::npos; ++at) ++rsrc;
    EXPECT_EQ(rsrc, 1u) << sections.output;

    const ToolRun exif =
        Capture(std::string(ZSETUP_EXIFTOOL) +
                " -j -ProductName -CompanyName -FileVersion -ProductVersion -LegalCopyright " + Q(setup_));
    ASSERT_EQ(exif.status, 0) << exif.output;
    for (const char* field :
         {"\"ProductName\": \"演示软件\"", "\"CompanyName\": \"演示工作室\"", "\"FileVersion\": \"2.5.1.0\"",
          "\"ProductVersion\": \"2.5.1\"", "\"LegalCopyright\": \"版权所有\""})
        EXPECT_NE(exif.output.find(field), std::string::npos) << field << "\n" << exif.output;

    const ToolRun setup = Capture(std::string(ZSETUP_PEFILE_SUMMARY) + " " + Q(setup_));
    const ToolRun stub = Capture(std::string(ZSETUP_PEFILE_SUMMARY) + " " + Q(Fixture(GetParam().arch)));
    ASSERT_EQ(setup.status, 0) << setup.output;
    ASSERT_EQ(stub.status, 0) << stub.output;
    const std::string relocations = JsonField(stub.output, "relocations", "resource_types");
    EXPECT_GT(relocations.size(), 2u) << stub.output;
    EXPECT_EQ(JsonField(setup.output, "relocations", "resource_types"), relocations);
    std::istringstream stub_types(JsonField(stub.output, "resource_types", "sections"));
    const std::string setup_types = JsonField(setup.output, "resource_types", "sections");
    for (std::string type; std::getline(stub_types >> std::ws, type, ',');) {
        type.erase(type.find_last_not_of("[] ") + 1);
        type.erase(0, type.find_first_not_of("[ "));
        EXPECT_NE(setup_types.find(type), std::string::npos) << type << " in " << setup_types;
    }
    for (const char* field : {"\"080404B0\": {", "\"ProductName\": \"演示软件\"", "\"040904B0\": {",
                              "\"FileDescription\": \"演示软件 Setup\""})
        EXPECT_NE(setup.output.find(field), std::string::npos) << field << "\n" << setup.output;
}

// Signed after the build with a throwaway key: osslsigncode accepts the
// signature and zsetup still reads, extracts and verifies the very file.
TEST_P(CliOfEachKind, ASignedInstallerIsReadAndVerified) {
    const PeMachine arch = GetParam().arch;
    ASSERT_EQ(BuildOf(arch).status, 0);
    const fs::path key = dir_.Path("key.pem"), cert = dir_.Path("cert.pem"), signed_setup = dir_.Path("signed.exe");
    const ToolRun made = Capture(std::string(ZSETUP_OPENSSL) +
                                 " req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=zsetup test' -addext "
                                 "extendedKeyUsage=codeSigning -keyout " +
                                 Q(key) + " -out " + Q(cert));
    ASSERT_EQ(made.status, 0) << made.output;
    const ToolRun sign = Capture(std::string(ZSETUP_OSSLSIGNCODE) + " sign -certs " + Q(cert) + " -key " + Q(key) +
                                 " -n 演示软件 -in " + Q(setup_) + " -out " + Q(signed_setup));
    ASSERT_EQ(sign.status, 0) << sign.output;
    const ToolRun checked =
        Capture(std::string(ZSETUP_OSSLSIGNCODE) + " verify -CAfile " + Q(cert) + " -in " + Q(signed_setup));
    ASSERT_EQ(checked.status, 0) << checked.output;

    const std::string architecture = "architecture: " + ArchDescription(arch) + "\n";
    const ToolRun verify = ZsetupOut("verify " + Q(signed_setup));
    EXPECT_EQ(verify.status, 0) << verify.output;
    // The product's own "\uninstall.exe" (a text file here) is its own to sign.
    EXPECT_TRUE(Shaped(verify.output, "ok\n" + architecture + "signature: signed, Authenticode, 1 entry, ",
                       "0123456789",
                       " bytes (not checked here; osslsigncode verify checks it)\nuninstaller signature: not signed\n"))
        << verify.output;
    const ToolRun unsigned_verify = ZsetupOut("verify " + Q(setup_));
    EXPECT_EQ(unsigned_verify.output,
              "ok\n" + architecture + "signature: not signed\nuninstaller signature: not signed\n");
    const ToolRun json = ZsetupOut("verify --json " + Q(signed_setup));
    EXPECT_TRUE(Shaped(json.output,
                       "{\"ok\": true, \"problems\": [], \"architecture\": \"" + std::string(ArchName(arch)) +
                           "\", \"signature\": {\"entries\": 1, \"entry_types\": [2], \"bytes\": ",
                       "0123456789", "}, \"uninstaller_signature\": null}\n"))
        << json.output;

    // The signature changes nothing of ours: the same record, payload and texts.
    const ToolRun inspected = ZsetupOut("inspect " + Q(signed_setup));
    EXPECT_EQ(inspected.status, 0);
    const auto without_signature = [](std::string report) {
        const std::size_t at = report.find("Signature: ");
        return at == std::string::npos ? report : report.erase(at, report.find('\n', at) + 1 - at);
    };
    const std::string unsigned_report = ZsetupOut("inspect " + Q(setup_)).output;
    EXPECT_NE(unsigned_report.find("Signature: not signed\nUninstaller signature: not signed\n"), std::string::npos)
        << unsigned_report;
    EXPECT_EQ(without_signature(inspected.output), without_signature(unsigned_report));
    ASSERT_EQ(ZsetupOut("extract " + Q(signed_setup) + " " + Q(dir_.Path("out"))).status, 0);
    EXPECT_EQ(ReadFile(dir_.Path("out/文档/a.txt").string()), ReadFile(dir_.Path("docs/a.txt").string()));

    // A signed stub is still refused: the signature would break.
    const ToolRun restub = Zsetup("build " + Q(manifest_) + " -o " + Q(dir_.Path("again.exe")) + " --arch " +
                                  ArchName(arch) + " --stub " + Q(signed_setup));
    EXPECT_EQ(restub.status, 1);
    EXPECT_NE(restub.output.find("is signed; use an unsigned copy"), std::string::npos) << restub.output;

    // Bytes added after the signature are no part of it, nor of the package.
    Bytes appended = ReadFile(signed_setup.string());
    appended.insert(appended.end(), 16, 0x5A);
    WriteFile(dir_.Path("appended.exe").string(), std::string(appended.begin(), appended.end()));
    const ToolRun extra = ZsetupOut("verify " + Q(dir_.Path("appended.exe")));
    EXPECT_EQ(extra.status, 1);
    EXPECT_NE(extra.output.find("the file has 16 bytes after its sections that no certificate table accounts for"),
              std::string::npos)
        << extra.output;
}

INSTANTIATE_TEST_SUITE_P(Kinds, CliOfEachKind,
                         ::testing::Values(BuildKind{"x86", PeMachine::kI386, ZSETUP_OBJDUMP},
                                           BuildKind{"x64", PeMachine::kAmd64, ZSETUP_OBJDUMP_X64}),
                         [](const ::testing::TestParamInfo<BuildKind>& info) { return std::string(info.param.label); });

TEST_F(Cli, AFileOfAnotherKindIsNoInstaller) {
    dir_.Write("notes.txt", "just some words");
    const struct {
        const char* label;
        std::string file;
        std::string why;
    } cases[] = {
        {"a program without our resources", ZSETUP_PE_FIXTURE_CONSOLE,
         "the program carries neither SETUPINI nor SETUPPACK"},
        {"a text file", dir_.Path("notes.txt").string(), "it is not an x86 or x64 Windows program"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        for (const char* command : {"inspect", "verify", "extract"}) {
            SCOPED_TRACE(command);
            const std::string args = std::string(command) + " " + Q(c.file) +
                                     (std::string(command) == "extract" ? " " + Q(dir_.Path("x")) : "");
            const ToolRun run = Zsetup(args);
            EXPECT_EQ(run.status, 2) << run.output;
            EXPECT_EQ(run.output, "zsetup: \"" + c.file + "\" is not a zsetup installer: " + c.why + "\n");
        }
        const ToolRun json = ZsetupOut("inspect --json " + Q(c.file));
        EXPECT_EQ(json.status, 2);
        EXPECT_EQ(json.output, "{\"error\": {\"kind\": \"not_an_installer\", \"message\": \"zsetup: \\\"" + c.file +
                                   "\\\" is not a zsetup installer: " + c.why + "\", \"exit_code\": 2}}\n");
    }
    EXPECT_FALSE(fs::exists(dir_.Path("x")));
    const ToolRun missing = ZsetupOut("verify --json " + Q(dir_.Path("none.exe")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("{\"error\": {\"kind\": \"failure\", \"message\": \"zsetup: Cannot read"),
              std::string::npos)
        << missing.output;
}

}  // namespace
}  // namespace zsetup
