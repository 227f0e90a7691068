// The Win32 view under Wine: a small form with Chinese captions, shown, and
// checked with the calls a driver program makes. Also run under English.
#include "ui/win32/win32_view.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/win32/com.h"
#include "text/win32/wide_text.h"
#include "tests/support/window_finder.h"
#include "tests/ui/screen_capture.h"
#include "ui/button_look.h"
#include "ui/control_ids.h"
#include "ui/form_description.h"
#include "ui/tab_order.h"

namespace zsetup::ui {
namespace {

const std::string kCaption = "测试向导";
const std::string kTitle = "欢迎使用安装向导";
const std::string kName = "软件名称:";
const std::string kNext = "下一步";
const std::string kFolder = "C:\\程序";
const std::string kLink = "“软件许可协议”";
const std::string kStart = "运行程序";
const Font kYaHei{"微软雅黑", 12, Rgb(128, 128, 128), false, false};
const Font kWhiteBold{"微软雅黑", 12, Rgb(255, 255, 255), true, false};
const Font kLinkFont{"微软雅黑", 12, Rgb(128, 128, 128), false, true};

FormDescription TestForm() {
    return {"TestForm",
            {0, 0, 420, 240},
            {"宋体", 12, Rgb(128, 128, 128), false, false},
            kSystemWindowColour,
            {
                {Kind::Panel, "Header", nullptr, {0, 0, 420, 50}, nullptr, {}, Rgb(133, 155, 222), 0},
                {Kind::Label, "Title", "Header", {16, 16, 300, 20}, kTitle.c_str(), kWhiteBold, kInheritColour, 0},
                {Kind::PageControl, "Pages", nullptr, {1, 50, 418, 140}, nullptr, kYaHei, kInheritColour, kHiddenTabs},
                {Kind::Page, "Page0", "Pages", {0, 0, 418, 140}, nullptr, kYaHei, kInheritColour, 0},
                {Kind::Page, "Page1", "Pages", {0, 0, 418, 140}, nullptr, kYaHei, kInheritColour, 0},
                {Kind::Label, "Name", "Page0", {16, 12, 200, 16}, kName.c_str(), {}, kInheritColour, 0},
                {Kind::LinkLabel,
                 "Link",
                 "Page0",
                 {16, 36, 200, 16},
                 kLink.c_str(),
                 kLinkFont,
                 Rgb(255, 153, 0),
                 kHandCursor},
                {Kind::ImageButton, "Browse", "Page0", {250, 36, 39, 25}, "...", {}, kInheritColour, kHandCursor},
                {Kind::ProgressBar, "Progress", "Page0", {16, 64, 300, 18}, nullptr, {}, kInheritColour, 0},
                {Kind::Picture, "Art", "Page0", {330, 12, 73, 75}, nullptr, {}, kInheritColour, 0},
                {Kind::Edit, "Folder", "Page1", {16, 12, 226, 22}, kFolder.c_str(), {}, kInheritColour, 0},
                {Kind::CheckBox, "Start", "Page1", {16, 44, 200, 17}, kStart.c_str(), {}, kInheritColour, kChecked},
                {Kind::Bevel, "Line", nullptr, {20, 194, 380, 2}, nullptr, {}, kInheritColour, 0},
                {Kind::PushButton, "Next", nullptr, {310, 202, 89, 30}, kNext.c_str(), kYaHei, kInheritColour, 0},
            }};
}

std::string Text(HWND w) { return WideToGbk(testing::WindowText(w)); }

// What a driver program does: the control whose ID the form description gives.
HWND FindControl(HWND form, int id) { return testing::FindChildById(form, id); }

// Polls for what a driver waits for; gives up after a while so that a fault
// fails the test instead of hanging it.
bool WaitUntil(const std::function<bool()>& ready) {
    for (int i = 0; i < 400; ++i) {
        if (ready()) return true;
        Sleep(50);
    }
    return false;
}

// The window with the keyboard focus in the UI thread, seen from the driver's.
HWND FocusOf(DWORD ui_thread) {
    GUITHREADINFO info = {sizeof info};
    return GetGUIThreadInfo(ui_thread, &info) ? info.hwndFocus : nullptr;
}

// Does on a second thread what another program would, while the form's loop
// runs; ends the loop itself if the form never terminates, so a fault fails
// the test instead of hanging it.
class Driver {
public:
    explicit Driver(std::function<void()> drive)
        : ui_thread_(GetCurrentThreadId()), thread_([this, drive] {
              drive();
              if (!WaitUntil([this] { return done_.load(); })) {
                  stuck_ = true;
                  PostThreadMessageW(ui_thread_, WM_QUIT, 0, 0);
              }
          }) {}
    ~Driver() { Finish(); }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    // Call once Run has returned; false when the driver had to end the loop.
    bool Finish() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return !stuck_;
    }

private:
    DWORD ui_thread_;
    std::atomic<bool> done_{false}, stuck_{false};
    std::thread thread_;
};

class Win32ViewTest : public ::testing::Test {
protected:
    std::unique_ptr<Form> form_ = BuildForm(TestForm());
    Widget& pages_ = form_->Find("Pages");
    void SetUp() override {
        form_->SetCaption(kCaption);
        form_->SetApplicationTitle(kTitle);
        pages_.SetActivePage(0);
    }
};

TEST(AnsiCodePage, IsTheOneTheRunAskedFor) {
    const char* locale = std::getenv("ZSETUP_WINE_LOCALE");
    const std::string asked = locale ? locale : "zh_CN.UTF-8";
    EXPECT_EQ(GetACP(), asked.rfind("en_US", 0) == 0 ? 1252u : 936u) << asked;
}

TEST_F(Win32ViewTest, ShowsTheFormCentredWithItsSizeAndChineseTexts) {
    Win32View view(*form_);
    view.Show();
    HWND form = view.window(*form_);
    EXPECT_EQ(FindWindowW(L"ZsetupForm", GbkToWide(kCaption).c_str()), form);
    RECT client, outer, area;
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 420);
    EXPECT_EQ(client.bottom, 240);
    GetWindowRect(form, &outer);
    EXPECT_EQ(outer.right - outer.left, 420) << "no frame";
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(outer.left - area.left, area.right - outer.right);
    EXPECT_EQ(outer.top - area.top, area.bottom - outer.bottom);
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_EQ(Text(form), kCaption);
    EXPECT_EQ(Text(view.application_window()), kTitle) << "the task-bar text";
    EXPECT_EQ(GetWindow(form, GW_OWNER), view.application_window());
    EXPECT_EQ(Text(FindControl(form, ControlId(*form_, "Title"))), kTitle);
    EXPECT_EQ(Text(FindControl(form, ControlId(*form_, "Name"))), kName);
    EXPECT_EQ(Text(FindControl(form, ControlId(*form_, "Next"))), kNext);
    EXPECT_EQ(Text(FindControl(form, ControlId(*form_, "Folder"))), kFolder);

