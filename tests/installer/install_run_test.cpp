// The installation run on the memory platform: files, the record's copy,
// registry values, shortcuts, progress, and the failures that end it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "installer/wizard_texts.h"
#include "package/installed_record.h"
#include "package/maker_profile.h"
#include "platform/registry_accessor.h"
#include "tests/installer/wizard_fixture.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

// Sees every change and repaint of the widget tree, as the real window would.
class RecordingView : public ui::View {
public:
    void Changed(ui::Widget& w, ui::Property what) override {
        if (w.name() == "CopyProgress" && what == ui::Property::Progress) positions.push_back(w.position());
    }
    void Repaint(ui::Widget& w) override { repainted.push_back(w.name()); }
    std::vector<int> positions;
    std::vector<std::string> repainted;
};

// The wizard run from page 0 through the installation.
struct InstalledRun {
    explicit InstalledRun(const Package& package, std::vector<int> answers = {}) : w(package) {
        w.form->form().AttachView(&view);
        w.ToFolderPage();
        w.Next();
        EXPECT_EQ(w.page(), 3);
        w.Next(answers);
    }
    std::optional<std::string> File(const std::string& path) {
        auto bytes = w.platform->files.ReadWholeFile(path);
        if (!bytes) return std::nullopt;
        return std::string(bytes->begin(), bytes->end());
    }
    std::string Value(RegRoot root, const std::string& key, const std::string& name) {
        RegistryAccessor reg(w.platform->registry, kKeyQueryValue, root);
        if (!reg.OpenKey(key, false)) return "(no key)";
        return reg.ReadString(name);
    }
    std::int32_t Integer(RegRoot root, const std::string& key, const std::string& name) {
        RegistryAccessor reg(w.platform->registry, kKeyQueryValue, root);
        EXPECT_TRUE(reg.OpenKey(key, false)) << key;
        return reg.ReadInteger(name);
    }
    RecordingView view;
    Wizard w;
};

const std::string kFolder = "C:\\演示软件";

// A record need not come from our builder: rows whose slices go backwards or
// overlap install the right bytes all the same.
TEST(InstallRun, RowsOutOfOrderOrOverlappingGetTheirOwnBytes) {
    Package p;
    p.AddFile("\\a.txt", "AAAA");
    p.AddFile("\\b.txt", "BBB");
    std::swap(p.record.Files[1], p.record.Files[2]);  // b before a
    FileEntry& overlap = p.record.Files[p.record.FileCount++];
    overlap.Name.assign("\\both.txt");
    overlap.Offset = 3;  // "lo" of hello, then "AA"
    overlap.Size = 4;
    InstalledRun run(p);
    ASSERT_EQ(run.w.page(), 5);
    EXPECT_EQ(run.File(kFolder + "\\hello.txt"), "hello");
    EXPECT_EQ(run.File(kFolder + "\\a.txt"), "AAAA");
    EXPECT_EQ(run.File(kFolder + "\\b.txt"), "BBB");
    EXPECT_EQ(run.File(kFolder + "\\both.txt"), "loAA");
}

// The label and the bar are painted when the percentage moves or 30 ms have
// passed, not for every file; what they hold is always the current file.
TEST(InstallRun, RepaintsTheProgressWhenItMovesOrTimeHasPassed) {
    Package p;
    for (int i = 0; i < 250; ++i) p.AddFile("\\f" + std::to_string(i) + ".txt", "x");  // 251 with hello.txt
    const struct {
        const char* label;
        std::uint64_t ms_per_file;
        std::size_t repaints;
    } cases[] = {
        {"a fast disk: once per percent", 0, 100},
        {"a slow disk: every file", 40, 251},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Wizard w(p);
        RecordingView view;
        w.form->form().AttachView(&view);
        w.platform->clock.SetStep(k.ms_per_file);
        w.ToFolderPage();
        w.Next();
        w.Next();
        ASSERT_EQ(w.page(), 5);
        for (const char* name : {"CopyProgress", "FNameLb"})
            EXPECT_EQ(static_cast<std::size_t>(std::count(view.repainted.begin(), view.repainted.end(), name)),
                      k.repaints)
                << name;
        EXPECT_EQ(w["FNameLb"].caption(), "C:\\演示软件\\f249.txt");
    }
}

const std::string kUninstall = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示软件";

