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
        stream = UnpackBlob(stream.data(), stream.size());
        EXPECT_EQ(stream, data) << size;
    }
}

// A packer that collects what it writes.
struct Collected {
    Bytes bytes;
    PackedSink Sink() {
        return [this](const std::uint8_t* p, std::size_t n) { bytes.insert(bytes.end(), p, p + n); };
    }
};

// Fed in pieces of any size, the packer writes exactly what packing the whole
// buffer writes: a build never depends on how its files were read.
TEST(BlobPacker, PiecesGiveTheSameBytesAsOneBuffer) {
    Bytes data = Sample(300001, 7);
    const Bytes whole = PackBlob(data.data(), data.size());
    for (std::size_t piece : {1u, 4095u, 65536u, 100000u}) {
        Collected out;
        BlobPacker packer(data.size(), out.Sink());
        for (std::size_t at = 0; at < data.size(); at += piece)
            packer.Add(data.data() + at, std::min(piece, data.size() - at));
        packer.Finish();
        EXPECT_EQ(out.bytes, whole) << piece;
    }
}

// Whole blocks and less than one: the last block is the one that ends the
// announced length, however the bytes arrive.
TEST(BlobPacker, EndsOnTheBlockThatEndsTheLength) {
    for (std::size_t size : {kPackBlockSize - 1, kPackBlockSize, 2 * kPackBlockSize, 2 * kPackBlockSize + 1}) {
        SCOPED_TRACE(size);
        const Bytes data = Sample(size, 5);
        Collected out;
        BlobPacker packer(data.size(), out.Sink(), 2);
        packer.Add(data.data(), data.size() / 2);
        packer.Add(data.data() + data.size() / 2, data.size() - data.size() / 2);
        packer.Finish();
        EXPECT_EQ(out.bytes, PackBlob(data.data(), data.size()));
        out.bytes = UnpackBlob(out.bytes.data(), out.bytes.size());
        EXPECT_TRUE(out.bytes == data);
    }
}

TEST(BlobPacker, RefusesALengthOtherThanAnnounced) {
    Bytes data = Sample(100, 1);
    Collected out;
    BlobPacker shorter(101, out.Sink());
    shorter.Add(data.data(), data.size());
    EXPECT_THROW(shorter.Finish(), PackageError);
    BlobPacker longer(99, out.Sink());
    EXPECT_THROW(longer.Add(data.data(), data.size()), PackageError);
    EXPECT_THROW(BlobPacker(std::uint64_t{1} << 32, out.Sink()), PackageError);
}

TEST(PackedBlob, ShorterAnnouncedLengthKeepsTheFirstBytes) {
    Bytes data = Sample(5000, 1);
    Bytes stream = PackBlob(data.data(), data.size());
    SetLength(stream, 1234);
    stream = UnpackBlob(stream.data(), stream.size());
    EXPECT_EQ(stream, Bytes(data.begin(), data.begin() + 1234));
}

