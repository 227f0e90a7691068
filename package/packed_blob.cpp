#include "package/packed_blob.h"

#include <zlib.h>

#include <limits>
#include <new>
#include <string>

#include "base/little_endian.h"
#include "package/errors.h"

namespace zsetup {

namespace {

// Release the inflater on every path.
class Inflater {
public:
    Inflater() {
        if (inflateInit(&z_) != Z_OK) throw CorruptBlobError("Cannot start the zlib inflater");
    }
    ~Inflater() { inflateEnd(&z_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    z_stream& z() { return z_; }

private:
    z_stream z_{};
};

constexpr std::size_t kInputChunk = 65536;

}  // namespace

std::vector<std::uint8_t> UnpackBlob(const std::uint8_t* blob, std::size_t size) {
    if (size < kBlobHeaderSize) throw StreamReadError();
    const std::uint32_t n = ReadLe32(blob);
    std::vector<std::uint8_t> out(n);
    if (n == 0) return out;

    Inflater inflater;
    z_stream& z = inflater.z();
    const std::uint8_t* in = blob + kBlobHeaderSize;
    std::size_t in_left = size - kBlobHeaderSize;
    z.next_out = out.data();
    z.avail_out = n;
    while (z.avail_out > 0) {
        if (z.avail_in == 0) {
            if (in_left == 0) throw StreamReadError();
            std::size_t chunk = in_left < kInputChunk ? in_left : kInputChunk;
            z.next_in = const_cast<Bytef*>(in);
            z.avail_in = static_cast<uInt>(chunk);
            in += chunk;
            in_left -= chunk;
        }
        int rc = inflate(&z, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) break;
        if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR)
            throw CorruptBlobError(std::string("Packed data is corrupt (zlib: ") + (z.msg ? z.msg : "invalid stream") +
                                   ")");
        if (rc == Z_MEM_ERROR) throw std::bad_alloc();
    }
    if (z.avail_out > 0) throw StreamReadError();
    return out;
}

void DecompressBlob(std::vector<std::uint8_t>& stream) {
    std::vector<std::uint8_t> unpacked = UnpackBlob(stream.data(), stream.size());
    stream.swap(unpacked);
}

std::vector<std::uint8_t> PackBlob(const std::uint8_t* data, std::size_t size) {
    BlobPacker packer(size);
    packer.Add(data, size);
    return packer.Finish();
}

// The deflater, ended on every path.
struct BlobPacker::Stream {
    Stream() {
        if (deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK) throw PackageError("Cannot start the zlib deflater");
    }
    ~Stream() { deflateEnd(&z); }
    z_stream z{};
};

BlobPacker::BlobPacker(std::uint64_t unpacked_length) : length_(unpacked_length) {
    if (length_ > std::numeric_limits<std::uint32_t>::max()) throw PackageError("A packed blob holds at most 4 GiB");
    z_ = std::make_unique<Stream>();
    out_.reserve(kBlobHeaderSize + deflateBound(&z_->z, static_cast<uLong>(length_)));
    const auto n = static_cast<std::uint32_t>(length_);
    AppendLe32(out_, n);
}

BlobPacker::~BlobPacker() = default;

void BlobPacker::Deflate(int flush) {
    std::uint8_t chunk[kInputChunk];
    z_stream& z = z_->z;
    int rc;
    do {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR) throw PackageError("zlib could not pack the data");
        out_.insert(out_.end(), chunk, chunk + (sizeof chunk - z.avail_out));
    } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
}

void BlobPacker::Add(const std::uint8_t* data, std::size_t size) {
    if (size > length_ - added_) throw PackageError("More bytes to pack than announced");
    added_ += size;
    z_stream& z = z_->z;
    while (size > 0) {
        const std::size_t piece = size < kInputChunk ? size : kInputChunk;
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = static_cast<uInt>(piece);
        Deflate(Z_NO_FLUSH);
        data += piece;
        size -= piece;
    }
}

std::vector<std::uint8_t> BlobPacker::Finish() {
    if (added_ != length_) throw PackageError("Fewer bytes to pack than announced");
    z_->z.avail_in = 0;
    Deflate(Z_FINISH);
    return std::move(out_);
}

}  // namespace zsetup