    form_->SetCaption(kName);
    form_->SetApplicationTitle(kNext);
    form_->Find("Name").SetCaption(kLink);
    EXPECT_EQ(Text(form), kName);
    EXPECT_EQ(Text(view.application_window()), kNext);
    EXPECT_EQ(Text(view.window(form_->Find("Name"))), kLink);
}

TEST_F(Win32ViewTest, VisibilityPlaceAndPagesFollowTheModel) {
    Win32View view(*form_);
    view.Show();
    HWND name = view.window(form_->Find("Name"));
    HWND folder = view.window(form_->Find("Folder"));
    EXPECT_TRUE(IsWindowVisible(name));
    EXPECT_FALSE(IsWindowVisible(folder)) << "on the page behind";

    pages_.SetActivePage(1);
    EXPECT_FALSE(IsWindowVisible(name));
    EXPECT_TRUE(IsWindowVisible(folder));
    EXPECT_TRUE(IsWindowVisible(view.window(form_->Find("Start"))));
    pages_.SetActivePage(0);
    EXPECT_TRUE(IsWindowVisible(name));
    EXPECT_FALSE(IsWindowVisible(folder));

    Widget& next = form_->Find("Next");
    next.Hide();
    EXPECT_FALSE(IsWindowVisible(view.window(next)));
    next.Show();
    EXPECT_TRUE(IsWindowVisible(view.window(next)));
    next.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(view.window(next)));

    next.SetTop(100);
    next.SetWidth(91);
    RECT r;
    GetWindowRect(view.window(next), &r);
    MapWindowPoints(nullptr, view.window(*form_), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 310);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right - r.left, 91);
}

TEST_F(Win32ViewTest, TypingCheckingAndProgressMeetTheModel) {
    Win32View view(*form_);
    view.Show();
    Widget& folder = form_->Find("Folder");
    HWND edit = view.window(folder);
    const WideString typed = GbkToWide("D:\\程序");
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    EXPECT_EQ(folder.caption(), "D:\\程序");
    SendMessageW(edit, EM_SETSEL, 3, 3);
    const WideString inserted = GbkToWide("文件夹\\");  // typed at the caret
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
    EXPECT_EQ(folder.caption(), "D:\\文件夹\\程序");

    pages_.SetActivePage(1);
    Widget& start = form_->Find("Start");
    HWND check = view.window(start);
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(check, BM_CLICK, 0, 0);
    EXPECT_FALSE(start.checked()) << "the user's click";
    start.SetChecked(true);
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);

    Widget& progress = form_->Find("Progress");
    HWND bar = view.window(progress);
    progress.SetPosition(42);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 42);
    progress.SetPosition(250);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 100);
}

