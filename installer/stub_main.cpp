// The installer's entry: DLLs from System32 only, COM for the user-interface
// thread, the real OS seam, the command line; the wizard in its window when
// a person runs it.
#include <windows.h>

#include "installer/main_form.h"
#include "installer/setup_program.h"
#include "base/win32/com.h"
#include "base/win32/system_dlls.h"
#include "platform/win32/win32_platform.h"
#include "text/win32/wide_text.h"
#include "wizard/win32/wizard_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a DLL: setup.exe runs elevated from a download
    // folder, and a DLL planted there must never be found.
    zsetup::SearchSystem32Only();
    // COM for the program's life: the shell's folder picker needs it.
    zsetup::ComApartment com;
    zsetup::Win32Platform platform;
    return zsetup::RunGuarded(platform, zsetup::PackageMakerLines(platform.resources).caption, [&] {
        return zsetup::RunSetup(zsetup::WideToGbk(GetCommandLineW()), platform.seam, [&](zsetup::TMainForm& wizard) {
            zsetup::WizardWindow window(platform, wizard.form());
            wizard.attach_shadow = [&](zsetup::ui::Form& form) { window.AttachShadow(form); };
            wizard.FormCreate();
            window.Run();
            wizard.FormDestroy();
        });
    });
}
