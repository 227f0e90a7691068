#include "ui/win32/window_classes.h"

#include "base/win32/win32_error.h"

namespace zsetup::ui {

namespace {

LRESULT CALLBACK DispatchToTarget(HWND window, UINT id, WPARAM wparam, LPARAM lparam) {
    if (id == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no target yet.
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!target) return DefWindowProcW(window, id, wparam, lparam);
    return target->HandleMessage(window, id, wparam, lparam);
}

}  // namespace

void RegisterWindowClass(const wchar_t* name, UINT style, WNDPROC proc, HBRUSH background) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Win32Error("cannot register the window class");
}

void RegisterWindowClasses() {
    // No background brush: the view paints it on WM_ERASEBKGND in the widget's colour.
    RegisterWindowClass(kApplicationClass, 0, DispatchToTarget, nullptr);
    RegisterWindowClass(kFormClass, CS_DBLCLKS, DispatchToTarget, nullptr);
    RegisterWindowClass(kContainerClass, CS_DBLCLKS, DispatchToTarget, nullptr);
}

}  // namespace zsetup::ui
