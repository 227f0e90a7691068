#include "services/shell_folders.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_registry.h"
#include "platform/registry_accessor.h"

namespace zsetup {
namespace {

const std::string kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(ShellFolders, ReadTheirOwnValuesAsStored) {
    MemoryRegistry registry;
    EXPECT_EQ(GetDesktopDir(registry), "");  // no key
    auto key = registry.OpenKey(RegRoot::CurrentUser, kShellFolders, true, kKeySetValue);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(GetProgramsDir(registry), "");  // no value

    // Data ends at its first zero; REG_EXPAND_SZ is not expanded.
    key->SetValue("Desktop", kRegSz, Bytes(std::string("C:\\\xd7\xc0\xc3\xe6\0old\0", 13)));
    key->SetValue("Programs", kRegExpandSz, Bytes(std::string("%APPDATA%\\Programs\0", 19)));
    EXPECT_EQ(GetDesktopDir(registry), "C:\\\xd7\xc0\xc3\xe6");
    EXPECT_EQ(GetProgramsDir(registry), "%APPDATA%\\Programs");

    // Under another root the folders are not found.
    MemoryRegistry other;
    other.OpenKey(RegRoot::LocalMachine, kShellFolders, true, kKeySetValue)
        ->SetValue("Desktop", kRegSz, Bytes(std::string("C:\\D\0", 5)));
    EXPECT_EQ(GetDesktopDir(other), "");
}

TEST(ShellFolders, AValueOfAnotherTypeRaisesAReadError) {
    MemoryRegistry registry;
    auto key = registry.OpenKey(RegRoot::CurrentUser, kShellFolders, true, kKeySetValue);
    key->SetValue("Desktop", kRegDword, {1, 0, 0, 0});
    key->SetValue("Programs", kRegBinary, Bytes("C:\\P"));
    EXPECT_THROW(GetDesktopDir(registry), RegistryError);
    EXPECT_THROW(GetProgramsDir(registry), RegistryError);
}

}  // namespace
}  // namespace zsetup
