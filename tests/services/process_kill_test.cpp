#include "services/process_kill.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_processes.h"

namespace zsetup {
namespace {

using Terminations = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

Terminations Ended(const MemoryProcesses& processes) {
    Terminations ended;
    for (const auto& t : processes.Terminations()) ended.emplace_back(t.id, t.exit_code);
    return ended;
}

TEST(KillProcessByName, EndsEveryProcessOfExactlyThatName) {
    MemoryProcesses processes;
    const std::uint32_t first = processes.Start("ZANTO-KPV.exe");
    for (const char* other :
         {"zanto-kpv.exe", "ZANTO-KPV.EXE", "ZANTO-KPV.exe.bak.exe", "old-ZANTO-KPV.exe", "ZANTO-KPV", "KPV-H-Up.exe"})
        processes.Start(other);
    const std::uint32_t second = processes.Start("ZANTO-KPV.exe");

    KillProcessByName(processes, "ZANTO-KPV.exe");
    EXPECT_EQ(Ended(processes), (Terminations{{first, 0xFFFFFFFFu}, {second, 0xFFFFFFFFu}}));
    EXPECT_EQ(processes.Snapshot().size(), 6u);
}

TEST(KillProcessByName, SkipsAProcessItCannotOpenAndGoesOn) {
    MemoryProcesses processes;
    processes.Start("KPV-H-Up.exe", false);
    const std::uint32_t own = processes.Start("KPV-H-Up.exe");
    KillProcessByName(processes, "KPV-H-Up.exe");
    EXPECT_EQ(Ended(processes), (Terminations{{own, 0xFFFFFFFFu}}));
}

TEST(KillProcessByName, WithoutAMatchNothingHappens) {
    MemoryProcesses processes;
    processes.Start("explorer.exe");
    KillProcessByName(processes, "ZANTO-KPV.exe");
    EXPECT_TRUE(processes.Terminations().empty());
}

}  // namespace
}  // namespace zsetup
