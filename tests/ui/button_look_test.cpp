// The skinned buttons' theme and the keyboard focus order, headless.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/case_names.h"
#include "ui/button_look.h"
#include "ui/form.h"
#include "ui/form_description.h"
#include "ui/tab_order.h"

namespace zsetup::ui {
namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kDark = Rgb(51, 51, 51);
constexpr Colour kHot = Rgb(225, 230, 247);
constexpr Colour kGrayFace = Rgb(240, 240, 240);
constexpr Colour kGrayBorder = Rgb(192, 192, 192);
constexpr Colour kGrayText = Rgb(160, 160, 160);

struct LookCase {
    std::string label;
    ButtonState state;
    ButtonLook look;
};

const LookCase kLookCases[] = {
    {"Normal", {true, false, false, false}, {kWhite, kThemeColour, kDark, kThemeColour, 0, false}},
    {"Focused", {true, false, false, true}, {kWhite, kThemeColour, kDark, kThemeColour, 0, true}},
    {"Hot", {true, true, false, false}, {kHot, kThemeColour, kDark, kThemeColour, 0, false}},
    {"Pressed", {true, false, true, false}, {kThemeColour, kThemeColour, kWhite, kWhite, 1, false}},
    {"PressedWinsOverHot", {true, true, true, true}, {kThemeColour, kThemeColour, kWhite, kWhite, 1, true}},
    {"Disabled", {false, false, false, false}, {kGrayFace, kGrayBorder, kGrayText, kGrayFace, 0, false}},
    {"DisabledWinsOverAll", {false, true, true, true}, {kGrayFace, kGrayBorder, kGrayText, kGrayFace, 0, false}},
};

void PrintTo(const LookCase& c, std::ostream* os) { *os << c.label; }

class ButtonLookFor : public ::testing::TestWithParam<LookCase> {};

TEST_P(ButtonLookFor, GivesTheThemesColours) { EXPECT_TRUE(LookFor(GetParam().state) == GetParam().look); }

INSTANTIATE_TEST_SUITE_P(States, ButtonLookFor, ::testing::ValuesIn(kLookCases), testing::LabelName());

TEST(ButtonLook, EveryStateShowsItsTextOnADifferentFace) {
    const Colour faces[] = {LookFor({true, false, false, false}).face, LookFor({true, true, false, false}).face,
                            LookFor({true, false, true, false}).face, LookFor({false, false, false, false}).face};
    for (std::size_t i = 0; i < std::size(faces); ++i) {
        for (std::size_t j = i + 1; j < std::size(faces); ++j) EXPECT_NE(faces[i], faces[j]) << i << " " << j;
    }
}

FormDescription TabForm() {
    return {"Main",
            {0, 0, 537, 297},
            {},
            kSystemWindowColour,
            {
                {Kind::PageControl, "Pages", nullptr, {1, 60, 526, 181}, nullptr, {}, kInheritColour, kHiddenTabs},
                {Kind::Page, "Page0", "Pages", {0, 0, 526, 181}, nullptr, {}, kInheritColour, 0},
                {Kind::Page, "Page1", "Pages", {0, 0, 526, 181}, nullptr, {}, kInheritColour, 0},
                {Kind::Label, "Intro", "Page0", {10, 10, 300, 60}, "text", {}, kInheritColour, 0},
                {Kind::LinkLabel, "Licence", "Page1", {10, 10, 100, 16}, "licence", {}, kInheritColour, 0},
                {Kind::Edit, "Folder", "Page0", {10, 40, 226, 22}, "C:\\", {}, kInheritColour, 0},
                {Kind::ImageButton, "Browse", "Page0", {240, 40, 39, 25}, "...", {}, kInheritColour, 0},
                {Kind::CheckBox, "Start", "Page1", {10, 40, 200, 17}, "start", {}, kInheritColour, 0},
                {Kind::PushButton, "Prev", nullptr, {216, 250, 91, 30}, "prev", {}, kInheritColour, kHidden},
                {Kind::PushButton, "Next", nullptr, {320, 250, 89, 30}, "next", {}, kInheritColour, 0},
                {Kind::PushButton, "Agree", nullptr, {320, 250, 91, 30}, "agree", {}, kInheritColour, kHidden},
                {Kind::PushButton, "Cancel", nullptr, {424, 250, 91, 30}, "cancel", {}, kInheritColour, 0},
                {Kind::PushButton, "Off", nullptr, {0, 0, 10, 10}, "off", {}, kInheritColour, kDisabled},
            }};
}

std::vector<std::string> Names(const std::vector<Widget*>& widgets) {
    std::vector<std::string> names;
    for (const Widget* w : widgets) names.push_back(w->name());
    return names;
}

class TabOrderTest : public ::testing::Test {
protected:
    std::unique_ptr<Form> form_ = BuildForm(TabForm());
    void SetUp() override { form_->Find("Pages").SetActivePage(0); }
    std::string Next(const char* from, bool backwards) {
        Widget* w = NextTabStop(*form_, from ? &form_->Find(from) : nullptr, backwards);
        return w ? w->name() : "(none)";
    }
};

TEST_F(TabOrderTest, FollowsTheDescriptionAndSkipsHiddenDisabledAndOtherPages) {
    EXPECT_EQ(Names(TabOrder(*form_)), (std::vector<std::string>{"Folder", "Browse", "Next", "Cancel"}));
    form_->Find("Pages").SetActivePage(1);
    form_->Find("Agree").Show();
    EXPECT_EQ(Names(TabOrder(*form_)), (std::vector<std::string>{"Licence", "Start", "Next", "Agree", "Cancel"}));
    form_->Find("Pages").SetEnabled(false);
    EXPECT_EQ(Names(TabOrder(*form_)), (std::vector<std::string>{"Next", "Agree", "Cancel"}));
    // Shown but parked above the form, or past its right edge: not seen, not a stop.
    form_->Find("Agree").SetTop(-32);
    EXPECT_EQ(Names(TabOrder(*form_)), (std::vector<std::string>{"Next", "Cancel"}));
    form_->Find("Agree").SetTop(250);
    form_->Find("Cancel").SetBounds({537, 250, 91, 30});
    EXPECT_EQ(Names(TabOrder(*form_)), (std::vector<std::string>{"Next", "Agree"}));
}

TEST_F(TabOrderTest, NextStopWrapsRoundBothWays) {
    struct Step {
        const char* from;
        bool backwards;
        const char* to;
    };
    for (const Step& s : {Step{"Next", false, "Cancel"}, Step{"Cancel", true, "Next"}, Step{"Cancel", false, "Folder"},
                          Step{"Folder", true, "Cancel"}, Step{nullptr, false, "Folder"}, Step{nullptr, true, "Cancel"},
                          Step{"Intro", false, "Folder"}, Step{"Agree", false, "Cancel"}, Step{"Agree", true, "Next"},
                          Step{"Page0", false, "Folder"}, Step{"Page1", false, "Next"}})
        EXPECT_EQ(Next(s.from, s.backwards), s.to) << (s.from ? s.from : "none") << (s.backwards ? " back" : "");
}

// Enter's default button and Esc's cancel button: the first named that the
// user can reach, past hidden, disabled and unknown ones.
TEST_F(TabOrderTest, TheKeysPressTheFirstReachableButton) {
    const std::vector<std::string> enter = {"Missing", "Agree", "Next", "Cancel"};
    const auto first = [&](const std::vector<std::string>& names) {
        Widget* w = FirstReachable(*form_, names);
        return w ? w->name() : "(none)";
    };
    EXPECT_EQ(first(enter), "Next") << "Agree is hidden";
    form_->Find("Agree").Show();
    EXPECT_EQ(first(enter), "Agree");
    form_->Find("Agree").SetEnabled(false);
    form_->Find("Next").Hide();
    EXPECT_EQ(first(enter), "Cancel");
    EXPECT_EQ(first({"Browse"}), "Browse");
    form_->Find("Pages").SetActivePage(1);
    EXPECT_EQ(first({"Browse"}), "(none)") << "on another page";
    EXPECT_EQ(first({"Off"}), "(none)");
    EXPECT_EQ(first({}), "(none)");
}

// An edit is read out by the label before it on its page, not one on
// another page, one after it, or one of its parent's.
TEST_F(TabOrderTest, AnEditIsNamedByTheLabelBeforeIt) {
    EXPECT_EQ(LabelBefore(form_->Find("Folder")), &form_->Find("Intro"));
    EXPECT_EQ(LabelBefore(form_->Find("Browse")), &form_->Find("Intro")) << "past the edit between";
    EXPECT_EQ(LabelBefore(form_->Find("Start")), nullptr) << "the link before it is no label";
    EXPECT_EQ(LabelBefore(form_->Find("Page0")), nullptr);
    EXPECT_EQ(LabelBefore(*form_), nullptr);
}

TEST_F(TabOrderTest, NoStopWhenNothingTakesFocus) {
    for (const char* name : {"Pages", "Next", "Cancel"}) form_->Find(name).Hide();
    EXPECT_EQ(Next(nullptr, false), "(none)");
}

}  // namespace
}  // namespace zsetup::ui
