#include "ui/button_look.h"

namespace zsetup::ui {

namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kDarkText = Rgb(51, 51, 51);
// A quarter of the theme colour over white: visibly related, still light.
constexpr Colour kHotFace = Rgb(225, 230, 247);
constexpr Colour kDisabledFace = Rgb(240, 240, 240);
constexpr Colour kDisabledBorder = Rgb(192, 192, 192);
constexpr Colour kDisabledText = Rgb(160, 160, 160);

}  // namespace

ButtonLook LookFor(const ButtonState& s) {
    if (!s.enabled) return {kDisabledFace, kDisabledBorder, kDisabledText, kDisabledFace, 0, false};
    if (s.pressed) return {kThemeColour, kThemeColour, kWhite, kWhite, 1, s.focused};
    return {s.hot ? kHotFace : kWhite, kThemeColour, kDarkText, kThemeColour, 0, s.focused};
}

}  // namespace zsetup::ui
