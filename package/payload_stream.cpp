#include "package/payload_stream.h"

#include <algorithm>
#include <string>

#include "package/errors.h"
#include "package/payload_sum.h"

namespace zsetup {
namespace {

constexpr std::size_t kChunk = 1 << 20;

// Passes the bytes on and adds them to a digest on their way.
class DigestingSource final : public ByteSource {
public:
    DigestingSource(ByteSource& in, Sha256& digest) : in_(in), digest_(digest) {}
    std::uint64_t size() const override { return in_.size(); }
    void Rewind() override { in_.Rewind(); }
    std::size_t Next(const std::uint8_t** bytes, std::size_t most) override {
        const std::size_t got = in_.Next(bytes, most);
        digest_.Add(*bytes, got);
        return got;
    }

private:
    ByteSource& in_;
    Sha256& digest_;
};

}  // namespace

PayloadStream::PayloadStream(std::unique_ptr<ByteSource> blob, const Sha256Digest* expected) : blob_(std::move(blob)) {
    Sha256 digest;
    DigestingSource digesting(*blob_, digest);
    ByteSource& source = expected ? digesting : *blob_;
    BlobInflater check(source);
    if (check.unpacked_length() > kMostPayloadBytes)
        throw PackageError("The payload announces " + std::to_string(check.unpacked_length()) +
                           " bytes, more than the record can address (" + std::to_string(kMostPayloadBytes) + ")");
    std::vector<std::uint8_t> chunk(kChunk);
    for (std::size_t got; (got = check.Read(chunk.data(), chunk.size())) != 0;) {
        sum_ += PackByteSum(chunk.data(), got);
        size_ += got;
    }
    check.Finish();
    if (!expected) return;
    // Bytes after the stream count too: the digest is of all the packed bytes.
    const std::uint8_t* rest = nullptr;
    while (source.Next(&rest, kChunk) != 0) {
    }
    digest_matches_ = digest.Finish() == *expected;
}

void PayloadStream::Restart() {
    inflater_.reset();  // one inflater at a time on the source
    inflater_ = std::make_unique<BlobInflater>(*blob_);
    position_ = 0;
}

void PayloadStream::Open(const FileEntry& row) {
    if (row.Offset < 0 || row.Size < 0 ||
        static_cast<std::uint64_t>(row.Offset) + static_cast<std::uint64_t>(row.Size) > size_) {
        throw PackageError("The file \"" + row.Name.text() + "\" lies outside the payload (bytes " +
                           std::to_string(row.Offset) + " + " + std::to_string(row.Size) + " of " +
                           std::to_string(size_) + ")");
    }
    row_name_ = row.Name.text();
    row_left_ = 0;
    const auto offset = static_cast<std::uint64_t>(row.Offset);
    if (!inflater_ || offset < position_) Restart();
    std::vector<std::uint8_t> skipped(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, offset - position_)));
    while (position_ < offset) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(skipped.size(), offset - position_));
        const std::size_t got = inflater_->Read(skipped.data(), want);
        if (got == 0) throw PackageError("The payload ended before \"" + row_name_ + "\"");
        position_ += got;
    }
    row_left_ = static_cast<std::uint64_t>(row.Size);
}

std::size_t PayloadStream::Read(std::uint8_t* out, std::size_t capacity) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(capacity, row_left_));
    if (want == 0) return 0;
    const std::size_t got = inflater_->Read(out, want);
    if (got == 0) throw PackageError("The payload ended before \"" + row_name_ + "\" did");
    position_ += got;
    row_left_ -= got;
    return got;
}

}  // namespace zsetup
