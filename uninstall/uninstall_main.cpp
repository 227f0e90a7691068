// The uninstaller's entry: DLLs from System32 only, COM for the user-interface
// thread, the real OS seam; the copy that removes the first program's file,
// or the uninstaller's window with the product's folder its own.
#include <windows.h>

#include "base/win32/com.h"
#include "base/win32/system_dlls.h"
#include "platform/win32/win32_platform.h"
#include "text/gbk.h"
#include "text/win32/wide_text.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_form.h"
#include "uninstall/uninstaller_command_line.h"
#include "wizard/win32/wizard_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    zsetup::SearchSystem32Only();
    zsetup::ComApartment com;
    zsetup::Win32Platform platform;
    const std::string text = zsetup::WideToGbk(GetCommandLineW());
    const zsetup::CommandLine line = zsetup::ParseCommandLine(text, zsetup::UninstallerOptions());
    if (const auto ended = zsetup::AnswerUninstallerLine(text, line, platform.dialogs)) return *ended;
    if (line.Has("/CLEANUP=")) {
        const auto first = zsetup::ProcessIdOf(line.Value("/CLEANUP="));
        if (!first || !line.Has("/IN=")) return zsetup::kUninstallIncomplete;
        zsetup::FinishSelfRemoval(platform.seam, *first, line.Value("/IN="));
        return zsetup::kUninstallComplete;
    }
    return zsetup::RunGuarded(platform, [&] {
        const std::string folder = zsetup::FolderOf(platform.processes.CurrentProgram());
        zsetup::TUninstallForm uninstaller(platform.seam, folder);
        if (line.Has("/S")) {
            const int code = uninstaller.RunSilently();
            if (uninstaller.removed()) zsetup::HandOverSelfRemoval(platform.seam);
            return code;
        }
        zsetup::WizardWindow window(platform, uninstaller.form());
        uninstaller.Start();
        if (!uninstaller.form().terminated()) window.AttachShadow(uninstaller.form());
        window.Run();
        if (uninstaller.removed()) zsetup::HandOverSelfRemoval(platform.seam);
        return uninstaller.exit_code();
    });
}
