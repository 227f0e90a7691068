// A per-user package on the memory platform, as a user who may not write
// HKEY_LOCAL_MACHINE: setup proposes the user's own programs folder and
// writes only there and under HKEY_CURRENT_USER, and its uninstaller takes
// it all away again; neither program believes the other scope's entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commandline/exit_codes.h"
#include "installer/setup_program.h"
#include "platform/registry_accessor.h"
#include "tests/installer/wizard_fixture.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_form.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const std::string kUserPrograms = "C:\\Users\\me\\AppData\\Local\\Programs";
const std::string kFolder = kUserPrograms + "\\演示软件";
const std::string kUninstallKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示软件";

// Rows of both roots, one below another, and one in the system's Run key.
Package PerUserProduct() {
    Package p;
    p.manifest = kPerUserManifest;
    p.AddFile("\\bin\\app.exe", "app");
    p.AddFile("\\uninstall.exe", "MZ uninstaller");
    p.AddShortcut("演示", 1, 2);
    auto row = [&](bool hkcu, const char* key, const char* name, const char* value) {
        RegistryEntry& r = p.record.RegistryEntries[p.record.RegistryCount++];
        r.CurrentUser = hkcu;
        r.KeyPath.assign(key);
        r.ValueName.assign(name);
        r.Kind = static_cast<std::uint8_t>(RegistryKind::String);
        r.StringValue.assign(value);
    };
    row(false, "Software\\演示工作室\\Tool", "Mode", "完整");
    row(false, "Options", "Level", "2");  // below Tool
    row(true, "\\Software\\演示\\Settings", "On", "1");
    row(false, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "演示", "app.exe");
    return p;
}

// A user's machine: HKLM holds the system's keys and cannot be written.
struct UserMachine {
    explicit UserMachine(const Package& package) {
        AddShellFolders(p);
        p.files.MakeDirectory("C:\\Users\\me\\AppData");
        p.files.MakeDirectory("C:\\Users\\me\\AppData\\Local");
        p.files.MakeDirectory(kUserPrograms);
        for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
            p.registry.OpenKey(root, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true, kKeySetValue);
            p.registry.OpenKey(root, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true, kKeySetValue);
        }
        p.registry.SetWritable(RegRoot::LocalMachine, false);
        package.Install(p);
        files_before = p.files.Listing();
        registry_before = p.registry.Listing();
    }
    int Setup(const std::string& line) {
        return RunSetup(line, p.seam, [](TMainForm&) { ADD_FAILURE() << "no window under /S"; });
    }
    int Uninstall(const std::string& folder = kFolder) {
        p.processes.SetCurrentProgram(folder + "\\uninstall.exe");
        p.files.SetCurrentDir("C:\\");
        TUninstallForm u(p.seam, folder);
        return u.RunSilently();
    }
    std::string Value(RegRoot root, const std::string& key, const std::string& name) {
        RegistryAccessor reg(p.registry, kKeyQueryValue, root);
        if (!reg.OpenKey(key, false)) return "(no key)";
        return reg.ReadString(name);
    }
    std::vector<std::string> Files() const { return FilesButTheTempFolder(p.files); }

    MemoryPlatform p;
    std::vector<std::string> files_before, registry_before;
};

