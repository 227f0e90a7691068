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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zsetup;
    using fuzz::Require;
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
