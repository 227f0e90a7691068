// The payload read forward from its packed bytes: any order of rows, any
// overlap, reads the right bytes; a slice outside the payload is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/errors.h"
#include "package/packed_blob.h"
#include "package/payload_pack.h"
#include "package/payload_stream.h"

namespace zsetup {
namespace {

FileEntry Row(std::int32_t offset, std::int32_t size) {
    FileEntry row{};
    row.Name.assign("\\f.txt");
    row.Offset = offset;
    row.Size = size;
    return row;
}

TEST(PayloadStream, ReadsEachRowInAnyOrder) {
    // Larger than the stream's 1 MiB steps, so skipping crosses them.
    std::vector<std::uint8_t> payload(3 << 20);
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
    const std::vector<std::uint8_t> blob = PackBlob(payload.data(), payload.size());
    PayloadStream stream(blob.data(), blob.size());
    EXPECT_EQ(stream.size(), payload.size());
    EXPECT_EQ(stream.ByteSum(), PackByteSum(payload.data(), payload.size()));
    const struct {
        const char* label;
        std::int32_t offset, size;
    } rows[] = {
        {"from the middle", 1500000, 1000},  {"further on, past a step", 2500000, 600000},
        {"back to the start", 0, 10},        {"overlapping the one before", 5, 2000000},
        {"the same again", 5, 2000000},      {"empty, at the end", 3 << 20, 0},
        {"the last byte", (3 << 20) - 1, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.label);
        EXPECT_EQ(stream.Read(Row(r.offset, r.size)),
                  std::vector<std::uint8_t>(payload.begin() + r.offset, payload.begin() + r.offset + r.size));
    }
}

TEST(PayloadStream, RefusesASliceOutsideThePayloadAndADamagedBlob) {
    const std::vector<std::uint8_t> payload = {'a', 'b', 'c', 'd'};
    std::vector<std::uint8_t> blob = PackBlob(payload.data(), payload.size());
    PayloadStream stream(blob.data(), blob.size());
    for (const FileEntry& row : {Row(2, 3), Row(-1, 1), Row(0, -1), Row(5, 0)})
        EXPECT_THROW(stream.Read(row), PackageError) << row.Offset << "+" << row.Size;
    blob[blob.size() - 1] ^= 1;  // the Adler-32
    EXPECT_THROW(PayloadStream(blob.data(), blob.size()), PackageError);
}

}  // namespace
}  // namespace zsetup
