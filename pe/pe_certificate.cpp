#include "pe/pe_certificate.h"

#include <algorithm>
#include <string>

#include "pe/le_bytes.h"
#include "pe/pe_error.h"

namespace zsetup {
namespace {

constexpr std::size_t kEntryHeaderSize = 8;
constexpr std::size_t kEntryAlignment = 8;

std::size_t Align8(std::size_t v) { return (v + kEntryAlignment - 1) / kEntryAlignment * kEntryAlignment; }

[[noreturn]] void Damaged(const char* what) {
    throw PeError(std::string("The program file is signed, but its certificate table ") + what + ".");
}

}  // namespace

FileTail ReadFileTail(const std::vector<std::uint8_t>& file, const PeImage& image) {
    FileTail tail;
    const std::size_t after = file.size() > image.raw_end ? file.size() - image.raw_end : 0;
    const PeDataDirectory security = image.directories.size() > kSecurityDirectoryIndex
                                         ? image.directories[kSecurityDirectoryIndex]
                                         : PeDataDirectory{};
    if (security.rva == 0 && security.size == 0) {
        tail.extra_bytes = after;
        return tail;
    }
    // The directory's "rva" is a file offset here: the table is never mapped.
    const std::size_t offset = security.rva, size = security.size;
    if (offset < image.raw_end) Damaged("lies inside the program's sections");
    if (offset > file.size() || size > file.size() - offset) Damaged("lies outside the file");
    if (offset % kEntryAlignment != 0 || size < kEntryHeaderSize) Damaged("is not laid out as one");

    CertificateTable table{offset, size, {}};
    for (std::size_t at = offset; at < offset + size;) {
        CertificateEntry entry{le::U32(file, at), le::U16(file, at + 4), le::U16(file, at + 6)};
        if (entry.length < kEntryHeaderSize || entry.length > offset + size - at)
            Damaged("holds an entry that does not fit it");
        table.entries.push_back(entry);
        at = std::min(Align8(at + entry.length), offset + size);
    }
    // Zeros up to the table's 8-byte boundary belong to it; anything else is extra.
    const std::size_t gap = offset - image.raw_end;
    const bool padding = gap < kEntryAlignment && std::all_of(file.begin() + static_cast<std::ptrdiff_t>(image.raw_end),
                                                              file.begin() + static_cast<std::ptrdiff_t>(offset),
                                                              [](std::uint8_t b) { return b == 0; });
    tail.extra_bytes = (padding ? 0 : gap) + (file.size() - offset - size);
    tail.certificate = std::move(table);
    return tail;
}

}  // namespace zsetup
