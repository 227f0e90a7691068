// The shadow of a 100 x 50 form under Wine: the real view routes the form's
// messages through the shadow, the real windows are checked as a driver
// program would see them.
#include "decor/win32/win32_shadow_windows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "ui/form_description.h"
#include "ui/win32/gdi_handles.h"

namespace zsetup {
namespace {

constexpr DWORD kShadowExStyle = WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;

ui::FormDescription OwnerForm() { return {"ShadowOwner", {0, 0, 100, 50}, {}, ui::Rgb(255, 255, 255), {}}; }

RECT WindowRect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

BgraImage RectShadow(int width, int height) {
    BgraImage image = BuildRectShadowMask(width, height);
    PremultiplyShadow(image, TFormShadow::ShadowColor);
    return image;
}

class ShadowWindow : public ::testing::Test {
protected:
    ShadowWindow() : form(ui::BuildForm(OwnerForm())), view(*form) {
        auto real = std::make_unique<Win32ShadowWindows>(view);
        windows = real.get();
        shadow = std::make_unique<TFormShadow>(std::move(real));
        shadow->SetForm(form.get());
        shadow->SetActive(true);
        view.Show();
        owner = view.window(*form);
        window = windows->window();
    }

    void ExpectPlacedBelowOwner() {
        const RECT o = WindowRect(owner), s = WindowRect(window);
        EXPECT_EQ(s.left, o.left - 13);
        EXPECT_EQ(s.top, o.top - 13);
        EXPECT_EQ(s.right - s.left, (o.right - o.left) + 32);
        EXPECT_EQ(s.bottom - s.top, (o.bottom - o.top) + 32);
        EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), window);
    }
    void ExpectNeverActive() {
        EXPECT_NE(GetForegroundWindow(), window);
        EXPECT_NE(GetActiveWindow(), window);
    }

    std::unique_ptr<ui::Form> form;
    ui::Win32View view;
    Win32ShadowWindows* windows;
    std::unique_ptr<TFormShadow> shadow;  // detached before the view goes
    HWND owner = nullptr;
    HWND window = nullptr;
};

TEST_F(ShadowWindow, Lies13PixelsUpAndLeftOfItsOwnerAnd32Larger) {
    ASSERT_NE(window, nullptr);
    const RECT o = WindowRect(owner), s = WindowRect(window);
    EXPECT_EQ(o.right - o.left, 100);
    EXPECT_EQ(o.bottom - o.top, 50);
    EXPECT_EQ(s.left, o.left - 13);
    EXPECT_EQ(s.top, o.top - 13);
    EXPECT_EQ(s.right, o.left + 119);
    EXPECT_EQ(s.bottom, o.top + 69);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), window);
    ExpectNeverActive();
}

TEST_F(ShadowWindow, IsALayeredToolPopupOwnedByTheApplicationWindow) {
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)) & (kShadowExStyle | WS_EX_APPWINDOW),
              kShadowExStyle);
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(GetClassLongW(window, GCL_STYLE), 0x28u);
    EXPECT_EQ(GetWindow(window, GW_OWNER), view.application_window());
}

TEST_F(ShadowWindow, LetsTheMouseThroughAndErasesAsHandled) {
    const RECT s = WindowRect(window);
    for (const POINT p :
         {POINT{s.left + 1, s.top + 1}, POINT{s.left + 66, s.top + 41}, POINT{s.right - 2, s.bottom - 2}})
        EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTTRANSPARENT);
    const ui::WindowDc dc(window);
    EXPECT_EQ(SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0), 1);
}

TEST_F(ShadowWindow, ShowsThePortablePipelinesImage) {
    EXPECT_EQ(shadow->shadow_bitmap().pixels(), RectShadow(100, 50).pixels());
    EXPECT_EQ(shadow->blend().SourceConstantAlpha, 255);
    EXPECT_EQ(shadow->builds(), 1);
}

TEST_F(ShadowWindow, FollowsAMoveWithTheSameImage) {
    const RECT o = WindowRect(owner);
    SetWindowPos(owner, nullptr, o.left + 37, o.top + 21, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowRect(window).left, o.left + 37 - 13);
    EXPECT_EQ(WindowRect(window).top, o.top + 21 - 13);
    ExpectPlacedBelowOwner();
    EXPECT_EQ(shadow->builds(), 1);
    ExpectNeverActive();
}

TEST_F(ShadowWindow, ARegionChangeKeepsTheImage) {
    form->SetRegion({1, 1, 99, 49, 8, 8});
    EXPECT_EQ(shadow->builds(), 1);
    ExpectPlacedBelowOwner();
}

TEST_F(ShadowWindow, OnePixelWiderRebuildsAtTheNewSize) {
    SetWindowPos(owner, nullptr, 0, 0, 101, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(shadow->builds(), 2);
    EXPECT_EQ(shadow->shadow_bitmap().width(), 133);
    ExpectPlacedBelowOwner();
}

TEST_F(ShadowWindow, APlainRectangleRegionGivesTheWholeWindowsShadow) {
    ui::UniqueRegion region(CreateRectRgn(0, 0, 60, 50));
    ASSERT_TRUE(SetWindowRgn(owner, region.get(), TRUE));
    region.release();  // the system's now
    SetWindowPos(owner, nullptr, 0, 0, 101, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(shadow->builds(), 2);
    EXPECT_EQ(shadow->shadow_bitmap().pixels(), RectShadow(101, 50).pixels());
}

TEST_F(ShadowWindow, ARoundedRegionShapesTheNextBuild) {
    form->SetRegion({1, 1, 100, 50, 8, 8});
    SetWindowPos(owner, nullptr, 0, 0, 101, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(shadow->builds(), 2);
    const BgraImage rect = RectShadow(101, 50);
    // Less shadow at the rounded corner, the same far from every corner.
    EXPECT_LT(shadow->shadow_bitmap().at(16, 16)[3], rect.at(16, 16)[3]);
    EXPECT_EQ(shadow->shadow_bitmap().at(66, 41)[3], rect.at(66, 41)[3]);
}

TEST_F(ShadowWindow, IsHiddenUnlessTheOwnerIsInTheNormalState) {
    struct Step {
        int show;
        bool visible;
    };
    const Step steps[] = {{SW_MINIMIZE, false}, {SW_RESTORE, true}, {SW_MAXIMIZE, false}, {SW_RESTORE, true}};
    for (const Step& step : steps) {
        ShowWindow(owner, step.show);
        EXPECT_EQ(IsWindowVisible(window) != FALSE, step.visible) << "after ShowWindow " << step.show;
        ExpectNeverActive();
    }
    ExpectPlacedBelowOwner();
}

TEST_F(ShadowWindow, BuildsNothingWhileMaximized) {
    ShowWindow(owner, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(owner));
    EXPECT_EQ(shadow->builds(), 1);
    ShowWindow(owner, SW_RESTORE);
    EXPECT_EQ(shadow->builds(), 1);  // back at the size it was built for
    EXPECT_TRUE(IsWindowVisible(window));
}

// At program end the view's windows go first: the application window takes
// its owned shadow window with it, and the shadow lets go of the handle.
TEST_F(ShadowWindow, GoesWithTheApplicationWindow) {
    form->Terminate();
    view.Run();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(windows->window(), nullptr);
}

TEST_F(ShadowWindow, DetachingPutsTheViewsProcedureBack) {
    shadow->SetForm(nullptr);
    const RECT before = WindowRect(window);
    SetWindowPos(owner, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT after = WindowRect(window);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

}  // namespace
}  // namespace zsetup