TEST(InstallRun, WritesFilesRecordCopyRegistryAndShortcuts) {
    Package p;
    p.AddFile("\\sub\\deep\\a.dll", "dll bytes");
    p.AddFile("\\empty.txt", "");
    p.AddFile("\\uninstall.exe", "MZ");
    p.AddShortcut("演示", 0, 0);
    p.AddShortcut("说明", 1, 1, "/x");
    p.AddShortcut("两处", 2, 2);
    InstalledRun run(p);
    EXPECT_EQ(run.w.page(), 5);
    EXPECT_FALSE(run.w.form->Installing);
    EXPECT_TRUE(run.w.boxes().empty());

    EXPECT_EQ(run.File(kFolder + "\\hello.txt"), "hello");
    EXPECT_EQ(run.File(kFolder + "\\sub\\deep\\a.dll"), "dll bytes");
    EXPECT_EQ(run.File(kFolder + "\\empty.txt"), "");
    const Bytes copy = *run.w.platform->files.ReadWholeFile(kFolder + "\\Z_nt.cx");
    EXPECT_EQ(copy, *run.w.platform->resources.RcData("SETUPINI"));

    const std::string company = "\\Software\\演示工作室";
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, company, "Site"), "http://www.example.com");
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, company, "Author"), "演示工作室");
    EXPECT_EQ(run.Integer(RegRoot::LocalMachine, kProductKey, "Setup"), 1);
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kProductKey, "Version"), "1.0.0");
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kProductKey, "Folder"), kFolder);
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kProductKey, "Date"), "20261210");
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kUninstall, "DisplayName"), "演示软件");
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kUninstall, "UninstallString"), "\"" + kFolder + "\\uninstall.exe\"");
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kUninstall, "DisplayVersion"), "1.0.0");
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kUninstall, "Publisher"), "演示工作室");
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kUninstall, "InstallLocation"), kFolder);
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kUninstall, "URLInfoAbout"), "http://www.example.com");

    const std::string desktop = "C:\\Users\\me\\Desktop\\";
    const std::string group = "C:\\Users\\me\\Programs\\演示软件\\";
    EXPECT_EQ(run.w.platform->shell.LinkRequests(),
              (std::vector<std::string>{desktop + "演示.lnk", group + "说明.lnk", group + "两处.lnk",
                                        desktop + "两处.lnk", group + "卸载演示软件.lnk"}));
    const auto link = run.w.platform->shell.Link(group + "说明.lnk");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, kFolder + "\\sub\\deep\\a.dll");
    EXPECT_EQ(link->arguments, "/x");
    EXPECT_EQ(link->working_directory, kFolder + "\\sub\\deep\\");
    EXPECT_EQ(run.w.platform->shell.Link(group + "卸载演示软件.lnk")->target, kFolder + "\\uninstall.exe");
    // A product within the record's 256 files leaves no extra table.
    EXPECT_FALSE(run.File(kFolder + "\\Z_files.cx"));
}

// The uninstall entry, which only administrators may write, holds the digest
// of each copy the run left and nothing for one it did not; a copy an earlier
// install left that this package lacks goes, or the uninstaller would refuse it.
TEST(InstallRun, TheUninstallEntryVouchesForTheCopiesItLeft) {
    Package plain;
    Package full;
    for (int i = 1; i < 300; ++i) full.AddFile("\\many\\f" + std::to_string(i) + ".txt", "x");
    full.maker = WriteMakerProfile(MakerProfile{});
    const struct {
        const char* label;
        const Package& package;
        bool extra, maker;
    } cases[] = {{"no table, no profile", plain, false, false}, {"a table and a profile", full, true, true}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Wizard w(k.package);
        w.platform->files.MakeDirectory(kFolder);
        for (const char* stale : {"\\Z_files.cx", "\\Z_maker.cx"})
            w.platform->files.WriteWholeFile(kFolder + stale, {'o', 'l', 'd'});
        w.ToFolderPage();
        w.Next();
        w.Next();
        ASSERT_EQ(w.page(), 5);
        RegistryAccessor reg(w.platform->registry, kKeyQueryValue, RegRoot::LocalMachine);
        ASSERT_TRUE(reg.OpenKey(kUninstall, false));
        const auto digest_of = [&](const char* resource) {
            const auto bytes = w.platform->resources.RcData(resource);
            return bytes ? CopyDigest(*bytes) : std::string();
        };
        EXPECT_EQ(reg.ReadString("ZsetupRecordSha256"), digest_of("SETUPINI"));
        EXPECT_EQ(reg.ReadString("ZsetupRecordSha256").size(), 64u);
        EXPECT_EQ(reg.ReadString("ZsetupFilesSha256"), k.extra ? digest_of("SETUPFILES") : "");
        EXPECT_EQ(reg.ReadString("ZsetupMakerSha256"), k.maker ? digest_of("SETUPMAKER") : "");
        const auto copy = [&](const char* name) { return w.platform->files.ReadWholeFile(kFolder + name); };
        EXPECT_EQ(copy("\\Z_files.cx"), k.extra ? w.platform->resources.RcData("SETUPFILES") : std::nullopt);
        EXPECT_EQ(copy("\\Z_maker.cx"), k.maker ? w.platform->resources.RcData("SETUPMAKER") : std::nullopt);
    }
}

