// The builder given inputs that would hang it, exhaust it or bury its message:
// a named pipe or a device for each file it reads, a folder source linking to
// the root, keys nested past what toml++'s recursion takes, huge values. Each
// case runs the real zsetup under `timeout`, so a case that blocks fails
// instead of hanging the run, and its answer must be short.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/builder/native_tools.h"
#include "tests/builder/product_dir.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;
using namespace zsetup::testing;

// Far more than any refusal needs; a case that blocks ends here.
constexpr int kSecondsAllowed = 60;

std::string Q(const std::string& s) { return "'" + s + "'"; }

// A product whose every input can be swapped for another path.
struct Inputs {
    std::string licence = "licence.txt";
    std::string source = "a.txt";
    std::string maker;  // [maker] lines
    bool own_uninstaller = true;
    std::string rows;        // more TOML after the [[file]] rows
    std::uint64_t size = 0;  // the manifest's size, made up with zero bytes
};

std::string ManifestText(const Inputs& in) {
    std::string text = "licence = \"" + in.licence +
                       "\"\n\n[product]\nname = \"工具\"\nversion = \"1.0\"\ncompany_key = \"Maker\"\n"
                       "default_folder = \"工具\"\n\n[[file]]\nsource = \"" +
                       in.source + "\"\nname = \"\\\\a.txt\"\n";
    if (in.own_uninstaller) text += "\n[[file]]\nsource = \"licence.txt\"\nname = \"\\\\uninstall.exe\"\n";
    text += in.rows;
    if (!in.maker.empty()) text += "\n[maker]\n" + in.maker;
    return text;
}

std::string Build(const ProductDir& dir, const Inputs& in, const std::string& extra = "") {
    const fs::path manifest = dir.Manifest(ManifestText(in));
    if (in.size != 0) fs::resize_file(manifest, in.size);  // sparse: costs no disk
    return "build " + Q(manifest.string()) + " -o " + Q(dir.Path("setup.exe").string()) + " --stub '" +
           ZSETUP_PE_FIXTURE "' " + extra;
}

using ArgsFn = std::function<std::string(const ProductDir&, const std::string&)>;

// Each file the tool reads, given the path of something else.
const std::vector<std::pair<const char*, ArgsFn>>& EveryInput() {
    static const std::vector<std::pair<const char*, ArgsFn>> inputs = {
        {"manifest",
         [](const ProductDir& dir, const std::string& p) {
             return "build " + Q(p) + " -o " + Q(dir.Path("setup.exe").string()) + " --stub '" ZSETUP_PE_FIXTURE "'";
         }},
        {"licence", [](const ProductDir& dir, const std::string& p) { return Build(dir, Inputs{p}); }},
        {"licence picture",
         [](const ProductDir& dir, const std::string& p) {
             Inputs in;
             in.maker = "licence_picture = \"" + p + "\"\n";
             return Build(dir, in);
         }},
        {"finish picture",
         [](const ProductDir& dir, const std::string& p) {
             Inputs in;
             in.maker = "finish_picture = \"" + p + "\"\n";
             return Build(dir, in);
         }},
        {"icon",
         [](const ProductDir& dir, const std::string& p) {
             Inputs in;
             in.maker = "icon = \"" + p + "\"\n";
             return Build(dir, in);
         }},
        {"file source",
         [](const ProductDir& dir, const std::string& p) {
             Inputs in;
             in.source = p;
             return Build(dir, in);
         }},
        {"stub",
         [](const ProductDir& dir, const std::string& p) {
             return "build " + Q(dir.Manifest(ManifestText(Inputs{})).string()) + " -o " +
                    Q(dir.Path("setup.exe").string()) + " --stub " + Q(p);
         }},
        {"uninstaller",
         [](const ProductDir& dir, const std::string& p) {
             Inputs in;
             in.own_uninstaller = false;
             return Build(dir, in, "--uninstaller " + Q(p));
         }},
        {"inspect", [](const ProductDir&, const std::string& p) { return "inspect " + Q(p); }},
        {"verify", [](const ProductDir&, const std::string& p) { return "verify " + Q(p); }},
        {"extract", [](const ProductDir& dir,
                       const std::string& p) { return "extract " + Q(p) + " " + Q(dir.Path("out").string()); }},
    };
    return inputs;
}

struct NotAFile {
    std::string label;
    ArgsFn args;
    std::string path;  // "fifo": a named pipe made in the product's folder
    std::string what;
};

void PrintTo(const NotAFile& c, std::ostream* os) { *os << c.label; }

std::vector<NotAFile> NotFiles() {
    std::vector<NotAFile> cases;
    for (const auto& [input, args] : EveryInput()) {
        cases.push_back({std::string(input) + " a named pipe", args, "fifo", "is a named pipe (FIFO), not a file"});
        cases.push_back({std::string(input) + " dev zero", args, "/dev/zero", "is a device, not a file"});
        cases.push_back({std::string(input) + " dev null", args, "/dev/null", "is a device, not a file"});
    }
    return cases;
}

