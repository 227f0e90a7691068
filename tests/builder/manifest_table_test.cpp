// Manifests in, records or problems out: one table of products with folders,
// patterns, clashing names, registry keys, the file limit and the warnings
// that save a shipped mistake. Each case is built for real (the mingw fixture
// as the stub) and read back, so what it checks is what setup.exe carries.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "builder/manifest.h"
#include "builder/package_builder.h"
#include "builder/package_reader.h"
#include "pe/resource_writer.h"
#include "builder/file_count.h"
#include "package/extra_files.h"
#include "tests/builder/native_tools.h"
#include "tests/builder/package_in_memory.h"
#include "tests/builder/product_dir.h"
#include "tests/support/case_names.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;
using namespace zsetup::testing;

struct ManifestCase {
    std::string label;
    std::map<std::string, std::string> product;              // key -> TOML value, over the defaults
    bool uninstaller = true;                                 // a [[file]] row installing "\uninstall.exe" first
    std::string rows;                                        // TOML after it
    std::vector<std::pair<std::string, std::string>> files;  // beside the manifest: path, bytes
    std::vector<std::string> empty_folders;
    std::vector<std::pair<std::string, std::string>> links;  // path, what it points at
    // Expected: a record (names in table order, key paths, bytes of some files) or problems.
    std::vector<std::string> names;
    std::size_t count = 0;             // when names are not listed
    std::size_t extra = 0;             // of them in SETUPFILES, past the record's 256
    std::vector<std::string> targets;  // what the shortcuts point at
    std::vector<std::string> keys;
    std::optional<std::string> run;  // the installed name [maker]'s run starts
    std::map<std::string, std::string> contents;
    std::vector<std::string> errors;              // each a part of the message
    std::vector<std::string> warnings;            // one part a warning, in order, and no other warning
    std::string top;                              // top-level keys, before every table
    InstallScope scope = InstallScope::kMachine;  // whom setup.exe installs for, as its manifest says

    ManifestCase& Product(const std::string& key, const std::string& toml) { return product[key] = toml, *this; }
    // No "\uninstall.exe" row of its own, and `uninstaller = false`: none built in either.
    ManifestCase& NoUninstaller() { return uninstaller = false, *this; }
    ManifestCase& Rows(const std::string& toml) { return rows += toml, *this; }
    ManifestCase& File(const std::string& path, const std::string& bytes = "x") {
        return files.emplace_back(path, bytes), *this;
    }
    ManifestCase& EmptyFolder(const std::string& path) { return empty_folders.push_back(path), *this; }
    ManifestCase& Link(const std::string& path, const std::string& target) {
        return links.emplace_back(path, target), *this;
    }
    ManifestCase& Names(std::vector<std::string> v) { return names = std::move(v), *this; }
    ManifestCase& Count(std::size_t n, std::size_t past_the_record = 0) {
        return count = n, extra = past_the_record, *this;
    }
    ManifestCase& Targets(std::vector<std::string> v) { return targets = std::move(v), *this; }
    ManifestCase& Keys(std::vector<std::string> v) { return keys = std::move(v), *this; }
    ManifestCase& Runs(const std::string& name) { return run = name, *this; }
    ManifestCase& Content(const std::string& name, const std::string& bytes) { return contents[name] = bytes, *this; }
    ManifestCase& Errors(std::vector<std::string> v) { return errors = std::move(v), *this; }
    ManifestCase& Warnings(std::vector<std::string> v) { return warnings = std::move(v), *this; }
    ManifestCase& Top(const std::string& toml) { return top += toml, *this; }
    ManifestCase& Scope(InstallScope s) { return scope = s, *this; }
};

// gtest names a case by its label, also in ctest's list.
void PrintTo(const ManifestCase& c, std::ostream* os) { *os << c.label; }

