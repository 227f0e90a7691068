#include "shell/path_text.h"

#include "package/gbk_bytes.h"

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

std::string LinkWorkingDirectory(const std::string& target) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < target.size(); ++i) {
        const auto c = static_cast<unsigned char>(target[i]);
        if (IsGbkLeadByte(c)) {
            ++i;  // the trail byte may be 0x5C, which is no separator here
        } else if (c == '\\' || c == ':') {
            end = i + 1;
        }
    }
    return target.substr(0, end);
}

}  // namespace zsetup
