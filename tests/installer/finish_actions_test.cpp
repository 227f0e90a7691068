// Finish on page 5: the tutorial page once when online, the installed
// folder in the file manager, the end; and a mistyped browser command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry_accessor.h"
#include "tests/installer/wizard_fixture.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const char kBrowserKey[] = "\\htmlfile\\shell\\open\\command";

void SetBrowserCommand(MemoryPlatform& p, const std::string& command) {
    RegistryAccessor reg(p.registry, kKeySetValue, RegRoot::ClassesRoot);
    ASSERT_TRUE(reg.OpenKey(kBrowserKey, true));
    reg.WriteString("", command);
}

// A wizard on page 5 after a normal run.
Wizard Finished(const Package& package = Package()) {
    Wizard w(package);
    w.ToFolderPage();
    w.Next();
    w.Next();
    EXPECT_EQ(w.page(), 5);
    return w;
}

struct FinishCase {
    const char* label;
    bool ticked;
    std::optional<std::uint32_t> connection;
    std::string command;                                        // "" : none registered
    std::vector<std::pair<std::string, std::string>> browsers;  // program, parameters
};

const std::string kTutorial = "http://www.example.com/jiaocheng.asp?id=%D1%DD%CA%BE%C8%ED%BC%FE";
const std::string kQuoted = "\"C:\\Program Files\\Browser\\browser.exe\" -nohome \"%1\"";
const std::string kProgram = "C:\\Program Files\\Browser\\browser.exe";

const FinishCase kFinishCases[] = {
    {"cleared", false, 0x02u, kQuoted, {}},
    {"offline", true, std::nullopt, kQuoted, {}},
    {"lan", true, 0x02u, kQuoted, {{kProgram, kTutorial}}},
    {"lan and proxy once", true, 0x06u, kQuoted, {{kProgram, kTutorial}}},
    {"all three once", true, 0x07u, kQuoted, {{kProgram, kTutorial}}},
    {"configured only", true, 0x40u, kQuoted, {}},
    {"no browser", true, 0x02u, "", {}},
    {"unquoted command", true, 0x01u, "C:\\Browser\\web.exe %1", {{"C:\\Browser\\web.exe", kTutorial}}},
};

class FinishTest : public ::testing::TestWithParam<FinishCase> {};

TEST_P(FinishTest, OpensTheTutorialOnceThenTheFolderThenEnds) {
    const FinishCase& c = GetParam();
    Wizard w = Finished();
    w.platform->network.SetConnectedState(c.connection);
    if (!c.command.empty()) SetBrowserCommand(*w.platform, c.command);
    w["StartProgramCb"].SetChecked(c.ticked);
    w.Press("suiButton3");

    EXPECT_EQ(w.platform->network.Queries(), c.ticked ? 1 : 0);
    const auto& launched = w.platform->shell.ExecuteRequests();
    ASSERT_EQ(launched.size(), c.browsers.size() + 1);
    for (std::size_t i = 0; i < c.browsers.size(); ++i) {
        EXPECT_EQ(launched[i].verb, "open");
        EXPECT_EQ(launched[i].file, c.browsers[i].first);
        EXPECT_EQ(launched[i].parameters, c.browsers[i].second);
        EXPECT_EQ(launched[i].directory, "");
        EXPECT_EQ(launched[i].show, kSwShow);
    }
    const auto& explore = launched.back();
    EXPECT_EQ(explore.verb, "explore");
    EXPECT_EQ(explore.file, "C:\\演示软件");
    EXPECT_EQ(explore.parameters, "");
    EXPECT_EQ(explore.directory, "C:\\");
    EXPECT_EQ(explore.show, kSwShowNormal);
    EXPECT_EQ(w.platform->clock.Slept(), 500u);
    EXPECT_TRUE(w.form->form().terminated());
    EXPECT_TRUE(w.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, FinishTest, ::testing::ValuesIn(kFinishCases), zsetup::testing::LabelName());

TEST(Finish, TheTutorialAddressEscapesTheProductName) {
    struct Case {
        const char* name;
        const char* id;
    };
    for (const Case& c :
         {Case{"Tool", "Tool"}, Case{"My Tool 2.0", "My%20Tool%202.0"}, Case{"a&b=c+d#", "a%26b%3Dc%2Bd%23"},
          Case{"软件 X", "%C8%ED%BC%FE%20X"}, Case{"x-y_z.~", "x-y_z.~"}}) {
        SCOPED_TRACE(c.name);
        Package p;
        p.record.ProductName.assign(c.name);
        Wizard w(p);
        EXPECT_EQ(w.form->TutorialAddress(), std::string("http://www.example.com/jiaocheng.asp?id=") + c.id);
    }
}

TEST(Finish, AMistypedBrowserCommandLeavesTheWizardOnPageFive) {
    Wizard w = Finished();
    w.platform->network.SetConnectedState(0x02u);
    {
        RegistryAccessor reg(w.platform->registry, kKeySetValue, RegRoot::ClassesRoot);
        ASSERT_TRUE(reg.OpenKey(kBrowserKey, true));
        reg.WriteInteger("", 7);
    }
    w.platform->dialogs.Answer(kIdOk);
    w.Press("suiButton3");
    ASSERT_EQ(w.boxes().size(), 1u);
    EXPECT_EQ(w.boxes()[0].text, "Invalid data type for ''");
    EXPECT_EQ(w.boxes()[0].flags, kMbOk | kMbIconError);
    EXPECT_EQ(w.page(), 5);
    EXPECT_FALSE(w.form->form().terminated());
    EXPECT_TRUE(w.platform->shell.ExecuteRequests().empty());
    EXPECT_EQ(w.platform->clock.Slept(), 0u);

    // With the box cleared, Finish completes.
    w["StartProgramCb"].SetChecked(false);
    w.Press("suiButton3");
    EXPECT_TRUE(w.form->form().terminated());
    ASSERT_EQ(w.platform->shell.ExecuteRequests().size(), 1u);
    EXPECT_EQ(w.platform->shell.ExecuteRequests()[0].verb, "explore");
}

}  // namespace
}  // namespace zsetup
