// PayloadStream: the unpacked SETUPPACK read forward from its packed bytes,
// never held whole, so the installer's memory does not grow with the payload.
// The whole stream is checked once up front (to its Adler-32), its length and
// byte sum kept; the run then reads each file row's bytes as the stream gives
// them, a piece at a time. A row whose slice starts before where the stream
// stands (rows out of order, or overlapping: a record need not come from our
// builder) starts the stream again from its beginning, so any order installs
// right.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/byte_source.h"
#include "package/packed_blob.h"
#include "package/setup_config.h"
#include "package/sha256.h"

namespace zsetup {

// The SHA-256 of SETUPPACK's bytes (the packed payload), as the builder writes
// it beside them: what lets the stub read its payload from its file rather
// than from its mapped image, and know the two are the same bytes.

class PayloadStream {
public:
    // Checks the packed bytes to their end. Throws PackageError for a damaged
    // blob or one announcing more than kMostPayloadBytes (before anything of
    // that size is allocated). With `expected`, the SHA-256 of all the
    // packed bytes the source gives is compared with it (DigestMatches).
    explicit PayloadStream(std::unique_ptr<ByteSource> blob, const Sha256Digest* expected = nullptr);

    // False only when a digest was expected and the bytes have another.
    bool DigestMatches() const { return digest_matches_; }
    std::size_t size() const { return size_; }
    std::uint32_t ByteSum() const { return sum_; }
    bool MatchesChecksum(const SetupConfig& config) const {
        return sum_ == static_cast<std::uint32_t>(config.PackChecksum);
    }

    // Puts the stream at the row's first byte; throws PackageError when the
    // row's bytes lie outside the payload.
    void Open(const FileEntry& row);
    // The next up to `capacity` of the open row's bytes; 0 once all came out.
    std::size_t Read(std::uint8_t* out, std::size_t capacity);

private:
    void Restart();

    std::unique_ptr<ByteSource> blob_;
    bool digest_matches_ = true;
    std::size_t size_ = 0;
    std::uint32_t sum_ = 0;
    std::unique_ptr<BlobInflater> inflater_;
    std::uint64_t position_ = 0;  // of the next byte the inflater gives
    std::uint64_t row_left_ = 0;  // of the open row
    std::string row_name_;
};

}  // namespace zsetup
