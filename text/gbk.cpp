#include "text/gbk.h"

namespace zsetup {

std::size_t GbkCharLength(std::string_view text, std::size_t i) {
    const bool pair = IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                      IsGbkTrailByte(static_cast<unsigned char>(text[i + 1]));
    return pair ? 2 : 1;
}

std::size_t FindFirstSeparator(std::string_view path, std::size_t from, std::string_view separators) {
    // A character starts at 0 and after every character: walk from the start.
    for (std::size_t i = 0; i < path.size(); i += GbkCharLength(path, i))
        if (i >= from && separators.find(path[i]) != std::string_view::npos) return i;
    return std::string_view::npos;
}

bool IsGbkCharacterAt(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    return GbkCharLength(text, i) == 2 || (!IsGbkLeadByte(c) && c != 0xFF);
}

bool IsGbkText(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); i += GbkCharLength(text, i))
        if (!IsGbkCharacterAt(text, i)) return false;
    return true;
}

std::size_t FindLastSeparator(std::string_view path, std::string_view separators) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); i += GbkCharLength(path, i))
        if (separators.find(path[i]) != std::string_view::npos) last = i;
    return last;
}

std::string FolderOf(std::string_view path) {
    const std::size_t at = FindLastSeparator(path);
    if (at == std::string_view::npos) return {};
    const bool drive_root = at == 2 && path[1] == ':';
    return std::string(path.substr(0, drive_root ? 3 : at));
}

std::string PathPart(std::string_view path) {
    const std::size_t at = FindLastSeparator(path, "\\:");
    return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string FoldAsciiCase(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t n = GbkCharLength(out, i);
        if (n == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
        i += n;
    }
    return out;
}

bool HasNameWindowsTrims(std::string_view path) {
    // A trail byte is never '.' or ' ': a byte before a separator is one of its own.
    const auto trimmed = [](char c) { return c == '.' || c == ' '; };
    for (std::size_t at = FindFirstSeparator(path); at != std::string_view::npos; at = FindFirstSeparator(path, at + 1))
        if (at > 0 && trimmed(path[at - 1])) return true;
    return !path.empty() && trimmed(path.back());
}

}  // namespace zsetup
