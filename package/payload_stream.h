// PayloadStream: the unpacked SETUPPACK read forward from its packed bytes,
// never held whole, so the installer's memory does not grow with the payload.
// The whole stream is checked once up front (to its Adler-32), its length and
// byte sum kept; the run then reads each file row's bytes as the stream gives
// them. A row whose slice starts before where the stream stands (rows out of
// order, or overlapping: a record need not come from our builder) starts the
// stream again from its beginning, so any order installs right.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "package/packed_blob.h"
#include "package/setup_config.h"

namespace zsetup {

class PayloadStream {
public:
    // blob: the packed bytes, which must outlive the stream. Throws
    // PackageError for a damaged blob or one announcing more than
    // kMostPayloadBytes (before anything of that size is allocated).
    PayloadStream(const std::uint8_t* blob, std::size_t size);

    std::size_t size() const { return size_; }
    std::uint32_t ByteSum() const { return sum_; }
    bool MatchesChecksum(const SetupConfig& config) const {
        return sum_ == static_cast<std::uint32_t>(config.PackChecksum);
    }

    // The row's bytes; throws PackageError when they lie outside the payload.
    std::vector<std::uint8_t> Read(const FileEntry& row);

private:
    void Restart();

    const std::uint8_t* blob_;
    std::size_t blob_size_;
    std::size_t size_ = 0;
    std::uint32_t sum_ = 0;
    std::unique_ptr<BlobInflater> inflater_;
    std::uint64_t position_ = 0;  // of the next byte the inflater gives
};

}  // namespace zsetup
