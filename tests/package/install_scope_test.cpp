// A program's scope read from its manifest, the builder's rewrite of it, and
// which HKLM keys a per-user install can write under the user.
#include "package/install_scope.h"

#include <gtest/gtest.h>

#include <string>

#include "package/errors.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

constexpr char kStubLike[] =
    "<?xml version=\"1.0\"?>\n<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\">\n"
    "  <!-- <requestedExecutionLevel level=\"asInvoker\"/> in a comment counts for nothing -->\n"
    "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\"><security><requestedPrivileges>\n"
    "    <requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>\n"
    "  </requestedPrivileges></security></trustInfo>\n</assembly>\n";

struct ScopeCase {
    const char* label;
    std::string manifest;
    InstallScope scope;
};
void PrintTo(const ScopeCase& c, std::ostream* os) { *os << c.label; }

class ManifestScope : public ::testing::TestWithParam<ScopeCase> {};

TEST_P(ManifestScope, IsUserOnlyWhenTheProgramRunsAsInvoker) {
    EXPECT_EQ(ScopeOfManifest(GetParam().manifest), GetParam().scope);
}

const ScopeCase kScopeCases[] = {
    {"the stubs own", kStubLike, InstallScope::kMachine},
    {"as invoker", "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>", InstallScope::kUser},
    {"single quotes and blanks", "<requestedExecutionLevel uiAccess='false'\n level = 'asInvoker' />",
     InstallScope::kUser},
    {"a namespace prefix", "<v3:requestedExecutionLevel level=\"asInvoker\"/>", InstallScope::kUser},
    {"highest available", "<requestedExecutionLevel level=\"highestAvailable\"/>", InstallScope::kMachine},
    {"letter case counts", "<requestedExecutionLevel level=\"ASINVOKER\"/>", InstallScope::kMachine},
    {"only in a comment", "<!-- <requestedExecutionLevel level=\"asInvoker\"/> -->", InstallScope::kMachine},
    {"an element of another name", "<requestedExecutionLevelX level=\"asInvoker\"/>", InstallScope::kMachine},
    {"another attribute ending in level", "<requestedExecutionLevel xlevel=\"asInvoker\"/>", InstallScope::kMachine},
    {"no manifest", "", InstallScope::kMachine},
    {"cut inside the element", "<requestedExecutionLevel level=\"asInvoker", InstallScope::kMachine},
};
INSTANTIATE_TEST_SUITE_P(Table, ManifestScope, ::testing::ValuesIn(kScopeCases), testing::LabelName());

TEST(ManifestForScope, ChangesTheLevelAndNothingElse) {
    const std::string user = ManifestForScope(kStubLike, InstallScope::kUser);
    std::string expected = kStubLike;
    const std::string old_level = "level=\"requireAdministrator\" uiAccess";
    expected.replace(expected.find(old_level), old_level.size(), "level=\"asInvoker\" uiAccess");
    EXPECT_EQ(user, expected);
    EXPECT_EQ(ScopeOfManifest(user), InstallScope::kUser);
    EXPECT_EQ(ManifestForScope(user, InstallScope::kMachine), kStubLike);
}

TEST(ManifestForScope, RefusesAManifestWithoutALevel) {
    EXPECT_THROW(ManifestForScope("<assembly/>", InstallScope::kUser), PackageError);
    EXPECT_THROW(ManifestForScope("<!-- <requestedExecutionLevel level=\"x\"/> -->", InstallScope::kUser),
                 PackageError);
}

struct KeyCase {
    const char* label;
    const char* key_path;
    bool mapped;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.label; }

class UserScopeKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(UserScopeKey, MapsOnlyWhatTheUserHasACounterpartFor) {
    EXPECT_EQ(UserScopeKeyProblem(GetParam().key_path).empty(), GetParam().mapped) << GetParam().key_path;
}

const KeyCase kKeyCases[] = {
    {"the makers key", "Software\\Maker\\Product", true},
    {"any letter case", "SOFTWARE\\Maker", true},
    {"Software itself", "Software", true},
    {"file classes", "Software\\Classes\\.abc", true},
    {"the run key", "Software\\Microsoft\\Windows\\CurrentVersion\\Run", true},
    {"a name starting with policies", "Software\\PoliciesOfMine", true},
    {"policies", "Software\\Policies\\Maker", false},
    {"policies in another case", "software\\POLICIES", false},
    {"the 32 bit view", "Software\\WOW6432Node\\Maker", false},
    {"the system", "SYSTEM\\CurrentControlSet\\Services\\x", false},
    {"a name starting with software", "SoftwareX\\Maker", false},
    {"the root", "", false},
};
INSTANTIATE_TEST_SUITE_P(Table, UserScopeKey, ::testing::ValuesIn(kKeyCases), testing::LabelName());

}  // namespace
}  // namespace zsetup
