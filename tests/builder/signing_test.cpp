// Signing during the build: the command of --sign or of the manifest's [sign]
// table run on copies of the built-in uninstaller and of setup.exe, both
// signatures accepted by osslsigncode and reported by verify and inspect;
// commands that fail, or that cannot be run, leave nothing behind.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "pe/pe_machine.h"
#include "pe/resource_writer.h"
#include "tests/builder/native_tools.h"
#include "tests/builder/product_dir.h"
#include "tests/builder/test_certificate.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;
using namespace zsetup::testing;

const char* const kProduct = R"(licence = "licence.txt"

[product]
name = "演示软件"
version = "2.5.1"
author = "演示工作室"
company_key = "DemoSoft"
default_folder = "演示软件"

[[folder]]
source = "docs"
name = "\\文档"
)";

// Every run of digits as one "0": sizes of signatures vary, their shape not.
std::string Digitless(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto digit = [&](std::size_t at) { return std::isdigit(static_cast<unsigned char>(text[at])) != 0; };
        if (!digit(i)) out += text[i];
        else if (i == 0 || !digit(i - 1)) out += '0';
    }
    return out;
}

std::string Fixture(PeMachine arch) { return arch == PeMachine::kAmd64 ? ZSETUP_PE_FIXTURE_X64 : ZSETUP_PE_FIXTURE; }

class SignedBuild : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("licence.txt", "许可");
        dir_.Write("docs/a.txt", std::string(5000, 'a'));
        // The built-in uninstaller of each kind, known to inspect by its mark.
        for (PeMachine arch : {PeMachine::kI386, PeMachine::kAmd64}) {
            const Bytes marked = WriteRcData(ReadFile(Fixture(arch)), {{"ZSETUPUNINSTALL", {'1'}}});
            dir_.Write(Uninstaller(arch), std::string(marked.begin(), marked.end()));
        }
        // The folder the builder makes its own in: the names it gives the
        // command then hold a blank, a quote and Chinese characters.
        fs::create_directories(Temp());
    }

    fs::path Temp() const { return dir_.Path("临时 it's"); }
    fs::path Setup() const { return dir_.Path("setup.exe"); }
    static std::string Uninstaller(PeMachine arch) { return std::string("uninstall-") + ArchName(arch) + ".exe"; }

    std::string Signing() const { return certificate_.SignCommand(); }

    ToolRun Build(PeMachine arch, const std::string& options) const {
        return Capture("SOURCE_DATE_EPOCH=1796860800 TMPDIR=" + ShellWord(Temp().string()) +
                       " '" ZSETUP_PROGRAM "' build -q " + ShellWord(dir_.Path("product.toml").string()) + " -o " +
                       ShellWord(Setup().string()) + " --arch " + ArchName(arch) + " --stub " +
                       ShellWord(Fixture(arch)) + " --uninstaller " + ShellWord(dir_.Path(Uninstaller(arch)).string()) +
                       " " + options);
    }
    static ToolRun Zsetup(const std::string& args) { return Capture("'" ZSETUP_PROGRAM "' " + args + " 2>/dev/null"); }
    // Nothing of a build left: no setup.exe, no partial one, no temporary folder.
    void ExpectNothingLeft() const {
        EXPECT_FALSE(fs::exists(Setup()));
        for (const auto& entry : fs::recursive_directory_iterator(dir_.Path("")))
            EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();
        EXPECT_TRUE(fs::is_empty(Temp())) << "the builder's temporary folder is left";
    }

    ProductDir dir_;
    TestCertificate certificate_{dir_.Path("")};
};

