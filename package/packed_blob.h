// PackedBlob: a 4-byte little-endian unpacked length N followed by a zlib
// stream. Both embedded resources (SETUPINI, SETUPPACK) use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// Packs a blob whose length is known in advance from pieces fed in order, so
// a large payload never has to be held unpacked. Room for the packed bytes is
// reserved up front and only the pages written are ever touched.
class BlobPacker {
public:
    explicit BlobPacker(std::uint64_t unpacked_length);
    ~BlobPacker();
    BlobPacker(const BlobPacker&) = delete;
    BlobPacker& operator=(const BlobPacker&) = delete;

    void Add(const std::uint8_t* data, std::size_t size);
    std::uint64_t added() const { return added_; }
    // Throws PackageError unless exactly the announced length was added.
    std::vector<std::uint8_t> Finish();

private:
    void Deflate(int flush);

    struct Stream;
    std::unique_ptr<Stream> z_;
    std::uint64_t length_;
    std::uint64_t added_ = 0;
    std::vector<std::uint8_t> out_;
};

}  // namespace zsetup
