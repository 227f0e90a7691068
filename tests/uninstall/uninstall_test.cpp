// The uninstaller on the memory platform: a product installed by the real
// installation run is taken away again, exactly, and only what it wrote.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "package/setup_map.h"
#include "package/maker_profile.h"
#include "platform/registry_accessor.h"
#include "tests/installer/wizard_fixture.h"
#include "text/gbk.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_form.h"
#include "uninstall/uninstall_texts.h"
#include "uninstall/uninstaller_program.h"
#include "commandline/exit_codes.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const std::string kFolder = "C:\\演示软件";
const std::string kSelf = kFolder + "\\uninstall.exe";

// A product with files in folders, links of every kind, registry rows that
// land below one another, under both roots, and one that only makes a key.
Package Product() {
    Package p;
    p.AddFile("\\bin\\app.exe", "app");
    p.AddFile("\\bin\\data\\a.dat", "data");
    p.AddFile("\\uninstall.exe", "MZ uninstaller");
    p.AddShortcut("演示", 1, 2);
    p.AddShortcut("说明", 0, 1);
    auto row = [&](bool hkcu, const char* key, const char* name, RegistryKind kind) -> RegistryEntry& {
        RegistryEntry& r = p.record.RegistryEntries[p.record.RegistryCount++];
        r.CurrentUser = hkcu;
        r.KeyPath.assign(key);
        r.ValueName.assign(name);
        r.Kind = static_cast<std::uint8_t>(kind);
        return r;
    };
    row(false, "Software\\演示工作室\\Tool", "Mode", RegistryKind::String).StringValue.assign("完整");
    row(false, "Options", "Count", RegistryKind::Integer).IntValue = -1;  // below Tool
    row(true, "\\Software\\演示\\Settings", "On", RegistryKind::Bool).BoolValue = 1;
    row(true, "\\Software\\演示\\Empty", "", RegistryKind::KeyOnly);
    row(false, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "演示", RegistryKind::String)
        .StringValue.assign(kFolder + "\\bin\\app.exe");
    return p;
}

// Unpacks the installed record copy, changes it and packs it back: a sound record.
void RewriteRecord(MemoryFiles& files, const std::function<void(SetupConfig&)>& change) {
    const Bytes blob = *files.ReadWholeFile(kFolder + "\\Z_nt.cx");
    const Bytes bytes = UnpackBlob(blob.data(), blob.size());
    auto record = std::make_unique<SetupConfig>(SetupConfig::FromBytes(bytes.data(), bytes.size()));
    change(*record);
    const Bytes changed = record->ToBytes();
    files.WriteWholeFile(kFolder + "\\Z_nt.cx", PackBlob(changed.data(), changed.size()));
}

