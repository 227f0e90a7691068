// The record as its SETUPINI blob carries it (and as "Z_nt.cx" keeps it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "package/setup_config.h"

namespace zsetup {

struct UnpackedConfig {
    std::unique_ptr<SetupConfig> record;  // the first 207160 bytes over a zero record
    std::uint32_t unpacked_length = 0;    // the blob's N
};

// Unpacks the record, checking the blob's stream to its end; a blob that
// announces more than a record keeps only the record's bytes in memory.
// Throws what BlobInflater throws.
UnpackedConfig UnpackConfig(const std::uint8_t* blob, std::size_t size);

// Unpacked as above; throws PackageError "SOURCE: why". Not validated.
std::unique_ptr<SetupConfig> UnpackNamedConfig(const std::uint8_t* blob, std::size_t size, const std::string& source);

// A record a program can act on: unpacked as above and validated (without
// knowing the payload) together with the file rows past its 256, if any
// (extra_files.h). Throws PackageError: "SOURCE: why" when it does not
// unpack, the problems (at most `most` lines) when it fails validation.
std::unique_ptr<SetupConfig> UnpackSoundConfig(const std::uint8_t* blob, std::size_t size, const std::string& source,
                                               std::size_t most, const std::vector<FileEntry>& extra_files);

}  // namespace zsetup
