// The installer's entry: DLLs from System32 only, COM for the user-interface
// thread, the real OS seam, the wizard window with real windows, the message
// loop.
#include <windows.h>
#include <objbase.h>

#include <memory>

#include "app/main_form.h"
#include "base/win32/com.h"
#include "base/win32/system_dlls.h"
#include "decor/form_shadow.h"
#include "imaging/jpeg_decoder.h"
#include "decor/win32/win32_shadow_windows.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_view.h"

namespace {

int RunWizard(zsetup::Win32Platform& platform) {
    zsetup::TMainForm wizard(platform.seam);
    zsetup::ui::ViewOptions options;
    options.decode_picture = zsetup::DecodeJpeg;
    // The wizard's handlers show their own errors; anything else that comes
    // through is shown here, and the wizard stays where it was.
    options.on_error = [&](const std::exception& e) {
        platform.dialogs.ShowMessage(zsetup::UserTextOf(e), wizard.form().application_title(),
                                     zsetup::kMbOk | zsetup::kMbIconError);
    };
    // At the end the shadow is detached (it writes into the form) and
    // destroyed with its window before the wizard window goes.
    std::unique_ptr<zsetup::TFormShadow> shadow;
    options.on_closing = [&] { shadow.reset(); };
    zsetup::ui::Win32View view(wizard.form(), options);
    platform.dialogs.SetOwner(view.window(wizard.form()));
    shadow = std::make_unique<zsetup::TFormShadow>(std::make_unique<zsetup::Win32ShadowWindows>(view));
    wizard.attach_shadow = [&](zsetup::ui::Form& form) {
        shadow->SetForm(&form);
        shadow->SetActive(true);
    };
    wizard.FormCreate();
    if (!wizard.form().terminated()) view.Run();
    wizard.FormDestroy();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a DLL: setup.exe runs elevated from a download
    // folder, and a DLL planted there must never be found.
    zsetup::SearchSystem32Only();
    // COM for the program's life: the shell's folder picker needs it.
    zsetup::ComApartment com;
    zsetup::Win32Platform platform;
    // Whatever reaches this edge is said in a box: the program never just vanishes.
    try {
        return RunWizard(platform);
    } catch (const std::exception& e) {
        platform.dialogs.SetOwner(nullptr);
        platform.dialogs.ShowMessage(zsetup::UserTextOf(e), zsetup::ErrorCaption(),
                                     zsetup::kMbOk | zsetup::kMbIconError);
        return 1;
    }
}