// The entry Programs and Features and deployment tools read in full, only
// when the maker's profile asks: a package without it writes the design's
// values and no more.
TEST(InstallRun, TheCompleteUninstallEntryOnlyWhenTheMakerAsks) {
    MakerProfile complete;
    complete.complete_entry = true;
    MakerProfile with_icon_and_links = complete;
    with_icon_and_links.entry_icon = 1;
    with_icon_and_links.help_link = "https://demo.example.org/help";
    with_icon_and_links.update_link = "https://demo.example.org/new";
    const std::string uninstaller = "\"" + kFolder + "\\uninstall.exe\"";
    const struct {
        const char* label;
        std::optional<MakerProfile> profile;
        std::vector<std::pair<std::string, std::optional<RegValue>>> values;
    } cases[] = {
        {"no profile",
         std::nullopt,
         {{"DisplayIcon", std::nullopt},
          {"EstimatedSize", std::nullopt},
          {"QuietUninstallString", std::nullopt},
          {"NoModify", std::nullopt},
          {"NoRepair", std::nullopt},
          {"InstallDate", std::nullopt}}},
        {"the complete entry",
         complete,
         {{"DisplayIcon", StringValue(kFolder + "\\uninstall.exe,0")},
          {"EstimatedSize", DwordValue(3)},  // 2,053 bytes
          {"QuietUninstallString", StringValue(uninstaller + " /S")},
          {"NoModify", DwordValue(1)},
          {"NoRepair", DwordValue(1)},
          {"InstallDate", StringValue("20270102")},
          {"HelpLink", std::nullopt},
          {"URLUpdateInfo", std::nullopt}}},
        {"with the maker's icon and links",
         with_icon_and_links,
         {{"DisplayIcon", StringValue(kFolder + "\\bin\\app.exe,0")},
          {"HelpLink", StringValue("https://demo.example.org/help")},
          {"URLUpdateInfo", StringValue("https://demo.example.org/new")},
          {"UninstallString", StringValue(uninstaller)}}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Package p;
        p.AddFile("\\bin\\app.exe", std::string(2048, 'a'));
        if (k.profile) p.maker = WriteMakerProfile(*k.profile);
        Wizard w(p);
        w.platform->clock.SetToday("20270102");
        w.ToFolderPage();
        w.Next();
        w.Next();
        ASSERT_EQ(w.page(), 5);
        auto key = w.platform->registry.OpenKey(RegRoot::LocalMachine, kUninstall, false, kKeyQueryValue);
        ASSERT_TRUE(key);
        for (const auto& [name, value] : k.values) EXPECT_EQ(key->QueryValue(name), value) << name;
    }
}

// Past the record's 256 rows the extra table's follow: written the same way,
// one progress over all, its copy beside the record's, a shortcut to its last.
TEST(InstallRun, FilesPastTheRecordsRowsFollowUnderOneProgress) {
    constexpr int kFiles = 300;
    Package p;
    for (int i = 1; i < kFiles; ++i) p.AddFile("\\many\\f" + std::to_string(i) + ".txt", std::to_string(i));
    p.AddShortcut("最后", kFiles - 1, 0);
    ASSERT_EQ(p.record.FileCount, 256);
    ASSERT_EQ(p.extra.size(), std::size_t{kFiles - 256});
    InstalledRun run(p);
    EXPECT_EQ(run.w.page(), 5);
    EXPECT_TRUE(run.w.boxes().empty());

    EXPECT_EQ(run.File(kFolder + "\\hello.txt"), "hello");
    for (int i = 1; i < kFiles; ++i)
        ASSERT_EQ(run.File(kFolder + "\\many\\f" + std::to_string(i) + ".txt"), std::to_string(i)) << i;
    EXPECT_EQ(*run.w.platform->files.ReadWholeFile(kFolder + "\\Z_files.cx"),
              *run.w.platform->resources.RcData("SETUPFILES"));
    EXPECT_EQ(*run.w.platform->files.ReadWholeFile(kFolder + "\\Z_nt.cx"),
              *run.w.platform->resources.RcData("SETUPINI"));

    std::vector<int> expected;  // row i sets i * 100 / 300; only changes are seen
    for (int i = 1; i < kFiles; ++i)
        if (i * 100 / kFiles != (i - 1) * 100 / kFiles) expected.push_back(i * 100 / kFiles);
    EXPECT_EQ(run.view.positions, expected);
    EXPECT_EQ(run.view.positions.back(), 99);

    const auto link = run.w.platform->shell.Link("C:\\Users\\me\\Desktop\\最后.lnk");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, kFolder + "\\many\\f299.txt");
}

