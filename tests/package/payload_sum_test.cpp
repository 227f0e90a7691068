// The record's PackChecksum: the sum of the unpacked payload's bytes, as the
// payload stream finds it reading the packed bytes to their end.
#include "package/payload_sum.h"

#include <gtest/gtest.h>

#include <memory>

#include "package/packed_blob.h"
#include "package/payload_stream.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

PayloadStream Packed(const Bytes& payload, Bytes& blob) {
    blob = PackBlob(payload.data(), payload.size());
    return PayloadStream(std::make_unique<MemorySource>(blob.data(), blob.size()));
}

TEST(PackByteSum, AddsUnsignedBytesWithWrapAround) {
    EXPECT_EQ(PackByteSum(nullptr, 0), 0u);
    Bytes b = {0xFF, 0x01, 0x80};
    EXPECT_EQ(PackByteSum(b.data(), b.size()), 0x180u);
    // 16843010 bytes of 255 sum to 2^32 + 254: the accumulator wraps to 254.
    Bytes big(16843010, 0xFF);
    EXPECT_EQ(PackByteSum(big.data(), big.size()), 254u);
}

TEST(PayloadChecksum, AnySingleByteChangeIsSeenUnlessTheSumStays) {
    auto config = std::make_unique<SetupConfig>(SetupConfig::Zero());
    Bytes bytes(1000), blob;
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
    config->PackChecksum = static_cast<std::int32_t>(PackByteSum(bytes.data(), bytes.size()));
    EXPECT_TRUE(Packed(bytes, blob).MatchesChecksum(*config));

    for (std::size_t i : {0u, 500u, 999u}) {
        Bytes changed = bytes;
        changed[i] ^= 0x40;
        EXPECT_FALSE(Packed(changed, blob).MatchesChecksum(*config)) << i;
    }
    Bytes same_sum = bytes;
    same_sum[1] += 1;
    same_sum[2] -= 1;
    EXPECT_TRUE(Packed(same_sum, blob).MatchesChecksum(*config));
}

TEST(PayloadChecksum, SumsPastTwoToThe31MatchTheSignedField) {
    auto config = std::make_unique<SetupConfig>(SetupConfig::Zero());
    Bytes big(9000000, 0xFF), blob;  // sum 2295000000 > INT32_MAX
    config->PackChecksum = static_cast<std::int32_t>(PackByteSum(big.data(), big.size()));
    EXPECT_LT(config->PackChecksum, 0);
    EXPECT_TRUE(Packed(big, blob).MatchesChecksum(*config));
}

TEST(PayloadChecksum, AnEmptyPayloadSumsToZero) {
    Bytes blob;
    const PayloadStream stream = Packed({}, blob);
    EXPECT_EQ(stream.size(), 0u);
    EXPECT_EQ(stream.ByteSum(), 0u);
}

}  // namespace
}  // namespace zsetup
