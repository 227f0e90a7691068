#include "ui/win32/common_controls.h"

#include "base/win32/win32_error.h"

namespace zsetup::ui {

CommonControls::CommonControls() : module_(LoadSystemDll(L"comctl32.dll")) {
    if (!module_) throw Win32Error("cannot load the common controls (comctl32.dll)");
    HMODULE m = module_.get();
    const auto init = ModuleFunction<decltype(&::InitCommonControlsEx)>(m, "InitCommonControlsEx");
    set_subclass_ = ModuleFunction<decltype(set_subclass_)>(m, "SetWindowSubclass");
    remove_subclass_ = ModuleFunction<decltype(remove_subclass_)>(m, "RemoveWindowSubclass");
    def_subclass_proc_ = ModuleFunction<decltype(def_subclass_proc_)>(m, "DefSubclassProc");
    if (!init || !set_subclass_ || !remove_subclass_ || !def_subclass_proc_)
        throw Win32Error("comctl32.dll lacks a function the wizard uses");
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    if (!init(&icc)) throw Win32Error("cannot register the progress bar class");
}

}  // namespace zsetup::ui
