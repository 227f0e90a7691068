#include "decor/form_shadow.h"

#include <utility>

namespace zsetup {

TFormShadow::TFormShadow(std::unique_ptr<ShadowWindows> windows) : windows_(std::move(windows)) {}

TFormShadow::~TFormShadow() { SetForm(nullptr); }

void TFormShadow::SetForm(ui::Form* form) {
    if (form == Form) return;
    // Written back even when the form had none: our procedure must not stay
    // behind in a form we no longer watch.
    if (Form) Form->SetWindowProc(std::exchange(SavedWindowProc, nullptr));
    Form = form;
    if (Form) {
        SavedWindowProc = Form->window_proc();
        Form->SetWindowProc([this](const ui::Message& m) { return FormWndProc(m); });
    }
    NeedsRebuild = true;
    RequestUpdate();
}

void TFormShadow::SetActive(bool value) {
    if (value == Active) return;
    Active = value;
    RequestUpdate();
}

// Every update runs from the owner's own position notifications.
void TFormShadow::RequestUpdate() {
    if (!Form || !windows_->OwnerExists(*Form)) return;
    windows_->UpdateOwner(*Form, swp::NoSize | swp::NoMove | swp::NoZOrder | swp::NoActivate | swp::FrameChanged);
}

std::intptr_t TFormShadow::FormWndProc(const ui::Message& m) {
    switch (m.id) {
    case kWmWindowPosChanging: return FormPosChanging(m);
    case kWmWindowPosChanged: return FormPosChanged(m);
    default: return SavedWindowProc(m);
    }
}

std::intptr_t TFormShadow::FormPosChanging(const ui::Message& m) {
    const std::intptr_t result = SavedWindowProc(m);
    const WindowPosition pos = windows_->ReadWindowPos(m.lparam);
    if (windows_->OwnerState(*Form) != WindowState::Normal || (pos.flags & swp::HideWindow))
        windows_->PlaceShadow(*Form, true, 0, 0, 0, 0, swp::NoSize | swp::NoMove | swp::NoActivate | swp::HideWindow);
    return result;
}

std::intptr_t TFormShadow::FormPosChanged(const ui::Message& m) {
    const std::intptr_t result = SavedWindowProc(m);
    WindowPosition pos = windows_->ReadWindowPos(m.lparam);
    if (pos.flags & swp::NoMove) {
        const OwnerBounds b = windows_->Bounds(*Form);
        pos.x = b.left;
        pos.y = b.top;
    }
    const WindowState state = windows_->OwnerState(*Form);
    if (state != WindowState::Maximized) RebuildShadow();
    const int shift = ShadowOffset - kShadowMargin;
    windows_->PlaceShadow(*Form, true, pos.x + shift, pos.y + shift, ShadowBitmap.width(), ShadowBitmap.height(),
                          swp::NoActivate);
    const unsigned show = Active && state == WindowState::Normal ? swp::ShowWindow : swp::HideWindow;
    windows_->PlaceShadow(*Form, false, 0, 0, 0, 0, show | swp::NoActivate | swp::NoZOrder | swp::NoMove | swp::NoSize);
    return result;
}

void TFormShadow::RebuildShadow() {
    if (!Active || !Form || !windows_->OwnerExists(*Form)) return;
    const OwnerBounds b = windows_->Bounds(*Form);
    const int width = b.width + 2 * kShadowMargin, height = b.height + 2 * kShadowMargin;
    if (ShadowBitmap.width() != width || ShadowBitmap.height() != height) {
        NeedsRebuild = true;
        ShadowBitmap = BgraImage(width, height);
    }
    if (!NeedsRebuild) return;
    NeedsRebuild = false;
    windows_->DrawOutline(*Form, ShadowBitmap);
    BlurShadow(ShadowBitmap, kShadowBlurPasses);
    PushLayer();
    ++builds_;
}

// The mask's blue byte becomes each pixel's alpha; the owner is opaque.
void TFormShadow::PushLayer() {
    Blend.SourceConstantAlpha = 255;
    PremultiplyShadow(ShadowBitmap, ShadowColor);
    windows_->PushImage(ShadowBitmap, Blend);
}

}  // namespace zsetup
