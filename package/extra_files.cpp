#include "package/extra_files.h"

#include <cstring>

#include "base/little_endian.h"
#include "package/errors.h"
#include "package/packed_blob.h"

namespace zsetup {
namespace {}  // namespace

std::vector<std::uint8_t> ExtraFilesBytes(const std::vector<FileEntry>& rows) {
    std::vector<std::uint8_t> bytes(kExtraFilesHeaderSize + rows.size() * sizeof(FileEntry));
    std::memcpy(bytes.data(), kExtraFilesMark, 4);
    WriteLe32(bytes.data() + 4, kExtraFilesVersion);
    WriteLe32(bytes.data() + 8, static_cast<std::uint32_t>(rows.size()));
    if (!rows.empty()) std::memcpy(bytes.data() + kExtraFilesHeaderSize, rows.data(), rows.size() * sizeof(FileEntry));
    return bytes;
}

std::vector<FileEntry> ParseExtraFiles(const std::uint8_t* data, std::size_t size) {
    if (size < kExtraFilesHeaderSize || std::memcmp(data, kExtraFilesMark, 4) != 0)
        throw PackageError(std::string("not a file table (no \"") + kExtraFilesMark + "\" mark)");
    const std::uint32_t version = ReadLe32(data + 4);
    if (version != kExtraFilesVersion)
        throw PackageError("file table version " + std::to_string(version) + ", this program reads version " +
                           std::to_string(kExtraFilesVersion));
    const std::uint32_t count = ReadLe32(data + 8);
    const std::size_t rows_bytes = size - kExtraFilesHeaderSize;
    if (count == 0 || rows_bytes % sizeof(FileEntry) != 0 || rows_bytes / sizeof(FileEntry) != count)
        throw PackageError("the file table announces " + std::to_string(count) + " rows but holds " +
                           std::to_string(rows_bytes) + " bytes of rows");
    if (count > kMostExtraFileRows)
        throw PackageError("the file table holds " + std::to_string(count) + " rows, at most " +
                           std::to_string(kMostExtraFileRows) + " follow the record's");
    std::vector<FileEntry> rows(count);
    std::memcpy(rows.data(), data + kExtraFilesHeaderSize, rows_bytes);
    return rows;
}

std::vector<FileEntry> UnpackExtraFiles(const std::uint8_t* blob, std::size_t size, const std::string& source) {
    try {
        const std::vector<std::uint8_t> bytes = UnpackBlob(blob, size, kMostExtraFilesBytes);
        return ParseExtraFiles(bytes.data(), bytes.size());
    } catch (const PackageError& e) {
        throw PackageError(source + ": " + e.what());
    }
}

}  // namespace zsetup