TEST_F(Win32ViewTest, RegionMakesTheWindowRound) {
    Win32View view(*form_);
    HWND form = view.window(*form_);
    UniqueRegion probe(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(form, probe.get()), ERROR) << "no region yet";
    form_->SetRegion({0, 0, 421, 241, 5, 5});
    EXPECT_EQ(GetWindowRgn(form, probe.get()), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(probe.get(), 0, 0)) << "the corner is cut off";
    EXPECT_TRUE(PtInRegion(probe.get(), 210, 120));
}

TEST_F(Win32ViewTest, AButtonClickedFromAnotherThreadRunsItsHandlerAndTerminateEndsTheLoop) {
    Win32View view(*form_);
    HWND form = view.window(*form_);
    std::string pressed;
    form_->Find("Next").on_click = [&] {
        pressed = form_->Find("Next").caption();
        form_->Terminate();
    };
    const int next_id = ControlId(*form_, "Next");
    Driver driver([&] {
        WaitUntil([&] { return IsWindowVisible(form) != FALSE; });
        PostMessageW(FindControl(form, next_id), BM_CLICK, 0, 0);
    });
    view.Run();
    EXPECT_TRUE(driver.Finish()) << "Terminate did not end the loop";
    EXPECT_EQ(pressed, kNext);
    EXPECT_FALSE(IsWindow(form)) << "destroyed once the loop ended";
    EXPECT_EQ(view.window(*form_), nullptr);
}

TEST_F(Win32ViewTest, WmCloseOnFormOrApplicationWindowAsksTheCloseQuery) {
    Win32View view(*form_);
    HWND form = view.window(*form_);
    int queries = 0;
    form_->on_close_query = [&](bool& can_close) { can_close = ++queries == 2; };
    Driver driver([&] {
        WaitUntil([&] { return IsWindowVisible(form) != FALSE; });
        PostMessageW(form, WM_CLOSE, 0, 0);
        PostMessageW(GetWindow(form, GW_OWNER), WM_CLOSE, 0, 0);  // from the task bar
    });
    view.Run();
    EXPECT_TRUE(driver.Finish()) << "the allowed close did not end the loop";
    EXPECT_EQ(queries, 2);
    EXPECT_TRUE(form_->terminated());
}

// What hangs on the form (the drop shadow) is let go while its windows live.
TEST_F(Win32ViewTest, OnClosingRunsAfterTheLoopWhileTheWindowsStillExist) {
    HWND seen = nullptr;
    bool alive_then = false;
    ViewOptions options;
    Win32View* view_ptr = nullptr;
    options.on_closing = [&] {
        seen = view_ptr->window(*form_);
        alive_then = IsWindow(seen) != FALSE;
    };
    Win32View view(*form_, options);
    view_ptr = &view;
    HWND form = view.window(*form_);
    form_->on_close_query = [](bool& can_close) { can_close = true; };
    Driver closer([&] {
        WaitUntil([&] { return IsWindowVisible(form) != FALSE; });
        PostMessageW(form, WM_CLOSE, 0, 0);
    });
    view.Run();
    EXPECT_TRUE(closer.Finish());
    EXPECT_EQ(seen, form);
    EXPECT_TRUE(alive_then);
    EXPECT_FALSE(IsWindow(form));
}

TEST_F(Win32ViewTest, AHandlersExceptionReachesTheErrorHandlerOrRun) {
    form_->Find("Next").on_click = [] { throw std::runtime_error("disk full"); };
    {
        std::string reported;
        Win32View view(*form_, ViewOptions{{}, [&](const std::exception& e) { reported = e.what(); }});
        view.Show();
        SendMessageW(view.window(form_->Find("Next")), BM_CLICK, 0, 0);
        EXPECT_EQ(reported, "disk full");
    }
    Win32View view(*form_);
    HWND button = view.window(form_->Find("Next"));
    Driver driver([&] {
        WaitUntil([&] { return IsWindowVisible(button) != FALSE; });
        PostMessageW(button, BM_CLICK, 0, 0);
    });
    try {
        view.Run();
        ADD_FAILURE() << "Run returned without the handler's exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "disk full");
    }
    EXPECT_TRUE(driver.Finish()) << "the exception did not end the loop";
}

