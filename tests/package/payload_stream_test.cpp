// The payload read forward from its packed bytes: any order of rows, any
// overlap, in pieces of any size, reads the right bytes; a slice outside the
// payload is refused; the digest the build gave is compared with the bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/errors.h"
#include "package/packed_blob.h"
#include "package/payload_sum.h"
#include "package/payload_stream.h"
#include "package/sha256.h"

namespace zsetup {
namespace {

FileEntry Row(std::int32_t offset, std::int32_t size) {
    FileEntry row{};
    row.Name.assign("\\f.txt");
    row.Offset = offset;
    row.Size = size;
    return row;
}

// Packed bytes given a few at a time, as a file read piece by piece may.
class TrickleSource final : public ByteSource {
public:
    explicit TrickleSource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t size() const override { return bytes_.size(); }
    void Rewind() override { at_ = 0; }
    std::size_t Next(const std::uint8_t** bytes, std::size_t most) override {
        const std::size_t n = std::min({most, std::size_t{4093}, bytes_.size() - at_});
        *bytes = bytes_.data() + at_;
        at_ += n;
        return n;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

std::unique_ptr<ByteSource> InMemory(const std::vector<std::uint8_t>& blob) {
    return std::make_unique<MemorySource>(blob.data(), blob.size());
}

// The row's bytes as the run writes them: in pieces of an odd size.
std::vector<std::uint8_t> ReadRow(PayloadStream& stream, const FileEntry& row) {
    stream.Open(row);
    std::vector<std::uint8_t> out, piece(70001);
    for (std::size_t got; (got = stream.Read(piece.data(), piece.size())) != 0;)
        out.insert(out.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
    return out;
}

TEST(PayloadStream, ReadsEachRowInAnyOrder) {
    // Larger than the stream's 1 MiB steps, so skipping crosses them.
    std::vector<std::uint8_t> payload(3 << 20);
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
    const std::vector<std::uint8_t> blob = PackBlob(payload.data(), payload.size());
    const struct {
        const char* label;
        std::function<std::unique_ptr<ByteSource>()> source;
    } sources[] = {
        {"in memory", [&] { return InMemory(blob); }},
        {"a few bytes at a time", [&] { return std::make_unique<TrickleSource>(blob); }},
    };
    const struct {
        const char* label;
        std::int32_t offset, size;
    } rows[] = {
        {"from the middle", 1500000, 1000},  {"further on, past a step", 2500000, 600000},
        {"back to the start", 0, 10},        {"overlapping the one before", 5, 2000000},
        {"the same again", 5, 2000000},      {"empty, at the end", 3 << 20, 0},
        {"the last byte", (3 << 20) - 1, 1},
    };
    for (const auto& s : sources) {
        SCOPED_TRACE(s.label);
        PayloadStream stream(s.source());
        EXPECT_EQ(stream.size(), payload.size());
        EXPECT_EQ(stream.ByteSum(), PackByteSum(payload.data(), payload.size()));
        for (const auto& r : rows) {
            SCOPED_TRACE(r.label);
            EXPECT_EQ(ReadRow(stream, Row(r.offset, r.size)),
                      std::vector<std::uint8_t>(payload.begin() + r.offset, payload.begin() + r.offset + r.size));
        }
    }
}

TEST(PayloadStream, RefusesASliceOutsideThePayloadAndADamagedBlob) {
    const std::vector<std::uint8_t> payload = {'a', 'b', 'c', 'd'};
    std::vector<std::uint8_t> blob = PackBlob(payload.data(), payload.size());
    PayloadStream stream(InMemory(blob));
    for (const FileEntry& row : {Row(2, 3), Row(-1, 1), Row(0, -1), Row(5, 0), Row(0x7FFFFFFF, 0x7FFFFFFF)})
        EXPECT_THROW(stream.Open(row), PackageError) << row.Offset << "+" << row.Size;
    blob[blob.size() - 1] ^= 1;  // the Adler-32
    EXPECT_THROW(PayloadStream{InMemory(blob)}, PackageError);
    // Cut short inside the stream, and inside the length.
    for (std::size_t keep : {blob.size() - 5, std::size_t{3}}) {
        const std::vector<std::uint8_t> cut(blob.begin(), blob.begin() + static_cast<std::ptrdiff_t>(keep));
        EXPECT_THROW(PayloadStream{std::make_unique<TrickleSource>(cut)}, PackageError) << keep;
    }
}

// The digest is of the packed bytes, all of them: bytes after the zlib stream
// (which unpacking ignores) count too.
TEST(PayloadStream, ComparesThePackedBytesWithTheDigestGiven) {
    std::vector<std::uint8_t> payload(300000);
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i % 251);
    const std::vector<std::uint8_t> blob = PackBlob(payload.data(), payload.size());
    Sha256 sha;
    sha.Add(blob.data(), blob.size());
    Sha256Digest digest = sha.Finish();

    EXPECT_TRUE(PayloadStream(InMemory(blob)).DigestMatches()) << "no digest given: nothing to differ from";
    EXPECT_TRUE(PayloadStream(InMemory(blob), &digest).DigestMatches());
    EXPECT_TRUE(PayloadStream(std::make_unique<TrickleSource>(blob), &digest).DigestMatches());
    std::vector<std::uint8_t> trailing = blob;
    trailing.push_back(0);
    EXPECT_FALSE(PayloadStream(InMemory(trailing), &digest).DigestMatches());
    digest[31] ^= 1;
    EXPECT_FALSE(PayloadStream(InMemory(blob), &digest).DigestMatches());
}

}  // namespace
}  // namespace zsetup
