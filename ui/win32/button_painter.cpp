#include "ui/win32/button_painter.h"

#include <iterator>
#include <stdexcept>

#include "ui/win32/gdi_handles.h"

namespace zsetup::ui {

namespace {

constexpr int kCorner = 6;  // the rounded corners' ellipse size
constexpr int kFocusInset = 3;

UniqueBrush Brush(COLORREF colour) {
    UniqueBrush brush(CreateSolidBrush(colour));
    if (!brush) throw std::runtime_error("cannot create a brush");
    return brush;
}

UniquePen Pen(COLORREF colour) {
    UniquePen pen(CreatePen(PS_SOLID, 1, colour));
    if (!pen) throw std::runtime_error("cannot create a pen");
    return pen;
}

// A 16 x 12 folder centred in r: a tab on the left of its top edge.
void DrawFolder(HDC dc, const RECT& r, const ButtonLook& look) {
    const int x = (r.left + r.right - 16) / 2, y = (r.top + r.bottom - 12) / 2;
    const POINT outline[] = {{x, y}, {x + 6, y}, {x + 8, y + 2}, {x + 15, y + 2}, {x + 15, y + 11}, {x, y + 11}};
    const UniquePen pen = Pen(look.text);
    const UniqueBrush fill = Brush(look.glyph);
    const SelectedObject with_pen(dc, pen.get()), with_brush(dc, fill.get());
    Polygon(dc, outline, static_cast<int>(std::size(outline)));
    MoveToEx(dc, x, y + 4, nullptr);  // the front flap
    LineTo(dc, x + 16, y + 4);
}

}  // namespace

void PaintButton(HDC dc, const ButtonFace& f, const ButtonLook& look) {
    const UniqueBrush background = Brush(f.background);
    FillRect(dc, &f.bounds, background.get());
    {
        const UniquePen border = Pen(look.border);
        const UniqueBrush face = Brush(look.face);
        const SelectedObject with_pen(dc, border.get()), with_brush(dc, face.get());
        RoundRect(dc, f.bounds.left, f.bounds.top, f.bounds.right, f.bounds.bottom, kCorner, kCorner);
    }
    RECT content = f.bounds;
    OffsetRect(&content, look.shift, look.shift);
    if (f.folder_glyph) {
        DrawFolder(dc, content, look);
    } else {
        const SelectedObject with_font(dc, f.font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, look.text);
        DrawTextW(dc, f.text.c_str(), static_cast<int>(f.text.size()), &content,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (look.focus_rect) {
        RECT focus = f.bounds;
        InflateRect(&focus, -kFocusInset, -kFocusInset);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace zsetup::ui
