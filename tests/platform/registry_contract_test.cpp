// What the wizard relies on from a registry, checked on every implementation
// so the stand-in cannot drift from Windows.
#include <gtest/gtest.h>

#include <atomic>

#include "registry_backends.h"

namespace zsetup {
namespace {

using testing::RegistryBackend;

constexpr std::uint32_t kReadWrite = kGenericRead | kKeySetValue;
const std::vector<std::uint8_t> kDwordSeven = {7, 0, 0, 0};

class RegistryContract : public ::testing::TestWithParam<RegistryBackend> {
protected:
    void SetUp() override {
        registry = GetParam().make();
        static std::atomic<int> serial{0};
        // Every test its own key, so runs against the real registry never meet.
        base = "Software\\zsetup-tests\\" + testing::RunToken() + "\\" + GetParam().name + "\\" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + std::to_string(serial++);
        for (char& c : base)
            if (c == '/') c = '_';
    }
    std::unique_ptr<Registry> registry;
    std::string base;
};

TEST_P(RegistryContract, CreatingAKeyCreatesItsMissingParents) {
    EXPECT_EQ(registry->OpenKey(RegRoot::CurrentUser, base + "\\a\\b\\c", false, kGenericRead), nullptr);
    ASSERT_NE(registry->OpenKey(RegRoot::CurrentUser, base + "\\a\\b\\c", true, kReadWrite), nullptr);
    EXPECT_NE(registry->OpenKey(RegRoot::CurrentUser, base + "\\a\\b", false, kGenericRead), nullptr);
    EXPECT_NE(registry->OpenKey(RegRoot::CurrentUser, base + "\\A\\B\\C", false, kGenericRead), nullptr);
    // Roots are apart.
    EXPECT_EQ(registry->OpenKey(RegRoot::LocalMachine, base + "\\a", false, kGenericRead), nullptr);
}

TEST_P(RegistryContract, ValuesRoundTripWithGbkNamesAndText) {
    auto key = registry->OpenKey(RegRoot::LocalMachine, base + "\\\xd6\xd0\xce\xc4", true, kReadWrite);
    ASSERT_NE(key, nullptr);
    const std::string text = "C:\\\xb3\xcc\xd0\xf2 Files";  // "C:\程序 Files"
    std::vector<std::uint8_t> sz(text.begin(), text.end());
    sz.push_back(0);
    ASSERT_TRUE(key->SetValue("\xc2\xb7\xbe\xb6", kRegSz, sz));
    ASSERT_TRUE(key->SetValue("Setup", kRegDword, kDwordSeven));

    auto again = registry->OpenKey(RegRoot::LocalMachine, base + "\\\xd6\xd0\xce\xc4", false, kGenericRead);
    ASSERT_NE(again, nullptr);
    auto s = again->QueryValue("\xc2\xb7\xbe\xb6");
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->type, kRegSz);
    EXPECT_EQ(s->data, sz);
    auto d = again->QueryValue("SETUP");  // value names ignore letter case
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->type, kRegDword);
    EXPECT_EQ(d->data, kDwordSeven);
    EXPECT_FALSE(again->QueryValue("missing").has_value());
}

TEST_P(RegistryContract, AKeyOpenedWithoutSetValueRefusesWrites) {
    ASSERT_NE(registry->OpenKey(RegRoot::CurrentUser, base, true, kReadWrite), nullptr);
    auto key = registry->OpenKey(RegRoot::CurrentUser, base, false, kKeyQueryValue);
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->SetValue("x", kRegDword, kDwordSeven));
    EXPECT_FALSE(key->QueryValue("x").has_value());
}

// What taking a product away needs: values deleted one by one, and a key
// deleted only once no key lies below it.
TEST_P(RegistryContract, ValuesAndKeysAreDeletedDeepestFirst) {
    auto key = registry->OpenKey(RegRoot::LocalMachine, base + "\\a", true, kReadWrite);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->SetValue("one", kRegDword, kDwordSeven));
    ASSERT_TRUE(key->SetValue("two", kRegDword, kDwordSeven));
    ASSERT_NE(registry->OpenKey(RegRoot::LocalMachine, base + "\\a\\\xd6\xd0", true, kReadWrite), nullptr);
    EXPECT_EQ(key->ValueCount(), 2u);
    EXPECT_EQ(key->SubkeyCount(), 1u);

    EXPECT_TRUE(key->DeleteValue("ONE"));
    EXPECT_FALSE(key->DeleteValue("one")) << "gone already";
    EXPECT_EQ(key->ValueCount(), 1u);
    auto reader = registry->OpenKey(RegRoot::LocalMachine, base + "\\a", false, kKeyQueryValue);
    ASSERT_NE(reader, nullptr);
    EXPECT_FALSE(reader->DeleteValue("two")) << "opened without KEY_SET_VALUE";

    EXPECT_FALSE(registry->DeleteKey(RegRoot::LocalMachine, base + "\\a")) << "a key lies below it";
    EXPECT_TRUE(registry->DeleteKey(RegRoot::LocalMachine, base + "\\a\\\xd6\xd0"));
    EXPECT_EQ(key->SubkeyCount(), 0u);
    EXPECT_TRUE(registry->DeleteKey(RegRoot::LocalMachine, base + "\\A")) << "its values go with it";
    EXPECT_EQ(registry->OpenKey(RegRoot::LocalMachine, base + "\\a", false, kGenericRead), nullptr);
    EXPECT_FALSE(registry->DeleteKey(RegRoot::LocalMachine, base + "\\a"));
    EXPECT_FALSE(registry->DeleteKey(RegRoot::LocalMachine, ""));
}

TEST_P(RegistryContract, TheEmptyPathIsTheRootItself) {
    EXPECT_NE(registry->OpenKey(RegRoot::CurrentUser, "", false, kGenericRead), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract, ::testing::ValuesIn(testing::RegistryBackends()),
                         testing::BackendName<Registry>);

}  // namespace
}  // namespace zsetup
