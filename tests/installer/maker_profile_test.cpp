// The wizard with and without the maker's profile: every line the profile can
// set, where it shows, and what the finish starts. A damaged profile is among
// the bad packages of main_form_start_test.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "installer/main_form_description.h"
#include "installer/wizard_texts.h"
#include "package/maker_profile.h"
#include "platform/registry_accessor.h"
#include "tests/installer/wizard_fixture.h"
#include "tests/support/case_names.h"
#include "ui/form_description.h"
#include "wizard/wizard_look.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const char kLicence[] = "第一条\n第二条\r\n第三条";

struct Launch {
    std::string verb, file, parameters, directory;
};

struct MakerCase {
    const char* label;
    std::optional<MakerProfile> profile;
    // What the wizard shows and does.
    std::string title, credit, site, caption, quit, not_full;
    std::vector<std::string> ended;  // programs ended by Next
    std::string licence;             // the box's text; "" hidden, the link shown
    std::string licence_address;     // opened by the link
    std::string tutorial;            // the check box's caption; "" hidden
    std::string run;                 // the run box's caption; "" hidden
    std::vector<Launch> finish;      // what Finish starts, in order
};
void PrintTo(const MakerCase& c, std::ostream* os) { *os << c.label; }

MakerProfile Everything() {
    MakerProfile p;
    p.page_title = "演示工作室安装程序";
    p.credit = "演示工作室 出品";
    p.caption = " 演示";
    p.quit_question = "现在退出吗？";
    p.folder_example = "D:\\演示";
    p.site = "https://demo.example.org";
    p.site_text = "demo.example.org";
    p.tutorial_text = "看看使用说明";
    p.tutorial_address = "https://demo.example.org/guide";
    p.processes = std::vector<std::string>{"demo.exe", "演示.exe", "third.exe"};
    p.licence_inline = true;
    p.run_file = 1;
    p.keep_folder_closed = true;
    return p;
}

MakerProfile Bare() {
    MakerProfile p;
    p.processes = std::vector<std::string>{};
    p.no_tutorial = true;
    return p;
}

const std::string kBrowser = "C:\\Browser\\web.exe";
const std::string kDefaultTutorial = "http://www.example.com/jiaocheng.asp?id=%D1%DD%CA%BE%C8%ED%BC%FE";

const MakerCase kCases[] = {
    {"no profile",
     std::nullopt,
     "Zoraq安装程序",
     "Zoraq 出品",
     "www.example.com",
     " ZANTO",
     BuiltInMakerLines().quit_question.c_str(),
     "必须指定完全路径!\r\n比如:\r\nC:\\ZANTO-Y",
     {"ZANTO-KPV.exe", "KPV-H-Up.exe"},
     "",
     "http://www.example.com/license.asp",
     "怎样加密？看看使用教程",
     "",
     {{"open", kBrowser, kDefaultTutorial, ""}, {"explore", "C:\\演示软件", "", "C:\\"}}},
    {"every field",
     Everything(),
     "演示工作室安装程序",
     "演示工作室 出品",
     "demo.example.org",
     " 演示",
     "现在退出吗？",
     "必须指定完全路径!\r\n比如:\r\nD:\\演示",
     {"demo.exe", "演示.exe", "third.exe"},
     "第一条\r\n第二条\r\n第三条",
     "",
     "看看使用说明",
     "运行 演示软件",
     {{"open", "C:\\演示软件\\bin\\演示.exe", "", "C:\\演示软件\\bin\\"},
      {"open", kBrowser, "https://demo.example.org/guide", ""}}},
    {"no programs, no tutorial",
     Bare(),
     "Zoraq安装程序",
     "Zoraq 出品",
     "www.example.com",
     " ZANTO",
     BuiltInMakerLines().quit_question.c_str(),
     "必须指定完全路径!\r\n比如:\r\nC:\\ZANTO-Y",
     {},
     "",
     "http://www.example.com/license.asp",
     "",
     "",
     {{"explore", "C:\\演示软件", "", "C:\\"}}},
};

class MakerProfileWizard : public ::testing::TestWithParam<MakerCase> {};

