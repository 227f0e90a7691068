// The bundle the wizard is given.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "platform/memory/memory_platform.h"
#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#endif

namespace zsetup {
namespace {

// The seam refers to the bundle's own members, so a copy would point back
// into the original.
static_assert(!std::is_copy_constructible_v<MemoryPlatform>);
#ifdef _WIN32
static_assert(!std::is_copy_constructible_v<Win32Platform>);
#endif

TEST(MemoryPlatform, WhatTheWizardDoesThroughTheSeamShowsInTheStandIns) {
    MemoryPlatform platform({"C:", "D:"});
    Platform& seam = platform.seam;
    ASSERT_TRUE(seam.files.WriteWholeFile("D:\\a.exe", {1, 2}));
    EXPECT_EQ(platform.files.ReadWholeFile("D:\\a.exe"), (std::vector<std::uint8_t>{1, 2}));
    // Links land in the same file system.
    seam.shell.SaveLink("D:\\a.lnk", ShellLink{"D:\\a.exe"});
    EXPECT_TRUE(seam.files.Attributes("D:\\a.lnk").has_value());
    seam.clock.Sleep(500);
    seam.clock.Sleep(20);
    EXPECT_EQ(platform.clock.Slept(), 520u);
}

}  // namespace
}  // namespace zsetup
