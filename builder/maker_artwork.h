// The maker's artwork, checked before it goes into the stub: the pictures
// JPEG, of the size of the place they are shown in; the icon an ICO file.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "builder/maker_icon.h"
#include "builder/manifest.h"
#include "pe/resource_writer.h"

namespace zsetup {

struct PictureSize {
    int width = 0, height = 0;
};

// The size a JPEG's frame header gives, or nothing for bytes that are no
// JPEG (no start-of-image, no frame header before the data).
std::optional<PictureSize> JpegSize(const std::vector<std::uint8_t>& bytes);

// LICENCEART and FINISHART for the pictures the manifest names. Throws
// ManifestError naming the key and its line for a file that cannot be read,
// is no JPEG or has another size than its place (233 x 89, 73 x 75).
std::vector<RcDataItem> MakerPictures(const Manifest& manifest);

// The icon the manifest names, or nothing; throws ManifestError with the key
// and its line for a file that cannot be read or is no ICO file.
std::optional<IconResources> MakerIcon(const Manifest& manifest);

}  // namespace zsetup
