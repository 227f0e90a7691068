// Pictures: JPEG bytes decoded with libjpeg into BGRA pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bgra_image.h"

namespace zsetup {

// The decoded picture, opaque; an empty image (0 x 0) when the bytes are not
// a JPEG libjpeg can decode, so a bad picture shows nothing and hurts nothing.
BgraImage DecodeJpeg(const std::vector<std::uint8_t>& bytes);

}  // namespace zsetup
