#include "package/sha256.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define ZSETUP_SHA_EXTENSIONS 1
#endif

namespace zsetup {
namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

inline std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void PortableBlocks(std::uint32_t state[8], const std::uint8_t* p, std::size_t count) {
    for (; count > 0; --count, p += 64) {
        std::uint32_t w[64];
        for (std::size_t i = 0; i < 16; ++i)
            w[i] = std::uint32_t{p[4 * i]} << 24 | std::uint32_t{p[4 * i + 1]} << 16 |
                   std::uint32_t{p[4 * i + 2]} << 8 | p[4 * i + 3];
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t t1 =
                h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
            const std::uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
        }
        state[0] += a, state[1] += b, state[2] += c, state[3] += d;
        state[4] += e, state[5] += f, state[6] += g, state[7] += h;
    }
}

#ifdef ZSETUP_SHA_EXTENSIONS
// The same rounds through the SHA extensions: four rounds' message words per
// vector, the state held as ABEF and CDGH, as the instructions want it.
__attribute__((target("sha,sse4.1,ssse3"))) void ExtensionBlocks(std::uint32_t state[8], const std::uint8_t* p,
                                                                 std::size_t count) {
    const __m128i big_endian = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    const __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0xB1);
    const __m128i hgfe = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4])), 0x1B);
    __m128i abef = _mm_alignr_epi8(dcba, hgfe, 8);
    __m128i cdgh = _mm_blend_epi16(hgfe, dcba, 0xF0);
    for (; count > 0; --count, p += 64) {
        const __m128i abef_before = abef, cdgh_before = cdgh;
        __m128i w[4];  // the last four groups of message words
        for (std::size_t group = 0; group < 16; ++group) {
            __m128i words;
            if (group < 4) {
                words = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * group)), big_endian);
            } else {
                const __m128i& oldest = w[group % 4];
                const __m128i& next = w[(group + 1) % 4];
                const __m128i& before_last = w[(group + 2) % 4];
                const __m128i& last = w[(group + 3) % 4];
                words = _mm_sha256msg2_epu32(
                    _mm_add_epi32(_mm_sha256msg1_epu32(oldest, next), _mm_alignr_epi8(last, before_last, 4)), last);
            }
            w[group % 4] = words;
            const __m128i k =
                _mm_add_epi32(words, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRound[4 * group])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, k);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(k, 0x0E));
        }
        abef = _mm_add_epi32(abef, abef_before);
        cdgh = _mm_add_epi32(cdgh, cdgh_before);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}
#endif

}  // namespace

bool Sha256::ProcessorHasExtensions() {
#ifdef ZSETUP_SHA_EXTENSIONS
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSSE3) || !(c & bit_SSE4_1)) return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_SHA);
#else
    return false;
#endif
}

Sha256::Sha256(bool use_extensions)
    : blocks_(PortableBlocks), state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {
#ifdef ZSETUP_SHA_EXTENSIONS
    if (use_extensions && ProcessorHasExtensions()) blocks_ = ExtensionBlocks;
#else
    (void)use_extensions;
#endif
}

void Sha256::Add(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;  // an empty vector's data() may be null, which memcpy may not take
    total_ += size;
    if (pending_size_ > 0) {
        const std::size_t n = size < 64 - pending_size_ ? size : 64 - pending_size_;
        std::memcpy(pending_ + pending_size_, data, n);
        pending_size_ += n, data += n, size -= n;
        if (pending_size_ < 64) return;
        blocks_(state_, pending_, 1);
        pending_size_ = 0;
    }
    const std::size_t whole = size / 64;
    blocks_(state_, data, whole);
    data += whole * 64, size -= whole * 64;
    std::memcpy(pending_, data, size);
    pending_size_ = size;
}

Sha256Digest Sha256::Finish() {
    const std::uint64_t bits = total_ * 8;
    std::uint8_t tail[72] = {0x80};
    const std::size_t pad = (pending_size_ < 56 ? 56 : 120) - pending_size_;
    for (int i = 0; i < 8; ++i) tail[pad + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Add(tail, pad + 8);
    Sha256Digest out;
    for (int i = 0; i < 32; ++i) out[i] = static_cast<std::uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
    return out;
}

}  // namespace zsetup
