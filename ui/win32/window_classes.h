// The window classes the view registers: the hidden application window, the
// form and the containers (panel, page control, page). Each window hands its
// messages to the MessageTarget given as the creation parameter.
#pragma once

#include <windows.h>

namespace zsetup::ui {

inline constexpr wchar_t kApplicationClass[] = L"ZsetupApplication";
inline constexpr wchar_t kFormClass[] = L"ZsetupForm";
inline constexpr wchar_t kContainerClass[] = L"ZsetupContainer";

class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual LRESULT HandleMessage(HWND window, UINT id, WPARAM wparam, LPARAM lparam) = 0;
};

// Registers a class of this module; one already registered is kept. Throws
// std::runtime_error on failure.
void RegisterWindowClass(const wchar_t* name, UINT style, WNDPROC proc, HBRUSH background);

// Registers the view's classes; throws std::runtime_error on failure.
void RegisterWindowClasses();

}  // namespace zsetup::ui
