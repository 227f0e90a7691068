// A plain 32-bit image, as GDI's top-down DIB sections and libjpeg's BGRA
// output lay it out: what pictures decode into and the shadow draws on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zsetup {

// Four bytes a pixel in memory order blue, green, red, alpha; row 0 on top.
class BgraImage {
public:
    BgraImage() = default;
    BgraImage(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 4, 0) {}

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint8_t* at(int x, int y) { return &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4]; }
    const std::uint8_t* at(int x, int y) const { return &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4]; }
    std::vector<std::uint8_t>& pixels() { return pixels_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace zsetup
