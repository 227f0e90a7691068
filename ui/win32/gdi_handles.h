// Owners of windows and GDI objects: each is released when it goes out of scope.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace zsetup::ui {

struct WindowDestroyer {
    void operator()(HWND w) const { DestroyWindow(w); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ o) const { DeleteObject(o); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniquePen = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;
// A region handed to SetWindowRgn belongs to the system once the call succeeds.
using UniqueRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;

// Selects an object into a DC and puts the previous one back, so the object
// can be deleted after this goes out of scope (declare it after the owner).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace zsetup::ui
