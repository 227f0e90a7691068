#include "pe/pe_certificate.h"

#include <algorithm>
#include <string>

#include "pe/le_bytes.h"
#include "pe/pe_error.h"

namespace zsetup {
namespace {

constexpr std::size_t kEntryHeaderSize = 8;
constexpr std::size_t kEntryAlignment = 8;

std::uint64_t Align8(std::uint64_t v) { return (v + kEntryAlignment - 1) / kEntryAlignment * kEntryAlignment; }

[[noreturn]] void Damaged(const char* what) {
    throw PeError(std::string("The program file is signed, but its certificate table ") + what + ".");
}

}  // namespace

FileTail ReadFileTail(const FileBytes& file, const PeImage& image) {
    FileTail tail;
    const std::uint64_t file_size = file.size();
    const std::uint64_t after = file_size > image.raw_end ? file_size - image.raw_end : 0;
    const PeDataDirectory security = image.directories.size() > kSecurityDirectoryIndex
                                         ? image.directories[kSecurityDirectoryIndex]
                                         : PeDataDirectory{};
    if (security.rva == 0 && security.size == 0) {
        tail.extra_bytes = after;
        return tail;
    }
    // The directory's "rva" is a file offset here: the table is never mapped.
    const std::uint64_t offset = security.rva, size = security.size;
    if (offset < image.raw_end) Damaged("lies inside the program's sections");
    if (offset > file_size || size > file_size - offset) Damaged("lies outside the file");
    if (offset % kEntryAlignment != 0 || size < kEntryHeaderSize) Damaged("is not laid out as one");

    // Only the entries' headers are read: the signatures stay in the file.
    CertificateTable table{offset, size, {}};
    for (std::uint64_t at = offset; at < offset + size;) {
        if (offset + size - at < kEntryHeaderSize) Damaged("holds an entry that does not fit it");
        const std::vector<std::uint8_t> header = file.Read(at, kEntryHeaderSize);
        CertificateEntry entry{le::U32(header, 0), le::U16(header, 4), le::U16(header, 6)};
        if (entry.length < kEntryHeaderSize || entry.length > offset + size - at)
            Damaged("holds an entry that does not fit it");
        table.entries.push_back(entry);
        at = std::min(Align8(at + entry.length), offset + size);
    }
    // Zeros up to the table's 8-byte boundary belong to it; anything else is extra.
    const std::uint64_t gap = offset - image.raw_end;
    bool padding = false;
    if (gap < kEntryAlignment) {
        const std::vector<std::uint8_t> between = file.Read(image.raw_end, static_cast<std::size_t>(gap));
        padding = std::all_of(between.begin(), between.end(), [](std::uint8_t b) { return b == 0; });
    }
    tail.extra_bytes = (padding ? 0 : gap) + (file_size - offset - size);
    tail.certificate = std::move(table);
    return tail;
}

}  // namespace zsetup