// Keys every machine has, empty or not: they stay when the product's values in them go.
void AddSystemKeys(MemoryPlatform& p) {
    for (const char* key : {"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                            "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"})
        p.registry.OpenKey(RegRoot::LocalMachine, key, true, kKeySetValue);
}

// The machine before, the install, and the uninstaller started from the product's folder.
struct Cycle {
    explicit Cycle(const Package& package = Product()) : w(package) {
        AddSystemKeys(*w.platform);
        // The machine as it was before setup started: setup's first page already opens the product's key.
        MemoryPlatform before({"C:"});
        AddShellFolders(before);
        AddSystemKeys(before);
        files_before = before.files.Listing();
        registry_before = before.registry.Listing();
        w.ToFolderPage();
        w.Next();
        w.Next();
        EXPECT_EQ(w.page(), 5);
        w.platform->processes.SetCurrentProgram(kSelf);
        // The uninstaller is another process: setup's current folder is not its own.
        w.platform->files.SetCurrentDir("C:\\");
    }
    // Starts the uninstaller; Uninstall pressed when asked to.
    TUninstallForm& Uninstall(bool press = true) {
        uninstaller = std::make_unique<TUninstallForm>(w.platform->seam, kFolder);
        uninstaller->Start();
        if (press && !uninstaller->form().terminated()) uninstaller->Control("UninstallButton").Click();
        return *uninstaller;
    }
    // The copy's part once the first program has ended.
    void FinishSelfRemoval() {
        ASSERT_TRUE(HandOverSelfRemoval(w.platform->seam));
        const auto& launched = w.platform->processes.LaunchRequests().back();
        w.platform->processes.SetCurrentProgram(launched.program);
        ASSERT_TRUE(zsetup::FinishSelfRemoval(w.platform->seam, 4, kSelf));
    }
    std::vector<std::string> Files() const { return FilesButTheTempFolder(w.platform->files); }
    Wizard w;
    std::unique_ptr<TUninstallForm> uninstaller;
    std::vector<std::string> files_before, registry_before;
};

TEST(Uninstall, TakesAwayExactlyWhatTheRunWrote) {
    Cycle c;
    ASSERT_NE(c.w.platform->files.Listing(), c.files_before);
    TUninstallForm& u = c.Uninstall();
    EXPECT_EQ(u.exit_code(), kUninstallComplete);
    EXPECT_TRUE(u.result().Complete());
    EXPECT_EQ(u.Control("Pages").active_page(), 2);
    EXPECT_EQ(u.Control("ResultLabel").caption(), uninstall_texts::kAllGone);
    EXPECT_FALSE(u.Control("LeftoverBox").visible());
    EXPECT_EQ(c.w.platform->registry.Listing(), c.registry_before);
    // Only the running uninstaller remains, and its folder; the copy takes both.
    EXPECT_TRUE(c.w.platform->files.Attributes(kSelf));
    c.FinishSelfRemoval();
    EXPECT_EQ(c.Files(), c.files_before);
    const auto& launched = c.w.platform->processes.LaunchRequests();
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0].program.rfind("C:\\Temp\\zsetup-uninstall-", 0), 0u) << launched[0].program;
    EXPECT_EQ(launched[0].arguments, "/CLEANUP=4 /IN=" + kSelf);
    EXPECT_EQ(c.w.platform->files.RemovalsAtRestart(),
              (std::vector<std::string>{launched[0].program, FolderOf(launched[0].program)}));
}

// The complete uninstall entry's values go with the design's, and the key with them.
TEST(Uninstall, TakesAwayTheCompleteEntry) {
    Package p = Product();
    MakerProfile profile;
    profile.complete_entry = true;
    profile.entry_icon = 0;
    profile.help_link = "https://demo.example.org/help";
    profile.update_link = "https://demo.example.org/new";
    p.maker = WriteMakerProfile(profile);
    Cycle c(p);
    {
        auto entry = c.w.platform->registry.OpenKey(
            RegRoot::LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示软件", false,
            kKeyQueryValue);
        ASSERT_TRUE(entry);
        ASSERT_TRUE(entry->QueryValue("URLUpdateInfo"));
    }
    EXPECT_EQ(c.Uninstall().exit_code(), kUninstallComplete);
    EXPECT_EQ(c.w.platform->registry.Listing(), c.registry_before);
}

// Past the record's 256 files: the rows of the table copy beside it go too,
// and so do the copy and a link to one of its files.
Package LargeProduct() {
    Package p = Product();
    for (int i = 0; i < 300; ++i) p.AddFile("\\lib\\m" + std::to_string(i % 7) + "\\f" + std::to_string(i), "x");
    p.AddShortcut("最后", p.record.FileCount + static_cast<int>(p.extra.size()) - 1, 2);
    return p;
}

TEST(Uninstall, TakesAwayEveryFileOfALargeProduct) {
    Cycle c(LargeProduct());
    ASSERT_TRUE(c.w.platform->files.Attributes(kFolder + "\\Z_files.cx"));
    ASSERT_TRUE(c.w.platform->files.Attributes(kFolder + "\\lib\\m5\\f299"));
    TUninstallForm& u = c.Uninstall();
    EXPECT_EQ(u.exit_code(), kUninstallComplete);
    EXPECT_TRUE(u.result().Complete());
    EXPECT_EQ(c.w.platform->registry.Listing(), c.registry_before);
    c.FinishSelfRemoval();
    EXPECT_EQ(c.Files(), c.files_before);
}

