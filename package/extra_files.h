// SETUPFILES: the file rows past the record's 256, for a product with more
// files than the record holds. The record keeps its format; this table
// follows its full file table. A packed blob (packed_blob.h) whose unpacked
// bytes are:
//   0   4 bytes  "ZSFT"
//   4   Int32    format version, 1
//   8   Int32    row count, at least 1
//   12  rows     140 bytes each, laid out as the record's FileEntry
// Row k of this table is file 256 + k: a shortcut's FileIndex names it so.
// The run leaves the resource as built in the install folder ("\Z_files.cx",
// setup_map.h) for the uninstaller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "package/setup_config.h"
#include "package/setup_map.h"

namespace zsetup {

inline constexpr std::size_t kExtraFilesHeaderSize = 12;

// The most file rows a package holds, the record's and the table's together.
inline constexpr std::size_t kMostFileRows = 65536;
inline constexpr std::size_t kMostExtraFileRows = kMostFileRows - kMaxRows;
// The largest table's unpacked bytes: a longer one is refused before anything
// is allocated for it.
inline constexpr std::uint32_t kMostExtraFilesBytes =
    static_cast<std::uint32_t>(kExtraFilesHeaderSize + kMostExtraFileRows * sizeof(FileEntry));

// The unpacked bytes of a table of these rows (one at least).
std::vector<std::uint8_t> ExtraFilesBytes(const std::vector<FileEntry>& rows);
// The rows of unpacked table bytes. Throws PackageError naming what is wrong:
// the mark, the version, a count that does not match the length or is over
// kMostExtraFileRows.
std::vector<FileEntry> ParseExtraFiles(const std::uint8_t* data, std::size_t size);
// Unpacks and parses a packed table; throws PackageError "SOURCE: why", also
// for a table that announces more than kMostExtraFilesBytes.
std::vector<FileEntry> UnpackExtraFiles(const std::uint8_t* blob, std::size_t size, const std::string& source);

// The record's file rows followed by the extra table's, indexed as one.
class AllFileRows {
public:
    AllFileRows(const SetupConfig& record, const std::vector<FileEntry>& extra)
        : record_(record.FileRows()), extra_(extra) {}
    std::size_t size() const { return record_.size() + extra_.size(); }
    const FileEntry& operator[](std::size_t i) const {
        return i < record_.size() ? record_[i] : extra_[i - record_.size()];
    }

private:
    RowView<FileEntry> record_;
    const std::vector<FileEntry>& extra_;
};

}  // namespace zsetup
