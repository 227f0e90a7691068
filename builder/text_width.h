// How wide a GBK text is in the wizard's font, 微软雅黑 (Microsoft YaHei) at
// 12 px, laid out as GDI lays it out: each character advances a whole number
// of pixels. A width table, not a measurement: every double-byte character
// counts as full width, 12 px (the font's CJK characters and full-width forms
// are one em wide; for the few narrower ones, Greek and Cyrillic letters, it
// is an upper bound); each ASCII character has the font's advance width (its
// Latin glyphs, in thousandths of an em) rounded to pixels at 12 px.
#pragma once

#include <cstddef>
#include <string_view>

namespace zsetup {

inline constexpr int kWizardFontPx = 12;
// One line of a wrapping label: the font's ascent and descent at 12 px (13 + 3).
inline constexpr int kWizardLinePx = 16;

// The advance of the character starting at byte i.
int CharWidthPx(std::string_view gbk, std::size_t i);
int TextWidthPx(std::string_view gbk);

// Bytes of the longest start of the text, in whole characters, that is no
// wider than px: where a label's right edge cuts it, never inside a character.
std::size_t FittingBytes(std::string_view gbk, int px);

// Lines a word-wrapping label of that width needs: line breaks start a new
// line; a line breaks at a blank or next to a double-byte character, and a
// word wider than the whole line is broken between its characters.
int WrappedLines(std::string_view gbk, int width_px);

}  // namespace zsetup