// "昞" is 0x95 0x5C in GBK: its second byte is a backslash that separates nothing.
TEST(InstallRun, ACharacterEndingInByte0x5CIsNoSeparator) {
    Package p;
    p.AddFile("\\数据\\昞.txt", "data");
    p.AddShortcut("数据", 1, 0);
    Wizard w(p);
    w.ToFolderPage();
    w["FolderEd"].SetCaption("C:\\软件\\昞");
    w.Next();
    ASSERT_EQ(w.page(), 3);
    w.Next();
    ASSERT_EQ(w.page(), 5);
    EXPECT_TRUE(w.boxes().empty());
    const auto bytes = w.platform->files.ReadWholeFile("C:\\软件\\昞\\数据\\昞.txt");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "data");
    std::vector<std::string> created;
    for (const std::string& folder : w.platform->files.Created())
        if (folder.rfind("C:\\软件", 0) == 0) created.push_back(folder);
    EXPECT_EQ(created, (std::vector<std::string>{"C:\\软件\\", "C:\\软件\\昞", "C:\\软件\\昞\\数据"}));
    const auto link = w.platform->shell.Link("C:\\Users\\me\\Desktop\\数据.lnk");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->working_directory, "C:\\软件\\昞\\数据\\");

    w.Press("suiButton3");  // Finish: the folder opens with its own parent as working folder
    const auto& explore = w.platform->shell.ExecuteRequests().back();
    EXPECT_EQ(explore.file, "C:\\软件\\昞");
    EXPECT_EQ(explore.directory, "C:\\软件\\");
}

TEST(InstallRun, ProgressCountsRowsNotFilesDone) {
    struct Case {
        std::vector<std::string> names;
        std::vector<int> positions;
    };
    const Case cases[] = {
        {{"\\b", "\\c", "\\d"}, {25, 50, 75}},  // four rows: 0 25 50 75 (0 is the start)
        {{}, {}},                               // one row: stays 0
        {{"\\*.txt", "\\c", "\\d"}, {50, 75}},  // a "*." row moves nothing
        {{"\\b", "\\c"}, {33, 66}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.names));
        Package p;
        for (const std::string& n : c.names) p.AddFile(n, "x");
        InstalledRun run(p);
        EXPECT_EQ(run.view.positions, c.positions);
        EXPECT_EQ(run.w.boxes().size(), 0u);
    }
}

TEST(InstallRun, NoFilesStillLeavesRecordRegistryAndUninstallLink) {
    Package p;
    p.record.FileCount = 0;
    p.payload.clear();
    p.record.PackChecksum = 0;
    InstalledRun run(p);
    EXPECT_EQ(run.w.page(), 5);
    EXPECT_EQ(run.w["CopyProgress"].position(), 0);
    EXPECT_TRUE(run.File(kFolder + "\\Z_nt.cx"));
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kUninstall, "DisplayName"), "演示软件");
    EXPECT_EQ(run.w.platform->shell.LinkRequests().back(), "C:\\Users\\me\\Programs\\演示软件\\卸载演示软件.lnk");
}

