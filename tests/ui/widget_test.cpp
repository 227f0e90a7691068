// The portable widget tree: what the wizard's handlers rely on, checked
// headless with a view that records what it is told.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/ui/recording_view.h"
#include "ui/control_ids.h"
#include "ui/form.h"
#include "ui/form_description.h"

namespace zsetup::ui {
namespace {

const Font kYaHei{"微软雅黑", 12, Rgb(255, 255, 255), true, false};

FormDescription SampleForm() {
    return {"Main",
            {0, 0, 537, 297},
            {"宋体", 12, Rgb(128, 128, 128), false, false},
            kSystemWindowColour,
            {
                {Kind::Panel, "Header", nullptr, {0, 0, 537, 81}, nullptr, {}, Rgb(133, 155, 222), 0},
                {Kind::Label, "Title", "Header", {16, 16, 200, 20}, "安装", kYaHei, kInheritColour, 0},
                {Kind::PageControl, "Pages", nullptr, {1, 60, 526, 181}, nullptr, {}, kInheritColour, kHiddenTabs},
                {Kind::Page, "Page0", "Pages", {0, 0, 526, 181}, nullptr, {}, kInheritColour, 0},
                {Kind::Page, "Page1", "Pages", {0, 0, 526, 181}, nullptr, {}, kInheritColour, 0},
                {Kind::Label, "Intro", "Page0", {10, 10, 300, 60}, "text", {}, kInheritColour, kWordWrap},
                {Kind::LinkLabel, "Link", "Page1", {10, 10, 100, 14}, "link", {}, Rgb(255, 153, 0), kHandCursor},
                {Kind::CheckBox, "Start", "Page1", {10, 40, 200, 17}, "start", {}, kInheritColour, kChecked},
                {Kind::PushButton, "Agree", nullptr, {320, 250, 91, 30}, "agree", {}, kInheritColour, kHidden},
                {Kind::PushButton, "Cancel", nullptr, {424, 250, 91, 30}, "cancel", {}, kInheritColour, kDisabled},
            }};
}

TEST(BuildForm, GivesTheTreeWithEveryInitialState) {
    auto form = BuildForm(SampleForm());
    EXPECT_EQ(form->bounds(), (Rect{0, 0, 537, 297}));
    EXPECT_EQ(form->colour(), kSystemWindowColour);
    Widget& title = form->Find("Title");
    EXPECT_EQ(title.parent(), &form->Find("Header"));
    EXPECT_EQ(title.caption(), "安装");
    EXPECT_EQ(title.font(), kYaHei);
    EXPECT_EQ(form->Find("Header").colour(), Rgb(133, 155, 222));
    EXPECT_TRUE(form->Find("Pages").hidden_tabs);
    EXPECT_EQ(form->Find("Pages").page_count(), 2);
    EXPECT_FALSE(form->Find("Page0").visible()) << "pages wait for the page control";
    EXPECT_TRUE(form->Find("Intro").word_wrap);
    Widget& link = form->Find("Link");
    EXPECT_EQ(link.hot_colour, Rgb(255, 153, 0));
    EXPECT_EQ(link.colour(), kInheritColour) << "a link label's colour column is its hot colour";
    EXPECT_TRUE(link.hand_cursor);
    EXPECT_TRUE(form->Find("Start").checked());
    EXPECT_FALSE(form->Find("Agree").visible());
    EXPECT_TRUE(form->Find("Agree").enabled());
    EXPECT_FALSE(form->Find("Cancel").enabled());
    EXPECT_TRUE(form->Find("Cancel").visible());
}

TEST(BuildForm, RefusesAChildBeforeItsParentAndTwoControlsOfOneName) {
    FormDescription early = SampleForm();
    std::swap(early.controls[0], early.controls[1]);  // Title before Header
    EXPECT_THROW(BuildForm(early), std::logic_error);
    FormDescription twice = SampleForm();
    twice.controls.push_back(twice.controls.back());
    EXPECT_THROW(BuildForm(twice), std::logic_error);
}

TEST(PageControl, RunsTheNewPagesShowHandlerWithOnlyThatPageVisible) {
    auto form = BuildForm(SampleForm());
    Widget& pages = form->Find("Pages");
    std::vector<std::string> log;
    for (int i = 0; i < 2; ++i)
        pages.Page(i).on_show = [&, i] {
            log.push_back("show " + std::to_string(i) + " active " + std::to_string(pages.active_page()) + " visible " +
                          std::to_string(pages.Page(0).visible()) + std::to_string(pages.Page(1).visible()));
        };
    pages.SetActivePage(1);
    pages.SetActivePage(0);
    pages.SetActivePage(0);  // already there: no second show
    EXPECT_EQ(log, (std::vector<std::string>{"show 1 active 1 visible 01", "show 0 active 0 visible 10"}));
    EXPECT_THROW(pages.SetActivePage(2), std::logic_error);
    EXPECT_THROW(form->Find("Header").SetActivePage(0), std::logic_error) << "not a page control";
    EXPECT_EQ(pages.active_page(), 0);
}

TEST(Widget, ClickPerformsTheClickHandler) {
    auto form = BuildForm(SampleForm());
    int clicks = 0;
    form->Find("Agree").on_click = [&] { ++clicks; };
    form->Find("Agree").Click();
    form->Find("Cancel").Click();  // no handler: nothing happens
    EXPECT_EQ(clicks, 1);
}

TEST(Widget, PositionStaysInsideTheRange) {
    struct Case {
        int minimum, maximum, set, expected;
    };
    for (const Case& c : {Case{0, 100, 42, 42}, Case{0, 100, 101, 100}, Case{0, 100, -1, 0}, Case{10, 20, 5, 10},
                          Case{10, 20, 25, 20}}) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + " set " + std::to_string(c.set));
        Widget bar(Kind::ProgressBar, "Bar", nullptr);
        bar.minimum = c.minimum;
        bar.maximum = c.maximum;
        bar.SetPosition(c.set);
        EXPECT_EQ(bar.position(), c.expected);
    }
}

