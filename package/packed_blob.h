// PackedBlob: a 4-byte little-endian unpacked length N followed by a zlib
// stream. Both embedded resources (SETUPINI, SETUPPACK) use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zsetup {

inline constexpr std::size_t kBlobHeaderSize = 4;

// Inflates exactly the announced N bytes straight into the result. Output
// beyond N and bytes after the stream are ignored. Throws StreamReadError when
// fewer than N bytes come out (or the length itself is short), CorruptBlobError
// when the zlib stream is damaged.
std::vector<std::uint8_t> UnpackBlob(const std::uint8_t* blob, std::size_t size);

// Replaces the stream's content with its unpacked bytes; on failure the
// stream keeps its content. Peak memory: the packed bytes plus the result.
void DecompressBlob(std::vector<std::uint8_t>& stream);

// zlib at level 9 (header 0x78 0xDA) behind the 4-byte length.
std::vector<std::uint8_t> PackBlob(const std::uint8_t* data, std::size_t size);

}  // namespace zsetup
