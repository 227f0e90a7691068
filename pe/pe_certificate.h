// What follows a program's sections in its file: the certificate table of an
// Authenticode signature added after the build, and any other extra data.
// The certificate table is not loaded into memory; the security directory
// (index 4) gives its file offset and size, and it holds WIN_CERTIFICATE
// entries, each starting on an 8-byte boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/file_bytes.h"
#include "pe/pe_image.h"

namespace zsetup {

struct CertificateEntry {
    std::uint32_t length = 0;  // of the entry, its 8-byte header included
    std::uint16_t revision = 0;
    std::uint16_t type = 0;  // 2: a PKCS #7 signature (Authenticode)
};

inline constexpr std::uint16_t kCertificatePkcsSignedData = 2;

struct CertificateTable {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::vector<CertificateEntry> entries;
};

struct FileTail {
    std::optional<CertificateTable> certificate;
    // Bytes after the sections that no certificate table accounts for (the
    // zeros that put the table on an 8-byte boundary do not count).
    std::uint64_t extra_bytes = 0;
};

// Throws PeError when the security directory names a table that does not lie
// after the sections within the file, or whose entries do not fill it exactly.
FileTail ReadFileTail(const FileBytes& file, const PeImage& image);

}  // namespace zsetup