TEST_F(Win32ViewTest, AReplacedWindowProcSeesTheFormMoveUntilRestored) {
    Win32View view(*form_);
    view.Show();
    HWND form = view.window(*form_);
    int moves = 0;
    const WindowProc previous = form_->window_proc();
    form_->SetWindowProc([&](const Message& m) {
        if (m.id == WM_WINDOWPOSCHANGED) ++moves;
        return previous(m);
    });
    SetWindowPos(form, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_GT(moves, 0);
    RECT r;
    GetWindowRect(form, &r);
    EXPECT_EQ(r.left, 10) << "the previous procedure still did its work";

    form_->SetWindowProc(previous);
    const int seen = moves;
    SetWindowPos(form, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(moves, seen);
    GetWindowRect(form, &r);
    EXPECT_EQ(r.left, 30);
}

TEST_F(Win32ViewTest, FontsAreMadeAsDescribedOrTakenFromTheParent) {
    Win32View view(*form_);
    struct Case {
        const char* widget;
        const Font& font;
    };
    for (const Case& c : {Case{"Title", kWhiteBold}, Case{"Name", kYaHei}, Case{"Link", kLinkFont}}) {
        SCOPED_TRACE(c.widget);
        auto font = reinterpret_cast<HFONT>(SendMessageW(view.window(form_->Find(c.widget)), WM_GETFONT, 0, 0));
        LOGFONTW made = {};
        ASSERT_TRUE(GetObjectW(font, sizeof made, &made));
        EXPECT_EQ(WideToGbk(made.lfFaceName), c.font.face);
        EXPECT_EQ(made.lfHeight, -c.font.height);
        EXPECT_EQ(made.lfWeight, c.font.bold ? FW_BOLD : FW_NORMAL);
        EXPECT_EQ(made.lfUnderline != 0, c.font.underline);
        EXPECT_EQ(made.lfCharSet, GB2312_CHARSET);
    }
}

TEST_F(Win32ViewTest, ALaterSiblingLiesInFront) {
    Win32View view(*form_);
    HWND form = view.window(*form_);
    EXPECT_EQ(GetWindow(form, GW_CHILD), view.window(form_->Find("Next")));
    EXPECT_EQ(GetWindow(form, GW_CHILD), FindControl(form, ControlId(*form_, "Next")));
    EXPECT_EQ(GetWindow(view.window(form_->Find("Header")), GW_HWNDNEXT), nullptr) << "the first lies behind all";
}

// The link's underline is drawn in the text colour: the pixel row shows it.
TEST_F(Win32ViewTest, TheLinkTurnsItsHotColourUnderTheMouseAndClicks) {
    Win32View view(*form_);
    view.Show();
    Widget& link = form_->Find("Link");
    HWND window = view.window(link);
    int clicks = 0;
    link.on_click = [&] { ++clicks; };
    auto underline_has = [&](std::uint32_t rgb) {
        form_->Repaint();
        return Capture(window).Contains(rgb);
    };
    EXPECT_TRUE(underline_has(0x808080));
    EXPECT_FALSE(underline_has(0xFF9900));
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(underline_has(0xFF9900)) << "hot";
    SendMessageW(window, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(underline_has(0x808080));
    EXPECT_FALSE(underline_has(0xFF9900));

    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
}

TEST_F(Win32ViewTest, TheHandCursorShowsOverLinksAndWhatAsksForIt) {
    Win32View view(*form_);
    view.Show();
    struct Case {
        const char* widget;
        const wchar_t* cursor;
    };
    for (const Case& c : {Case{"Link", IDC_HAND}, Case{"Browse", IDC_HAND}, Case{"Name", IDC_ARROW}}) {
        SCOPED_TRACE(c.widget);
        HWND w = view.window(form_->Find(c.widget));
        SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.cursor));
    }
}

TEST_F(Win32ViewTest, APictureShowsWhatTheDecoderGivesAndNothingWithoutOne) {
    const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
    Widget& art = form_->Find("Art");
    auto top_left = [&](Win32View& view) {
        view.Show();
        art.SetPicture(jpeg);
        form_->Repaint();
        return Capture(view.window(art)).at(0, 0);
    };
    std::vector<std::uint8_t> decoded;
    const PictureDecoder red = [&](const std::vector<std::uint8_t>& bytes) {
        decoded = bytes;
        BgraImage image(2, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) image.at(x, y)[2] = 0xFF;
        return image;
    };
    {
        Win32View view(*form_, ViewOptions{red, {}});
        EXPECT_EQ(top_left(view), 0xFF0000u);
        EXPECT_EQ(decoded, jpeg);
    }
    art.SetPicture({});
    Win32View view(*form_);
    EXPECT_EQ(top_left(view), PixelOf(GetSysColor(COLOR_WINDOW)));
}

// Also leaves ui_form.bmp in the build tree, to look at.
TEST_F(Win32ViewTest, PaintsTheBackgroundsInTheirColours) {
    Win32View view(*form_);
    form_->SetRegion({0, 0, 421, 241, 5, 5});
    view.Show();
    form_->Repaint();
    const Screenshot shot = Capture(view.window(*form_));
    SaveBmp(shot, "ui_form.bmp");
    ASSERT_EQ(shot.width, 420);
    EXPECT_EQ(shot.at(200, 5), 0x859BDEu) << "the header band, RGB(133, 155, 222)";
    EXPECT_EQ(shot.at(5, 150), PixelOf(GetSysColor(COLOR_WINDOW))) << "the page shows the system window colour";
}

// The wizard's button row: Agree hidden in front of Next, Prev hidden.
FormDescription ButtonRowForm() {
    return {"ButtonForm",
            {0, 0, 420, 120},
            {"宋体", 12, Rgb(128, 128, 128), false, false},
            kSystemWindowColour,
            {
                {Kind::Panel, "Header", nullptr, {0, 0, 420, 30}, nullptr, {}, kThemeColour, 0},
                {Kind::ImageButton, "Browse", nullptr, {16, 40, 39, 25}, "...", {}, kInheritColour, kHandCursor},
                {Kind::PushButton, "Prev", nullptr, {112, 80, 91, 30}, "上一步", kYaHei, kInheritColour, kHidden},
                {Kind::PushButton, "Next", nullptr, {216, 80, 89, 30}, kNext.c_str(), kYaHei, kInheritColour, 0},
                {Kind::PushButton, "Agree", nullptr, {216, 80, 91, 30}, "同意", kYaHei, kInheritColour, kHidden},
                {Kind::PushButton, "Cancel", nullptr, {320, 80, 91, 30}, "取消", kYaHei, kInheritColour, 0},
            }};
}

class SkinnedButtonTest : public ::testing::Test {
protected:
    std::unique_ptr<Form> form_ = BuildForm(ButtonRowForm());
    HWND Window(Win32View& view, const char* name) { return view.window(form_->Find(name)); }
};

// The face away from text and focus rectangle, and the border's middle.
struct Pixels {
    std::uint32_t face, border;
};

Pixels ReadButton(Form& form, HWND button) {
    form.Repaint();
    const Screenshot shot = Capture(button);
    return {shot.at(6, 6), shot.at(0, shot.height / 2)};
}

// Also leaves ui_buttons.bmp in the build tree: Next hot, Cancel pressed.
TEST_F(SkinnedButtonTest, EachStateIsPaintedInTheThemesColours) {
    Win32View view(*form_);
    view.Show();
    Widget& next = form_->Find("Next");
    HWND button = view.window(next);
    struct Case {
        const char* label;
        std::function<void()> enter, leave;
        ButtonState state;
    };
    const Case cases[] = {
        {"normal", [] {}, [] {}, {true, false, false, false}},
        {"hot",
         [&] { SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); },
         [&] { SendMessageW(button, WM_MOUSELEAVE, 0, 0); },
         {true, true, false, false}},
        {"pressed",
         [&] { SendMessageW(button, BM_SETSTATE, TRUE, 0); },
         [&] { SendMessageW(button, BM_SETSTATE, FALSE, 0); },
         {true, false, true, false}},
        {"disabled", [&] { next.SetEnabled(false); }, [&] { next.SetEnabled(true); }, {false, false, false, false}},
    };
    std::vector<std::uint32_t> faces;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        c.enter();
        const Pixels seen = ReadButton(*form_, button);
        c.leave();
        const ButtonLook look = LookFor(c.state);
        EXPECT_EQ(seen.face, PixelOf(look.face));
        EXPECT_EQ(seen.border, PixelOf(look.border));
        faces.push_back(seen.face);
    }
    EXPECT_EQ(ReadButton(*form_, button).face, faces.front()) << "back to normal";
    for (std::size_t i = 1; i < faces.size(); ++i) EXPECT_NE(faces[i], faces.front()) << cases[i].label;

    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(Window(view, "Cancel"), BM_SETSTATE, TRUE, 0);
    form_->Repaint();
    SaveBmp(Capture(view.window(*form_)), "ui_buttons.bmp");
}