TEST(Form, CloseRequestTerminatesOnlyWhenTheQueryAllows) {
    for (bool allow : {true, false}) {
        Form form("Main");
        RecordingView view;
        form.AttachView(&view);
        bool arrived = false;
        form.on_close_query = [&](bool& can_close) {
            arrived = can_close;
            can_close = allow;
        };
        form.RequestClose();
        EXPECT_TRUE(arrived) << "the flag arrives true";
        EXPECT_EQ(form.terminated(), allow);
        EXPECT_EQ(view.changes.size(), allow ? 1u : 0u);
    }
    Form unasked("Main");
    unasked.RequestClose();
    EXPECT_TRUE(unasked.terminated()) << "no close query: the request is granted";
}

TEST(Form, TerminateIsToldOnceAndAsksNoCloseQuery) {
    Form form("Main");
    RecordingView view;
    form.AttachView(&view);
    int queries = 0;
    form.on_close_query = [&](bool&) { ++queries; };
    form.Terminate();
    form.Terminate();
    EXPECT_EQ(queries, 0);
    EXPECT_EQ(view.changes, (std::vector<RecordingView::Change>{{&form, Property::Terminated}}));
}

TEST(View, SeesEachChangeOnceAndNoChangeForTheSameValue) {
    auto form = BuildForm(SampleForm());
    RecordingView view;
    form->AttachView(&view);
    Widget& title = form->Find("Title");
    Widget& start = form->Find("Start");
    struct Case {
        const char* what;
        Widget* widget;
        Property property;
        std::function<void()> change;
    };
    const std::vector<Case> cases = {
        {"caption", &title, Property::Caption, [&] { title.SetCaption("new"); }},
        {"bounds", &title, Property::Bounds, [&] { title.SetWidth(300); }},
        {"visible", &title, Property::Visible, [&] { title.Hide(); }},
        {"enabled", &title, Property::Enabled, [&] { title.SetEnabled(false); }},
        {"font", &title, Property::Font,
         [&] {
             title.SetFont(Font{"x", 14});
         }},
        {"colour", &title, Property::Colour, [&] { title.SetColour(Rgb(1, 2, 3)); }},
        {"checked", &start, Property::Checked, [&] { start.SetChecked(false); }},
        {"title", form.get(), Property::Title, [&] { form->SetApplicationTitle("t"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view.changes.clear();
        c.change();
        c.change();
        EXPECT_EQ(view.changes, (std::vector<RecordingView::Change>{{c.widget, c.property}}));
    }
}

TEST(View, UserInputUpdatesTheStateWithoutTellingTheView) {
    auto form = BuildForm(SampleForm());
    RecordingView view;
    form->AttachView(&view);
    Widget& start = form->Find("Start");
    start.SetFromUser(Property::Checked, "", false);
    form->Find("Intro").SetFromUser(Property::Caption, "typed", false);
    EXPECT_FALSE(start.checked());
    EXPECT_EQ(form->Find("Intro").caption(), "typed");
    EXPECT_TRUE(view.changes.empty()) << "the window already shows what the user did";
    form->Find("Intro").Repaint();
    EXPECT_EQ(view.repainted, (std::vector<const Widget*>{&form->Find("Intro")}));
}

TEST(ControlIds, NumberTheWidgetsDepthFirst) {
    auto form = BuildForm(SampleForm());
    EXPECT_EQ(ControlId(*form, "Main"), 0);
    EXPECT_EQ(ControlId(*form, "Header"), 1);
    EXPECT_EQ(ControlId(*form, "Title"), 2);
    EXPECT_EQ(ControlId(*form, "Page0"), 4);
    EXPECT_EQ(ControlId(*form, "Intro"), 5) << "a child before its parent's next sibling";
    EXPECT_EQ(ControlId(*form, "Page1"), 6);
    EXPECT_EQ(ControlId(*form, "Cancel"), 10);
    EXPECT_THROW(ControlId(*form, "Missing"), std::logic_error);
}

}  // namespace
}  // namespace zsetup::ui