TEST(PackedBlob, BytesAfterTheStreamAreIgnored) {
    Bytes data = Sample(777, 2);
    Bytes stream = PackBlob(data.data(), data.size());
    stream.insert(stream.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    stream = UnpackBlob(stream.data(), stream.size());
    EXPECT_EQ(stream, data);
}

TEST(PackedBlob, ZeroLengthGivesAnEmptyStream) {
    Bytes stream = {0, 0, 0, 0, 0x78, 0xDA, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01};
    stream = UnpackBlob(stream.data(), stream.size());
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

// A failed unpack names what is wrong and gives nothing.
void ExpectFailure(const Bytes& stream, const char* expected_text, bool read_error) {
    try {
        UnpackBlob(stream.data(), stream.size());
        ADD_FAILURE() << "no error";
    } catch (const StreamReadError& e) {
        EXPECT_TRUE(read_error) << e.what();
        EXPECT_STREQ(e.what(), expected_text);
    } catch (const CorruptBlobError& e) {
        EXPECT_FALSE(read_error) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind(expected_text, 0), 0u) << e.what();
    }
}

TEST(PackedBlob, FailuresNameTheProblem) {
    Bytes data = Sample(4000, 3);
    Bytes good = PackBlob(data.data(), data.size());

    Bytes longer = good;
    SetLength(longer, 4001);
    ExpectFailure(longer, "Stream read error", true);

    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    ExpectFailure(truncated, "Stream read error", true);

    ExpectFailure(Bytes{1, 0, 0}, "Stream read error", true);
    ExpectFailure(Bytes{1, 0, 0, 0}, "Stream read error", true);

    Bytes bad_header = good;
    bad_header[4] = 0x79;
    ExpectFailure(bad_header, "Packed data is corrupt", false);

    Bytes bad_block = good;
    bad_block[6] = 0xFF;  // first deflate block header: reserved block type 3
    ExpectFailure(bad_block, "Packed data is corrupt", false);

    // The N bytes all come out, but the stream does not end soundly.
    Bytes no_trailer(good.begin(), good.end() - 4);
    ExpectFailure(no_trailer, "Packed data is corrupt (its zlib stream is cut short)", false);
    const Bytes bad_checksum = Flipped(good, good.size() - 1);
    ExpectFailure(bad_checksum, "Packed data is corrupt (zlib: incorrect data check)", false);
    Bytes shorter_with_bad_checksum = bad_checksum;  // even when only the first bytes are kept
    SetLength(shorter_with_bad_checksum, 10);
    ExpectFailure(shorter_with_bad_checksum, "Packed data is corrupt (zlib: incorrect data check)", false);
    ExpectFailure(Bytes{0, 0, 0, 0}, "Packed data is corrupt (its zlib stream is cut short)", false);

    // A length no deflate stream of that size could give is refused before
    // anything is allocated: 4 GiB from a dozen bytes.
    Bytes huge = good;
    SetLength(huge, 0xFFFFFFFFu);
    huge.resize(16);
    ExpectFailure(huge, "Stream read error", true);
}

TEST(PackedBlob, UnpacksBlobsFromOtherProducers) {
    for (const auto& b : kIndependentBlobs) {
        SCOPED_TRACE(b.producer);
        Bytes stream(b.blob, b.blob + b.blob_size);
        stream = UnpackBlob(stream.data(), stream.size());
        ASSERT_EQ(stream.size(), b.unpacked_size);
        EXPECT_TRUE(std::equal(stream.begin(), stream.end(), b.original));
    }
}

#ifndef _WIN32
std::string WriteTemp(const std::string& name, const Bytes& bytes, std::size_t skip) {
    const std::string path = ::testing::TempDir() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (f) {
        std::fwrite(bytes.data() + skip, 1, bytes.size() - skip, f);
        std::fclose(f);
    }
    return path;
}

Bytes ReadAll(const std::string& path) {
    Bytes back;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::uint8_t chunk[65536];
        while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, f)) back.insert(back.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return back;
}

// A payload of several blocks, packed on 1, 2 and 8 threads, gives the same
// bytes each time, and inflaters that share no code with ours (Python's zlib
// and qpdf's zlib-flate) read that one stream (after the 4-byte length) back
// to the input. Texts, random bytes and runs, with a block seam inside a
// repeat, so the seams' preset dictionaries are really used.
TEST(BlobPacker, BlocksOnAnyNumberOfThreadsAreOneStreamOthersRead) {
    Bytes data = Sample(3 * kPackBlockSize + 12345, 4);
    const std::string text = "zsetup packs blocks on every core. ";
    for (std::size_t at = kPackBlockSize - 5000; at < kPackBlockSize + 5000; ++at) data[at] = text[at % text.size()];
    Bytes first;
    for (unsigned threads : {1u, 2u, 8u}) {
        SCOPED_TRACE(threads);
        Collected out;
        BlobPacker packer(data.size(), out.Sink(), threads);
        for (std::size_t at = 0; at < data.size(); at += 300000)
            packer.Add(data.data() + at, std::min<std::size_t>(300000, data.size() - at));
        packer.Finish();
        if (first.empty()) first = out.bytes;
        EXPECT_EQ(out.bytes, first) << "the thread count changed the bytes";
        EXPECT_LT(out.bytes.size(), data.size() * 3 / 4) << "the blocks did not pack";

        const std::string packed = WriteTemp("zsetup_blob.z", out.bytes, kBlobHeaderSize);
        const std::string plain = ::testing::TempDir() + "zsetup_blob.out";
        const struct {
            const char* label;
            std::string command;
        } readers[] = {
            {"zlib-flate", "zlib-flate -uncompress < '" + packed + "' > '" + plain + "'"},
            {"python zlib",
             "python3 -c 'import sys, zlib; sys.stdout.buffer.write(zlib.decompress(sys.stdin.buffer.read()))' < '" +
                 packed + "' > '" + plain + "'"},
        };
        for (const auto& reader : readers) {
            SCOPED_TRACE(reader.label);
            std::remove(plain.c_str());
            ASSERT_EQ(std::system(reader.command.c_str()), 0) << reader.command;
            EXPECT_TRUE(ReadAll(plain) == data);
        }
        std::remove(packed.c_str());
        std::remove(plain.c_str());
    }
    Bytes back = first;
    back = UnpackBlob(back.data(), back.size());
    EXPECT_TRUE(back == data);
}
#endif

}  // namespace
}  // namespace zsetup
