// What the view answers a screen reader's WM_GETOBJECT with for each control:
// an IAccessible naming the control by its text, giving its role (push
// button, check box, link, static text, editable text, progress bar, graphic,
// separator) and its state (focused, focusable, checked, unavailable,
// invisible, read-only, linked), a progress bar's value as "NN%", and its
// default action. Skinned controls are drawn by the view, so the system's
// proxies would call a link static text and know nothing of our roles; and
// Wine has no proxies at all. The object holds the window only and asks it
// for everything, so a client that keeps it past the window gets errors,
// never freed memory.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include "base/win32/system_dlls.h"
#include "ui/widget.h"

namespace zsetup::ui {

// oleacc and oleaut32, from System32 when a client first asks: neither is
// imported, so no planted copy beside the program is ever loaded.
class AccessibilityDlls {
public:
    // The LRESULT answering WM_GETOBJECT for the control's client area; 0
    // (the system's answer) when the DLLs cannot be loaded. An edit or text
    // box is named by its label's window, when it has one.
    LRESULT Answer(HWND control, Kind kind, HWND label, WPARAM wparam);

private:
    bool Load();
    bool tried_ = false;
    UniqueModule oleacc_, oleaut32_;
    LRESULT(WINAPI* lresult_from_object_)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
    BSTR(WINAPI* sys_alloc_string_)(const OLECHAR*) = nullptr;
};

}  // namespace zsetup::ui