// A damaged table copy is a damaged record: nothing goes. Beside a record
// that is not full the copy is an earlier, larger version's: not read, removed.
TEST(Uninstall, TheTableCopyIsReadOnlyBesideAFullRecord) {
    {
        Cycle c(LargeProduct());
        MemoryFiles& f = c.w.platform->files;
        Bytes table = *f.ReadWholeFile(kFolder + "\\Z_files.cx");
        table[table.size() - 1] ^= 1;
        f.WriteWholeFile(kFolder + "\\Z_files.cx", table);
        const auto files = f.Listing();
        c.w.platform->dialogs.Answer(kIdOk);
        TUninstallForm& u = c.Uninstall();
        EXPECT_EQ(u.exit_code(), kUninstallNoRecord);
        EXPECT_EQ(c.w.boxes().back().text, std::string(uninstall_texts::kBadRecord) + kFolder +
                                               "\\Z_files.cx: Packed data is corrupt (zlib: incorrect data check)");
        EXPECT_EQ(f.Listing(), files);
    }
    {
        // Beside a smaller record: the install took an earlier one away, so
        // one there now is none of the install's.
        Cycle c;
        MemoryFiles& f = c.w.platform->files;
        f.WriteWholeFile(kFolder + "\\Z_files.cx", {'o', 'l', 'd'});
        const auto files = f.Listing();
        c.w.platform->dialogs.Answer(kIdOk);
        TUninstallForm& u = c.Uninstall();
        EXPECT_EQ(u.exit_code(), kUninstallNoRecord);
        EXPECT_EQ(c.w.boxes().back().text,
                  std::string(uninstall_texts::kBadRecord) + kFolder + "\\Z_files.cx: the install did not leave it");
        EXPECT_EQ(f.Listing(), files);
    }
}

TEST(Uninstall, ShowsTheProductAndEndsItsProgramsFirst) {
    Cycle c;
    const std::uint32_t running = c.w.platform->processes.Start("ZANTO-KPV.exe");
    TUninstallForm& u = c.Uninstall(false);
    EXPECT_EQ(u.form().caption(), "演示软件卸载向导");
    EXPECT_EQ(u.Control("NameLabel").caption(), "演示软件");
    EXPECT_EQ(u.Control("VersionLabel").caption(), "1.0.0");
    EXPECT_EQ(u.Control("FolderLabel").caption(), kFolder);
    EXPECT_EQ(u.Control("Pages").active_page(), 0);
    EXPECT_TRUE(c.w.platform->processes.Terminations().empty()) << "nothing ends before the user says so";
    u.Control("UninstallButton").Click();
    ASSERT_EQ(c.w.platform->processes.Terminations().size(), 1u);
    EXPECT_EQ(c.w.platform->processes.Terminations()[0].id, running);
}

// A file the user put in a folder keeps it; a value changed since install is
// the user's now and keeps its key; a held file waits for the restart, and
// its folder with it.
TEST(Uninstall, LeavesWhatIsTheUsersAndSaysSo) {
    Cycle c;
    MemoryFiles& files = c.w.platform->files;
    files.AddFile(kFolder + "\\bin\\notes.txt", {'m', 'i', 'n', 'e'});
    files.SetLocked(kFolder + "\\bin\\data\\a.dat", true);
    {
        RegistryAccessor reg(c.w.platform->registry, kKeySetValue, RegRoot::LocalMachine);
        reg.OpenKey("\\Software\\演示工作室\\Tool", false);
        reg.WriteString("Mode", "改过");
    }
    TUninstallForm& u = c.Uninstall();
    EXPECT_EQ(u.exit_code(), kUninstallIncomplete);
    EXPECT_EQ(u.result().kept, (std::vector<std::string>{kFolder + "\\bin", kFolder}));
    EXPECT_EQ(u.result().at_restart,
              (std::vector<std::string>{kFolder + "\\bin\\data\\a.dat", kFolder + "\\bin\\data"}));
    EXPECT_TRUE(u.result().failed.empty());
    EXPECT_EQ(files.ReadWholeFile(kFolder + "\\bin\\notes.txt"), (Bytes{'m', 'i', 'n', 'e'}));
    EXPECT_FALSE(files.Attributes(kFolder + "\\bin\\app.exe"));
    EXPECT_FALSE(files.Attributes(kFolder + "\\Z_nt.cx"));
    RegistryAccessor reg(c.w.platform->registry, kKeyQueryValue, RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKey("\\Software\\演示工作室\\Tool", false));
    EXPECT_EQ(reg.ReadString("Mode"), "改过");
    EXPECT_FALSE(reg.OpenKey("\\Software\\演示工作室\\Tool\\Options", false)) << "its own value was taken";
    EXPECT_FALSE(reg.OpenKey("\\Software\\演示工作室\\演示软件", false));
    EXPECT_TRUE(u.Control("LeftoverBox").visible());
    EXPECT_EQ(u.Control("ResultLabel").caption(), uninstall_texts::kLeftHead);
    EXPECT_NE(u.Control("LeftoverBox").caption().find(kFolder + "\\bin\\data\\a.dat" + uninstall_texts::kAtRestart),
              std::string::npos);
}

