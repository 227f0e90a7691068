#include "package/payload_stream.h"

#include <algorithm>
#include <string>

#include "package/errors.h"
#include "package/payload_pack.h"

namespace zsetup {
namespace {

constexpr std::size_t kChunk = 1 << 20;

}  // namespace

PayloadStream::PayloadStream(const std::uint8_t* blob, std::size_t size) : blob_(blob), blob_size_(size) {
    BlobInflater check(blob_, blob_size_);
    if (check.unpacked_length() > kMostPayloadBytes)
        throw PackageError("The payload announces " + std::to_string(check.unpacked_length()) +
                           " bytes, more than the record can address (" + std::to_string(kMostPayloadBytes) + ")");
    std::vector<std::uint8_t> chunk(kChunk);
    for (std::size_t got; (got = check.Read(chunk.data(), chunk.size())) != 0;) {
        sum_ += PackByteSum(chunk.data(), got);
        size_ += got;
    }
    check.Finish();
}

void PayloadStream::Restart() {
    inflater_ = std::make_unique<BlobInflater>(blob_, blob_size_);
    position_ = 0;
}

std::vector<std::uint8_t> PayloadStream::Read(const FileEntry& row) {
    if (row.Offset < 0 || row.Size < 0 ||
        static_cast<std::uint64_t>(row.Offset) + static_cast<std::uint64_t>(row.Size) > size_) {
        throw PackageError("The file \"" + row.Name.text() + "\" lies outside the payload (bytes " +
                           std::to_string(row.Offset) + " + " + std::to_string(row.Size) + " of " +
                           std::to_string(size_) + ")");
    }
    // Both buffers before the stream moves: running out of memory leaves it where it stood.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(row.Size));
    std::vector<std::uint8_t> skipped(kChunk);
    const auto offset = static_cast<std::uint64_t>(row.Offset);
    if (!inflater_ || offset < position_) Restart();
    while (position_ < offset) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(skipped.size(), offset - position_));
        const std::size_t got = inflater_->Read(skipped.data(), want);
        if (got == 0) throw PackageError("The payload ended before \"" + row.Name.text() + "\"");
        position_ += got;
    }
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t got = inflater_->Read(bytes.data() + at, bytes.size() - at);
        if (got == 0) throw PackageError("The payload ended before \"" + row.Name.text() + "\"");
        at += got;
    }
    position_ += bytes.size();
    return bytes;
}

}  // namespace zsetup
