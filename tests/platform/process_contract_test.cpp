// What the installer relies on from the process list, checked on every
// implementation so the stand-in cannot drift from Windows.
#include <gtest/gtest.h>

#include <algorithm>

#include "process_backends.h"

namespace zsetup {
namespace {

using testing::ProcessBackend;

bool Lists(Processes& processes, std::uint32_t id, const std::string& image) {
    const auto all = processes.Snapshot();
    return std::any_of(all.begin(), all.end(), [&](const ProcessEntry& e) { return e.id == id && e.image == image; });
}

class ProcessContract : public ::testing::TestWithParam<ProcessBackend> {
protected:
    void SetUp() override { rig = GetParam().make(); }
    std::unique_ptr<testing::ProcessRig> rig;
};

TEST_P(ProcessContract, TheSnapshotNamesEachProcessByItsImageAsStarted) {
    const std::string chinese = "\xd6\xd0\xce\xc4\xb3\xcc\xd0\xf2.exe";  // "中文程序.exe"
    const std::uint32_t a = rig->Start("ZANTO-KPV.exe");
    const std::uint32_t b = rig->Start(chinese);
    EXPECT_TRUE(Lists(rig->processes(), a, "ZANTO-KPV.exe"));
    EXPECT_TRUE(Lists(rig->processes(), b, chinese));
}

TEST_P(ProcessContract, TerminateEndsTheProcessWithTheExitCodeGiven) {
    const std::uint32_t id = rig->Start("ZANTO-KPV.exe");
    EXPECT_TRUE(rig->processes().Terminate(id, 0xFFFFFFFFu));
    EXPECT_EQ(rig->ExitCode(id), 0xFFFFFFFFu);
    EXPECT_FALSE(Lists(rig->processes(), id, "ZANTO-KPV.exe"));
}

TEST_P(ProcessContract, ALaunchedProgramRunsUntilItEnds) {
    Processes& processes = rig->processes();
    const std::string image = "\xd0\xb6\xd4\xd8.exe";  // "卸载.exe"
    const auto id = processes.Launch(rig->Program(image), "/IN=C:\\a b");
    ASSERT_TRUE(id);
    EXPECT_TRUE(Lists(processes, *id, image));
    EXPECT_FALSE(processes.WaitForExit(*id, 0));
    EXPECT_TRUE(processes.Terminate(*id, 1));
    EXPECT_TRUE(processes.WaitForExit(*id, 30000));
    EXPECT_FALSE(Lists(processes, *id, image));
    EXPECT_TRUE(processes.WaitForExit(0x7FFFFFF0u, 0)) << "no such process: nothing to wait for";
    EXPECT_NE(processes.CurrentId(), *id);
    EXPECT_NE(processes.CurrentProgram(), "");
}

TEST_P(ProcessContract, AProcessThatDoesNotExistCannotBeTerminated) {
    EXPECT_FALSE(rig->processes().Terminate(0x7FFFFFF0u, 0xFFFFFFFFu));
}

INSTANTIATE_TEST_SUITE_P(Backends, ProcessContract, ::testing::ValuesIn(testing::ProcessBackends()),
                         testing::BackendName<testing::ProcessRig>);

}  // namespace
}  // namespace zsetup
