// Blob unpacking on arbitrary bytes: UnpackBlob gives exactly the announced
// length or throws a PackageError, and what it gives packs and unpacks again
// to the same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/little_endian.h"
#include "package/errors.h"
#include "package/packed_blob.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// zlib never inflates one input byte into more than 1032 output bytes.
constexpr std::uint64_t kMaxInflateRatio = 1032;

// Known fault (known-faults/blob/): UnpackBlob allocates the announced
// length before the stream shows it can fill it, so a few bytes announcing
// 4 GiB exhaust memory. Lengths no stream of this size could fill are
// passed over until that is refused up front.
bool AnnouncesMoreThanItCanHold(const std::uint8_t* data, std::size_t size) {
    return size >= zsetup::kBlobHeaderSize &&
           zsetup::ReadLe32(data) > (size - zsetup::kBlobHeaderSize) * kMaxInflateRatio;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zsetup;
    using fuzz::Require;
    if (!fuzz::KnownFaultsChecked() && AnnouncesMoreThanItCanHold(data, size)) return 0;
    std::vector<std::uint8_t> unpacked;
    try {
        unpacked = UnpackBlob(data, size);
    } catch (const PackageError&) {
        return 0;
    }
    Require(unpacked.size() == ReadLe32(data), "the announced length comes out");
    const std::vector<std::uint8_t> packed = PackBlob(unpacked.data(), unpacked.size());
    Require(UnpackBlob(packed.data(), packed.size()) == unpacked, "what unpacks packs and unpacks again");
    return 0;
}
