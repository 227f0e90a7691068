#include "package/packed_blob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "independent_blobs.h"
#include "package/errors.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sample(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(size);
    // Half random, half runs: compressible but not trivial.
    for (std::size_t i = 0; i < size; ++i) b[i] = (i / 64) % 2 ? static_cast<std::uint8_t>(rng()) : 'z';
    return b;
}

void SetLength(Bytes& blob, std::uint32_t n) {
    blob[0] = static_cast<std::uint8_t>(n);
    blob[1] = static_cast<std::uint8_t>(n >> 8);
    blob[2] = static_cast<std::uint8_t>(n >> 16);
    blob[3] = static_cast<std::uint8_t>(n >> 24);
}

TEST(PackedBlob, RoundTripsAtTheBestLevel) {
    for (std::size_t size : {0u, 1u, 207160u, 300001u}) {
        Bytes data = Sample(size, static_cast<unsigned>(size));
        Bytes stream = PackBlob(data.data(), data.size());
        ASSERT_GE(stream.size(), 6u);
        EXPECT_EQ(stream[4], 0x78);
        EXPECT_EQ(stream[5], 0xDA);
        DecompressBlob(stream);
        EXPECT_EQ(stream, data) << size;
    }
}

// Fed in pieces of any size, the packer writes exactly what packing the whole
// buffer writes: a build never depends on how its files were read.
TEST(BlobPacker, PiecesGiveTheSameBytesAsOneBuffer) {
    Bytes data = Sample(300001, 7);
    const Bytes whole = PackBlob(data.data(), data.size());
    for (std::size_t piece : {1u, 4095u, 65536u, 100000u}) {
        BlobPacker packer(data.size());
        for (std::size_t at = 0; at < data.size(); at += piece)
            packer.Add(data.data() + at, std::min(piece, data.size() - at));
        EXPECT_EQ(packer.Finish(), whole) << piece;
    }
}

TEST(BlobPacker, RefusesALengthOtherThanAnnounced) {
    Bytes data = Sample(100, 1);
    BlobPacker shorter(101);
    shorter.Add(data.data(), data.size());
    EXPECT_THROW(shorter.Finish(), PackageError);
    BlobPacker longer(99);
    EXPECT_THROW(longer.Add(data.data(), data.size()), PackageError);
    EXPECT_THROW(BlobPacker(std::uint64_t{1} << 32), PackageError);
}

TEST(PackedBlob, ShorterAnnouncedLengthKeepsTheFirstBytes) {
    Bytes data = Sample(5000, 1);
    Bytes stream = PackBlob(data.data(), data.size());
    SetLength(stream, 1234);
    DecompressBlob(stream);
    EXPECT_EQ(stream, Bytes(data.begin(), data.begin() + 1234));
}

