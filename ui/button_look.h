// The skinned push and image buttons' theme: what each state looks like, as
// plain colours, so the choice is testable without drawing.
#pragma once

#include "ui/widget.h"

namespace zsetup::ui {

// The header band's colour that the buttons are matched to.
inline constexpr Colour kThemeColour = Rgb(133, 155, 222);

struct ButtonState {
    bool enabled = true;
    bool hot = false;      // the mouse is over it
    bool pressed = false;  // held down by mouse or Space
    bool focused = false;  // has the keyboard focus and focus cues are shown
};

struct ButtonLook {
    Colour face;
    Colour border;
    Colour text;   // also the image button's folder outline
    Colour glyph;  // the folder's fill
    int shift;     // pixels the content moves right and down
    bool focus_rect;

    bool operator==(const ButtonLook& o) const {
        return face == o.face && border == o.border && text == o.text && glyph == o.glyph && shift == o.shift &&
               focus_rect == o.focus_rect;
    }
};

// Disabled wins over everything else; pressed over hot.
ButtonLook LookFor(const ButtonState& state);

}  // namespace zsetup::ui