TEST_F(SignedBuild, BothSignaturesVerifyAndTheReadersSayBothAreSigned) {
    const std::string signed_line =
        "signed, Authenticode, 1 entry, 0 bytes (not checked here; osslsigncode verify checks it)";
    const std::string own_row = "\n[[file]]\nsource = \"licence.txt\"\nname = \"\\\\uninstall.exe\"\n";
    const struct {
        const char* label;
        PeMachine arch;
        std::string manifest;  // after kProduct
        std::string options;
        bool built_in;  // the built-in uninstaller goes in, and is signed
        const char* scope = "machine";
    } cases[] = {
        {"--sign", PeMachine::kI386, "", "--sign " + ShellWord(Signing()), true},
        {"[sign] command", PeMachine::kAmd64, "[sign]\ncommand = \"" + Signing() + "\"\n", "", true},
        {"--sign over a [sign] command that fails", PeMachine::kI386, "[sign]\ncommand = \"false {file}\"\n",
         "--sign " + ShellWord(Signing()), true},
        {"the product's own uninstaller is its own to sign", PeMachine::kI386, own_row,
         "--sign " + ShellWord(Signing()), false},
        // Made to run as the user first, then signed: the signature covers the rewritten manifest.
        {"a per-user package", PeMachine::kAmd64, "", "--sign " + ShellWord(Signing()), true, "user"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove(Setup());
        dir_.Manifest("scope = \"" + std::string(c.scope) + "\"\n" + kProduct + c.manifest);
        const Bytes installed = ReadFile(dir_.Path(Uninstaller(c.arch)).string());
        const ToolRun built = Build(c.arch, c.options);
        ASSERT_EQ(built.status, 0) << built.output;
        EXPECT_EQ(ReadFile(dir_.Path(Uninstaller(c.arch)).string()), installed) << "signed in place";
        EXPECT_TRUE(fs::is_empty(Temp())) << "the builder's temporary folder is left";
        const ToolRun checked = certificate_.Verify(Setup());
        EXPECT_EQ(checked.status, 0) << checked.output;

        const std::string uninstaller_line = c.built_in ? signed_line : "not signed";
        const ToolRun verify = Zsetup("verify " + ShellWord(Setup().string()));
        EXPECT_EQ(verify.status, 0) << verify.output;
        EXPECT_EQ(Digitless(verify.output),
                  Digitless("ok\narchitecture: " + ArchDescription(c.arch) + "\nsignature: " + signed_line +
                            "\nuninstaller signature: " + uninstaller_line + "\n"));
        const std::string json_signature = "{\"entries\": 1, \"entry_types\": [2], \"bytes\": 0}";
        EXPECT_EQ(Digitless(Zsetup("verify --json " + ShellWord(Setup().string())).output),
                  Digitless("{\"ok\": true, \"problems\": [], \"architecture\": \"" + std::string(ArchName(c.arch)) +
                            "\", \"signature\": " + json_signature +
                            ", \"uninstaller_signature\": " + (c.built_in ? json_signature : "null") + "}\n"));
        const std::string report = Zsetup("inspect " + ShellWord(Setup().string())).output;
        EXPECT_NE(
            report.find(std::string("\nUninstaller (\\uninstall.exe): ") + (c.built_in ? "built-in" : "own") + "\n"),
            std::string::npos)
            << report;
        EXPECT_NE(Digitless(report).find(Digitless("\nUninstaller signature: " + uninstaller_line + "\n")),
                  std::string::npos)
            << report;

        const fs::path out = dir_.Path(std::string("out-") + ArchName(c.arch) + (c.built_in ? "" : "-own"));
        ASSERT_EQ(Zsetup("extract " + ShellWord(Setup().string()) + " " + ShellWord(out.string())).status, 0);
        EXPECT_EQ(ReadFile((out / fs::u8path("文档/a.txt")).string()), ReadFile(dir_.Path("docs/a.txt").string()));
        EXPECT_NE(report.find(std::string("\nScope: ") + c.scope + " ("), std::string::npos) << report;
        if (c.built_in) {
            const ToolRun uninstaller = certificate_.Verify(out / "uninstall.exe");
            EXPECT_EQ(uninstaller.status, 0) << uninstaller.output;
            const Bytes packed = ReadFile((out / "uninstall.exe").string());
            const std::string level = std::string("level=\"") +
                                      (std::string(c.scope) == "user" ? "asInvoker" : "requireAdministrator") + "\"";
            EXPECT_NE(std::string(packed.begin(), packed.end()).find(level), std::string::npos) << level;
        } else {
            EXPECT_EQ(ReadFile((out / "uninstall.exe").string()), ReadFile(dir_.Path("licence.txt").string()));
        }
    }
}

// A command that fails, or leaves its file missing, unsigned or with more
// than its signature after it, stops the build: its output's last lines
// quoted, never the command itself (it may hold a password), exit 2.
TEST_F(SignedBuild, ACommandThatFailsLeavesNothing) {
    const std::string setup_only = "case {file} in *setup.exe) ";
    const struct {
        const char* label;
        std::string command;
        std::string said;
    } cases[] = {
        {"an exit code", "false s3cret {file}",
         "zsetup: --sign: the command failed on the built-in uninstaller (exit code 1); nothing written; its output "
         "ends:\n    (the command wrote nothing)\n"},
        {"the output's last lines", "printf 'line %s\\n' 1 2 3 4 5 6 7 8 9 10 >&2; exit 3 # s3cret {file}",
         "(exit code 3); nothing written; its output ends:\n    | ... (2 lines before)\n    | line 3\n    | line 4\n"
         "    | line 5\n    | line 6\n    | line 7\n    | line 8\n    | line 9\n    | line 10\n"},
        {"the file removed", "rm {file} # s3cret",
         "--sign: after the command, the built-in uninstaller is gone: the command must leave the signed file under "
         "its name"},
        {"no signature", "true s3cret {file}",
         "--sign: after the command, the built-in uninstaller carries no signature, though the command ended with 0"},
        {"setup.exe only", setup_only + "echo cannot reach the timestamp server s3cret; exit 4;; esac; " + Signing(),
         "--sign: the command failed on setup.exe (exit code 4); nothing written; its output ends:\n    | cannot "
         "reach the timestamp server s3cret\n"},
        {"bytes after setup.exe's signature", Signing() + " && " + setup_only + "printf junk >>{file};; esac # s3cret",
         "--sign: after the command, setup.exe has 4 bytes after its signature, which it does not cover"},
    };
    dir_.Manifest(kProduct);
    const Bytes installed = ReadFile(dir_.Path(Uninstaller(PeMachine::kI386)).string());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const ToolRun run = Build(PeMachine::kI386, "--sign " + ShellWord(c.command));
        EXPECT_EQ(run.status, 2) << run.output;
        EXPECT_NE(run.output.find(c.said), std::string::npos) << run.output;
        const std::string before_output = run.output.substr(0, run.output.find("output ends:"));
        EXPECT_EQ(before_output.find("s3cret"), std::string::npos) << "the command is not shown:\n" << run.output;
        ExpectNothingLeft();
        EXPECT_EQ(ReadFile(dir_.Path(Uninstaller(PeMachine::kI386)).string()), installed);
    }
}

