// What the screen shows of a window, read back through GDI (no compositor
// under Xvfb, so the pixels are exactly what was drawn), and saved as a BMP
// to look at.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zsetup::ui {

struct Screenshot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
    bool Contains(std::uint32_t rgb) const;
};

Screenshot Capture(HWND window);
void SaveBmp(const Screenshot& shot, const std::string& path);
// A COLORREF (0x00BBGGRR) as a screenshot pixel.
std::uint32_t PixelOf(COLORREF colour);

}  // namespace zsetup::ui
