// What the uninstaller reads from beside itself, the three copies together:
// one byte says which copies are there (bit 0 the record's, bit 1 the file
// table's, bit 2 the maker's), two 32-bit little-endian lengths cut the
// record's and the table's copies from what follows, the rest is the maker's.
// ReadInstalledRecord throws nothing but a PackageError; nothing is read
// without a record copy; what it accepts is exactly the record its copy
// unpacks to, validated with the table's rows, which it read only beside a
// full record, and the maker's profile checked against it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "package/config_validation.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "package/installed_record.h"
#include "package/packed_blob.h"
#include "tests/fuzz/fuzz_check.h"

namespace zsetup::fuzz {
namespace {

constexpr std::size_t kHeaderBytes = 9;

using Bytes = std::vector<std::uint8_t>;

// The next `length` bytes, or as many as are left.
Bytes Take(const std::uint8_t*& at, const std::uint8_t* end, std::uint32_t length) {
    const std::size_t n = std::min<std::size_t>(length, static_cast<std::size_t>(end - at));
    Bytes part(at, at + n);
    at += n;
    return part;
}

void CheckAccepted(const InstalledRecord& read, const InstalledCopies& copies) {
    const Bytes& copy = *copies.record.bytes;
    Require(UnpackBlob(copy.data(), copy.size()) == read.record->ToBytes(), "the record is its copy, exactly");
    Require(ValidateConfig(*read.record, read.extra_files, UINT64_MAX).empty(), "the record and table validate");
    if (!read.extra_files.empty()) {
        Require(read.record->FileCount == kMaxRows && copies.extra_files.bytes,
                "table rows only from a table copy beside a full record");
        const Bytes& table = *copies.extra_files.bytes;
        Require(UnpackBlob(table.data(), table.size()) == ExtraFilesBytes(read.extra_files),
                "the table rows are the copy's");
    }
    if (copies.maker.bytes) {
        const Bytes& maker = *copies.maker.bytes;
        Require(read.maker == ReadMakerProfile(maker.data(), maker.size()), "the maker is the copy's profile");
        Require(MakerProfileProblem(read.maker, *read.record).empty(), "the maker's run file is installed");
    } else {
        Require(read.maker == MakerProfile{}, "no maker copy, the built-in maker");
    }
}

}  // namespace
}  // namespace zsetup::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zsetup;
    using namespace zsetup::fuzz;
    if (size < kHeaderBytes) return 0;
    const std::uint8_t present = data[0];
    const std::uint8_t* at = data + kHeaderBytes;
    const std::uint8_t* const end = data + size;
    InstalledCopies copies{{"Z_nt.cx", {}}, {"Z_files.cx", {}}, {"Z_maker.cx", {}}};
    Bytes record = Take(at, end, ReadLe32(data + 1));
    Bytes table = Take(at, end, ReadLe32(data + 5));
    Bytes maker(at, end);
    if (present & 1) copies.record.bytes = std::move(record);
    if (present & 2) copies.extra_files.bytes = std::move(table);
    if (present & 4) copies.maker.bytes = std::move(maker);

    std::optional<InstalledRecord> read;
    try {
        read = ReadInstalledRecord(copies, 8);
    } catch (const PackageError& e) {
        Require(e.what()[0] != '\0', "a refusal says why");
        return 0;
    }
    Require(read.has_value() == copies.record.bytes.has_value(), "read exactly when the record's copy is there");
    if (read) CheckAccepted(*read, copies);
    return 0;
}
