#include "package/packed_blob.h"

#include <zlib.h>

#include <cstring>
#include <new>
#include <string>

#include "base/little_endian.h"
#include "package/errors.h"

namespace zsetup {

namespace {

constexpr std::size_t kInputChunk = 65536;

}  // namespace

// The inflater, ended on every path.
struct BlobInflater::Stream {
    Stream() {
        if (inflateInit(&z) != Z_OK) throw CorruptBlobError("Cannot start the zlib inflater");
    }
    ~Stream() { inflateEnd(&z); }
    z_stream z{};
};

BlobInflater::BlobInflater(const std::uint8_t* blob, std::size_t size)
    : own_(std::make_unique<MemorySource>(blob, size)), in_(*own_) {
    Start();
}

BlobInflater::BlobInflater(ByteSource& blob) : in_(blob) { Start(); }

void BlobInflater::Start() {
    in_.Rewind();
    in_left_ = in_.size();
    if (in_left_ < kBlobHeaderSize) throw StreamReadError();
    std::uint8_t header[kBlobHeaderSize];
    for (std::size_t at = 0; at < kBlobHeaderSize;) {
        const std::uint8_t* bytes = nullptr;
        const std::size_t got = in_.Next(&bytes, kBlobHeaderSize - at);
        if (got == 0) throw StreamReadError();
        std::memcpy(header + at, bytes, got);
        at += got;
    }
    length_ = ReadLe32(header);
    in_left_ -= kBlobHeaderSize;
    // Fewer than N bytes can come out of so few packed ones: refused before a
    // hostile length costs memory or time.
    if (length_ > in_left_ * kMostDeflateRatio) throw StreamReadError();
    z_ = std::make_unique<Stream>();
}

BlobInflater::~BlobInflater() = default;

void BlobInflater::Refill() {
    z_stream& z = z_->z;
    if (z.avail_in > 0 || in_left_ == 0) return;
    const std::uint8_t* bytes = nullptr;
    const std::size_t got = in_.Next(&bytes, in_left_ < kInputChunk ? static_cast<std::size_t>(in_left_) : kInputChunk);
    // A source ending before its size: what is missing is cut short.
    if (got == 0) throw StreamReadError();
    z.next_in = const_cast<Bytef*>(bytes);
    z.avail_in = static_cast<uInt>(got);
    in_left_ -= got;
}

int BlobInflater::Inflate() {
    z_stream& z = z_->z;
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_MEM_ERROR) throw std::bad_alloc();
    if (rc != Z_OK && rc != Z_BUF_ERROR && rc != Z_STREAM_END)
        throw CorruptBlobError(std::string("Packed data is corrupt (zlib: ") + (z.msg ? z.msg : "invalid stream") +
                               ")");
    return rc;
}

bool BlobInflater::InputLeft() const { return z_->z.avail_in > 0 || in_left_ > 0; }

std::size_t BlobInflater::Read(std::uint8_t* out, std::size_t capacity) {
    z_stream& z = z_->z;
    const std::uint32_t left = length_ - delivered_;
    const auto want = static_cast<uInt>(capacity < left ? capacity : left);
    z.next_out = out;
    z.avail_out = want;
    while (z.avail_out > 0) {
        Refill();
        if (!InputLeft()) throw StreamReadError();
        // The stream ending before N bytes came out: fewer than announced.
        if (Inflate() == Z_STREAM_END && z.avail_out > 0) throw StreamReadError();
    }
    delivered_ += want;
    return want;
}

void BlobInflater::Finish() {
    std::uint8_t scratch[kInputChunk];
    while (Read(scratch, sizeof scratch) > 0) {
    }
    // Past the N bytes the stream is inflated and dropped, so its end and its
    // Adler-32 are checked.
    z_stream& z = z_->z;
    for (;;) {
        z.next_out = scratch;
        z.avail_out = sizeof scratch;
        Refill();
        const bool input = InputLeft();
        const int rc = Inflate();
        if (rc == Z_STREAM_END) return;
        if (!input && z.avail_out == sizeof scratch)
            throw CorruptBlobError("Packed data is corrupt (its zlib stream is cut short)");
    }
}

std::vector<std::uint8_t> UnpackBlob(const std::uint8_t* blob, std::size_t size, std::uint32_t most) {
    BlobInflater inflater(blob, size);
    if (inflater.unpacked_length() > most)
        throw PackageError("it announces " + std::to_string(inflater.unpacked_length()) + " bytes unpacked, at most " +
                           std::to_string(most));
    std::vector<std::uint8_t> out(inflater.unpacked_length());
    std::size_t at = 0;
    while (at < out.size()) at += inflater.Read(out.data() + at, out.size() - at);
    inflater.Finish();
    return out;
}

}  // namespace zsetup
