#include "wizard/win32/wizard_window.h"

#include "decor/win32/win32_shadow_windows.h"
#include "imaging/jpeg_decoder.h"
#include "wizard/handler_boundary.h"

namespace zsetup {

WizardWindow::WizardWindow(Win32Platform& platform, ui::Form& form) : platform_(platform), form_(form) {
    ui::ViewOptions options;
    options.decode_picture = DecodeJpeg;
    // The handlers show their own errors; anything else that comes through
    // is shown here, and the window stays where it was.
    options.on_error = [this](const std::exception& e) {
        platform_.dialogs.ShowMessage(UserTextOf(e), form_.application_title(), kMbOk | kMbIconError);
    };
    // The shadow writes into the form when it detaches: it goes first.
    options.on_closing = [this] { shadow_.reset(); };
    view_ = std::make_unique<ui::Win32View>(form_, options);
    platform_.dialogs.SetOwner(view_->window(form_));
}

WizardWindow::~WizardWindow() {
    shadow_.reset();
    platform_.dialogs.SetOwner(nullptr);
}

void WizardWindow::AttachShadow(ui::Form& form) {
    shadow_ = std::make_unique<TFormShadow>(std::make_unique<Win32ShadowWindows>(*view_));
    shadow_->SetForm(&form);
    shadow_->SetActive(true);
}

void WizardWindow::Run() {
    if (!form_.terminated()) view_->Run();
}

int RunGuarded(Win32Platform& platform, const std::string& caption, const std::function<int()>& run) {
    try {
        return run();
    } catch (const std::exception& e) {
        platform.dialogs.SetOwner(nullptr);
        platform.dialogs.ShowMessage(UserTextOf(e), caption, kMbOk | kMbIconError);
        return 1;
    }
}

}  // namespace zsetup
