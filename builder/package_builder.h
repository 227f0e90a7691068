// Fills a stub program with a product: the payload laid back to back in file
// table order and packed as SETUPPACK while it is read, the record with its
// offsets, sizes and checksum packed as SETUPINI, the rows past its 256 as
// SETUPFILES, the licence as PROTOCOL, the version information made from
// the record's texts (RT_VERSION), and the maker profile as SETUPMAKER with
// its pictures and icon.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "builder/manifest.h"
#include "pe/resource_writer.h"

namespace zsetup {

struct PackProgress {
    std::size_t files_done, files_total;
    std::uint64_t bytes_done, bytes_total;
};
using ProgressFn = std::function<void(const PackProgress&)>;

// Throws InputError unless the stub is a Windows GUI program (not a DLL, not
// a console program) of the kind the manifest's build makes, PeError when it
// is no program the writer can fill.
void CheckStubProgram(const std::vector<std::uint8_t>& stub, const Manifest& manifest);

// The built-in uninstaller goes into the installer as it is: one of the other
// kind would install, and then fail the user who removes the product. Throws
// ManifestError naming what it is and what the build needs.
void CheckUninstallerKind(const Manifest& manifest);

// The filled program's bytes. Throws ManifestError for bad input (a missing
// or unreadable source, a built-in uninstaller that is no program of the
// build's kind, a payload over 2 GiB),
// InputError for a stub that is no GUI program of the build's kind, PeError
// for one it cannot fill, std::runtime_error for other failures.
// The manifest's record receives the offsets, sizes and checksum.
std::vector<std::uint8_t> BuildSetup(Manifest& manifest, const std::vector<std::uint8_t>& stub,
                                     const ProgressFn& progress);

// The same bytes written to `out` as they are made: the sources are read once
// for their checksum and once more to be packed on `threads` threads (0: one
// per core) straight into the output, so neither the payload nor its packed
// form is held. Nothing is written before the input has been checked.
void BuildSetup(Manifest& manifest, const std::vector<std::uint8_t>& stub, const ProgressFn& progress, ByteSink& out,
                unsigned threads);

}  // namespace zsetup