ToolRun Zsetup(const std::string& args) {
    return Capture("SOURCE_DATE_EPOCH=1796860800 timeout " + std::to_string(kSecondsAllowed) +
                   " '" ZSETUP_PROGRAM "' " + args);
}

class NotAFileInput : public ::testing::TestWithParam<NotAFile> {};

// Refused at once, exit 2, naming the path and what it is; nothing written.
TEST_P(NotAFileInput, IsRefusedNamingWhatItIs) {
    const NotAFile& c = GetParam();
    ProductDir dir;
    dir.Write("licence.txt", "许可");
    dir.Write("a.txt", "a");
    std::string path = c.path;
    if (path == "fifo") {
        path = dir.Path("fifo").string();
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    }
    const ToolRun run = Zsetup(c.args(dir, path));
    EXPECT_EQ(run.status, 2) << run.output;  // timeout's 124 when it blocked
    EXPECT_NE(run.output.find("\"" + path + "\" " + c.what), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir.Path("setup.exe")));
    EXPECT_FALSE(fs::exists(dir.Path("out")));
}

INSTANTIATE_TEST_SUITE_P(Table, NotAFileInput, ::testing::ValuesIn(NotFiles()), LabelName());

struct Exhausting {
    const char* label;
    std::function<Inputs(const ProductDir&)> product;
    int status;
    std::vector<std::string> says;  // parts of the output
};

void PrintTo(const Exhausting& c, std::ostream* os) { *os << c.label; }

std::string Repeat(const std::string& s, std::size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i) out += s;
    return out;
}

Inputs WithRows(const std::string& rows) {
    Inputs in;
    in.rows = rows;
    return in;
}

// A folder source holding a link to the root of the file system.
Inputs LinkToRoot(const ProductDir& dir, const std::string& row_extra) {
    fs::create_directories(dir.Path("dist"));
    dir.Write("dist/readme.txt", "r");
    fs::create_symlink("/", dir.Path("dist/root"));
    return WithRows("\n[[folder]]\nsource = \"dist\"\nname = \"\\\\dist\"\n" + row_extra);
}

class ExhaustingManifest : public ::testing::TestWithParam<Exhausting> {};

// Ends well within its time with a short answer: no unbounded walk, stack or message.
TEST_P(ExhaustingManifest, EndsWithAShortAnswer) {
    const Exhausting& c = GetParam();
    ProductDir dir;
    dir.Write("licence.txt", "许可");
    dir.Write("a.txt", "a");
    const ToolRun run = Zsetup(Build(dir, c.product(dir), "-q"));
    EXPECT_EQ(run.status, c.status) << run.output.substr(0, 2000);
    for (const std::string& part : c.says) EXPECT_NE(run.output.find(part), std::string::npos) << run.output;
    EXPECT_LT(run.output.size(), 1000u) << run.output.substr(0, 2000);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExhaustingManifest,
    ::testing::Values(
        Exhausting{"a manifest of 100 MB",
                   [](const ProductDir&) {
                       Inputs in;
                       in.size = 100 << 20;
                       return in;
                   },
                   2,
                   {"\" is 104857600 bytes, over the 8388608 it may be"}},
        Exhausting{"a value of 60 KB for a field of 64 bytes",
                   [](const ProductDir&) {
                       Inputs in;
                       in.maker = "caption = \"" + std::string(60000, 'x') + "\"\n";
                       return in;
                   },
                   2,
                   {"maker.caption: 60000 bytes, far over the 64 in GBK it may be (\"xxxx", "...\" (60000 bytes))"}},
        Exhausting{"a value of 1 MB",
                   [](const ProductDir&) {
                       Inputs in;
                       in.maker = "caption = \"" + std::string(1 << 20, 'x') + "\"\n";
                       return in;
                   },
                   2,
                   {"a text in quotes of more than 65536 bytes"}},
        Exhausting{"a dotted key of 15000 parts",
                   [](const ProductDir&) { return WithRows("\n[x]\n" + Repeat("k.", 15000) + "k = 1\n"); },
                   2,
                   {"tables nest more than 128 deep"}},
        Exhausting{"inline tables inside one another, each with a dotted key",
                   [](const ProductDir&) {
                       return WithRows("\nx = " + Repeat("{a.b.c.d = ", 200) + "1" + Repeat("}", 200) + "\n");
                   },
                   2,
                   {"tables nest more than 128 deep"}},
        Exhausting{"a link to the root is not followed",
                   [](const ProductDir& dir) { return LinkToRoot(dir, ""); },
                   0,
                   {"warning: folder[0].source: \"root\" is a link to \"/\", out of the source folder; not followed"}},
        Exhausting{"a link to the root followed stops at a bound",
                   [](const ProductDir& dir) { return LinkToRoot(dir, "follow_links = true\n"); },
                   2,
                   {"folder[0].source: ", "; the walk stopped"}}),
    LabelName());

}  // namespace
}  // namespace zsetup
