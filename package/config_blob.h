// The record as its SETUPINI blob carries it (and as "Z_nt.cx" keeps it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

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

}  // namespace zsetup
