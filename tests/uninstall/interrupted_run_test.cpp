// Setup killed at each step it takes on the disk, on the memory platform,
// then started again or followed by the uninstaller: the machine ends with a
// sound install, or clean, never in between.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commandline/exit_codes.h"
#include "installer/setup_program.h"
#include "tests/installer/wizard_fixture.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_form.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const std::string kFolder = "C:\\演示软件";
const std::string kSelf = kFolder + "\\uninstall.exe";

Package Product() {
    Package p;
    p.AddFile("\\bin\\app.exe", "app");
    p.AddFile("\\bin\\data\\a.dat", "data");
    p.AddFile("\\uninstall.exe", "MZ uninstaller");
    p.AddShortcut("演示", 1, 2);
    return p;
}

// A machine with setup.exe on it, run and uninstalled silently.
struct Machine {
    Machine() {
        AddShellFolders(p);
        p.registry.OpenKey(RegRoot::LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true,
                           kKeySetValue);
        Product().Install(p);
    }
    int Setup() {
        p.processes.SetCurrentProgram("C:\\setup.exe");
        return RunSetup("setup.exe /S", p.seam, [](TMainForm&) { ADD_FAILURE() << "a window under /S"; });
    }
    // The entry's command with /S, and the copy's part once it has ended.
    int Uninstall() {
        p.processes.SetCurrentProgram(kSelf);
        p.files.SetCurrentDir("C:\\");
        TUninstallForm u(p.seam, kFolder);
        const int code = u.RunSilently();
        if (u.removed() && HandOverSelfRemoval(p.seam)) {
            p.processes.SetCurrentProgram(p.processes.LaunchRequests().back().program);
            FinishSelfRemoval(p.seam, 4, kSelf);
        }
        return code;
    }
    std::vector<std::string> Files() const { return FilesButTheTempFolder(p.files); }
    std::vector<std::string> Registry() const { return p.registry.Listing(); }
    MemoryPlatform p;
};

struct State {
    std::vector<std::string> files, registry;
    bool operator==(const State& o) const { return files == o.files && registry == o.registry; }
};

State Of(const Machine& m) { return {m.Files(), m.Registry()}; }

bool HasUninstallEntry(Machine& m) {
    return m.p.registry.OpenKey(RegRoot::LocalMachine,
                                "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示软件", false,
                                kKeyQueryValue) != nullptr;
}

TEST(InterruptedRun, EveryStepKilledEndsSoundOrClean) {
    const State clean = Of(Machine());
    for (const bool over_earlier : {false, true}) {
        // The steps of a whole run, and what it leaves.
        Machine sound_machine;
        if (over_earlier) {
            ASSERT_EQ(sound_machine.Setup(), kExitDone);
        }
        const std::size_t before = sound_machine.p.files.Steps();
        ASSERT_EQ(sound_machine.Setup(), kExitDone);
        const std::size_t steps = sound_machine.p.files.Steps() - before;
        const State sound = Of(sound_machine);
        ASSERT_GT(steps, 10u);

        for (std::size_t step = 0; step < steps; ++step) {
            SCOPED_TRACE((over_earlier ? "over an earlier install, killed at step " : "killed at step ") +
                         std::to_string(step) + " of " + std::to_string(steps));
            const auto killed = [&](Machine& m) {
                if (over_earlier) {
                    ASSERT_EQ(m.Setup(), kExitDone);
                }
                m.p.files.KillAtStep(step);
                EXPECT_THROW(m.Setup(), ProcessKilled);
            };
            {
                Machine m;
                killed(m);
                EXPECT_EQ(m.Setup(), kExitDone);
                EXPECT_TRUE(Of(m) == sound) << "setup again did not leave the sound install";
            }
            {
                Machine m;
                killed(m);
                const State left = Of(m);
                const bool entry = HasUninstallEntry(m);
                const int code = m.Uninstall();
                if (entry) {
                    // The entry vouches for the copies, the earlier install's or this one's alike.
                    EXPECT_EQ(code, kUninstallComplete);
                    EXPECT_TRUE(Of(m) == clean) << "the uninstaller did not leave a clean machine";
                } else {
                    // Killed before the entry was written: nothing vouches for the copies, so
                    // nothing goes (and no entry offers the uninstaller); setup again mends it.
                    EXPECT_NE(code, kUninstallComplete);
                    EXPECT_TRUE(Of(m) == left) << "the uninstaller removed what nothing vouched for";
                }
            }
        }
    }
}

// Over an earlier install, every file takes the place of the old one only
// once its bytes are on the disk: a power cut leaves the old or the new.
TEST(InterruptedRun, ReplacementsAreOnTheDiskBeforeTheirRename) {
    Machine m;
    ASSERT_EQ(m.Setup(), kExitDone);
    ASSERT_EQ(m.Setup(), kExitDone);
    const auto& replaced = m.p.files.Replacements();
    std::vector<std::string> targets;
    for (const auto& r : replaced) {
        EXPECT_TRUE(r.flushed) << r.from << " -> " << r.to;
        targets.push_back(r.to);
    }
    for (const char* name : {"\\Z_nt.cx", "\\bin\\app.exe", "\\uninstall.exe"})
        EXPECT_NE(std::find(targets.begin(), targets.end(), kFolder + name), targets.end()) << name;
}

// A temporary file of a killed run is taken away by the next run and by
// the uninstaller; a file of the user's named much like one stays.
TEST(InterruptedRun, LeftTemporaryFilesGoAndLookalikesStay) {
    for (const bool by_uninstaller : {false, true}) {
        SCOPED_TRACE(by_uninstaller ? "the uninstaller" : "setup again");
        Machine m;
        ASSERT_EQ(m.Setup(), kExitDone);
        const std::string left = kFolder + "\\bin\\" + TempFileName(0xDEAD);
        const std::string mine = kFolder + "\\bin\\~zsetup-notes.tmp";
        m.p.files.AddFile(left, {'x'});
        m.p.files.AddFile(mine, {'m'});
        EXPECT_EQ(by_uninstaller ? m.Uninstall() : m.Setup(), by_uninstaller ? kUninstallIncomplete : kExitDone);
        EXPECT_FALSE(m.p.files.Attributes(left));
        EXPECT_EQ(m.p.files.ReadWholeFile(mine), Bytes{'m'});
    }
}

}  // namespace
}  // namespace zsetup