ManifestCase Case(const char* label) {
    ManifestCase c;
    c.label = label;
    return c;
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

ManifestCase ManyFiles(const char* label, int n) {
    ManifestCase c = Case(label).Rows("[[folder]]\nsource = \"many\"\nname = \"\\\\m\"\n");
    for (int i = 0; i < n; ++i) c.File("many/f" + std::to_string(1000 + i));
    return c;
}

std::string Registry(const std::string& root, const std::string& key, const std::string& extra = "") {
    return "[[registry]]\nroot = \"" + root + "\"\nkey = \"" + key + "\"\n" + extra +
           "name = \"v\"\ntype = \"int\"\nvalue = 1\n";
}

const char* const kDocs = "[[folder]]\nsource = \"docs\"\nname = \"\\\\d\"\n";

const std::vector<ManifestCase>& Cases() {
    static const std::vector<ManifestCase> cases = {
        // Folders: expanded in installed-name order (GBK bytes), below the row's folder.
        Case("folder files sorted by installed name")
            .Rows("[[folder]]\nsource = \"docs\"\nname = \"\\\\文档\"\n")
            .File("docs/b.txt", "b")
            .File("docs/A.txt", "A")
            .File("docs/sub/c.txt", "c")
            .File("docs/a2.txt", "a2")
            .File("docs/一.txt")  // U+4E00, GBK D2BB: after 啊 in GBK, before it in Unicode
            .File("docs/啊.txt")  // U+554A, GBK B0A1
            .Names({"\\uninstall.exe", "\\文档\\A.txt", "\\文档\\a2.txt", "\\文档\\b.txt", "\\文档\\sub\\c.txt",
                    "\\文档\\啊.txt", "\\文档\\一.txt"})
            .Content("\\文档\\sub\\c.txt", "c"),
        Case("folder into the target folder itself")
            .Rows("[[folder]]\nsource = \"docs\"\nname = \"\\\\\"\n")
            .File("docs/readme.txt")
            .File("docs/bin/tool.exe")
            .Names({"\\uninstall.exe", "\\bin\\tool.exe", "\\readme.txt"}),
        Case("file rows keep their order before the folders")
            .Rows("[[file]]\nsource = \"z.txt\"\nname = \"\\\\z.txt\"\n" + std::string(kDocs))
            .File("z.txt")
            .File("docs/a.txt")
            .Names({"\\uninstall.exe", "\\z.txt", "\\d\\a.txt"}),
        Case("include by extension at any depth")
            .Rows(std::string(kDocs) + "include = [\"*.txt\"]\n")
            .File("docs/x.txt")
            .File("docs/y.png")
            .File("docs/sub/z.txt")
            .Names({"\\uninstall.exe", "\\d\\sub\\z.txt", "\\d\\x.txt"}),
        Case("exclude a folder by its name anywhere")
            .Rows(std::string(kDocs) + "exclude = [\"cache\"]\n")
            .File("docs/cache/a.bin")
            .File("docs/keep.txt")
            .File("docs/sub/cache/b.bin")
            .Names({"\\uninstall.exe", "\\d\\keep.txt"}),
        Case("double star crosses folders")
            .Rows(std::string(kDocs) + "include = [\"img/**/*.png\"]\n")
            .File("docs/img/a.png")
            .File("docs/img/deep/er/b.png")
            .File("docs/img/c.jpg")
            .File("docs/other/d.png")
            .Names({"\\uninstall.exe", "\\d\\img\\a.png", "\\d\\img\\deep\\er\\b.png"}),
        Case("a pattern with a slash is anchored at the folder")
            .Rows(std::string(kDocs) + "exclude = [\"/sub/*.log\"]\n")
            .File("docs/a.log")
            .File("docs/sub/a.log")
            .File("docs/sub/deeper/b.log")
            .Names({"\\uninstall.exe", "\\d\\a.log", "\\d\\sub\\deeper\\b.log"}),
        Case("patterns ignore ASCII letter case")
            .Rows(std::string(kDocs) + "include = [\"*.TXT\", \"?EAD*\"]\n")
            .File("docs/a.txt")
            .File("docs/readme")
            .File("docs/b.bin")
            .Names({"\\uninstall.exe", "\\d\\a.txt", "\\d\\readme"}),
        Case("exclude wins over include")
            .Rows(std::string(kDocs) + "include = [\"*.txt\"]\nexclude = [\"secret*\"]\n")
            .File("docs/a.txt")
            .File("docs/secret.txt")
            .Names({"\\uninstall.exe", "\\d\\a.txt"}),
        Case("a link to a file installs what it points at")
            .Rows(std::string(kDocs) + "follow_links = true\n")
            .File("real.txt", "the bytes")
            .File("docs/plain.txt")
            .Link("docs/latest.txt", "../real.txt")
            .Names({"\\uninstall.exe", "\\d\\latest.txt", "\\d\\plain.txt"})
            .Content("\\d\\latest.txt", "the bytes"),
        Case("a link to a folder is walked")
            .Rows(std::string(kDocs) + "follow_links = true\n")
            .File("shared/s.txt", "shared")
            .Link("docs/shared", "../shared")
            .Names({"\\uninstall.exe", "\\d\\shared\\s.txt"})
            .Content("\\d\\shared\\s.txt", "shared"),
        Case("links inside the source are followed unasked")
            .Rows(kDocs)
            .File("docs/v2/tool.txt", "v2")
            .Link("docs/latest", "v2")
            .Link("docs/current.txt", "v2/tool.txt")
            .Names({"\\uninstall.exe", "\\d\\current.txt", "\\d\\latest\\tool.txt", "\\d\\v2\\tool.txt"})
            .Content("\\d\\current.txt", "v2"),
        Case("links out of the source are skipped, each named")
            .Rows(kDocs)
            .File("real.txt")
            .File("shared/s.txt")
            .File("docs/plain.txt")
            .Link("docs/latest.txt", "../real.txt")
            .Link("docs/sub/shared", "../../shared")
            .Names({"\\uninstall.exe", "\\d\\plain.txt"})
            .Warnings({"folder[0].source: \"latest.txt\" is a link to \"../real.txt\", out of the source folder; not "
                       "followed (follow_links = true follows it)",
                       "folder[0].source: \"sub/shared\" is a link to \"../../shared\""}),
        Case("follow_links as text")
            .Rows(std::string(kDocs) + "follow_links = \"yes\"\n")
            .File("docs/a.txt")
            .Errors({"folder[0].follow_links: expected true or false"}),
        // An installed name of 131 bytes reaches 64 folders down, no further.
        Case("a file 64 folders down")
            .Rows("[[folder]]\nsource = \"deep\"\nname = \"\\\\\"\n")
            .File("deep/" + Repeat("d/", 64) + "x")
            .Count(2),
        Case("a folder 65 folders down")
            .Rows("[[folder]]\nsource = \"deep\"\nname = \"\\\\\"\n")
            .File("deep/" + Repeat("d/", 65) + "x")
            .Errors({"folder[0].source: \"d/d/d/", "lies more than 64 folders below the source"}),
        Case("a link to nothing")
            .Rows(kDocs)
            .File("docs/a.txt")
            .Link("docs/gone.txt", "nowhere.txt")
            .Errors({"folder[0].source: \"gone.txt\" is a link to \"nowhere.txt\", which is not there"}),
        Case("a link back to a folder that holds it")
            .Rows(kDocs)
            .File("docs/a.txt")
            .Link("docs/sub/up", "..")
            .Errors({"folder[0].source: \"sub/up\" is a link back to a folder that holds it"}),
        Case("empty folders are named in a warning")
            .Rows(kDocs)
            .File("docs/a.txt")
            .EmptyFolder("docs/logs")
            .EmptyFolder("docs/z/empty")
            .Names({"\\uninstall.exe", "\\d\\a.txt"})
            .Warnings({"warning: folder[0].source: empty folders are not installed (the installer makes a folder "
                       "only for the files in it): \"logs\", \"z/empty\""}),
        Case("an empty source folder installs nothing")
            .Rows(kDocs)
            .EmptyFolder("docs")
            .Names({"\\uninstall.exe"})
            .Warnings({"docs\" is empty; the row installs nothing"}),
        Case("patterns that leave nothing")
            .Rows(std::string(kDocs) + "include = [\"*.none\"]\n")
            .File("docs/a.txt")
            .Names({"\\uninstall.exe"})
            .Warnings({"holds no file that include and exclude let through; the row installs nothing"}),
        Case("a folder row given a file")
            .Rows(kDocs)
            .File("docs")
            .Errors({"docs\" is a file; a [[file]] row installs one file"}),
        Case("a folder row given nothing").Rows(kDocs).Errors({"docs\" cannot be read (no such folder)"}),
        Case("a file row given a folder")
            .Rows("[[file]]\nsource = \"docs\"\nname = \"\\\\docs\"\n")
            .File("docs/a.txt")
            .Errors({"file[1].source: cannot read", "it is a folder; a [[folder]] row installs one"}),
        Case("an unknown key in a folder row")
            .Rows(std::string(kDocs) + "recurse = false\n")
            .File("docs/a.txt")
            .Errors({"folder[0].recurse: unknown key"}),
        Case("a pattern with a backslash")
            .Rows(std::string(kDocs) + "include = [\"img\\\\*.png\"]\n")
            .File("docs/a.txt")
            .Errors({"folder[0].include: \"img\\*.png\" holds a backslash; patterns put '/' between folders"}),
        Case("patterns not in a list")
            .Rows(std::string(kDocs) + "exclude = \"*.log\"\n")
            .File("docs/a.txt")
            .Errors({"folder[0].exclude: expected a list of patterns"}),
        Case("a pattern that climbs")
            .Rows(std::string(kDocs) + "exclude = [\"../x\"]\n")
            .File("docs/a.txt")
            .Errors({"folder[0].exclude: \"../x\" has a \".\" or \"..\" part"}),
        Case("a file name Windows keeps for a device")
            .Rows(kDocs)
            .File("docs/con.txt")
            .Errors({"folder[0].name: \"\\d\\con.txt\" has \"con.txt\", which is the name of a Windows device"}),
        Case("a file name with a colon")
            .Rows(kDocs)
            .File("docs/a:b.txt")
            .Errors({"folder[0].name: \"\\d\\a:b.txt\" has \"a:b.txt\", which holds a drive or stream separator"}),
        Case("a file name with no GBK form")
            .Rows(kDocs)
            .File("docs/笑😀.txt")
            .Errors({"folder[0].name: \"\\d\\笑😀.txt\" holds a character with no GBK form"}),
        Case("an installed name over its bytes")
            .Rows(kDocs)
            .File("docs/" + Repeat("长", 64) + ".txt")
            .Errors({"folder[0].name: 135 bytes in GBK, at most 131"}),
        Case("a folder row's installed folder must be a name")
            .Rows("[[folder]]\nsource = \"docs\"\nname = \"d\"\n")
            .File("docs/a.txt")
            .Errors({"folder[0].name: \"d\" does not start with a backslash"}),

        // Duplicate installed names across rows name both rows.
        Case("a folder file clashes with a file row")
            .Rows("[[file]]\nsource = \"a.txt\"\nname = \"\\\\d\\\\A.TXT\"\n" + std::string(kDocs))
            .File("a.txt")
            .File("docs/a.txt")
            .Errors({"folder[0].name: \"\\d\\a.txt\" (\"a.txt\" from folder[0]) is already file[1]'s name"}),
        Case("two folder rows give one name")
            .Rows(std::string(kDocs) + "[[folder]]\nsource = \"more\"\nname = \"\\\\d\"\n")
            .File("docs/a.txt")
            .File("more/a.txt")
            .Errors({"folder[1].name: \"\\d\\a.txt\" (\"a.txt\" from folder[1]) is already the name of \"a.txt\" "
                     "from folder[0]"}),
        Case("a file row where a folder row puts a folder")
            .Rows("[[file]]\nsource = \"a.txt\"\nname = \"\\\\d\"\n" + std::string(kDocs))
            .File("a.txt")
            .File("docs/a.txt")
            .Errors({"folder[0].name: \"\\d\\a.txt\" (\"a.txt\" from folder[0]) lies in a folder that is file[1]'s "
                     "file"}),
        Case("fullwidth letters in two names NTFS takes for one")
            .Rows("[[file]]\nsource = \"a.txt\"\nname = \"\\\\ａ.txt\"\n"
                  "[[file]]\nsource = \"a.txt\"\nname = \"\\\\Ａ.txt\"\n")
            .File("a.txt")
            .Errors({"file[2].name: \"\\Ａ.txt\" is already file[1]'s name"}),
        Case("Greek and Cyrillic letters in a folder NTFS takes for one")
            .Rows(kDocs)
            .File("docs/α.txt")
            .File("docs/Α.txt")
            .File("docs/я/a.txt")
            .File("docs/Я/a.txt")
            .Errors({"folder[0].name: \"\\d\\α.txt\" (\"α.txt\" from folder[0]) is already the name of \"Α.txt\" "
                     "from folder[0]",
                     "(\"я/a.txt\" from folder[0]) is already the name of \"Я/a.txt\" from folder[0]"}),
        Case("Roman numerals where a row puts a folder")
            .Rows("[[file]]\nsource = \"a.txt\"\nname = \"\\\\第ⅰ卷\"\n[[file]]\nsource = \"a.txt\"\nname = "
                  "\"\\\\第Ⅰ卷\\\\a.txt\"\n")
            .File("a.txt")
            .Errors({"file[2].name: \"\\第Ⅰ卷\\a.txt\" lies in a folder that is file[1]'s file"}),
        Case("different Chinese characters are different names")
            .Rows("[[file]]\nsource = \"a.txt\"\nname = \"\\\\一\"\n[[file]]\nsource = \"a.txt\"\nname = "
                  "\"\\\\丁\"\n")
            .File("a.txt")
            .Names({"\\uninstall.exe", "\\一", "\\丁"}),
        Case("a shortcut finds its target as NTFS does")
            .Rows("[[file]]\nsource = \"a.txt\"\nname = \"\\\\ｔｏｏｌ.exe\"\n"
                  "[[shortcut]]\nname = \"工具\"\ntarget = \"\\\\ＴＯＯＬ.EXE\"\nwhere = \"desktop\"\n")
            .File("a.txt")
            .Names({"\\uninstall.exe", "\\ｔｏｏｌ.exe"})
            .Targets({"\\ｔｏｏｌ.exe"}),
        Case("two file rows give one name")
            .Rows("[[file]]\nsource = \"a.txt\"\nname = \"\\\\UNINSTALL.EXE\"\n")
            .File("a.txt")
            .Errors({"file[1].name: \"\\UNINSTALL.EXE\" is already file[0]'s name"}),
        Case("a shortcut to a folder's file")
            .Rows(std::string(kDocs) +
                  "[[shortcut]]\nname = \"工具\"\ntarget = \"\\\\d\\\\bin\\\\TOOL.exe\"\nwhere = \"desktop\"\n")
            .File("docs/bin/tool.exe")
            .Names({"\\uninstall.exe", "\\d\\bin\\tool.exe"})
            .Targets({"\\d\\bin\\tool.exe"}),

        // The record holds 256 files; the rest go into SETUPFILES, numbered on.
        ManyFiles("256 files fit the record", 255).Count(256),
        ManyFiles("the 257th file goes into the extra table", 256).Count(257, 1),
        ManyFiles("a shortcut to a file past the record's", 299)
            .Rows("[[shortcut]]\nname = \"末\"\ntarget = \"\\\\m\\\\f1298\"\nwhere = \"both\"\n"
                  "[[shortcut]]\nname = \"首\"\ntarget = \"\\\\m\\\\f1000\"\nwhere = \"desktop\"\n")
            .File("many/f1298", "last")
            .Count(300, 44)
            .Targets({"\\m\\f1298", "\\m\\f1000"})
            .Content("\\m\\f1298", "last"),
        // [maker]'s run names a row of the record: the 256th file is the last it can name.
        ManyFiles("maker run names the record's last file", 299)
            .Rows("[maker]\nrun = \"\\\\m\\\\f1254\"\n")
            .Count(300, 44)
            .Runs("\\m\\f1254"),
        ManyFiles("maker run past the record's files", 299)
            .Rows("[maker]\nrun = \"\\\\m\\\\f1255\"\n")
            .Errors({"maker.run: \"\\m\\f1255\" is file 257; the finish page starts one of the first 256 only"}),

        // Registry keys: from the root as written, below the previous row when asked.
        Case("rows with one key land in that key")
            .Rows(Registry("hklm", "Software\\\\Maker\\\\Tool") + Registry("hklm", "Software\\\\Maker\\\\Tool") +
                  Registry("hklm", "Software\\\\Maker\\\\Tool"))
            .Keys({"\\Software\\Maker\\Tool", "\\Software\\Maker\\Tool", "\\Software\\Maker\\Tool"}),
        Case("a leading backslash changes nothing")
            .Rows(Registry("hkcu", "\\\\Software\\\\Maker") + Registry("hkcu", "Software\\\\Maker"))
            .Keys({"\\Software\\Maker", "\\Software\\Maker"}),
        Case("below the previous row's key")
            .Rows(Registry("hkcu", "Software\\\\制作者") + Registry("hkcu", "选项", "below_previous = true\n") +
                  Registry("hkcu", "更深", "below_previous = true\n") + Registry("hkcu", "Software\\\\Other"))
            .Keys({"\\Software\\制作者", "选项", "更深", "\\Software\\Other"}),
        Case("below_previous false is a path from the root")
            .Rows(Registry("hkcu", "A") + Registry("hkcu", "B", "below_previous = false\n"))
            .Keys({"\\A", "\\B"}),
        // Whom the install is for: a per-user one writes the hklm rows under hkcu.
        Case("scope user: the rows keep their keys, setup.exe runs as the user")
            .Top("scope = \"user\"\n")
            .Rows(Registry("hklm", "Software\\\\Maker") + Registry("hklm", "Tool", "below_previous = true\n") +
                  Registry("hkcu", "Software\\\\Other"))
            .Keys({"\\Software\\Maker", "Tool", "\\Software\\Other"})
            .Scope(InstallScope::kUser),
        Case("scope machine is the default, said").Top("scope = \"machine\"\n"),
        Case("scope of another word")
            .Top("scope = \"everyone\"\n")
            .Errors({":1: scope: \"everyone\" is not \"machine\" or \"user\""}),
        Case("scope as a switch").Top("scope = true\n").Errors({"scope: expected \"machine\" or \"user\""}),
        Case("scope user: an hklm row outside Software")
            .Top("scope = \"user\"\n")
            .Rows(Registry("hkcu", "Software\\\\Fine") + Registry("hklm", "SYSTEM\\\\Setup"))
            .Errors({":20: registry[1].key: hklm \"SYSTEM\\Setup\" has no per-user counterpart: only keys under "
                     "Software can be mapped to hkcu; scope = \"user\" writes the table's hklm rows there"}),
        Case("scope user: a row below another that lands in the policies")
            .Top("scope = \"user\"\n")
            .Rows(Registry("hklm", "Software") + Registry("hklm", "Policies\\\\Maker", "below_previous = true\n"))
            .Errors({"registry[1].key: hklm \"Software\\Policies\\Maker\" is a policy key"}),
        Case("scope user: the 32-bit view")
            .Top("scope = \"user\"\n")
            .Rows(Registry("hklm", "Software\\\\Wow6432Node\\\\Maker"))
            .Errors({"registry[0].key: hklm \"Software\\Wow6432Node\\Maker\" is the 32-bit view"}),
        Case("scope user proposes no Program Files folder")
            .Top("scope = \"user\"\n")
            .Rows("[maker]\nfolder_root = \"program_files\"\n")
            .Errors({":1: scope: \"user\" proposes the user's own programs folder; [maker] folder_root = "
                     "\"program_files\" is for a machine install"}),
        Case("below_previous on the first row")
            .Rows(Registry("hkcu", "A", "below_previous = true\n"))
            .Errors({"registry[0].below_previous: the first row has no previous key to lie below"}),
        Case("below_previous under another root")
            .Rows(Registry("hkcu", "A") + Registry("hklm", "B", "below_previous = true\n"))
            .Errors({"registry[1].below_previous: registry[0] is under hkcu, this row under hklm; a key below it "
                     "needs the same root"}),
        Case("below_previous with a path from the root")
            .Rows(Registry("hkcu", "A") + Registry("hkcu", "\\\\B", "below_previous = true\n"))
            .Errors({"registry[1].key: \"\\B\" starts with a backslash"}),
        Case("below_previous as text")
            .Rows(Registry("hkcu", "A") + Registry("hkcu", "B", "below_previous = \"yes\"\n"))
            .Errors({"registry[1].below_previous: expected true or false"}),
        Case("an empty key name between backslashes")
            .Rows(Registry("hkcu", "Software\\\\\\\\Maker"))
            .Errors({"registry[0].key: \"Software\\\\Maker\" has an empty key name"}),
        Case("a key that is only a backslash")
            .Rows(Registry("hkcu", "\\\\"))
            .Errors({"registry[0].key: \"\\\" has an empty key name"}),
        Case("a key over its bytes with the backslash")
            .Rows(Registry("hkcu", Repeat("k", 128)))
            .Errors({"registry[0].key: 129 bytes in GBK with the leading backslash that makes it a path from the "
                     "root, at most 128"}),
        Case("a key of 127 bytes fits with the backslash")
            .Rows(Registry("hkcu", Repeat("k", 127)))
            .Keys({"\\" + Repeat("k", 127)}),

        // The default folder must fit the record behind "C:\" or "D:\".
        Case("a default folder that fits behind the drive")
            .Product("default_folder", "\"" + Repeat("f", 125) + "\"")
            .Names({"\\uninstall.exe"})
            .Warnings({"product.default_folder: takes 3 lines as \"D:\\fff"}),
        Case("a default folder too long behind the drive")
            .Product("default_folder", "\"" + Repeat("f", 126) + "\"")
            .Product("install_folder", "\"C:\\\\x\"")
            .Errors({"product.default_folder: 126 bytes in GBK, at most 125: the wizard proposes \"C:\\fff"}),

        // Warnings: texts measured against the wizard's labels, and a package without an uninstaller.
        Case("a name of 17 characters fits every label").Product("name", "\"" + Repeat("名", 17) + "\""),
        Case("a name of 18 characters overflows the finish page's hint")
            .Product("name", "\"" + Repeat("名", 18) + "\"")
            .Warnings({"product.name: is 336 px wide as \"请双击" + Repeat("名", 18) +
                       "图标运行软件。\" at the wizard's font (微软雅黑, 12 px); page 5's hint (Label6, 330 px) "
                       "shows only \"请双击" +
                       Repeat("名", 18) + "图标运行软件\""}),
        Case("a long name overflows three labels")
            .Product("name", "\"" + Repeat("名", 28) + "\"")
            .Warnings({"product.name: is 336 px wide at the wizard's font (微软雅黑, 12 px); page 0's product name "
                       "(NameLb, 330 px) shows only \"" +
                           Repeat("名", 27) + "\"",
                       "page 0's subtitle (Label12, 440 px) shows only \"本安装程序将" + Repeat("名", 28) + "软件\"",
                       "page 5's hint (Label6, 330 px)"}),
        Case("wide ASCII letters overflow")
            .Product("name", "\"" + Repeat("W", 28) + "\"")
            .Warnings({
                "NameLb",
                "Label12",
                "Label6",
            }),
        Case("narrow ASCII letters fit").Product("name", "\"" + Repeat("i", 28) + "\""),
        Case("a version too wide for its label")
            .Product("version", "\"1.0 " + Repeat("版", 27) + "\"")
            .Warnings({"product.version: is 345 px wide at the wizard's font (微软雅黑, 12 px); page 0's version "
                       "(VerLb, 330 px) shows only \"1.0 " +
                       Repeat("版", 25) + "\""}),
        Case("a version with a line break")
            .Product("version", "\"1.0\\r\\n正式版\"")
            .Warnings({"product.version: holds a line break; page 0's version (VerLb, 330 px) shows one line, "
                       "\"1.0\""}),
        Case("a version without numbers")
            .Product("version", "\"beta\"")
            .Warnings({"product.version: \"beta\" does not start with one to four numbers of at most 65535; the "
                       "file version in setup.exe's version information is 0.0.0.0"}),
        Case("an introduction of five lines fits")
            .Product("introduction", "\"一\\r\\n二\\r\\n三\\r\\n四\\r\\n" + Repeat("五", 20) + "\""),
        Case("an introduction that wraps to six lines")
            .Product("introduction", "\"一\\r\\n二\\r\\n三\\r\\n四\\r\\n" + Repeat("五", 21) + "\"")
            .Warnings({"product.introduction: takes 6 lines where page 0's introduction (IntroLb, 245 x 80 px) shows "
                       "5 lines"}),
        Case("a default folder too wide for page 3")
            .Product("default_folder", "\"" + Repeat("夹", 17) + "\"")
            .Warnings({"product.default_folder: takes 2 lines as \"D:\\" + Repeat("夹", 17) +
                       "\" where page 3's target folder (FolderLb, 200 x 17 px) shows 1 line"}),
        Case("no uninstaller")
            .NoUninstaller()
            .Rows("[[file]]\nsource = \"a.txt\"\nname = \"\\\\a.txt\"\n")
            .File("a.txt")
            .Names({"\\a.txt"})
            .Warnings({"warning: no file is installed as \"\\uninstall.exe\""}),
        Case("an uninstaller from a folder counts")
            .NoUninstaller()
            .Rows("[[folder]]\nsource = \"bin\"\nname = \"\\\\\"\n")
            .File("bin/Uninstall.EXE")
            .Names({"\\Uninstall.EXE"}),
    };
    return cases;
}

std::string ManifestText(const ManifestCase& c) {
    std::map<std::string, std::string> product = {
        {"name", "\"工具\""}, {"version", "\"1.0\""}, {"company_key", "\"Maker\""}, {"default_folder", "\"工具\""}};
    for (const auto& [key, value] : c.product) product[key] = value;
    std::string text = c.top + (c.uninstaller ? "" : "uninstaller = false\n");
    text += "licence = \"licence.txt\"\n\n[product]\n";
    for (const auto& [key, value] : product) text += key + " = " + value + "\n";
    if (c.uninstaller) text += "\n[[file]]\nsource = \"licence.txt\"\nname = \"\\\\uninstall.exe\"\n";
    return text + "\n" + c.rows;
}

void MakeProduct(const ProductDir& dir, const ManifestCase& c) {
    dir.Write("licence.txt", "licence");
    for (const auto& [path, bytes] : c.files) dir.Write(path, bytes);
    for (const std::string& folder : c.empty_folders) fs::create_directories(dir.Path(folder));
    for (const auto& [path, target] : c.links) {
        fs::create_directories(dir.Path(path).parent_path());
        fs::create_symlink(fs::u8path(target), dir.Path(path));
    }
}

ManifestOptions Options() {
    ManifestOptions o;
    o.source_date_epoch = 1796860800;
    return o;
}

// Every line of every problem, reading the manifest and then building.
struct Outcome {
    std::string problems;
    std::vector<std::string> warnings;
    std::unique_ptr<PackageContents> package;
    bool carries_table = false;  // a SETUPFILES resource
};

Outcome BuildCase(const fs::path& manifest_file) {
    Outcome out;
    try {
        Manifest m = ReadManifest(manifest_file, Options());
        out.warnings = m.warnings;
        const std::vector<std::uint8_t> image = BuildSetup(m, ReadFile(ZSETUP_PE_FIXTURE), {});
        out.carries_table = FindRcData(image, "SETUPFILES").has_value();
        out.package = std::make_unique<PackageContents>(ReadPackage(image));
    } catch (const InputError& e) {
        out.problems = e.what();
    }
    return out;
}

class ManifestTable : public ::testing::TestWithParam<ManifestCase> {};

TEST_P(ManifestTable, GivesTheRecordOrTheProblems) {
    const ManifestCase& c = GetParam();
    ProductDir dir;
    MakeProduct(dir, c);
    const Outcome out = BuildCase(dir.Manifest(ManifestText(c)));

    for (const std::string& part : c.errors) EXPECT_NE(out.problems.find(part), std::string::npos) << out.problems;
    if (!c.errors.empty()) return;
    ASSERT_EQ(out.problems, "");
    ASSERT_EQ(out.warnings.size(), c.warnings.size()) << ::testing::PrintToString(out.warnings);
    for (std::size_t i = 0; i < c.warnings.size(); ++i)
        EXPECT_NE(out.warnings[i].find(c.warnings[i]), std::string::npos) << out.warnings[i];

    const SetupConfig& r = *out.package->record;
    const AllFileRows files(r, out.package->extra_files);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < files.size(); ++i) names.push_back(GbkToUtf8(files[i].Name.text()));
    if (c.count != 0) {
        EXPECT_EQ(names.size(), c.count);
    } else if (!c.names.empty()) {
        EXPECT_EQ(names, c.names);
    }
    EXPECT_EQ(out.package->extra_files.size(), c.extra);
    EXPECT_EQ(out.carries_table, c.extra != 0) << "a product within the record's rows carries no extra table";
    std::vector<std::string> targets;
    for (const ShortcutEntry& s : r.ShortcutRows()) targets.push_back(names.at(static_cast<std::size_t>(s.FileIndex)));
    EXPECT_EQ(targets, c.targets);
    std::vector<std::string> keys;
    for (const RegistryEntry& e : r.RegistryRows()) keys.push_back(GbkToUtf8(e.KeyPath.text()));
    EXPECT_EQ(keys, c.keys);
    EXPECT_EQ(out.package->scope, c.scope);
    std::optional<std::string> run;
    if (out.package->maker && out.package->maker->run_file)
        run = names.at(static_cast<std::size_t>(*out.package->maker->run_file));
    EXPECT_EQ(run, c.run);
    for (const auto& [name, bytes] : c.contents) {
        SCOPED_TRACE(name);
        const auto at = std::find(names.begin(), names.end(), name);
        ASSERT_NE(at, names.end());
        const FileEntry* row = &files[static_cast<std::size_t>(at - names.begin())];
        const Bytes got = RowBytes(*out.package, *row);
        EXPECT_EQ(std::string(got.begin(), got.end()), bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ManifestTable, ::testing::ValuesIn(Cases()), LabelName());

// Too many files to make on disk for a case: the limit counted over the groups.
TEST(FileCount, CountsEveryGroupAgainstOneLimit) {
    EXPECT_EQ(FileCountProblem({{"[[file]] rows", 1}, {"folder[0] (\"a\")", kMostFiles - 1}}), "");
    EXPECT_EQ(FileCountProblem({{"[[file]] rows", 1}, {"folder[0] (\"a\")", kMostFiles}, {"folder[1]", 0}}),
              "the product has 65537 files (1 from [[file]] rows, 65536 from folder[0] (\"a\")); an installer "
              "holds at most 65536");
}

}  // namespace
}  // namespace zsetup
