#include "ui/win32/window_classes.h"

#include <stdexcept>
#include <string>

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

void Register(const wchar_t* name, UINT style) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = DispatchToTarget;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    // The background is painted on WM_ERASEBKGND in the widget's colour.
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("cannot register the window class, error " + std::to_string(GetLastError()));
}

}  // namespace

void RegisterWindowClasses() {
    Register(kApplicationClass, 0);
    Register(kFormClass, CS_DBLCLKS);
    Register(kContainerClass, CS_DBLCLKS);
}

}  // namespace zsetup::ui
