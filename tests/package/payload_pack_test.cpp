#include "package/payload_pack.h"

#include <gtest/gtest.h>

#include <memory>

#include "package/errors.h"
#include "package/packed_blob.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PackByteSum, AddsUnsignedBytesWithWrapAround) {
    EXPECT_EQ(PackByteSum(nullptr, 0), 0u);
    Bytes b = {0xFF, 0x01, 0x80};
    EXPECT_EQ(PackByteSum(b.data(), b.size()), 0x180u);
    // 16843010 bytes of 255 sum to 2^32 + 254: the accumulator wraps to 254.
    Bytes big(16843010, 0xFF);
    EXPECT_EQ(PackByteSum(big.data(), big.size()), 254u);
}

TEST(PayloadPackChecksum, AnySingleByteChangeIsSeenUnlessTheSumStays) {
    auto config = std::make_unique<SetupConfig>(SetupConfig::Zero());
    Bytes bytes(1000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
    config->PackChecksum = static_cast<std::int32_t>(PackByteSum(bytes.data(), bytes.size()));
    EXPECT_TRUE(PayloadPack(bytes).MatchesChecksum(*config));

    for (std::size_t i : {0u, 500u, 999u}) {
        Bytes changed = bytes;
        changed[i] ^= 0x40;
        EXPECT_FALSE(PayloadPack(changed).MatchesChecksum(*config)) << i;
    }
    Bytes same_sum = bytes;
    same_sum[1] += 1;
    same_sum[2] -= 1;
    EXPECT_TRUE(PayloadPack(same_sum).MatchesChecksum(*config));
}

TEST(PayloadPackChecksum, SumsPastTwoToThe31MatchTheSignedField) {
    auto config = std::make_unique<SetupConfig>(SetupConfig::Zero());
    Bytes big(9000000, 0xFF);  // sum 2295000000 > INT32_MAX
    config->PackChecksum = static_cast<std::int32_t>(PackByteSum(big.data(), big.size()));
    EXPECT_LT(config->PackChecksum, 0);
    EXPECT_TRUE(PayloadPack(std::move(big)).MatchesChecksum(*config));
}

TEST(PayloadPack, EmptyPackUnpacksWithSumZero) {
    PayloadPack pack = PayloadPack::FromBlob(PackBlob(nullptr, 0));
    EXPECT_EQ(pack.size(), 0u);
    EXPECT_EQ(pack.ByteSum(), 0u);
}

TEST(PayloadPack, SlicesFollowOffsetAndSize) {
    Bytes content = {'a', 'b', 'c', 'd', 'e', 'f'};
    PayloadPack pack = PayloadPack::FromBlob(PackBlob(content.data(), content.size()));
    FileEntry row{};
    row.Name.assign("\\x");
    row.Offset = 2;
    row.Size = 3;
    ByteSlice s = pack.Slice(row);
    EXPECT_EQ(Bytes(s.data, s.data + s.size), (Bytes{'c', 'd', 'e'}));
    row.Offset = 6;
    row.Size = 0;
    EXPECT_EQ(pack.Slice(row).size, 0u);

    for (auto [offset, size] : {std::pair{4, 3}, {-1, 1}, {0, -1}, {0x7FFFFFFF, 0x7FFFFFFF}}) {
        row.Offset = offset;
        row.Size = size;
        EXPECT_THROW(pack.Slice(row), PackageError) << offset << "+" << size;
    }
}

}  // namespace
}  // namespace zsetup