TEST(InstallRun, ARowThatCannotBeWrittenKeepsTheOldFileAndTheRunGoesOn) {
    for (const bool read_only : {true, false}) {
        Package p;
        p.AddFile("\\next.txt", "next");
        Wizard pre(p);  // to reach the platform before the run
        MemoryFiles& files = pre.platform->files;
        files.MakeDirectory(kFolder);
        files.AddFile(kFolder + "\\hello.txt", {'o', 'l', 'd'});
        if (read_only) files.SetReadOnly(kFolder + "\\hello.txt", true);
        else files.SetLocked(kFolder + "\\hello.txt", true);
        pre.ToFolderPage();
        pre.Next();
        pre.Next({kIdOk});
        SCOPED_TRACE(read_only ? "read-only" : "locked");
        ASSERT_EQ(pre.boxes().size(), 1u);
        EXPECT_EQ(pre.boxes()[0].text, std::string(texts::kFileFailed) + kFolder + "\\hello.txt");
        EXPECT_EQ(pre.boxes()[0].flags, kMbOk | kMbIconInformation);
        if (!read_only) files.SetLocked(kFolder + "\\hello.txt", false);
        EXPECT_EQ(files.ReadWholeFile(kFolder + "\\hello.txt"), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(files.ReadWholeFile(kFolder + "\\next.txt"), (Bytes{'n', 'e', 'x', 't'}));
        EXPECT_EQ(pre.page(), 5);
    }
}

// After a run with missing files, page 5 does not say the installation
// succeeded: it names how many are missing and lists them. A folder that
// cannot be made skips its file without a box, but the file is listed too.
TEST(InstallRun, PageFiveListsTheFilesThatCouldNotBeWritten) {
    Package p;
    p.AddFile("\\sub\\in.txt", "in");
    p.AddFile("\\next.txt", "next");
    Wizard w(p);
    MemoryFiles& files = w.platform->files;
    files.MakeDirectory(kFolder);
    files.AddFile(kFolder + "\\hello.txt", {'o', 'l', 'd'});
    files.SetLocked(kFolder + "\\hello.txt", true);
    files.AddFile(kFolder + "\\sub", {'f'});  // a file where the folder should be
    w.ToFolderPage();
    w.Next();
    w.Next({kIdOk});
    ASSERT_EQ(w.page(), 5);
    EXPECT_EQ(w.boxes().size(), 1u) << "only the write failure has a box";
    EXPECT_EQ(w.form->failed_files(), (std::vector<std::string>{kFolder + "\\hello.txt", kFolder + "\\sub\\in.txt"}));
    EXPECT_EQ(w["Label4"].caption(), std::string(texts::kFailedResultHead) + "2" + texts::kFailedResultTail);
    EXPECT_EQ(w["Label12"].caption(), texts::kFailedSubtitle);
    EXPECT_TRUE(w["FailedFilesBox"].visible());
    EXPECT_EQ(w["FailedFilesBox"].caption(), kFolder + "\\hello.txt\r\n" + kFolder + "\\sub\\in.txt");
    // The hint and the check box sit below the list; Finish still works as ever.
    EXPECT_GE(w["Label6"].bounds().top, w["FailedFilesBox"].bounds().top + w["FailedFilesBox"].bounds().height);
    EXPECT_GT(w["StartProgramCb"].bounds().top, w["Label6"].bounds().top);
    EXPECT_EQ(files.ReadWholeFile(kFolder + "\\next.txt"), (Bytes{'n', 'e', 'x', 't'}));
}

TEST(InstallRun, ASoundRunKeepsThePageAsDescribed) {
    InstalledRun run{Package()};
    ASSERT_EQ(run.w.page(), 5);
    EXPECT_TRUE(run.w.form->failed_files().empty());
    EXPECT_EQ(run.w["Label4"].caption(), "软件安装成功!");
    EXPECT_EQ(run.w["Label12"].caption(), texts::kSheet5Subtitle);
    EXPECT_FALSE(run.w["FailedFilesBox"].visible());
    EXPECT_EQ(run.w["Label6"].bounds().top, 76);
    EXPECT_EQ(run.w["StartProgramCb"].bounds().top, 112);
}

// A close request that comes in while a file's box is up is refused: the run
// would otherwise finish unseen and the user believe it cancelled.
TEST(InstallRun, ACloseRequestDuringTheRunIsRefused) {
    Package p;
    Wizard w(p);
    w.platform->files.MakeDirectory(kFolder);
    w.platform->files.AddFile(kFolder + "\\hello.txt", {'o', 'l', 'd'});
    w.platform->files.SetLocked(kFolder + "\\hello.txt", true);
    w.ToFolderPage();
    w.Next();
    w.platform->dialogs.Answer(kIdOk, [&] { w.form->form().RequestClose(); });
    w.Next();
    EXPECT_FALSE(w.form->form().terminated());
    EXPECT_EQ(w.page(), 5);
    EXPECT_EQ(w.boxes().size(), 1u) << "no confirmation was asked either";
}

TEST(InstallRun, AnEmptyRowReplacesAnExistingFile) {
    Package p;
    p.AddFile("\\empty.txt", "");
    Wizard w(p);
    w.platform->files.MakeDirectory(kFolder);
    w.platform->files.AddFile(kFolder + "\\empty.txt", {'o', 'l', 'd'});
    w.ToFolderPage();
    w.Next();
    w.Next();
    EXPECT_EQ(w.platform->files.ReadWholeFile(kFolder + "\\empty.txt"), Bytes{});
}

TEST(InstallRun, TheFileLabelShowsShortenedPaths) {
    Package p;
    p.AddFile("\\a-rather-long-folder-name\\and-a-long-file-name.dat", "x");
    InstalledRun run(p);
    // The label is hidden after the file stage but keeps the last text.
    EXPECT_EQ(run.w["FNameLb"].caption(), "C:\\...\\and-a-long-file-name.dat");
    EXPECT_FALSE(run.w["FNameLb"].visible());
    EXPECT_EQ(run.w["FNameLb"].bounds().width, 300);
    EXPECT_EQ(run.w["WorkLb"].caption(), "正在创建快捷方式...");
    for (const char* name : {"PageCtl", "Panel1", "Label8", "WorkLb", "FNameLb", "CopyProgress"})
        EXPECT_NE(std::find(run.view.repainted.begin(), run.view.repainted.end(), name), run.view.repainted.end())
            << name;
}

TEST(InstallRun, RegistryRowsFollowTheAccessorsCurrentKey) {
    Package p;
    auto row = [&](bool hkcu, const char* key, const char* name, std::uint8_t kind) -> RegistryEntry& {
        RegistryEntry& r = p.record.RegistryEntries[p.record.RegistryCount++];
        r.CurrentUser = hkcu;
        r.KeyPath.assign(key);
        r.ValueName.assign(name);
        r.Kind = kind;
        return r;
    };
    row(false, "Software\\A", "S", 1).StringValue.assign("甲");
    row(false, "Software\\B", "I", 2).IntValue = -1;  // below Software\A
    row(true, "Software\\B", "On", 0).BoolValue = 1;  // another root: from the root
    row(true, "\\Software\\C", "Kind3", 3);
    row(false, "\\Software\\演示工作室\\演示软件", "Version", 1).StringValue.assign("9.9");  // overwrites
    InstalledRun run(p);
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, "\\Software\\A", "S"), "甲");
    EXPECT_EQ(static_cast<std::uint32_t>(run.Integer(RegRoot::LocalMachine, "\\Software\\A\\Software\\B", "I")),
              0xFFFFFFFFu);
    EXPECT_EQ(run.Integer(RegRoot::CurrentUser, "\\Software\\B", "On"), 1);
    EXPECT_TRUE(run.w.platform->registry.OpenKey(RegRoot::CurrentUser, "Software\\C", false, kKeyQueryValue));
    EXPECT_EQ(run.Value(RegRoot::CurrentUser, "\\Software\\C", "Kind3"), "");
    EXPECT_EQ(run.Value(RegRoot::LocalMachine, kProductKey, "Version"), "9.9");
}

