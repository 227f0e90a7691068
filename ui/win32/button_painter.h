// Draws a skinned push or image button in the look its state asks for.
#pragma once

#include <windows.h>

#include <string>

#include "base/win32/wide_string.h"
#include "ui/button_look.h"

namespace zsetup::ui {

struct ButtonFace {
    RECT bounds;
    COLORREF background;  // the parent's colour, seen round the corners
    WideString text;      // push buttons
    HFONT font;
    bool folder_glyph;  // image buttons: a folder instead of the text
};

void PaintButton(HDC dc, const ButtonFace& face, const ButtonLook& look);

}  // namespace zsetup::ui
