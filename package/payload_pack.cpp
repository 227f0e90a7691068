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

PayloadPack PayloadPack::FromBlob(const std::vector<std::uint8_t>& blob) {
    BlobInflater inflater(blob.data(), blob.size());
    if (inflater.unpacked_length() > kMostPayloadBytes)
        throw PackageError("The payload announces " + std::to_string(inflater.unpacked_length()) +
                           " bytes, more than the record can address (" + std::to_string(kMostPayloadBytes) + ")");
    std::vector<std::uint8_t> bytes(inflater.unpacked_length());
    for (std::size_t at = 0; at < bytes.size();) at += inflater.Read(bytes.data() + at, bytes.size() - at);
    inflater.Finish();
    return PayloadPack(std::move(bytes));
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