// A folder of the product swapped for a link (a junction, a symbolic link)
// leads anywhere: nothing behind it is removed, the link stays and is listed.
TEST(Uninstall, NeverEntersALinkInTheProductsFolder) {
    const struct {
        const char* label;
        std::string link;
    } cases[] = {
        {"a folder", kFolder + "\\bin"},
        {"a folder inside a folder", kFolder + "\\bin\\data"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Cycle c;
        MemoryFiles& files = c.w.platform->files;
        // What the link replaces goes; the victim holds files of the same names.
        for (const char* file : {"\\bin\\data\\a.dat", "\\bin\\app.exe"})
            if ((kFolder + file).rfind(k.link + "\\", 0) == 0) files.RemoveFile(kFolder + file);
        if (k.link == kFolder + "\\bin") files.RemoveFolder(kFolder + "\\bin\\data");
        files.RemoveFolder(k.link);
        files.MakeDirectory("C:\\victim");
        files.MakeDirectory("C:\\victim\\data");
        files.AddFile("C:\\victim\\app.exe", {'v'});
        files.AddFile("C:\\victim\\data\\a.dat", {'v'});
        files.AddFile("C:\\victim\\a.dat", {'v'});
        files.AddLink(k.link, "C:\\victim");
        TUninstallForm& u = c.Uninstall();
        EXPECT_EQ(u.exit_code(), kUninstallIncomplete);
        EXPECT_EQ(u.result().links, std::vector<std::string>{k.link});
        for (const char* victim : {"C:\\victim\\app.exe", "C:\\victim\\data\\a.dat", "C:\\victim\\a.dat"})
            EXPECT_EQ(files.ReadWholeFile(victim), Bytes{'v'}) << victim;
        EXPECT_TRUE(files.Attributes(k.link));
        EXPECT_FALSE(files.Attributes(kFolder + "\\Z_nt.cx"));
        EXPECT_NE(u.Control("LeftoverBox").caption().find(k.link + uninstall_texts::kLinkKept), std::string::npos);
    }
}

// The maker's key keeps its values while another of the maker's products is there.
TEST(Uninstall, AnotherProductOfTheMakerKeepsTheMakersValues) {
    Cycle c;
    {
        RegistryAccessor reg(c.w.platform->registry, kKeySetValue, RegRoot::LocalMachine);
        reg.OpenKey("\\Software\\演示工作室\\另一个软件", true);
        reg.WriteString("Version", "2.0");
    }
    c.Uninstall();
    RegistryAccessor reg(c.w.platform->registry, kKeyQueryValue, RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKey("\\Software\\演示工作室", false));
    EXPECT_EQ(reg.ReadString("Site"), "http://www.example.com");
    EXPECT_EQ(reg.ReadString("Author"), "演示工作室");
    EXPECT_FALSE(reg.OpenKey("\\Software\\演示工作室\\演示软件", false));
    EXPECT_FALSE(reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示软件", false));
}

// Without a sound record nothing is removed: a missing one (a second run)
// says the product is not installed, a damaged one names the problem.
TEST(Uninstall, WithoutASoundRecordNothingIsRemoved) {
    const struct {
        const char* label;
        std::function<void(MemoryFiles&)> spoil;
        std::string box;
    } cases[] = {
        {"missing", [](MemoryFiles& f) { f.RemoveFile(kFolder + "\\Z_nt.cx"); }, uninstall_texts::kNotInstalled},
        {"damaged",
         [](MemoryFiles& f) {
             Bytes blob = *f.ReadWholeFile(kFolder + "\\Z_nt.cx");
             blob[blob.size() - 1] ^= 1;
             f.WriteWholeFile(kFolder + "\\Z_nt.cx", blob);
         },
         std::string(uninstall_texts::kBadRecord) + kFolder +
             "\\Z_nt.cx: Packed data is corrupt (zlib: incorrect data check)"},
        {"a damaged maker's profile beside it",
         [](MemoryFiles& f) {
             f.WriteWholeFile(kFolder + "\\Z_maker.cx", {'Z', 'S', 'M', 'K', 9});
         },
         std::string(uninstall_texts::kBadRecord) + "SETUPMAKER"},
        // Short, its tables would read as empty and their links and values stay.
        {"a record copy cut short",
         [](MemoryFiles& f) {
             const Bytes blob = *f.ReadWholeFile(kFolder + "\\Z_nt.cx");
             Bytes config = UnpackBlob(blob.data(), blob.size());
             config.resize(config.size() / 2);
             f.WriteWholeFile(kFolder + "\\Z_nt.cx", PackBlob(config.data(), config.size()));
         },
         std::string(uninstall_texts::kBadRecord) + kFolder +
             "\\Z_nt.cx: it unpacks to 103580 bytes, a record is 207160"},
        {"failing validation",
         [](MemoryFiles& f) {
             Package bad;
             bad.record.Files[0].Name.assign("\\..\\..\\windows\\system.ini");
             const Bytes config = bad.record.ToBytes();
             f.WriteWholeFile(kFolder + "\\Z_nt.cx", PackBlob(config.data(), config.size()));
         },
         std::string(uninstall_texts::kBadRecord) + "Files[0].Name: \"\\..\\..\\windows\\system.ini\" climbs out"},
        // Sound copies a user could put there: only what the install vouched
        // for in its uninstall entry is believed.
        {"a sound maker's profile the install did not leave",
         [](MemoryFiles& f) {
             MakerProfile planted;
             planted.processes = std::vector<std::string>{"app.exe"};
             f.WriteWholeFile(kFolder + "\\Z_maker.cx", WriteMakerProfile(planted));
         },
         std::string(uninstall_texts::kBadRecord) + kFolder + "\\Z_maker.cx: the install did not leave it"},
        {"a sound record rewritten to name a system value",
         [](MemoryFiles& f) {
             RewriteRecord(f, [](SetupConfig& r) {
                 RegistryEntry& row = r.RegistryEntries[r.RegistryCount - 1];
                 row.ValueName.assign("SecurityAgent");
             });
         },
         std::string(uninstall_texts::kBadRecord) + kFolder + "\\Z_nt.cx: it is not the copy the install left"},
        {"a sound record of a product installed elsewhere",
         [](MemoryFiles& f) { RewriteRecord(f, [](SetupConfig& r) { r.ProductName.assign("另一个软件"); }); },
         std::string(uninstall_texts::kBadRecord) + "the uninstall entry of this product does not name the folder " +
             kFolder},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Cycle c;
        k.spoil(c.w.platform->files);
        const auto files = c.w.platform->files.Listing();
        const auto registry = c.w.platform->registry.Listing();
        c.w.platform->dialogs.Answer(kIdOk);
        TUninstallForm& u = c.Uninstall();
        EXPECT_TRUE(u.form().terminated());
        EXPECT_EQ(u.exit_code(), kUninstallNoRecord);
        ASSERT_FALSE(c.w.boxes().empty());
        EXPECT_EQ(c.w.boxes().back().text.rfind(k.box, 0), 0u) << c.w.boxes().back().text;
        EXPECT_EQ(c.w.platform->files.Listing(), files);
        EXPECT_EQ(c.w.platform->registry.Listing(), registry);
        EXPECT_FALSE(u.removed());
    }
}

// A mebibyte announcing a gibibyte beside a full record: refused before it is
// unpacked, in the box and under /S, and nothing is removed.
TEST(Uninstall, ATableCopyAnnouncingAGibibyteIsRefusedUnpacked) {
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "/S" : "window");
        Cycle c(LargeProduct());
        Bytes table(4 + (1 << 20), 0);
        WriteLe32(table.data(), 1u << 30);
        c.w.platform->files.WriteWholeFile(kFolder + "\\Z_files.cx", table);
        const auto files = c.w.platform->files.Listing();
        const std::size_t boxes = c.w.boxes().size();
        c.w.platform->dialogs.Answer(kIdOk);
        TUninstallForm u(c.w.platform->seam, kFolder);
        if (silent) {
            EXPECT_EQ(u.RunSilently(), kUninstallNoRecord);
            EXPECT_EQ(c.w.boxes().size(), boxes);
        } else {
            u.Start();
            EXPECT_EQ(u.exit_code(), kUninstallNoRecord);
            ASSERT_EQ(c.w.boxes().size(), boxes + 1);
            EXPECT_EQ(c.w.boxes().back().text, std::string(uninstall_texts::kBadRecord) + kFolder +
                                                   "\\Z_files.cx: it announces 1073741824 bytes unpacked, at most "
                                                   "9139212");
        }
        EXPECT_EQ(c.w.platform->files.Listing(), files);
    }
}

