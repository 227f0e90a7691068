// ShellExecute through the adapter: a program under a Chinese name starts, a
// missing one is reported.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "text/win32/wide_text.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_shell.h"
#include "tests/support/backends.h"
#include "tests/support/child_process.h"

namespace zsetup {
namespace {

TEST(ShellExecuteOnWindows, OpensAProgramByItsGbkPathAndReportsAMissingOne) {
    const std::string folder = testing::FreshPath("execute");
    const std::string image = "\xd6\xb4\xd0\xd0-" + testing::RunToken() + ".exe";  // "执行-<token>.exe"
    ASSERT_TRUE(CreateDirectoryW(GbkToWide(folder).c_str(), nullptr));
    testing::CopyIdleProgram(folder + "\\" + image);

    Win32Shell shell;
    Win32Processes processes;
    ASSERT_TRUE(shell.Execute("open", folder + "\\" + image, "--quiet", folder, kSwShow));
    const auto all = processes.Snapshot();
    const auto started = std::find_if(all.begin(), all.end(), [&](const ProcessEntry& e) { return e.image == image; });
    ASSERT_NE(started, all.end());
    EXPECT_TRUE(processes.Terminate(started->id, 0));

    EXPECT_FALSE(shell.Execute("open", folder + "\\missing.exe", "", "", kSwShow));
}

}  // namespace
}  // namespace zsetup
