#include "tests/ui/screen_capture.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <type_traits>

#include "ui/win32/gdi_handles.h"

namespace zsetup::ui {

namespace {
struct ScreenDcReleaser {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcReleaser>;
}  // namespace

bool Screenshot::Contains(std::uint32_t rgb) const {
    return std::any_of(pixels.begin(), pixels.end(), [rgb](std::uint32_t p) { return (p & 0xFFFFFF) == rgb; });
}

Screenshot Capture(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    Screenshot shot;
    shot.width = r.right - r.left;
    shot.height = r.bottom - r.top;
    ScreenDc screen(GetDC(nullptr));
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), shot.width, shot.height));
    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, shot.width, shot.height, screen.get(), r.left, r.top, SRCCOPY);
    SelectObject(memory.get(), old);
    BITMAPINFO info = TopDownBgraInfo(shot.width, shot.height);
    shot.pixels.resize(static_cast<std::size_t>(shot.width) * shot.height);
    GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(shot.height), shot.pixels.data(), &info, DIB_RGB_COLORS);
    return shot;
}

void SaveBmp(const Screenshot& shot, const std::string& path) {
    const BITMAPINFOHEADER info = TopDownBgraInfo(shot.width, shot.height).bmiHeader;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + shot.pixels.size() * 4);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(shot.pixels.data()), static_cast<std::streamsize>(shot.pixels.size() * 4));
}

std::uint32_t PixelOf(COLORREF colour) {
    return static_cast<std::uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

}  // namespace zsetup::ui
