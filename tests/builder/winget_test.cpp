// zsetup build --winget: the three files of the Windows Package Manager's
// manifest, read back as YAML and validated against winget's published
// schemas (1.6.0) by Python, every value compared; and the builds refused
// before anything is written when no manifest can be made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pe/pe_machine.h"
#include "tests/builder/native_tools.h"
#include "tests/builder/product_dir.h"
#include "tests/builder/test_certificate.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;
using namespace zsetup::testing;

struct ProductTexts {
    std::string name, version, author, introduction;
};

// A product of one file, its texts as given (TOML escapes allowed), then `tables`.
std::string Product(const ProductTexts& t, const std::string& tables) {
    return "licence = \"licence.txt\"\n\n[product]\nname = \"" + t.name + "\"\nversion = \"" + t.version +
           "\"\nauthor = \"" + t.author + "\"\ncompany_key = \"DemoStudio\"\ndefault_folder = \"Demo\"\n" +
           "introduction = \"" + t.introduction +
           "\"\n\n[[file]]\nsource = \"licence.txt\"\nname = \"\\\\readme.txt\"\n" + tables;
}

std::set<std::string> Lines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.insert(line);
    return lines;
}

std::string Sha256Upper(const fs::path& file) {
    const ToolRun sum = Capture("sha256sum " + ShellWord(file.string()));
    EXPECT_EQ(sum.status, 0) << sum.output;
    std::string hex = sum.output.substr(0, 64);
    std::transform(hex.begin(), hex.end(), hex.begin(), [](unsigned char c) { return std::toupper(c); });
    return hex;
}

class Winget : public ::testing::Test {
protected:
    void SetUp() override { dir_.Write("licence.txt", "许可"); }

    ToolRun Build(PeMachine arch, const std::string& options) const {
        return Capture(
            "SOURCE_DATE_EPOCH=1796860800 '" ZSETUP_PROGRAM "' build -q " +
            ShellWord(dir_.Path("product.toml").string()) + " -o " + ShellWord(Setup().string()) + " --arch " +
            ArchName(arch) + " --stub " +
            ShellWord(arch == PeMachine::kAmd64 ? ZSETUP_PE_FIXTURE_X64 : ZSETUP_PE_FIXTURE) + " --uninstaller " +
            ShellWord(arch == PeMachine::kAmd64 ? ZSETUP_PE_FIXTURE_X64 : ZSETUP_PE_FIXTURE) + " " + options);
    }
    fs::path Setup() const { return dir_.Path("setup.exe"); }
    fs::path Out() const { return dir_.Path("winget/manifests"); }

    ProductDir dir_;
};

