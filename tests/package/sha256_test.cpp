// SHA-256 against the published test vectors, fed whole and in pieces that
// cut its 64-byte blocks everywhere, through the portable rounds and (where
// the processor has them) the SHA extensions.
#include <gtest/gtest.h>

#include <string>

#include "package/sha256.h"

namespace zsetup {
namespace {

std::string Hex(const Sha256Digest& d) {
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    for (std::uint8_t b : d) s += {kDigits[b >> 4], kDigits[b & 15]};
    return s;
}

std::string DigestOf(const std::string& text, std::size_t piece, bool extensions) {
    Sha256 sha(extensions);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    for (std::size_t at = 0; at < text.size(); at += piece) sha.Add(bytes + at, std::min(piece, text.size() - at));
    return Hex(sha.Finish());
}

TEST(Sha256, GivesThePublishedDigests) {
    const struct {
        const char* label;
        std::string text;
        const char* digest;
    } cases[] = {
        {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"448 bits: the length spills into a second block", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"896 bits",
         "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqr"
         "stu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {"a million a", std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const bool extensions : {false, true}) {
        SCOPED_TRACE(extensions ? "the SHA extensions, where there" : "the portable rounds");
        for (const auto& c : cases) {
            SCOPED_TRACE(c.label);
            for (std::size_t piece : {std::size_t{1}, std::size_t{55}, std::size_t{63}, std::size_t{64},
                                      std::size_t{65}, std::size_t{4096}, c.text.size() + 1}) {
                SCOPED_TRACE(piece);
                EXPECT_EQ(DigestOf(c.text, piece, extensions), c.digest);
            }
        }
    }
}

// Both ways agree on bytes of every value, over many blocks.
TEST(Sha256, TheExtensionsAndThePortableRoundsAgree) {
    if (!Sha256::ProcessorHasExtensions()) GTEST_SKIP() << "this processor has no SHA extensions";
    std::string text(1 << 20, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>((i * 2654435761u) >> 13);
    EXPECT_EQ(DigestOf(text, 777, true), DigestOf(text, 777, false));
}

}  // namespace
}  // namespace zsetup
