// Finding windows from a test or a driver program: every descendant of a
// window, the top-level windows, a control by its ID, a visible dialog box
// (class #32770: message boxes, the close confirmation, the folder picker),
// and a window's text.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zsetup::testing {

std::vector<HWND> ChildWindows(HWND parent);  // at any depth
std::vector<HWND> TopLevelWindows();

// The first descendant with that control ID, or null.
HWND FindChildById(HWND parent, int id);

// The first visible top-level #32770 window that the filter accepts (all
// when there is none), or null.
HWND FindVisibleDialog(const std::function<bool(HWND)>& accept = nullptr);
bool OfThisProcess(HWND window);

// WM_GETTEXT rather than GetWindowText: across processes GetWindowText gives
// an edit's stored title only.
std::wstring WindowText(HWND window);

}  // namespace zsetup::testing
