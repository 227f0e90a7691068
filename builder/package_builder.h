// Fills a stub program with a product: the payload laid back to back in file
// table order and packed as SETUPPACK while it is read, the record with its
// offsets, sizes and checksum packed as SETUPINI, the licence as PROTOCOL,
// the maker profile as SETUPMAKER with its pictures.
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

// Throws InputError unless the stub is a Windows GUI program (not a DLL, not
// a console program), PeError when it is no program the writer can fill.
void CheckStubProgram(const std::vector<std::uint8_t>& stub);

// The filled program's bytes. Throws ManifestError for bad input (a missing
// or unreadable source, a licence without a GBK form, a payload over 2 GiB),
// InputError for a stub that is no GUI program, PeError for one it cannot fill, std::runtime_error for other failures.
// The manifest's record receives the offsets, sizes and checksum.
std::vector<std::uint8_t> BuildSetup(Manifest& manifest, const std::vector<std::uint8_t>& stub,
                                     const ProgressFn& progress);

}  // namespace zsetup