TEST_P(MakerProfileWizard, ShowsTheMakersLinesAndStartsWhatItNames) {
    const MakerCase& c = GetParam();
    Package package;
    package.AddFile("\\bin\\演示.exe", "MZ");
    package.licence = Bytes(kLicence, kLicence + sizeof kLicence - 1);
    if (c.profile) package.maker = WriteMakerProfile(*c.profile);
    Wizard w(package);
    std::map<std::uint32_t, std::string> running;
    for (const char* name : {"ZANTO-KPV.exe", "KPV-H-Up.exe", "demo.exe", "演示.exe", "third.exe"})
        running[w.platform->processes.Start(name)] = name;
    ASSERT_TRUE(w.form->refusal().empty()) << w.form->refusal();

    // Page 0, the header and the footer.
    EXPECT_EQ(w["Label8"].caption(), c.title);
    EXPECT_EQ(w["CreditLb"].caption(), c.credit);
    EXPECT_EQ(w["SiteLb"].caption(), c.site);
    w.platform->dialogs.Answer(kIdNo);
    w.Press("suiButton3");
    ASSERT_EQ(w.boxes().size(), 1u);
    EXPECT_EQ(w.boxes()[0].text, c.quit);
    EXPECT_EQ(w.boxes()[0].caption, c.caption);
    bool can_close = true;
    w.platform->dialogs.Answer(kIdNo);
    w.form->FormCloseQuery(can_close);
    EXPECT_EQ(w.boxes().back().text, c.quit);
    EXPECT_EQ(w.boxes().back().caption, "Confirm");

    // Next ends the maker's programs, in order.
    w.Next();
    std::vector<std::string> ended;
    for (const auto& t : w.platform->processes.Terminations()) ended.push_back(running[t.id]);
    EXPECT_EQ(ended, c.ended);

    // Page 1: the licence inline, or the link to it.
    ASSERT_EQ(w.page(), 1);
    EXPECT_EQ(w["LicenceBox"].visible(), !c.licence.empty());
    EXPECT_EQ(w["suiURLLabel1"].visible(), c.licence.empty());
    EXPECT_EQ(w["Image2"].visible(), c.licence.empty());
    if (!c.licence.empty()) {
        EXPECT_EQ(w["LicenceBox"].caption(), c.licence);
    } else {
        w.Press("suiURLLabel1");
        EXPECT_EQ(w.platform->shell.ExecuteRequests().back().file, c.licence_address);
    }
    w.Press("suiButton4");

    // Page 2: the full-path message, then on to the finish.
    w["FolderEd"].SetCaption("Apps");
    w.Next({kIdOk});
    EXPECT_EQ(w.boxes().back().text, c.not_full);
    EXPECT_EQ(w.boxes().back().caption, c.caption);
    w["FolderEd"].SetCaption("C:\\演示软件");
    w.Next();
    w.Next();
    ASSERT_EQ(w.page(), 5);
    EXPECT_EQ(w["StartProgramCb"].visible(), !c.tutorial.empty());
    if (!c.tutorial.empty()) {
        EXPECT_EQ(w["StartProgramCb"].caption(), c.tutorial);
    }
    EXPECT_EQ(w["RunProgramCb"].visible(), !c.run.empty());
    if (!c.run.empty()) {
        EXPECT_EQ(w["RunProgramCb"].caption(), c.run);
        EXPECT_TRUE(w["RunProgramCb"].checked());
        EXPECT_GT(w["StartProgramCb"].bounds().top, w["RunProgramCb"].bounds().top);
    }

    RegistryAccessor reg(w.platform->registry, kKeySetValue, RegRoot::ClassesRoot);
    ASSERT_TRUE(reg.OpenKey("\\htmlfile\\shell\\open\\command", true));
    reg.WriteString("", "\"" + kBrowser + "\" %1");
    w.platform->network.SetConnectedState(0x02u);
    const std::size_t before = w.platform->shell.ExecuteRequests().size();
    w.Press("suiButton3");
    const auto& all = w.platform->shell.ExecuteRequests();
    std::vector<Launch> finish;
    for (std::size_t i = before; i < all.size(); ++i)
        finish.push_back({all[i].verb, all[i].file, all[i].parameters, all[i].directory});
    ASSERT_EQ(finish.size(), c.finish.size());
    for (std::size_t i = 0; i < finish.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(finish[i].verb, c.finish[i].verb);
        EXPECT_EQ(finish[i].file, c.finish[i].file);
        EXPECT_EQ(finish[i].parameters, c.finish[i].parameters);
        EXPECT_EQ(finish[i].directory, c.finish[i].directory);
    }
    EXPECT_TRUE(w.form->form().terminated());
}