// An install made before the copies' digests were kept is still taken away:
// its entry names its folder, which is all it has to vouch with.
TEST(Uninstall, AnEarlierInstallWithoutDigestsIsTakenAway) {
    Cycle c;
    {
        auto entry = c.w.platform->registry.OpenKey(RegRoot::LocalMachine,
                                                    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示软件",
                                                    false, kKeySetValue);
        ASSERT_TRUE(entry);
        for (const char* name :
             {installed::kRecordDigestValue, installed::kExtraFilesDigestValue, installed::kMakerDigestValue})
            entry->DeleteValue(name);
    }
    TUninstallForm& u = c.Uninstall();
    EXPECT_EQ(u.exit_code(), kUninstallComplete);
    c.FinishSelfRemoval();
    EXPECT_EQ(c.Files(), c.files_before);
}

TEST(Uninstall, ASecondRunSaysTheProductIsNotInstalled) {
    Cycle c;
    c.Uninstall();
    c.w.platform->dialogs.Answer(kIdOk);
    TUninstallForm& again = c.Uninstall();
    EXPECT_EQ(again.exit_code(), kUninstallNoRecord);
    ASSERT_EQ(c.w.boxes().back().text, uninstall_texts::kNotInstalled);
}

// Closing halfway would leave half a product behind unseen: refused while
// the removal runs; Cancel on the question ends with nothing removed.
TEST(Uninstall, ClosingHalfwayIsRefusedAndCancelRemovesNothing) {
    Cycle c;
    struct Closer : ui::View {
        ui::Form* form = nullptr;
        void Changed(ui::Widget&, ui::Property) override {}
        void Repaint(ui::Widget& w) override {
            if (w.name() == "Progress") form->RequestClose();
        }
    } closer;
    TUninstallForm& u = c.Uninstall(false);
    closer.form = &u.form();
    u.form().AttachView(&closer);
    u.Control("UninstallButton").Click();
    EXPECT_FALSE(u.form().terminated());
    EXPECT_EQ(u.Control("Pages").active_page(), 2);

    Cycle again;
    const auto files = again.w.platform->files.Listing();
    TUninstallForm& cancelled = again.Uninstall(false);
    cancelled.Control("CancelButton").Click();
    EXPECT_TRUE(cancelled.form().terminated());
    EXPECT_EQ(cancelled.exit_code(), kUninstallIncomplete);
    EXPECT_EQ(again.w.platform->files.Listing(), files);
}

