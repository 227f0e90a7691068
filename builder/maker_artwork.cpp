#include "builder/maker_artwork.h"

#include <stdexcept>
#include <string>

#include "builder/file_io.h"
#include "package/setup_map.h"

namespace zsetup {
namespace {

struct Place {
    const char* resource;
    PictureSize size;  // the picture control's, in TMAINFORM
};
constexpr Place kLicencePlace = {kLicenceArtResource, {233, 89}};
constexpr Place kFinishPlace = {kFinishArtResource, {73, 75}};

std::string Where(const Manifest& m, const MakerArt& art) {
    return ManifestPlace(m.file.u8string(), art.line) + art.key + ": ";
}

std::vector<std::uint8_t> ReadArt(const Manifest& m, const MakerArt& art) {
    try {
        return ReadWholeFile(art.path);
    } catch (const std::runtime_error& e) {
        throw ManifestError(Where(m, art) + e.what());
    }
}

RcDataItem Picture(const Manifest& m, const MakerArt& art, const Place& place) {
    std::vector<std::uint8_t> bytes = ReadArt(m, art);
    const auto size = JpegSize(bytes);
    if (!size) throw ManifestError(Where(m, art) + "\"" + art.path.u8string() + "\" is not a JPEG picture");
    if (size->width != place.size.width || size->height != place.size.height)
        throw ManifestError(Where(m, art) + "the picture is " + std::to_string(size->width) + " x " +
                            std::to_string(size->height) + ", its place is " + std::to_string(place.size.width) +
                            " x " + std::to_string(place.size.height));
    return {place.resource, std::move(bytes)};
}

}  // namespace

std::optional<PictureSize> JpegSize(const std::vector<std::uint8_t>& b) {
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return std::nullopt;
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) return std::nullopt;
        const std::uint8_t marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const std::size_t length = (b[at + 2] << 8) | b[at + 3];
        if (length < 2 || at + 2 + length > b.size()) return std::nullopt;
        // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7) return std::nullopt;
            return PictureSize{(b[at + 7] << 8) | b[at + 8], (b[at + 5] << 8) | b[at + 6]};
        }
        if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // data or the end before any frame
        at += 2 + length;
    }
    return std::nullopt;
}

std::vector<RcDataItem> MakerPictures(const Manifest& m) {
    std::vector<RcDataItem> items;
    if (m.maker.licence_picture) items.push_back(Picture(m, *m.maker.licence_picture, kLicencePlace));
    if (m.maker.finish_picture) items.push_back(Picture(m, *m.maker.finish_picture, kFinishPlace));
    return items;
}

std::optional<IconResources> MakerIcon(const Manifest& m) {
    if (!m.maker.icon) return std::nullopt;
    const MakerArt& art = *m.maker.icon;
    try {
        return ReadIconFile(ReadArt(m, art));
    } catch (const std::invalid_argument& e) {
        throw ManifestError(Where(m, art) + "\"" + art.path.u8string() + "\": " + e.what());
    }
}

}  // namespace zsetup