TEST(PackedBlob, BytesAfterTheStreamAreIgnored) {
    Bytes data = Sample(777, 2);
    Bytes stream = PackBlob(data.data(), data.size());
    stream.insert(stream.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    DecompressBlob(stream);
    EXPECT_EQ(stream, data);
}

TEST(PackedBlob, ZeroLengthGivesAnEmptyStream) {
    Bytes stream = {0, 0, 0, 0, 0x78, 0xDA, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01};
    DecompressBlob(stream);
    EXPECT_TRUE(stream.empty());
}

// Read in pieces of any size, a blob gives the bytes it gives whole.
TEST(BlobInflater, PiecesGiveWhatUnpackingGives) {
    const Bytes data = Sample(300001, 8);
    const Bytes blob = PackBlob(data.data(), data.size());
    for (std::size_t piece : {1u, 4095u, 65536u, 400000u}) {
        SCOPED_TRACE(piece);
        BlobInflater inflater(blob.data(), blob.size());
        ASSERT_EQ(inflater.unpacked_length(), data.size());
        Bytes got;
        Bytes buffer(piece);
        while (const std::size_t n = inflater.Read(buffer.data(), buffer.size()))
            got.insert(got.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
        inflater.Finish();
        EXPECT_EQ(got, data);
    }
}

Bytes Flipped(Bytes bytes, std::size_t at) {
    bytes.at(at) ^= 0x01;
    return bytes;
}

// A failed unpack leaves the stream exactly as it was.
void ExpectFailureKeepsStream(Bytes stream, const char* expected_text, bool read_error) {
    const Bytes before = stream;
    try {
        DecompressBlob(stream);
        ADD_FAILURE() << "no error";
    } catch (const StreamReadError& e) {
        EXPECT_TRUE(read_error) << e.what();
        EXPECT_STREQ(e.what(), expected_text);
    } catch (const CorruptBlobError& e) {
        EXPECT_FALSE(read_error) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind(expected_text, 0), 0u) << e.what();
    }
    EXPECT_EQ(stream, before);
}

TEST(PackedBlob, FailuresNameTheProblemAndKeepTheStream) {
    Bytes data = Sample(4000, 3);
    Bytes good = PackBlob(data.data(), data.size());

    Bytes longer = good;
    SetLength(longer, 4001);
    ExpectFailureKeepsStream(longer, "Stream read error", true);

    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    ExpectFailureKeepsStream(truncated, "Stream read error", true);

    ExpectFailureKeepsStream(Bytes{1, 0, 0}, "Stream read error", true);
    ExpectFailureKeepsStream(Bytes{1, 0, 0, 0}, "Stream read error", true);

    Bytes bad_header = good;
    bad_header[4] = 0x79;
    ExpectFailureKeepsStream(bad_header, "Packed data is corrupt", false);

    Bytes bad_block = good;
    bad_block[6] = 0xFF;  // first deflate block header: reserved block type 3
    ExpectFailureKeepsStream(bad_block, "Packed data is corrupt", false);

    // The N bytes all come out, but the stream does not end soundly.
    Bytes no_trailer(good.begin(), good.end() - 4);
    ExpectFailureKeepsStream(no_trailer, "Packed data is corrupt (its zlib stream is cut short)", false);
    const Bytes bad_checksum = Flipped(good, good.size() - 1);
    ExpectFailureKeepsStream(bad_checksum, "Packed data is corrupt (zlib: incorrect data check)", false);
    Bytes shorter_with_bad_checksum = bad_checksum;  // even when only the first bytes are kept
    SetLength(shorter_with_bad_checksum, 10);
    ExpectFailureKeepsStream(shorter_with_bad_checksum, "Packed data is corrupt (zlib: incorrect data check)", false);
    ExpectFailureKeepsStream(Bytes{0, 0, 0, 0}, "Packed data is corrupt (its zlib stream is cut short)", false);

    // A length no deflate stream of that size could give is refused before
    // anything is allocated: 4 GiB from a dozen bytes.
    Bytes huge = good;
    SetLength(huge, 0xFFFFFFFFu);
    huge.resize(16);
    ExpectFailureKeepsStream(huge, "Stream read error", true);
}

TEST(PackedBlob, UnpacksBlobsFromOtherProducers) {
    for (const auto& b : kIndependentBlobs) {
        SCOPED_TRACE(b.producer);
        Bytes stream(b.blob, b.blob + b.blob_size);
        DecompressBlob(stream);
        ASSERT_EQ(stream.size(), b.unpacked_size);
        EXPECT_TRUE(std::equal(stream.begin(), stream.end(), b.original));
    }
}

#ifndef _WIN32
// qpdf's zlib-flate inflates our stream (after the 4-byte length) on its own.
TEST(PackedBlob, OursIsReadBackByAnIndependentReader) {
    Bytes data = Sample(100000, 4);
    Bytes blob = PackBlob(data.data(), data.size());
    std::string dir = ::testing::TempDir();
    std::string packed = dir + "zsetup_blob.z", plain = dir + "zsetup_blob.out";
    FILE* f = std::fopen(packed.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(blob.data() + 4, 1, blob.size() - 4, f);
    std::fclose(f);
    std::string cmd = "zlib-flate -uncompress < '" + packed + "' > '" + plain + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    f = std::fopen(plain.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    Bytes back(data.size() + 1);
    std::size_t n = std::fread(back.data(), 1, back.size(), f);
    std::fclose(f);
    back.resize(n);
    EXPECT_EQ(back, data);
    std::remove(packed.c_str());
    std::remove(plain.c_str());
}
#endif

}  // namespace
}  // namespace zsetup
