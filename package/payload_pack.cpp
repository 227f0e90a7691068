#include "package/payload_pack.h"

#include <string>

#include "package/errors.h"
#include "package/packed_blob.h"

namespace zsetup {

std::uint32_t PackByteSum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += data[i];
    return sum;
}

PayloadPack PayloadPack::FromBlob(std::vector<std::uint8_t> blob) {
    DecompressBlob(blob);
    return PayloadPack(std::move(blob));
}

ByteSlice PayloadPack::Slice(const FileEntry& row) const {
    if (row.Offset < 0 || row.Size < 0 ||
        static_cast<std::uint64_t>(row.Offset) + static_cast<std::uint64_t>(row.Size) > bytes_.size()) {
        throw PackageError("The file \"" + row.Name.text() + "\" lies outside the payload (bytes " +
                           std::to_string(row.Offset) + " + " + std::to_string(row.Size) + " of " +
                           std::to_string(bytes_.size()) + ")");
    }
    return {bytes_.data() + row.Offset, static_cast<std::size_t>(row.Size)};
}

}  // namespace zsetup
