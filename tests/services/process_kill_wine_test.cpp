// KillProcessByName against real processes: copies of our idle program under
// the name and under names that only look like it.
#include "services/process_kill.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "text/win32/wide_text.h"
#include "platform/win32/win32_processes.h"
#include "tests/support/backends.h"
#include "tests/support/child_process.h"

namespace zsetup {
namespace {

TEST(KillProcessByNameOnWindows, EndsTheTwoExactCopiesAndNoOtherName) {
    const std::string folder = testing::FreshPath("kill");
    // Letter case is kept per file, so the lower-case copy is a file of its own elsewhere.
    const std::string lower_folder = folder + "\\lower";
    ASSERT_TRUE(CreateDirectoryW(GbkToWide(folder).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(GbkToWide(lower_folder).c_str(), nullptr));

    testing::ChildProcess first(folder + "\\ZANTO-KPV.exe");
    testing::ChildProcess second(folder + "\\ZANTO-KPV.exe");
    testing::ChildProcess lower(lower_folder + "\\zanto-kpv.exe");
    testing::ChildProcess longer(folder + "\\ZANTO-KPV.exe.bak.exe");

    Win32Processes processes;
    KillProcessByName(processes, "ZANTO-KPV.exe");
    EXPECT_EQ(first.WaitExitCode(), 0xFFFFFFFFu);
    EXPECT_EQ(second.WaitExitCode(), 0xFFFFFFFFu);
    EXPECT_TRUE(lower.Running());
    EXPECT_TRUE(longer.Running());
}

}  // namespace
}  // namespace zsetup