// /S: the same removal without a window or a box; the exit code says how it went.
TEST(Uninstall, SilentlyTheExitCodeSaysHowItWent) {
    const struct {
        const char* label;
        std::function<void(MemoryFiles&)> before;
        int code;
    } cases[] = {
        {"all gone", [](MemoryFiles&) {}, kUninstallComplete},
        {"a user's file", [](MemoryFiles& f) { f.AddFile(kFolder + "\\bin\\notes.txt", {'x'}); }, kUninstallIncomplete},
        {"no record", [](MemoryFiles& f) { f.RemoveFile(kFolder + "\\Z_nt.cx"); }, kUninstallNoRecord},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Cycle c;
        k.before(c.w.platform->files);
        const std::size_t boxes = c.w.boxes().size();
        TUninstallForm u(c.w.platform->seam, kFolder);
        EXPECT_EQ(u.RunSilently(), k.code);
        EXPECT_EQ(u.exit_code(), k.code);
        EXPECT_EQ(c.w.boxes().size(), boxes) << "no box in silent mode";
        EXPECT_EQ(u.removed(), k.code != kUninstallNoRecord);
        EXPECT_EQ(c.w.platform->files.Attributes(kFolder + "\\bin\\app.exe").has_value(), k.code == kUninstallNoRecord);
    }
}