TEST(InstallRun, AFailedRegistryWriteEndsTheRunOnPageFour) {
    Package p;
    Wizard w(p);
    w.ToFolderPage();
    w.Next();
    w.platform->registry.SetWritable(RegRoot::LocalMachine, false);
    w.Next({kIdOk});
    ASSERT_EQ(w.boxes().size(), 1u);
    EXPECT_EQ(w.boxes()[0].text, "Failed to set data for 'Site'");
    EXPECT_EQ(w.boxes()[0].caption, "演示软件 安装向导");
    EXPECT_EQ(w.boxes()[0].flags, kMbOk | kMbIconError);
    EXPECT_EQ(w.page(), 4);
    EXPECT_TRUE(w.form->Installing);
    EXPECT_FALSE(w["suiButton1"].visible());
    EXPECT_FALSE(w["suiButton2"].visible());
    EXPECT_FALSE(w["suiButton3"].enabled());
    EXPECT_EQ(w.platform->files.ReadWholeFile("C:\\演示软件\\hello.txt"), (Bytes{'h', 'e', 'l', 'l', 'o'}));
    // Cancel does nothing; a close request goes through unasked.
    w.Press("suiButton3");
    EXPECT_EQ(w.boxes().size(), 1u);
    w.form->form().RequestClose();
    EXPECT_TRUE(w.form->form().terminated());
    EXPECT_EQ(w.boxes().size(), 1u);
}

}  // namespace
}  // namespace zsetup
