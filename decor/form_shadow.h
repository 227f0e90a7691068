// The drop-shadow window of a borderless form: what it does on the owner's
// position notifications, when it rebuilds its image and how it switches on
// and off. The windows themselves are behind ShadowWindows (decor/win32/ has
// the real ones), so every decision here is checked natively.
#pragma once

#include <cstdint>
#include <memory>

#include "decor/shadow_pixels.h"
#include "ui/form.h"

namespace zsetup {

enum class WindowState { Normal, Minimized, Maximized };

// SetWindowPos flags and the two position messages, as Windows numbers them.
namespace swp {
inline constexpr unsigned NoSize = 0x1, NoMove = 0x2, NoZOrder = 0x4, NoActivate = 0x10, FrameChanged = 0x20,
                          ShowWindow = 0x40, HideWindow = 0x80;
}
inline constexpr unsigned kWmWindowPosChanging = 0x46;
inline constexpr unsigned kWmWindowPosChanged = 0x47;

// The parts of a WINDOWPOS record the shadow reads.
struct WindowPosition {
    int x, y;
    unsigned flags;
};

// The owner's outer rectangle in screen pixels.
struct OwnerBounds {
    int left, top, width, height;
};

struct BlendFunction {
    std::uint8_t BlendOp = 0;  // AC_SRC_OVER
    std::uint8_t BlendFlags = 0;
    std::uint8_t SourceConstantAlpha = 0;
    std::uint8_t AlphaFormat = 1;  // AC_SRC_ALPHA
};

// The owner's window and the shadow's own, as the shadow uses them.
class ShadowWindows {
public:
    virtual ~ShadowWindows() = default;
    virtual bool OwnerExists(const ui::Form& owner) const = 0;
    virtual WindowState OwnerState(const ui::Form& owner) const = 0;
    virtual OwnerBounds Bounds(const ui::Form& owner) const = 0;
    // The record a position message's lparam points to.
    virtual WindowPosition ReadWindowPos(std::intptr_t lparam) const = 0;
    // SetWindowPos on the owner, nothing moved or sized: only notifications.
    virtual void UpdateOwner(const ui::Form& owner, unsigned flags) = 0;
    // SetWindowPos on the shadow (created hidden on first need), directly
    // below the owner when below_owner, else without a Z-order change.
    virtual void PlaceShadow(const ui::Form& owner, bool below_owner, int x, int y, int width, int height,
                             unsigned flags) = 0;
    // Draws the owner's outline into the mask, already (width + 32) x
    // (height + 32): black, the outline white at (16, 16). The owners are the
    // wizards' windows: borderless, without a transparent colour.
    virtual void DrawOutline(const ui::Form& owner, BgraImage& mask) = 0;
    // Replaces the shadow's per-pixel-alpha image; its position stays.
    virtual void PushImage(const BgraImage& premultiplied, const BlendFunction& blend) = 0;
};

class TFormShadow {
public:
    explicit TFormShadow(std::unique_ptr<ShadowWindows> windows);
    // Detaches, then lets the windows go.
    ~TFormShadow();
    TFormShadow(const TFormShadow&) = delete;
    TFormShadow& operator=(const TFormShadow&) = delete;

    // Attaches to the form (through its window procedure) or, with none, detaches.
    void SetForm(ui::Form* form);
    void SetActive(bool value);
    std::intptr_t FormWndProc(const ui::Message& m);

    ui::Form* form() const { return Form; }
    bool active() const { return Active; }
    bool needs_rebuild() const { return NeedsRebuild; }
    // The image last pushed (premultiplied), or the mask being built.
    const BgraImage& shadow_bitmap() const { return ShadowBitmap; }
    const BlendFunction& blend() const { return Blend; }
    // How many times the image was built: moves must not add to it.
    int builds() const { return builds_; }

    static constexpr int ShadowOffset = 3;
    static constexpr std::uint32_t ShadowColor = 0x00DE9B86;  // RGB(134, 155, 222)

private:
    void RequestUpdate();
    std::intptr_t FormPosChanging(const ui::Message& m);
    std::intptr_t FormPosChanged(const ui::Message& m);
    void RebuildShadow();
    void PushLayer();

    std::unique_ptr<ShadowWindows> windows_;
    ui::Form* Form = nullptr;
    bool Active = false;
    ui::WindowProc SavedWindowProc;
    BgraImage ShadowBitmap;
    BlendFunction Blend;
    bool NeedsRebuild = true;
    int builds_ = 0;
};

}  // namespace zsetup