// A package of another maker: its install leaves the profile beside the
// record, and the uninstaller ends that maker's programs, shows its lines
// and takes the copy away with the rest.
TEST(Uninstall, SpeaksAsThePackagesMaker) {
    Package p = Product();
    MakerProfile profile;
    profile.credit = "另一家 出品";
    profile.site_text = "www.another.example";
    // Only a program the product installed is ended: not another's of the same name list.
    profile.processes = std::vector<std::string>{"APP.exe", "notepad.exe"};
    p.maker = WriteMakerProfile(profile);
    Cycle c(p);
    ASSERT_EQ(c.w.platform->files.ReadWholeFile(kFolder + "\\Z_maker.cx"), p.maker);
    const std::uint32_t theirs = c.w.platform->processes.Start("APP.exe");
    c.w.platform->processes.Start("notepad.exe");
    c.w.platform->processes.Start("ZANTO-KPV.exe");
    TUninstallForm& u = c.Uninstall(false);
    EXPECT_EQ(u.Control("Credit").caption(), "另一家 出品");
    EXPECT_EQ(u.Control("SiteLabel").caption(), "www.another.example");
    u.Control("UninstallButton").Click();
    ASSERT_EQ(c.w.platform->processes.Terminations().size(), 1u);
    EXPECT_EQ(c.w.platform->processes.Terminations()[0].id, theirs);
    EXPECT_EQ(u.exit_code(), kUninstallComplete);
    c.FinishSelfRemoval();
    EXPECT_EQ(c.Files(), c.files_before);
}

TEST(SelfRemoval, TheCopysProcessIdIsADecimalNumberAndNothingElse) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> id;
    } cases[] = {
        {"4", 4u},
        {"4294967295", 0xFFFFFFFFu},
        {"", std::nullopt},
        {"4294967296", std::nullopt},
        {"12a", std::nullopt},
        {"-1", std::nullopt},
        {" 4", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& k : cases) EXPECT_EQ(ProcessIdOf(k.text), k.id) << k.text;
}

