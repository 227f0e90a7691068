// The drop shadow's pixel pipeline on a plain 32-bit BGRA image: the outline
// mask, the in-place blur and the premultiplied colour. Portable, so every
// figure of the image is checked natively; the layered-window glue only
// copies the result into a DIB section.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/bgra_image.h"

namespace zsetup {

inline constexpr int kShadowMargin = 16;
inline constexpr int kShadowBlurPasses = 3;

struct PixelRect {
    int left, top, right, bottom;  // right and bottom exclusive, as GDI's RECT
};

// Entry [c][a] is (c * a) div 255: a colour component premultiplied by alpha.
using AlphaMulTableType = std::array<std::array<std::uint8_t, 256>, 256>;
const AlphaMulTableType& AlphaMulTable();

int ClampRow(const BgraImage& image, int v);
int ClampColumn(const BgraImage& image, int v);

// Sets blue, green and red of every pixel inside the rectangle (clipped to the
// image) to the value, as FillRect with a grey brush does; alpha stays.
void FillMask(BgraImage& image, PixelRect r, std::uint8_t value);

// One pass in place, rows top to bottom, columns left to right, red, green,
// blue: the pass reads what it has already written, which shapes the result.
void BlurPass(BgraImage& image, int radius);
void BlurShadow(BgraImage& image, int passes);

// Takes each pixel's blue byte as its alpha and stores the colour (0x00BBGGRR)
// premultiplied by it, as a per-pixel-alpha layered window wants.
void PremultiplyShadow(BgraImage& image, std::uint32_t colour);

// The mask of an owner without a window region: black, with the owner's
// rectangle white at (16, 16); then blurred.
BgraImage BuildRectShadowMask(int owner_width, int owner_height);

}  // namespace zsetup
