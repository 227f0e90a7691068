// The file table past the record's 256 rows on arbitrary bytes, read both as
// the packed SETUPFILES blob ("Z_files.cx") and as its unpacked bytes. Each
// reader accepts or throws a PackageError (the packed one naming its
// source); what they accept holds 1 to 65,280 rows, and writing the rows
// back gives exactly the bytes they were read from.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "package/errors.h"
#include "package/extra_files.h"
#include "package/packed_blob.h"
#include "tests/fuzz/fuzz_check.h"

namespace zsetup::fuzz {
namespace {

void CheckRows(const std::vector<FileEntry>& rows, const std::uint8_t* bytes, std::size_t size) {
    Require(!rows.empty() && rows.size() <= kMostExtraFileRows, "1 to 65,280 rows");
    const std::vector<std::uint8_t> written = ExtraFilesBytes(rows);
    Require(written == std::vector<std::uint8_t>(bytes, bytes + size), "the rows write back to their bytes");
}

}  // namespace
}  // namespace zsetup::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zsetup;
    using namespace zsetup::fuzz;
    try {
        CheckRows(ParseExtraFiles(data, size), data, size);
    } catch (const PackageError&) {
    }
    std::vector<FileEntry> rows;
    try {
        rows = UnpackExtraFiles(data, size, "Z_files.cx");
    } catch (const PackageError& e) {
        Require(std::string(e.what()).rfind("Z_files.cx: ", 0) == 0, "a refusal names its source");
        return 0;
    }
    const std::vector<std::uint8_t> unpacked = UnpackBlob(data, size);
    Require(unpacked.size() <= kMostExtraFilesBytes, "no table longer than the largest");
    CheckRows(rows, unpacked.data(), unpacked.size());
    return 0;
}
