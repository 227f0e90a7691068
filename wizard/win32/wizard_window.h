// The real window a wizard program runs in: the view of its form with
// pictures decoded, every error a handler lets through shown in a box, the
// message boxes owned by the form, and the drop shadow, attached when the
// program asks and detached and destroyed before the windows go.
#pragma once

#include <memory>

#include "decor/form_shadow.h"
#include "platform/win32/win32_platform.h"
#include "ui/form.h"
#include "ui/win32/win32_view.h"

namespace zsetup {

class WizardWindow {
public:
    WizardWindow(Win32Platform& platform, ui::Form& form);
    ~WizardWindow();
    WizardWindow(const WizardWindow&) = delete;
    WizardWindow& operator=(const WizardWindow&) = delete;

    // Attaches the drop shadow to the form and switches it on.
    void AttachShadow(ui::Form& form);
    // The message loop until the form terminates, unless it did already.
    void Run();

private:
    Win32Platform& platform_;
    ui::Form& form_;
    std::unique_ptr<TFormShadow> shadow_;
    std::unique_ptr<ui::Win32View> view_;
};

// Calls run; whatever error reaches this edge is said in a box with the
// maker's caption, never a vanished program. Gives run's exit code, or 1
// after such an error.
int RunGuarded(Win32Platform& platform, const std::string& caption, const std::function<int()>& run);

}  // namespace zsetup
