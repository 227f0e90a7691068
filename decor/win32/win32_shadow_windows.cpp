#include "decor/win32/win32_shadow_windows.h"

#include "base/win32/win32_error.h"
#include "ui/win32/window_classes.h"

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace zsetup {

namespace {

constexpr wchar_t kShadowClass[] = L"ZsetupShadow";

// A 32-bpp top-down DIB section in a memory DC: its bits are laid out as a
// BgraImage of the same size.
class DibSurface {
public:
    DibSurface(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
        if (!dc_) throw Win32Error("cannot create a memory device context");
        const BITMAPINFO info = ui::TopDownBgraInfo(width, height);
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        if (!bitmap_) throw Win32Error("cannot create a DIB section");
        selection_ = std::make_unique<ui::SelectedObject>(dc_.get(), bitmap_.get());
        size_ = static_cast<std::size_t>(width) * height * 4;
    }
    HDC dc() const { return dc_.get(); }
    void CopyFrom(const BgraImage& image) { std::memcpy(bits_, image.pixels().data(), size_); }
    void CopyTo(BgraImage& image) const {
        GdiFlush();  // GDI may still be drawing into the bits
        std::memcpy(image.pixels().data(), bits_, size_);
    }

private:
    ui::UniqueMemoryDc dc_;
    ui::UniqueBitmap bitmap_;
    std::unique_ptr<ui::SelectedObject> selection_;  // undone before the bitmap is deleted
    void* bits_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace

LRESULT CALLBACK Win32ShadowWindows::WindowProc(HWND w, UINT id, WPARAM wparam, LPARAM lparam) {
    switch (id) {
    case WM_NCCREATE:
        SetWindowLongPtrW(w, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
        break;
    case WM_NCHITTEST: return HTTRANSPARENT;  // clicks go to what lies below
    case WM_ERASEBKGND: DefWindowProcW(w, id, wparam, lparam); return 1;
    case WM_NCDESTROY:
        // Destroyed with its owner, the application window: the handle is gone.
        if (auto* self = reinterpret_cast<Win32ShadowWindows*>(GetWindowLongPtrW(w, GWLP_USERDATA)))
            self->window_.release();
        break;
    default: break;
    }
    return DefWindowProcW(w, id, wparam, lparam);
}

bool Win32ShadowWindows::OwnerExists(const ui::Form& owner) const { return view_.window(owner) != nullptr; }

WindowState Win32ShadowWindows::OwnerState(const ui::Form& owner) const {
    HWND w = view_.window(owner);
    if (IsIconic(w)) return WindowState::Minimized;
    return IsZoomed(w) ? WindowState::Maximized : WindowState::Normal;
}

OwnerBounds Win32ShadowWindows::Bounds(const ui::Form& owner) const {
    RECT r;
    GetWindowRect(view_.window(owner), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

WindowPosition Win32ShadowWindows::ReadWindowPos(std::intptr_t lparam) const {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
    return {pos->x, pos->y, pos->flags};
}

void Win32ShadowWindows::UpdateOwner(const ui::Form& owner, unsigned flags) {
    SetWindowPos(view_.window(owner), nullptr, 0, 0, 0, 0, flags);
}

void Win32ShadowWindows::PlaceShadow(const ui::Form& owner, bool below_owner, int x, int y, int width, int height,
                                     unsigned flags) {
    HWND shadow = EnsureWindow();
    SetWindowPos(shadow, below_owner ? view_.window(owner) : nullptr, x, y, width, height, flags);
}

HWND Win32ShadowWindows::EnsureWindow() {
    if (!window_) {
        // Class style 0x28: CS_DBLCLKS | CS_OWNDC.
        ui::RegisterWindowClass(kShadowClass, CS_DBLCLKS | CS_OWNDC, WindowProc,
                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        window_.reset(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE, kShadowClass, L"", WS_POPUP,
                                      0, 0, 0, 0, view_.application_window(), nullptr, GetModuleHandleW(nullptr),
                                      this));
        if (!window_) throw Win32Error("cannot create the shadow window");
    }
    return window_.get();
}

void Win32ShadowWindows::DrawOutline(const ui::Form& owner, BgraImage& mask) {
    HWND w = view_.window(owner);
    DibSurface surface(mask.width(), mask.height());
    HDC dc = surface.dc();
    ui::UniqueBrush black(CreateSolidBrush(0)), white(CreateSolidBrush(0xFFFFFF));
    const RECT all = {0, 0, mask.width(), mask.height()};
    FillRect(dc, &all, black.get());

    if (!RegionCache) RegionCache.reset(CreateRectRgn(0, 0, 1, 1));
    // A simple, empty or missing region: the whole window rectangle.
    if (GetWindowRgn(w, RegionCache.get()) != COMPLEXREGION) RegionCache.reset();
    RECT r;
    if (RegionCache) {
        OffsetRgn(RegionCache.get(), kShadowMargin, kShadowMargin);
        SelectClipRgn(dc, RegionCache.get());
        GetRgnBox(RegionCache.get(), &r);
    } else {
        GetWindowRect(w, &r);
        OffsetRect(&r, -r.left + kShadowMargin, -r.top + kShadowMargin);
    }
    FillRect(dc, &r, white.get());
    SelectClipRgn(dc, nullptr);
    surface.CopyTo(mask);
}

void Win32ShadowWindows::PushImage(const BgraImage& premultiplied, const BlendFunction& blend) {
    HWND shadow = EnsureWindow();
    DibSurface surface(premultiplied.width(), premultiplied.height());
    surface.CopyFrom(premultiplied);
    SIZE size = {premultiplied.width(), premultiplied.height()};
    POINT source = {0, 0};
    BLENDFUNCTION b = {blend.BlendOp, blend.BlendFlags, blend.SourceConstantAlpha, blend.AlphaFormat};
    UpdateLayeredWindow(shadow, nullptr, nullptr, &size, surface.dc(), &source, 0, &b, ULW_ALPHA);
}

}  // namespace zsetup
