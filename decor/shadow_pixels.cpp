#include "decor/shadow_pixels.h"

#include <memory>

namespace zsetup {

const AlphaMulTableType& AlphaMulTable() {
    // Made on first use, on the heap: as a table in the program file it
    // would add 64 KiB to every installer.
    static const std::unique_ptr<const AlphaMulTableType> table = [] {
        auto t = std::make_unique<AlphaMulTableType>();
        for (int c = 0; c < 256; ++c)
            for (int a = 0; a < 256; ++a) (*t)[c][a] = static_cast<std::uint8_t>(c * a / 255);
        return t;
    }();
    return *table;
}

int ClampRow(const BgraImage& image, int v) {
    if (v < 0) return 0;
    return v < image.height() ? v : image.height() - 1;
}

int ClampColumn(const BgraImage& image, int v) {
    if (v < 0) return 0;
    return v < image.width() ? v : image.width() - 1;
}

void FillMask(BgraImage& image, PixelRect r, std::uint8_t value) {
    const int left = r.left < 0 ? 0 : r.left, top = r.top < 0 ? 0 : r.top;
    const int right = r.right > image.width() ? image.width() : r.right;
    const int bottom = r.bottom > image.height() ? image.height() : r.bottom;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            std::uint8_t* p = image.at(x, y);
            p[0] = p[1] = p[2] = value;
        }
}

void BlurPass(BgraImage& image, int radius) {
    for (int y = 0; y < image.height(); ++y) {
        const int up = ClampRow(image, y - radius), down = ClampRow(image, y + radius);
        for (int x = 0; x < image.width(); ++x) {
            const int l = ClampColumn(image, x - radius), q = ClampColumn(image, x + radius);
            std::uint8_t* out = image.at(x, y);
            // Red (byte 2) first, then green, then blue: each read sees the bytes written before it.
            for (int byte : {2, 1, 0}) {
                const int sum =
                    image.at(l, up)[byte] + image.at(q, up)[byte] + image.at(l, down)[byte] + image.at(q, down)[byte];
                out[byte] = static_cast<std::uint8_t>(sum >> 2);
            }
        }
    }
}

void BlurShadow(BgraImage& image, int passes) {
    for (int r = 1; r <= passes; ++r) BlurPass(image, r);
}

void PremultiplyShadow(BgraImage& image, std::uint32_t colour) {
    const std::uint8_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    const AlphaMulTableType& table = AlphaMulTable();
    auto& px = image.pixels();
    for (std::size_t i = 0; i < px.size(); i += 4) {
        const std::uint8_t alpha = px[i];
        px[i + 3] = alpha;
        px[i + 0] = table[blue][alpha];
        px[i + 1] = table[green][alpha];
        px[i + 2] = table[red][alpha];
    }
}

BgraImage BuildRectShadowMask(int owner_width, int owner_height) {
    BgraImage image(owner_width + 2 * kShadowMargin, owner_height + 2 * kShadowMargin);
    FillMask(image, {kShadowMargin, kShadowMargin, kShadowMargin + owner_width, kShadowMargin + owner_height}, 255);
    BlurShadow(image, kShadowBlurPasses);
    return image;
}

}  // namespace zsetup
