#include "tests/support/window_finder.h"

namespace zsetup::testing {
namespace {

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

bool IsVisibleDialog(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return IsWindowVisible(window) && std::wstring(name) == L"#32770";
}

}  // namespace

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindChildById(HWND parent, int id) {
    for (HWND window : ChildWindows(parent))
        if (GetDlgCtrlID(window) == id) return window;
    return nullptr;
}

HWND FindVisibleDialog(const std::function<bool(HWND)>& accept) {
    for (HWND window : TopLevelWindows())
        if (IsVisibleDialog(window) && (!accept || accept(window))) return window;
    return nullptr;
}

bool OfThisProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid == GetCurrentProcessId();
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

}  // namespace zsetup::testing
