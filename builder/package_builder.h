// Fills a stub program with a product: the payload laid back to back in file
// table order and packed as SETUPPACK while it is read, the record with its
// offsets, sizes and checksum packed as SETUPINI, the licence as PROTOCOL.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "builder/manifest.h"

namespace zsetup {

struct PackProgress {
    std::size_t files_done, files_total;
    std::uint64_t bytes_done, bytes_total;
};
using ProgressFn = std::function<void(const PackProgress&)>;

// The filled program's bytes. Throws ManifestError for bad input (a missing
// or unreadable source, a licence without a GBK form, a payload over 2 GiB),
// PeError for a stub it cannot fill, std::runtime_error for other failures.
// The manifest's record receives the offsets, sizes and checksum.
std::vector<std::uint8_t> BuildSetup(Manifest& manifest, const std::vector<std::uint8_t>& stub,
                                     const ProgressFn& progress);

}  // namespace zsetup