TEST_F(SkinnedButtonTest, TheFocusedButtonShowsADottedRectangleOnceTheKeyboardIsUsed) {
    Win32View view(*form_);
    view.Show();
    HWND button = Window(view, "Next");
    SetFocus(button);
    SendMessageW(view.window(*form_), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    form_->Repaint();
    const Screenshot shot = Capture(button);
    const std::uint32_t face = PixelOf(LookFor({}).face);
    int dots = 0;
    for (int x = 4; x < shot.width - 4; ++x) dots += shot.at(x, 3) != face;
    EXPECT_GT(dots, 10) << "a dotted line three pixels inside";
    EXPECT_EQ(shot.at(6, 6), face);
}

TEST_F(SkinnedButtonTest, TheImageButtonDrawsAFolderInTheThemeColour) {
    Win32View view(*form_);
    view.Show();
    form_->Repaint();
    const Screenshot shot = Capture(Window(view, "Browse"));
    const ButtonLook look = LookFor({});
    EXPECT_EQ(shot.at(shot.width / 2, shot.height / 2 + 3), PixelOf(look.glyph)) << "inside the folder";
    EXPECT_TRUE(shot.Contains(PixelOf(look.text))) << "its outline";
}

// Space and Enter go through the form's message loop, as a user's keys
// would; the close request queued behind them ends the loop.
TEST_F(SkinnedButtonTest, SpaceAndEnterOnTheFocusedButtonClickItOncePerPress) {
    Win32View view(*form_);
    HWND button = Window(view, "Next");
    int clicks = 0;
    form_->Find("Next").on_click = [&] { ++clicks; };
    view.Show();
    SetFocus(button);
    Driver driver([&] {
        PostMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
        PostMessageW(button, WM_KEYUP, VK_SPACE, 0xC0390001);
        PostMessageW(button, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageW(button, WM_KEYDOWN, VK_RETURN, 0x401C0001);  // the key held: auto-repeat
        PostMessageW(GetParent(button), WM_CLOSE, 0, 0);
    });
    view.Run();
    EXPECT_TRUE(driver.Finish()) << "the close request did not end the loop";
    EXPECT_EQ(clicks, 2);
}

struct TabCase {
    const char* from;
    bool shift;
    const char* to;
};

// Tab from the driver thread through the form's loop; Shift held through
// the UI thread's key state.
TEST_F(SkinnedButtonTest, TabFollowsTheDescriptionSkippingHiddenButtons) {
    for (const TabCase& c : {TabCase{"Next", false, "Cancel"}, TabCase{"Cancel", true, "Next"},
                             TabCase{"Cancel", false, "Browse"}, TabCase{"Browse", true, "Cancel"}}) {
        SCOPED_TRACE(std::string(c.from) + (c.shift ? " shift-tab" : " tab"));
        const std::unique_ptr<Form> form = BuildForm(ButtonRowForm());  // one per loop: each ends terminated
        Win32View view(*form);
        HWND from = view.window(form->Find(c.from)), to = view.window(form->Find(c.to));
        BYTE keys[256] = {};
        if (c.shift) keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        view.Show();
        SetFocus(from);
        const DWORD ui_thread = GetCurrentThreadId();
        std::atomic<bool> arrived{false};
        Driver driver([&] {
            PostMessageW(from, WM_KEYDOWN, VK_TAB, 0x000F0001);
            arrived = WaitUntil([&] { return FocusOf(ui_thread) == to; });
            PostMessageW(GetParent(from), WM_CLOSE, 0, 0);
        });
        view.Run();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        EXPECT_TRUE(driver.Finish()) << c.from;
        EXPECT_TRUE(arrived.load()) << c.from << (c.shift ? " shift+tab to " : " tab to ") << c.to;
    }
}

// A page of every kind of stop, with the form's Enter and Esc buttons.
FormDescription KeyForm() {
    return {"KeyForm",
            {0, 0, 420, 120},
            {"宋体", 12, Rgb(128, 128, 128), false, false},
            kSystemWindowColour,
            {
                {Kind::Edit, "Folder", nullptr, {16, 8, 226, 22}, kFolder.c_str(), {}, kInheritColour, 0},
                {Kind::CheckBox, "Start", nullptr, {16, 34, 200, 17}, kStart.c_str(), {}, kInheritColour, 0},
                {Kind::LinkLabel, "Link", nullptr, {16, 56, 200, 16}, kLink.c_str(), kLinkFont, Rgb(255, 153, 0), 0},
                {Kind::PushButton, "Next", nullptr, {216, 80, 89, 30}, kNext.c_str(), kYaHei, kInheritColour, 0},
                {Kind::PushButton, "Agree", nullptr, {216, 80, 91, 30}, "同意", kYaHei, kInheritColour, kHidden},
                {Kind::PushButton, "Cancel", nullptr, {320, 80, 91, 30}, "取消", kYaHei, kInheritColour, 0},
            }};
}

struct KeyCase {
    const char* label;
    const char* focus;
    WPARAM key;
    bool cancel_hidden;
    std::vector<std::string> events;  // in order; "close" last when the driver's request ended the loop
};

// Keys posted from the driver thread through the form's loop, as a user's
// would arrive; each held key repeats once, which presses nothing more.
TEST(KeyboardTest, EnterAndEscAnswerAsADialogDoes) {
    const KeyCase cases[] = {
        {"Enter in the edit presses the default", "Folder", VK_RETURN, false, {"Next", "close"}},
        {"Enter on a check box presses the default", "Start", VK_RETURN, false, {"Next", "close"}},
        {"Enter on a button presses that button", "Cancel", VK_RETURN, false, {"Cancel", "close"}},
        {"Enter on the link opens it", "Link", VK_RETURN, false, {"Link", "close"}},
        {"Space on the link opens it", "Link", VK_SPACE, false, {"Link", "close"}},
        {"Esc presses Cancel", "Folder", VK_ESCAPE, false, {"Cancel", "close"}},
        {"Esc on a button presses Cancel", "Next", VK_ESCAPE, false, {"Cancel", "close"}},
        {"Esc without a Cancel asks to close", "Folder", VK_ESCAPE, true, {"close"}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::unique_ptr<Form> form = BuildForm(KeyForm());
        form->SetKeyButtons({"Agree", "Next"}, {"Cancel"});
        if (c.cancel_hidden) form->Find("Cancel").Hide();
        std::vector<std::string> events;
        for (const char* name : {"Next", "Agree", "Cancel", "Link"})
            form->Find(name).on_click = [&events, name] { events.push_back(name); };
        form->on_close_query = [&events](bool&) { events.push_back("close"); };
        Win32View view(*form);
        view.Show();
        HWND focus = view.window(form->Find(c.focus));
        SetFocus(focus);
        Driver driver([&] {
            const LPARAM scan = MapVirtualKeyW(static_cast<UINT>(c.key), MAPVK_VK_TO_VSC) << 16;
            PostMessageW(focus, WM_KEYDOWN, c.key, scan | 1);
            PostMessageW(focus, WM_KEYDOWN, c.key, scan | 1 | (1 << 30));  // held: auto-repeat
            PostMessageW(focus, WM_KEYUP, c.key, scan | 1 | (3u << 30));
            // Behind the keys' effects, which post their clicks: the close request ends the loop.
            Sleep(200);
            PostMessageW(view.window(*form), WM_CLOSE, 0, 0);
        });
        view.Run();
        EXPECT_TRUE(driver.Finish());
        EXPECT_EQ(events, c.events);
    }
}

// Tab reaches the link, whose focus shows as a dotted frame round it.
TEST(KeyboardTest, TheFocusedLinkShowsItsFocus) {
    const std::unique_ptr<Form> form = BuildForm(KeyForm());
    Win32View view(*form);
    view.Show();
    HWND link = view.window(form->Find("Link"));
    const auto shoot = [&] {
        form->Repaint();
        return Capture(link);
    };
    SendMessageW(view.window(*form), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SetFocus(view.window(form->Find("Start")));
    const Screenshot unfocused = shoot();
    EXPECT_EQ(NextTabStop(*form, &form->Find("Start"), false), &form->Find("Link"));
    SetFocus(link);
    const Screenshot focused = shoot();
    ASSERT_EQ(focused.width, unfocused.width);
    int changed_on_the_frame = 0, changed_inside = 0;
    for (int y = 0; y < focused.height; ++y)
        for (int x = 0; x < focused.width; ++x) {
            const bool frame = x == 0 || y == 0 || x == focused.width - 1 || y == focused.height - 1;
            (frame ? changed_on_the_frame : changed_inside) += focused.at(x, y) != unfocused.at(x, y);
        }
    EXPECT_GT(changed_on_the_frame, 20) << "a dotted frame round the link";
    EXPECT_EQ(changed_inside, 0) << "its text as it was";
}

// What a screen reader's client reads of one control through Active Accessibility.
struct Accessible {
    HRESULT found = E_FAIL;
    std::string name, value;  // GBK; "(none)" when the control gives none
    LONG role = 0, state = 0;
};

std::string Gbk(BSTR text) {
    if (!text) return "(none)";
    const std::string gbk = WideToGbk(text);
    SysFreeString(text);
    return gbk;
}

Accessible Read(HWND control) {
    Accessible a;
    IAccessible* raw = nullptr;
    a.found = AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&raw));
    const ComPtr<IAccessible> object(raw);
    if (FAILED(a.found) || !object) return a;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    object->get_accName(self, &text);
    a.name = Gbk(text);
    text = nullptr;
    object->get_accValue(self, &text);
    a.value = Gbk(text);
    VARIANT v;
    if (object->get_accRole(self, &v) == S_OK && v.vt == VT_I4) a.role = v.lVal;
    if (object->get_accState(self, &v) == S_OK && v.vt == VT_I4) a.state = v.lVal;
    return a;
}

struct AccessibleCase {
    const char* control;
    std::string name, value;
    LONG role;
    LONG states;      // each of these set
    LONG not_states;  // none of these
};

// Every kind of control on the test form: its visible text as its name, its
// role, and its state as the form has it now.
TEST_F(Win32ViewTest, ScreenReadersLearnEachControlsNameRoleAndState) {
    const ComApartment com;
    form_->Find("Progress").SetPosition(45);
    form_->Find("Browse").SetEnabled(false);
    Win32View view(*form_);
    view.Show();
    SetFocus(view.window(form_->Find("Next")));
    constexpr LONG kFocusable = STATE_SYSTEM_FOCUSABLE, kFocused = STATE_SYSTEM_FOCUSED;
    const AccessibleCase cases[] = {
        {"Title", kTitle, "(none)", ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, kFocusable},
        {"Name", kName, "(none)", ROLE_SYSTEM_STATICTEXT, 0, kFocusable | STATE_SYSTEM_INVISIBLE},
        {"Link", kLink, "(none)", ROLE_SYSTEM_LINK, kFocusable | STATE_SYSTEM_LINKED, kFocused},
        {"Browse", "...", "(none)", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_UNAVAILABLE, 0},
        {"Progress", "(none)", "45%", ROLE_SYSTEM_PROGRESSBAR, STATE_SYSTEM_READONLY, kFocusable},
        {"Art", "(none)", "(none)", ROLE_SYSTEM_GRAPHIC, 0, kFocusable},
        {"Folder", "(none)", kFolder, ROLE_SYSTEM_TEXT, kFocusable | STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_READONLY},
        {"Start", kStart, "(none)", ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_CHECKED | STATE_SYSTEM_INVISIBLE, 0},
        {"Line", "(none)", "(none)", ROLE_SYSTEM_SEPARATOR, 0, kFocusable},
        {"Next", kNext, "(none)", ROLE_SYSTEM_PUSHBUTTON, kFocusable | kFocused, STATE_SYSTEM_UNAVAILABLE},
    };
    for (const AccessibleCase& c : cases) {
        SCOPED_TRACE(c.control);
        const Accessible a = Read(view.window(form_->Find(c.control)));
        ASSERT_EQ(a.found, S_OK);
        EXPECT_EQ(a.name, c.name);
        EXPECT_EQ(a.value, c.value);
        EXPECT_EQ(a.role, c.role);
        EXPECT_EQ(a.state & c.states, c.states) << std::hex << a.state;
        EXPECT_EQ(a.state & c.not_states, 0) << std::hex << a.state;
    }
}

// A client presses a button and ticks a check box as a user would.
TEST_F(Win32ViewTest, AClientsDefaultActionClicks) {
    const ComApartment com;
    pages_.SetActivePage(1);
    int clicks = 0;
    form_->Find("Next").on_click = [&] { ++clicks; };
    Win32View view(*form_);
    view.Show();
    for (const char* name : {"Next", "Start"}) {
        IAccessible* raw = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(view.window(form_->Find(name)), OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&raw)),
                  S_OK);
        const ComPtr<IAccessible> object(raw);
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        EXPECT_EQ(object->accDoDefaultAction(self), S_OK) << name;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(form_->Find("Start").checked()) << "it was ticked: the action clears it";
}

// Next disabled while its handler works (as a page change does) hands the
// focus on for that while, and gets it back after: the user's next Enter
// presses Next again, never the Cancel after it.
TEST_F(SkinnedButtonTest, AButtonItsHandlerDisablesForAWhileGetsTheFocusBack) {
    Win32View view(*form_);
    Widget& next = form_->Find("Next");
    std::atomic<bool> clicked{false};
    HWND during = nullptr;
    next.on_click = [&] {
        next.SetEnabled(false);
        during = GetFocus();
        next.SetEnabled(true);
        clicked = true;
    };
    view.Show();
    HWND button = Window(view, "Next"), cancel = Window(view, "Cancel");
    SetFocus(button);
    const DWORD ui_thread = GetCurrentThreadId();
    std::atomic<bool> back{false};
    Driver driver([&] {
        PostMessageW(button, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        back = WaitUntil([&] { return clicked && FocusOf(ui_thread) == button; });
        PostMessageW(GetParent(button), WM_CLOSE, 0, 0);
    });
    view.Run();
    EXPECT_TRUE(driver.Finish());
    EXPECT_EQ(during, cancel) << "handed on while Next could not take it";
    EXPECT_TRUE(back.load()) << "the focus did not come back to Next";
}

TEST_F(SkinnedButtonTest, AFocusedButtonThatIsHiddenHandsTheFocusOn) {
    Win32View view(*form_);
    view.Show();
    Widget& agree = form_->Find("Agree");
    agree.Show();
    SetFocus(view.window(agree));
    agree.Hide();
    EXPECT_EQ(GetFocus(), Window(view, "Cancel")) << "the next stop after it";
}

}  // namespace
}  // namespace zsetup::ui
