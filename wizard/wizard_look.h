// The look the installer and the uninstaller share: the header band's
// colour, the fonts, the places of the header texts, the bottom line and the
// button row. Faces and texts are GBK.
#pragma once

#include "ui/form_description.h"

namespace zsetup::look {

inline constexpr ui::Colour kGray = ui::Rgb(128, 128, 128);
inline constexpr ui::Colour kWhite = ui::Rgb(255, 255, 255);
inline constexpr ui::Colour kBlack = ui::Rgb(0, 0, 0);
inline constexpr ui::Colour kHeader = ui::Rgb(133, 155, 222);
inline constexpr ui::Colour kLinkHot = ui::Rgb(255, 153, 0);
inline constexpr ui::Colour kInherit = ui::kInheritColour;

// "宋体" for the form, "微软雅黑" everywhere else, 12 pixels.
const ui::Font& FormFont();
const ui::Font& Text();
const ui::Font& GrayText();
const ui::Font& HeaderTitle();
const ui::Font& HeaderText();
const ui::Font& Link();

// The window and its fixed parts.
inline constexpr ui::Rect kClientArea = {0, 0, 537, 297};
inline constexpr ui::Rect kPages = {1, 60, 526, 181};
inline constexpr ui::Rect kPage = {0, 0, 526, 181};
inline constexpr ui::Rect kHeaderBand = {0, 0, 537, 81};
inline constexpr ui::Rect kTitle = {16, 16, 300, 17};
inline constexpr ui::Rect kSubtitle = {16, 49, 440, 17};
inline constexpr ui::Rect kCredit = {420, 16, 100, 17};
inline constexpr ui::Rect kBottomLine = {133, 244, 379, 2};
inline constexpr ui::Rect kSiteLabel = {24, 236, 105, 17};
// The button row: left, middle, right.
inline constexpr ui::Rect kLeftButton = {216, 250, 91, 30};
inline constexpr ui::Rect kMiddleButton = {320, 250, 89, 30};
inline constexpr ui::Rect kRightButton = {424, 250, 91, 30};

}  // namespace zsetup::look
