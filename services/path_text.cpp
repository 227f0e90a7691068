#include "services/path_text.h"

#include "text/gbk.h"

namespace zsetup {
namespace {

constexpr std::size_t kShortenedHead = 3;
constexpr std::size_t kShortenedTail = 40;

// The longest run of whole characters from `from` that fits in `limit` bytes:
// a cut never leaves half a double-byte character on screen.
std::string WholeCharacters(const std::string& text, std::size_t from, std::size_t limit) {
    std::size_t end = from;
    while (end < text.size()) {
        const std::size_t next = end + GbkCharLength(text, end);
        if (next - from > limit) break;
        end = next;
    }
    return text.substr(from, end - from);
}

}  // namespace

std::string ShortenPath(const std::string& path, int maximum) {
    if (static_cast<long long>(path.size()) <= maximum) return path;
    // The second byte of a double-byte character may be 0x5C: only a
    // backslash that stands alone ends a folder.
    const std::size_t last = FindLastSeparator(path);
    const std::size_t tail = last == std::string::npos ? 0 : last + 1;
    return WholeCharacters(path, 0, kShortenedHead) + "...\\" + WholeCharacters(path, tail, kShortenedTail);
}

}  // namespace zsetup
