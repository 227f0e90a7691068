// The shadow's real windows: the owner is a form of a Win32View, the shadow
// a layered, click-through, never-activated popup owned by the view's hidden
// application window (so it has no task-bar button of its own).
#pragma once

#include <windows.h>

#include "decor/form_shadow.h"
#include "ui/win32/gdi_handles.h"
#include "ui/win32/win32_view.h"

namespace zsetup {

class Win32ShadowWindows : public ShadowWindows {
public:
    // The view must outlive this object.
    explicit Win32ShadowWindows(const ui::Win32View& view) : view_(view) {}

    bool OwnerExists(const ui::Form& owner) const override;
    WindowState OwnerState(const ui::Form& owner) const override;
    OwnerBounds Bounds(const ui::Form& owner) const override;
    WindowPosition ReadWindowPos(std::intptr_t lparam) const override;
    void UpdateOwner(const ui::Form& owner, unsigned flags) override;
    void PlaceShadow(const ui::Form& owner, bool below_owner, int x, int y, int width, int height,
                     unsigned flags) override;
    void DrawOutline(const ui::Form& owner, BgraImage& mask) override;
    void PushImage(const BgraImage& premultiplied, const BlendFunction& blend) override;

    // Null until first needed.
    HWND window() const { return window_.get(); }

private:
    static LRESULT CALLBACK WindowProc(HWND w, UINT id, WPARAM wparam, LPARAM lparam);
    HWND EnsureWindow();

    const ui::Win32View& view_;
    // The owner's window region at the last build, moved by the margin.
    ui::UniqueRegion RegionCache;
    // Let go, not destroyed, when the system destroys it with its owner.
    ui::UniqueWindow window_;
};

}  // namespace zsetup
