#include "platform/registry_accessor.h"

#include <gtest/gtest.h>

#include <atomic>

#include "registry_backends.h"

namespace zsetup {
namespace {

using testing::RegistryBackend;

constexpr std::uint32_t kReadWrite = kGenericRead | kKeySetValue;

std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const RegistryError& e) {
        return e.what();
    }
    return "(no error)";
}

class Accessor : public ::testing::TestWithParam<RegistryBackend> {
protected:
    void SetUp() override {
        registry = GetParam().make();
        static std::atomic<int> serial{0};
        base = "Software\\zsetup-accessor\\" + testing::RunToken() + "\\" + GetParam().name + std::to_string(serial++);
    }
    std::unique_ptr<Registry> registry;
    std::string base;
};

TEST_P(Accessor, RelativePathsGoBelowTheCurrentKeyAndBackslashesFromTheRoot) {
    RegistryAccessor reg(*registry, kReadWrite, RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKey("\\" + base, true));
    ASSERT_TRUE(reg.OpenKey("Software\\A", true));
    ASSERT_TRUE(reg.OpenKey("Software\\B", true));
    EXPECT_EQ(reg.CurrentPath(), base + "\\Software\\A\\Software\\B");
    reg.WriteString("v", "x");
    ASSERT_TRUE(reg.OpenKey("\\" + base + "\\Software\\A\\Software\\B", false));
    EXPECT_EQ(reg.ReadString("v"), "x");
    reg.CloseKey();
    // With no key open a relative path starts at the root.
    ASSERT_TRUE(reg.OpenKey(base, false));
    EXPECT_EQ(reg.CurrentPath(), base);
}

TEST_P(Accessor, AFailedOpenKeepsTheCurrentKey) {
    RegistryAccessor reg(*registry, kReadWrite, RegRoot::CurrentUser);
    ASSERT_TRUE(reg.OpenKey("\\" + base, true));
    EXPECT_FALSE(reg.OpenKey("\\" + base + "\\missing", false));
    EXPECT_EQ(reg.CurrentPath(), base);
    reg.WriteInteger("still", 1);
    EXPECT_EQ(reg.ReadInteger("still"), 1);
}

TEST_P(Accessor, ChangingTheRootClosesTheKeyKeepingItDoesNot) {
    RegistryAccessor reg(*registry, kReadWrite, RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKey("\\" + base, true));
    reg.SetRoot(RegRoot::LocalMachine);
    EXPECT_TRUE(reg.HasCurrentKey());
    reg.SetRoot(RegRoot::CurrentUser);
    EXPECT_FALSE(reg.HasCurrentKey());
    // The next relative path starts from the new root.
    ASSERT_TRUE(reg.OpenKey(base + "\\hkcu", true));
    EXPECT_NE(registry->OpenKey(RegRoot::CurrentUser, base + "\\hkcu", false, kGenericRead), nullptr);
    EXPECT_EQ(registry->OpenKey(RegRoot::LocalMachine, base + "\\hkcu", false, kGenericRead), nullptr);
}

TEST_P(Accessor, IntegersAndBooleansAreDwords) {
    RegistryAccessor reg(*registry, kReadWrite, RegRoot::CurrentUser);
    ASSERT_TRUE(reg.OpenKey("\\" + base, true));
    reg.WriteInteger("minus", -1);
    reg.WriteBool("yes", true);
    reg.WriteBool("no", false);
    auto key = registry->OpenKey(RegRoot::CurrentUser, base, false, kGenericRead);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->QueryValue("minus")->data, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(key->QueryValue("yes")->type, kRegDword);
    EXPECT_EQ(reg.ReadInteger("minus"), -1);
    EXPECT_TRUE(reg.ReadBool("yes"));
    EXPECT_FALSE(reg.ReadBool("no"));
}

TEST_P(Accessor, ReadsAndWritesFailWithTheUsersText) {
    RegistryAccessor reg(*registry, kReadWrite, RegRoot::CurrentUser);
    EXPECT_EQ(ErrorText([&] { reg.WriteString("Site", "x"); }), "Failed to set data for 'Site'");
    ASSERT_TRUE(reg.OpenKey("\\" + base, true));
    reg.WriteString("Setup", "1");
    reg.WriteInteger("Folder", 3);
    EXPECT_EQ(reg.ReadString("Nothing"), "");
    EXPECT_EQ(ErrorText([&] { reg.ReadBool("Setup"); }), "Invalid data type for 'Setup'");
    EXPECT_EQ(ErrorText([&] { reg.ReadString("Folder"); }), "Invalid data type for 'Folder'");
    EXPECT_EQ(ErrorText([&] { reg.ReadInteger("Nothing"); }), "Failed to get data for 'Nothing'");

    RegistryAccessor read_only(*registry, kKeyQueryValue, RegRoot::CurrentUser);
    ASSERT_TRUE(read_only.OpenKey("\\" + base, false));
    EXPECT_EQ(ErrorText([&] { read_only.WriteInteger("Setup", 1); }), "Failed to set data for 'Setup'");
    EXPECT_EQ(read_only.ReadString("Setup"), "1");
}

INSTANTIATE_TEST_SUITE_P(Backends, Accessor, ::testing::ValuesIn(testing::RegistryBackends()),
                         testing::BackendName<Registry>);

TEST(MemoryRegistryRights, AReadOnlyRootOpensButNeitherCreatesNorWrites) {
    MemoryRegistry registry;
    ASSERT_NE(registry.OpenKey(RegRoot::LocalMachine, "Software\\Old", true, kReadWrite), nullptr);
    registry.SetWritable(RegRoot::LocalMachine, false);
    EXPECT_EQ(registry.OpenKey(RegRoot::LocalMachine, "Software\\New", true, kReadWrite), nullptr);
    RegistryAccessor reg(registry, kReadWrite, RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Old", true));
    EXPECT_EQ(ErrorText([&] { reg.WriteString("Site", "x"); }), "Failed to set data for 'Site'");
    EXPECT_TRUE(registry.WriteLog().empty());
}

}  // namespace
}  // namespace zsetup