// A command with no {file}, or with it between quotes, is refused before
// anything runs; so is a [sign] table without its command.
TEST_F(SignedBuild, ACommandWithoutItsFileIsRefusedBeforeAnythingRuns) {
    const std::string ran = dir_.Path("ran").string();
    const std::string manifest = dir_.Path("product.toml").string();
    const struct {
        const char* label;
        std::string table;  // after kProduct
        std::string options;
        std::string said;
    } cases[] = {
        {"--sign without {file}", "", "--sign " + ShellWord("touch " + ShellWord(ran)),
         "zsetup: --sign: the command has no {file}, where the builder puts the file to sign"},
        {"--sign with {file} quoted", "", "--sign " + ShellWord("touch " + ShellWord(ran) + " '{file}'"),
         "zsetup: --sign: write {file} without quotes around it: the builder quotes the file's name itself"},
        {"--sign empty", "", "--sign ''", "zsetup: --sign: the command has no {file}"},
        {"[sign] without {file}", "[sign]\ncommand = \"touch " + ShellWord(ran) + "\"\n", "",
         manifest + ":14: sign.command: the command has no {file}"},
        {"[sign] without a command", "[sign]\n", "", manifest + ":13: sign.command: missing, it is required"},
        {"[sign] with a key of another table", "[sign]\ncommand = \"touch {file}\"\nurl = \"x\"\n", "",
         manifest + ":15: sign.url: unknown key"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        dir_.Manifest(kProduct + c.table);
        const ToolRun run = Build(PeMachine::kI386, c.options);
        EXPECT_EQ(run.status, 2) << run.output;
        EXPECT_NE(run.output.find(c.said), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(ran)) << "the command ran";
        ExpectNothingLeft();
    }
}

}  // namespace
}  // namespace zsetup
