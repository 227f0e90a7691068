// The uninstaller's entry: DLLs from System32 only, COM for the user-interface
// thread, the real OS seam, and the window when the command line asks for one.
#include <windows.h>

#include "base/win32/com.h"
#include "base/win32/system_dlls.h"
#include "platform/win32/win32_platform.h"
#include "text/gbk.h"
#include "text/win32/wide_text.h"
#include "uninstall/uninstaller_program.h"
#include "wizard/win32/wizard_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    zsetup::SearchSystem32Only();
    zsetup::ComApartment com;
    zsetup::Win32Platform platform;
    const std::string line = zsetup::WideToGbk(GetCommandLineW());
    const std::string folder = zsetup::FolderOf(platform.processes.CurrentProgram());
    return zsetup::RunGuarded(platform, zsetup::InstalledMakerLines(platform.files, folder).caption, [&] {
        return zsetup::RunUninstaller(line, platform.seam, [&](zsetup::TUninstallForm& uninstaller) {
            zsetup::WizardWindow window(platform, uninstaller.form());
            uninstaller.Start();
            if (!uninstaller.form().terminated()) window.AttachShadow(uninstaller.form());
            window.Run();
        });
    });
}
