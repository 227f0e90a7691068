#include "services/path_text.h"

namespace zsetup {
namespace {

constexpr std::size_t kShortenedTail = 40;

}  // namespace

int LastPos(const std::string& sub, const std::string& text) {
    const int n = static_cast<int>(sub.size());
    const int m = static_cast<int>(text.size());
    if (n > m) return 0;
    for (int i = m - n + 1; i >= 1; --i) {
        if (text.compare(static_cast<std::size_t>(i - 1), sub.size(), sub) == 0) return i;
    }
    return 0;
}

std::string ShortenPath(const std::string& path, int maximum) {
    if (static_cast<long long>(path.size()) <= maximum) return path;
    // The 1-based position of the last backslash is the 0-based index of the
    // byte after it; without one (0) the tail starts at the first byte.
    const auto tail = static_cast<std::size_t>(LastPos("\\", path));
    return path.substr(0, 3) + "...\\" + path.substr(tail, kShortenedTail);
}

}  // namespace zsetup