// What winget reads from the files, as FILE:PATH=JSON lines: "1.0" stays a
// text, "yes" too, a line break in the introduction becomes a blank.
TEST_F(Winget, TheThreeFilesValidateAgainstWingetsSchemas) {
    TestCertificate certificate(dir_.Path(""));
    const std::string url_table = "url = \"https://example.org/demo/setup.exe\"\n";
    const struct {
        const char* label;
        PeMachine arch;
        ProductTexts texts;
        std::string winget;  // the [winget] table's lines
        std::string options;
        std::string id, url, license, description;
        const char* scope = "machine";  // the manifest's scope key, and winget's Scope
    } cases[] = {
        {"the identifier made from the names",
         PeMachine::kI386,
         {"Demo-App", "1.0", "Demo Studio", "A small demo."},
         url_table + "license = \"Proprietary\"\n",
         "",
         "DemoStudio.Demo-App",
         "https://example.org/demo/setup.exe",
         "Proprietary",
         "A small demo."},
        {"Chinese names, the table's identifier, texts YAML would misread",
         PeMachine::kAmd64,
         {"演示软件", "2.0 #1", "演示工作室", "第一行\\r\\n- 第二行: \\\"是\\\" # 否"},
         "identifier = \"DemoStudio.Demo\"\nurl = \"https://example.org/下载/setup.exe?a=1&b=2\"\nlicense = \"yes\"\n",
         "",
         "DemoStudio.Demo",
         "https://example.org/下载/setup.exe?a=1&b=2",
         "yes",
         "第一行 - 第二行: \"是\" # 否",
         "user"},
        {"--winget-id and --winget-url over the table, signed",
         PeMachine::kI386,
         {"演示软件", "3", "演示工作室", "演示用的软件"},
         "identifier = \"DemoStudio.Other\"\nurl = \"http://example.org/old.exe\"\nlicense = \"Freeware\"\n"
         "short_description = \"一个演示: 软件\"\n",
         "--winget-id Demo.Studio.Demo --winget-url https://example.org/new.exe --sign " +
             ShellWord(certificate.SignCommand()),
         "Demo.Studio.Demo",
         "https://example.org/new.exe",
         "Freeware",
         "一个演示: 软件"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(Out());
        dir_.Manifest("scope = \"" + std::string(c.scope) + "\"\n" + Product(c.texts, "\n[winget]\n" + c.winget));
        const ToolRun built = Build(c.arch, "--winget " + ShellWord(Out().string()) + " " + c.options);
        ASSERT_EQ(built.status, 0) << built.output;
        const std::string version = c.id + ".yaml", installer = c.id + ".installer.yaml",
                          locale = c.id + ".locale.zh-CN.yaml";
        std::set<std::string> written;
        for (const auto& entry : fs::directory_iterator(Out())) written.insert(entry.path().filename().string());
        EXPECT_EQ(written, (std::set<std::string>{version, installer, locale}));

        const ToolRun read =
            Capture(std::string(ZSETUP_WINGET_CHECK) + " " + ShellWord((Out() / version).string()) + " " +
                    ShellWord((Out() / installer).string()) + " " + ShellWord((Out() / locale).string()));
        EXPECT_EQ(read.status, 0) << read.output;
        const auto text = [](const std::string& s) {
            std::string json = "\"";
            for (char ch : s) json += ch == '"' ? std::string("\\\"") : std::string(1, ch);
            return json + "\"";
        };
        const std::set<std::string> expected = {
            version + ":PackageIdentifier=" + text(c.id),
            version + ":PackageVersion=" + text(c.texts.version),
            version + ":DefaultLocale=\"zh-CN\"",
            version + ":ManifestType=\"version\"",
            version + ":ManifestVersion=\"1.6.0\"",
            installer + ":PackageIdentifier=" + text(c.id),
            installer + ":PackageVersion=" + text(c.texts.version),
            installer + ":Installers/0/Architecture=\"" + ArchName(c.arch) + "\"",
            installer + ":Installers/0/InstallerType=\"exe\"",
            installer + ":Installers/0/Scope=\"" + c.scope + "\"",
            installer + ":Installers/0/InstallerUrl=" + text(c.url),
            installer + ":Installers/0/InstallerSha256=\"" + Sha256Upper(Setup()) + "\"",
            installer + ":Installers/0/InstallerSwitches/Silent=\"/S\"",
            installer + ":Installers/0/InstallerSwitches/SilentWithProgress=\"/S\"",
            installer + ":Installers/0/InstallerSwitches/InstallLocation=\"/D=<INSTALLPATH>\"",
            installer + ":Installers/0/ProductCode=" + text(c.texts.name),
            installer + ":ManifestType=\"installer\"",
            installer + ":ManifestVersion=\"1.6.0\"",
            locale + ":PackageIdentifier=" + text(c.id),
            locale + ":PackageVersion=" + text(c.texts.version),
            locale + ":PackageLocale=\"zh-CN\"",
            locale + ":Publisher=" + text(c.texts.author),
            locale + ":PackageName=" + text(c.texts.name),
            locale + ":License=" + text(c.license),
            locale + ":ShortDescription=" + text(c.description),
            locale + ":ManifestType=\"defaultLocale\"",
            locale + ":ManifestVersion=\"1.6.0\"",
        };
        EXPECT_EQ(Lines(read.output), expected) << read.output;
    }
}

// The manifest adds nothing to setup.exe: the same bytes with --winget as without.
TEST_F(Winget, LeavesSetupAsItIs) {
    dir_.Manifest(Product({"Demo", "1.0", "Demo Studio", "A small demo."},
                          "\n[winget]\nurl = \"https://example.org/setup.exe\"\nlicense = \"MIT\"\n"));
    ASSERT_EQ(Build(PeMachine::kI386, "").status, 0);
    const Bytes plain = ReadFile(Setup().string());
    fs::remove(Setup());
    ASSERT_EQ(Build(PeMachine::kI386, "--winget " + ShellWord(Out().string())).status, 0);
    EXPECT_EQ(ReadFile(Setup().string()), plain);
}

// Every reason no manifest can be written, said at once before anything is
// built: exit 2, no setup.exe, no files.
TEST_F(Winget, RefusesWhatWingetWouldRefuse) {
    const ProductTexts chinese{"演示软件", "1.0", "演示工作室", "演示用的软件"};
    const ProductTexts ascii{"Demo", "1.0", "Demo Studio", "A small demo."};
    const std::string sound = "\n[winget]\nurl = \"https://example.org/setup.exe\"\nlicense = \"MIT\"\n";
    const std::string manifest = dir_.Path("product.toml").string();
    const std::string out = " --winget " + ShellWord(Out().string());
    const struct {
        const char* label;
        std::string manifest;
        std::string options;
        std::vector<std::string> said;
    } cases[] = {
        {"Chinese names, and neither identifier, address nor licence name",
         Product(chinese, ""),
         out,
         {"zsetup: --winget: no package identifier can be made from product.author \"演示工作室\" and product.name "
          "\"演示软件\" (a part is ASCII letters, digits, - and _, its blanks left out); give [winget] identifier = "
          "\"Publisher.Product\" or --winget-id\n",
          "--winget: no address setup.exe is downloaded from (InstallerUrl); give [winget] url = \"https://...\" or "
          "--winget-url\n",
          "--winget: no licence name (winget's License); give [winget] license = \"Proprietary\", or the licence's "
          "own name\n"}},
        {"an identifier of one part",
         Product(ascii, sound),
         out + " --winget-id Demo",
         {"zsetup: --winget-id: \"Demo\" has 1 part; it is Publisher.Product, 2 to 8 parts between dots\n"}},
        {"an identifier with a blank",
         Product(ascii, sound + "identifier = \"Demo Studio.Demo\"\n"),
         out,
         {manifest + ":18: winget.identifier: \"Demo Studio.Demo\" holds \" \"; a part is printable ASCII without "
                     "blanks or \\ / : * ? \" < > |\n"}},
        {"an identifier with an empty part",
         Product(ascii, sound),
         out + " --winget-id Demo..App",
         {"zsetup: --winget-id: \"Demo..App\" has an empty part between its dots\n"}},
        {"an address that is not http",
         Product(ascii, sound),
         out + " --winget-url ftp://example.org/setup.exe",
         {"zsetup: --winget-url: \"ftp://example.org/setup.exe\" does not start with https:// or http://\n"}},
        {"an address with a blank",
         Product(ascii, sound + "identifier = \"A.B\"\n"),
         out + " --winget-url 'https://example.org/my setup.exe'",
         {"--winget-url: \"https://example.org/my setup.exe\" holds a blank or a control character"}},
        {"a name of one character, an introduction of two",
         Product({"软", "1.0", "演示工作室", "演示"}, sound),
         out + " --winget-id A.B",
         {"--winget: product.name \"软\" has 1 character, at least 2 (winget's PackageName)\n",
          "--winget: no short description (winget's ShortDescription): product.introduction \"演示\" has 2 "
          "characters, at least 3; give [winget] short_description\n"}},
        {"a version winget cannot take",
         Product({"Demo", "1/2", "Demo Studio", "A small demo."}, sound),
         out,
         {"--winget: product.version: \"1/2\" holds a control character or one of \\ / : * ? \" < > | (winget's "
          "PackageVersion)\n"}},
        {"a licence name too short",
         Product(ascii, "\n[winget]\nlicense = \"MI\"\n"),
         out,
         {manifest + ":16: winget.license: \"MI\" has 2 characters, at least 3\n"}},
        {"--winget-id without --winget", Product(ascii, sound), " --winget-id A.B", {"--winget-id requires --winget"}},
        {"into a folder the build packs",
         Product(ascii, sound + "\n[[folder]]\nsource = \"winget\"\nname = \"\\\\w\"\n"),
         out,
         {"zsetup: --winget \"" + Out().string() + "\" lies in folder[0].source \"" + dir_.Path("winget").string() +
          "\"; the next build would pack its winget manifest\n"}},
    };
    fs::create_directories(dir_.Path("winget"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        dir_.Manifest(c.manifest);
        const ToolRun run = Build(PeMachine::kI386, c.options);
        EXPECT_EQ(run.status, 2) << run.output;
        for (const std::string& said : c.said) EXPECT_NE(run.output.find(said), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(Setup()));
        EXPECT_FALSE(fs::exists(Out()));
    }
}

}  // namespace
}  // namespace zsetup
