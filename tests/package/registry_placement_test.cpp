// Where registry rows land: one rule for the run and the uninstaller.
#include "package/registry_placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/case_names.h"

namespace zsetup {
namespace {

struct Row {
    bool hkcu;
    const char* key;
};

struct PlacementCase {
    const char* label;
    std::vector<Row> rows;
    std::vector<std::string> placed;  // "HKCU\path" or "HKLM\path"
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.label; }

class RegistryPlacement : public ::testing::TestWithParam<PlacementCase> {};

std::vector<std::string> Placed(const PlacementCase& c, InstallScope scope) {
    auto config = std::make_unique<SetupConfig>(SetupConfig::Zero());
    for (const Row& r : c.rows) {
        RegistryEntry& e = config->RegistryEntries[config->RegistryCount++];
        e.CurrentUser = r.hkcu;
        e.KeyPath.assign(r.key);
    }
    std::vector<std::string> placed;
    for (const PlacedRegistryRow& p : PlaceRegistryRows(*config, scope))
        placed.push_back(std::string(p.current_user ? "HKCU\\" : "HKLM\\") + p.key_path);
    return placed;
}

TEST_P(RegistryPlacement, FollowsTheCurrentKey) {
    EXPECT_EQ(Placed(GetParam(), InstallScope::kMachine), GetParam().placed);
}

// A per-user install places the rows by the same rule, so a relative row
// after a change of root still starts from the root, and then writes them
// all under the user.
TEST_P(RegistryPlacement, PerUserKeepsEveryPathUnderTheUser) {
    std::vector<std::string> expected = GetParam().placed;
    for (std::string& path : expected)
        if (path.compare(0, 5, "HKLM\\") == 0) path.replace(0, 4, "HKCU");
    EXPECT_EQ(Placed(GetParam(), InstallScope::kUser), expected);
}

const PlacementCase kCases[] = {
    {"the first row from its root", {{false, "Software\\A"}}, {"HKLM\\Software\\A"}},
    {"a relative row below the row before",
     {{false, "Software\\A"}, {false, "Software\\B"}},
     {"HKLM\\Software\\A", "HKLM\\Software\\A\\Software\\B"}},
    {"a leading backslash from the root",
     {{false, "Software\\A"}, {false, "\\Software\\B"}},
     {"HKLM\\Software\\A", "HKLM\\Software\\B"}},
    {"another root starts from the root",
     {{false, "Software\\A"}, {true, "Software\\B"}, {true, "C"}},
     {"HKLM\\Software\\A", "HKCU\\Software\\B", "HKCU\\Software\\B\\C"}},
    {"an empty path stays in the current key",
     {{false, "Software\\A"}, {false, ""}},
     {"HKLM\\Software\\A", "HKLM\\Software\\A"}},
    {"the root itself, then from the root", {{true, "\\"}, {true, "Software"}}, {"HKCU\\", "HKCU\\Software"}},
    {"no rows", {}, {}},
};

INSTANTIATE_TEST_SUITE_P(Table, RegistryPlacement, ::testing::ValuesIn(kCases), testing::LabelName());

}  // namespace
}  // namespace zsetup
