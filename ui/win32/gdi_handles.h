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
// A region handed to SetWindowRgn belongs to the system once the call succeeds.
using UniqueRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;

}  // namespace zsetup::ui