// The command line decides what runs: /? and an unknown option are answered
// before anything else (only by the exit code under /S); the copy's
// /CLEANUP= finishes the first program's removal; /S removes without a
// window; no option opens the window. A removal hands the uninstaller's own
// file over to its copy.
TEST(UninstallerProgram, TheCommandLineChoosesWhatRuns) {
    const struct {
        std::string line;
        int code;
        const char* box;  // a part of the one box shown; nullptr: none
        bool window;      // the window was asked for
        bool removed;     // the product is gone, and the copy started
    } cases[] = {
        {"uninstall.exe", kUninstallComplete, nullptr, true, true},
        {"uninstall.exe /S", kUninstallComplete, nullptr, false, true},
        {"uninstall.exe /?", kExitDone, "2\t没有找到安装记录或记录已损坏", false, false},
        {"uninstall.exe /Q", kExitUnknownOption, "未知的命令行选项：/Q", false, false},
        {"uninstall.exe /S /Q", kExitUnknownOption, nullptr, false, false},
        {"uninstall.exe /S /?", kExitDone, nullptr, false, false},
        // Not the handed-over copy, and the record still there: nothing is done.
        {"uninstall.exe /CLEANUP=12 /IN=" + kSelf, kUninstallIncomplete, nullptr, false, false},
        {"uninstall.exe /CLEANUP=twelve /IN=" + kSelf, kUninstallIncomplete, nullptr, false, false},
        {"uninstall.exe /CLEANUP=12", kUninstallIncomplete, nullptr, false, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.line);
        Cycle c;
        c.w.platform->dialogs.Answer(kIdOk);
        const std::size_t boxes = c.w.boxes().size();
        bool window = false;
        const int code = RunUninstaller(k.line, c.w.platform->seam, [&](TUninstallForm& u) {
            window = true;
            u.Start();
            u.Control("UninstallButton").Click();
            u.Control("CancelButton").Click();  // Finish
        });
        EXPECT_EQ(code, k.code);
        EXPECT_EQ(window, k.window);
        ASSERT_EQ(c.w.boxes().size(), boxes + (k.box ? 1 : 0));
        if (k.box) {
            EXPECT_NE(c.w.boxes().back().text.find(k.box), std::string::npos);
        }
        EXPECT_EQ(c.w.platform->files.Attributes(kFolder + "\\bin\\app.exe").has_value(), !k.removed);
        const auto& launched = c.w.platform->processes.LaunchRequests();
        EXPECT_EQ(!launched.empty() && launched.back().arguments.rfind("/CLEANUP=", 0) == 0, k.removed);
        // Only the handed-over copy removes the first program's file (below).
        EXPECT_TRUE(c.w.platform->files.Attributes(kSelf).has_value());
    }
}

// The program group's link starts the uninstaller in the product's folder,
// and its copy inherits that current folder: the folder goes all the same.
TEST(SelfRemoval, StartedInTheProductsFolderTheFolderStillGoes) {
    Cycle c;
    ASSERT_EQ(c.w.platform->files.SetCurrentDir(kFolder), 0u);
    TUninstallForm& u = c.Uninstall();
    EXPECT_EQ(u.exit_code(), kUninstallComplete);
    c.FinishSelfRemoval();
    EXPECT_FALSE(c.w.platform->files.Attributes(kFolder));
    EXPECT_EQ(c.Files(), c.files_before);
}

// /CLEANUP= is a command line anyone can write: it removes only an
// uninstaller whose removal took its record away, and only from the copy
// the uninstaller handed itself over to.
TEST(SelfRemoval, TheCopyRemovesOnlyAnUninstallerThatLostItsRecord) {
    const struct {
        const char* label;
        bool from_copy;
        std::string first_path;
        bool keep_record;
        bool done;
    } cases[] = {
        {"the copy, after the removal", true, kSelf, false, true},
        {"not the copy", false, kSelf, false, false},
        {"another file", true, "C:\\victim\\tool.dll", false, false},
        {"an uninstaller beside its record", true, kSelf, true, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Cycle c;
        MemoryFiles& f = c.w.platform->files;
        f.MakeDirectory("C:\\victim");
        f.AddFile("C:\\victim\\tool.dll");
        if (!k.keep_record) f.RemoveFile(kFolder + "\\Z_nt.cx");
        ASSERT_TRUE(HandOverSelfRemoval(c.w.platform->seam));
        if (k.from_copy)
            c.w.platform->processes.SetCurrentProgram(c.w.platform->processes.LaunchRequests().back().program);
        EXPECT_EQ(FinishSelfRemoval(c.w.platform->seam, 4, k.first_path), k.done);
        EXPECT_EQ(f.Attributes(kSelf).has_value(), !k.done);
        EXPECT_TRUE(f.Attributes("C:\\victim\\tool.dll"));
        EXPECT_EQ(f.RemovalsAtRestart().empty(), !k.done);
    }
}

}  // namespace
}  // namespace zsetup