TEST(PerUser, InstallsAndUninstallsWithoutWritingForOtherUsers) {
    UserMachine m(PerUserProduct());
    ASSERT_EQ(m.Setup("setup.exe /S"), kExitDone);
    EXPECT_EQ(m.p.files.ReadWholeFile(kFolder + "\\bin\\app.exe"), (Bytes{'a', 'p', 'p'}));
    EXPECT_FALSE(m.p.files.IsProtected(kFolder)) << "the user's own folder keeps the user's access";
    EXPECT_EQ(m.Value(RegRoot::CurrentUser, kProductKey, "Folder"), kFolder);
    EXPECT_EQ(m.Value(RegRoot::CurrentUser, kUninstallKey, "InstallLocation"), kFolder);
    EXPECT_EQ(m.Value(RegRoot::CurrentUser, kUninstallKey, "UninstallString"), "\"" + kFolder + "\\uninstall.exe\"");
    EXPECT_EQ(m.Value(RegRoot::CurrentUser, kUninstallKey, "ZsetupRecordSha256").size(), 64u);
    // The table's HKLM rows at the same paths under the user, the relative one too.
    EXPECT_EQ(m.Value(RegRoot::CurrentUser, "\\Software\\演示工作室\\Tool", "Mode"), "完整");
    EXPECT_EQ(m.Value(RegRoot::CurrentUser, "\\Software\\演示工作室\\Tool\\Options", "Level"), "2");
    EXPECT_EQ(m.Value(RegRoot::CurrentUser, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "演示"), "app.exe");
    EXPECT_TRUE(m.p.files.Attributes("C:\\Users\\me\\Programs\\演示软件\\演示.lnk"));
    std::vector<std::string> machine_keys;
    for (const std::string& line : m.p.registry.Listing())
        if (line.find("HKLM\\") != std::string::npos) machine_keys.push_back(line);
    std::vector<std::string> machine_keys_before;
    for (const std::string& line : m.registry_before)
        if (line.find("HKLM\\") != std::string::npos) machine_keys_before.push_back(line);
    EXPECT_EQ(machine_keys, machine_keys_before);

    EXPECT_EQ(m.Uninstall(), kUninstallComplete);
    EXPECT_EQ(m.p.registry.Listing(), m.registry_before);
    // The running uninstaller and its folder go with its copy, started as the user too.
    ASSERT_TRUE(HandOverSelfRemoval(m.p.seam));
    const auto& launched = m.p.processes.LaunchRequests().back();
    m.p.processes.SetCurrentProgram(launched.program);
    ASSERT_TRUE(FinishSelfRemoval(m.p.seam, 4, kFolder + "\\uninstall.exe"));
    EXPECT_EQ(m.Files(), m.files_before);
}

// Each program looks for the entry only where its own scope puts it: the
// elevated uninstaller of a machine install never believes an entry a user
// could write, and a per-user one finds no machine install's entry.
TEST(PerUser, EachUninstallerBelievesOnlyItsOwnScopesEntry) {
    const struct {
        const char* label;
        std::string setup_manifest, uninstaller_manifest;
    } cases[] = {
        {"a machine uninstaller after a per-user install", kPerUserManifest, ""},
        {"a per-user uninstaller after a machine install", "", kPerUserManifest},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Package package = PerUserProduct();
        package.manifest = k.setup_manifest;
        UserMachine m(package);
        m.p.registry.SetWritable(RegRoot::LocalMachine, true);
        const std::string folder = "C:\\演示软件";
        ASSERT_EQ(m.Setup("setup.exe /S /D=" + folder), kExitDone);
        const std::vector<std::string> installed = m.p.files.Listing();
        const std::vector<std::string> keys = m.p.registry.Listing();
        m.p.resources.manifest = k.uninstaller_manifest;
        EXPECT_EQ(m.Uninstall(folder), kUninstallNoRecord);
        EXPECT_EQ(m.p.files.Listing(), installed);
        EXPECT_EQ(m.p.registry.Listing(), keys);
    }
}

// The folder page's proposal: the user's own programs folder, or the drive
// when the system names none or the path would not fit the record.
TEST(PerUser, ProposesTheUsersOwnProgramsFolder) {
    const struct {
        const char* label;
        std::string user_programs;
        std::string manifest;
        std::string proposed;
    } cases[] = {
        {"per user", kUserPrograms, kPerUserManifest, kFolder},
        {"per user, no such folder named", "", kPerUserManifest, "C:\\演示软件"},
        {"per user, a path too long for the record", "C:\\" + std::string(252, 'x'), kPerUserManifest, "C:\\演示软件"},
        {"a machine install", kUserPrograms, "", "C:\\演示软件"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.label);
        Package package;
        package.manifest = k.manifest;
        MemoryPlatform p;
        AddShellFolders(p);
        package.Install(p);
        p.shell.SetUserPrograms(k.user_programs);
        TMainForm form(p.seam);
        form.FormCreate();
        EXPECT_EQ(form.config->InstallFolder.text(), k.proposed);
    }
}

}  // namespace
}  // namespace zsetup