bool Overlap(const ui::Rect& a, const ui::Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// Page 1 as the wizard shows it, licence inline or not.
struct LicencePage {
    explicit LicencePage(bool inline_licence) {
        Package package;
        package.licence = Bytes(kLicence, kLicence + sizeof kLicence - 1);
        if (inline_licence) {
            MakerProfile p;
            p.licence_inline = true;
            package.maker = WriteMakerProfile(p);
        }
        w = std::make_unique<Wizard>(package);
        w->Next();
    }
    std::unique_ptr<Wizard> w;
};

// The inline licence takes the page's free height: from below the header
// band, which covers the page's top, to the agree prompt at the page's foot;
// it overlaps no control that shows on the page or reaches into it.
TEST(LicencePage, InlineBoxTakesThePagesFreeHeight) {
    LicencePage page(true);
    Wizard& w = *page.w;
    ASSERT_EQ(w.page(), 1);
    ui::Widget& box = w["LicenceBox"];
    ASSERT_TRUE(box.visible());
    const ui::Rect r = box.bounds();
    const int band_covers = look::kHeaderBand.top + look::kHeaderBand.height - look::kPages.top;
    EXPECT_GE(r.top, band_covers);
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.left + r.width, look::kPage.width);
    const ui::Rect prompt = w["Label21"].bounds();
    EXPECT_TRUE(w["Label21"].visible());
    EXPECT_LT(r.top + r.height, prompt.top);
    EXPECT_LE(prompt.top + prompt.height, look::kPage.height);
    // More than the six lines (100 pixels) it had above the prompt's old place.
    EXPECT_GE(r.height, 120);

    std::vector<const ui::Widget*> shown;  // every other control showing on the page, in page coordinates
    std::vector<ui::Rect> places;
    for (const auto& child : w["Sheet1"].children())
        if (child.get() != &box && child->visible()) {
            shown.push_back(child.get());
            places.push_back(child->bounds());
        }
    for (const auto& control : w.form->form().children())
        if (control->visible() && control->name() != "PageCtl") {
            ui::Rect at = control->bounds();
            at.left -= look::kPages.left;
            at.top -= look::kPages.top;
            shown.push_back(control.get());
            places.push_back(at);
        }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_FALSE(Overlap(r, places[i])) << shown[i]->name();
        EXPECT_FALSE(shown[i]->name() != "Label21" && Overlap(prompt, places[i])) << shown[i]->name();
    }
}

// Without the inline licence page 1 is as its description draws it.
TEST(LicencePage, WithoutItThePageIsAsDescribed) {
    LicencePage page(false);
    Wizard& w = *page.w;
    ASSERT_EQ(w.page(), 1);
    int rows = 0;
    for (const ui::ControlRow& row : TMAINFORM().controls) {
        if (!row.parent || std::string(row.parent) != "Sheet1") continue;
        SCOPED_TRACE(row.name);
        ++rows;
        EXPECT_EQ(w[row.name].bounds(), row.bounds);
        EXPECT_EQ(w[row.name].visible(), !(row.flags & ui::kHidden));
    }
    EXPECT_EQ(rows, 5);
    EXPECT_EQ(w["Label21"].bounds(), (ui::Rect{262, 136, 230, 17}));
    EXPECT_FALSE(w["LicenceBox"].visible());
}

INSTANTIATE_TEST_SUITE_P(Cases, MakerProfileWizard, ::testing::ValuesIn(kCases), LabelName());

}  // namespace
}  // namespace zsetup
