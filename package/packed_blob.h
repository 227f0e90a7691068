// PackedBlob: a 4-byte little-endian unpacked length N followed by a zlib
// stream. Both embedded resources (SETUPINI, SETUPPACK) use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/byte_source.h"

namespace zsetup {

inline constexpr std::size_t kBlobHeaderSize = 4;
// Deflate turns no input byte into more than 1032 output bytes.
inline constexpr std::uint64_t kMostDeflateRatio = 1032;

// Reads a blob's N unpacked bytes in pieces, and checks its zlib stream to
// the end: a blob is sound only when the stream ends with its Adler-32 right.
// Output beyond N and bytes after the stream are ignored. Throws
// StreamReadError when the length is cut short or fewer than N bytes come
// out (also when N is more than its packed bytes could give: found before
// anything is allocated), CorruptBlobError when the stream is damaged or does
// not end.
class BlobInflater {
public:
    BlobInflater(const std::uint8_t* blob, std::size_t size);
    // Reads the blob from the source's first byte on (rewinding it), a piece
    // at a time; the source must outlive the inflater.
    explicit BlobInflater(ByteSource& blob);
    ~BlobInflater();
    BlobInflater(const BlobInflater&) = delete;
    BlobInflater& operator=(const BlobInflater&) = delete;

    std::uint32_t unpacked_length() const { return length_; }
    // The next up to `capacity` of the N bytes; 0 once all N came out.
    std::size_t Read(std::uint8_t* out, std::size_t capacity);
    // Reads what is left of the N bytes and the rest of the stream, throwing
    // unless the stream ends soundly.
    void Finish();

private:
    void Start();
    void Refill();
    int Inflate();
    bool InputLeft() const;

    struct Stream;
    std::unique_ptr<MemorySource> own_;  // for a blob given in memory
    ByteSource& in_;
    std::uint64_t in_left_;
    std::unique_ptr<Stream> z_;
    std::uint32_t length_;
    std::uint32_t delivered_ = 0;
};

// All N bytes, the whole stream checked. A blob announcing more than `most`
// bytes is refused (PackageError) before anything is allocated for it.
std::vector<std::uint8_t> UnpackBlob(const std::uint8_t* blob, std::size_t size, std::uint32_t most = UINT32_MAX);

// zlib at level 9 (header 0x78 0xDA) behind the 4-byte length; the same
// bytes BlobPacker writes.
std::vector<std::uint8_t> PackBlob(const std::uint8_t* data, std::size_t size);

// Where packed bytes go, in order, as they are made.
using PackedSink = std::function<void(const std::uint8_t* data, std::size_t size)>;

// The packer deflates its input in blocks of this many bytes, each primed
// with the 32 KiB before it, so blocks can be packed on any number of cores
// and still form one zlib stream. Fixed by size, never by the thread count:
// the same input gives the same bytes on any machine.
inline constexpr std::size_t kPackBlockSize = std::size_t{1} << 20;

// Packs a blob whose length is known in advance from pieces fed in order, on
// `threads` threads (0: one per core), handing the packed bytes to the sink
// as they come; at most a few blocks per thread are held at once. The sink
// is only called from the thread that calls Add and Finish.
class BlobPacker {
public:
    BlobPacker(std::uint64_t unpacked_length, PackedSink sink, unsigned threads = 1);
    ~BlobPacker();
    BlobPacker(const BlobPacker&) = delete;
    BlobPacker& operator=(const BlobPacker&) = delete;

    void Add(const std::uint8_t* data, std::size_t size);
    std::uint64_t added() const { return added_; }
    // Throws PackageError unless exactly the announced length was added.
    void Finish();

private:
    struct Block;
    struct Packed;
    class Workers;

    void Submit(bool last);
    void Write(const Packed& packed);

    std::uint64_t length_;
    std::uint64_t added_ = 0;
    PackedSink sink_;
    std::unique_ptr<Workers> workers_;  // none when packing on the caller's thread
    std::vector<std::uint8_t> window_;  // the last 32 KiB of the previous block
    std::vector<std::uint8_t> block_;
    std::size_t next_index_ = 0;  // blocks handed to the workers
    std::size_t written_ = 0;     // blocks given to the sink
    std::uint32_t adler_ = 1;
    bool finished_ = false;
};
}  // namespace zsetup
