// The common controls (comctl32) that the view uses: the progress bar class
// and window subclassing. Loaded when a view is made, not imported: comctl32
// is no KnownDLL, and an imported DLL is resolved, with whatever it loads as
// it starts, before a program's first line can keep the DLL search to
// System32. Loaded by name, so a manifest's dependency on Common Controls 6
// still takes it side by side from WinSxS.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "base/win32/system_dlls.h"

namespace zsetup::ui {

class CommonControls {
public:
    // Loads comctl32 and registers the progress bar class; throws
    // std::runtime_error when it cannot.
    CommonControls();

    BOOL SetWindowSubclass(HWND w, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) const {
        return set_subclass_(w, proc, id, data);
    }
    BOOL RemoveWindowSubclass(HWND w, SUBCLASSPROC proc, UINT_PTR id) const { return remove_subclass_(w, proc, id); }
    LRESULT DefSubclassProc(HWND w, UINT id, WPARAM wparam, LPARAM lparam) const {
        return def_subclass_proc_(w, id, wparam, lparam);
    }

private:
    // Declarations from <commctrl.h> only: nothing links against comctl32.
    UniqueModule module_;
    decltype(&::SetWindowSubclass) set_subclass_ = nullptr;
    decltype(&::RemoveWindowSubclass) remove_subclass_ = nullptr;
    decltype(&::DefSubclassProc) def_subclass_proc_ = nullptr;
};

}  // namespace zsetup::ui
