#include "builder/glob.h"

#include <optional>
#include <vector>

#include "text/utf8.h"

namespace zsetup {
namespace {

using Parts = std::vector<std::u32string>;

char32_t Fold(char32_t c) { return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c; }

// The parts between slashes, letters folded; empty parts (a leading or
// doubled slash) dropped.
std::optional<Parts> Split(std::string_view utf8) {
    const auto points = DecodeUtf8(utf8);
    if (!points) return std::nullopt;
    Parts parts(1);
    for (char32_t c : *points) {
        if (c == U'/') {
            if (!parts.back().empty()) parts.emplace_back();
        } else {
            parts.back().push_back(Fold(c));
        }
    }
    if (parts.back().empty()) parts.pop_back();
    return parts;
}

// One name against one part of a pattern: '*' and '?' never cross a slash
// because there is none inside a part. Backtracks to the last '*' only.
bool NameMatches(const std::u32string& pattern, const std::u32string& name) {
    std::size_t p = 0, n = 0, star = std::u32string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

// The pattern's parts from pi against the path's parts from ni, to the end of both.
bool PartsMatch(const Parts& pattern, std::size_t pi, const Parts& path, std::size_t ni, std::size_t path_end) {
    if (pi == pattern.size()) return ni == path_end;
    if (pattern[pi] == U"**") {
        for (std::size_t skip = ni; skip <= path_end; ++skip)
            if (PartsMatch(pattern, pi + 1, path, skip, path_end)) return true;
        return false;
    }
    return ni < path_end && NameMatches(pattern[pi], path[ni]) && PartsMatch(pattern, pi + 1, path, ni + 1, path_end);
}

}  // namespace

std::string GlobProblem(std::string_view pattern) {
    if (pattern.find('\\') != std::string_view::npos) return "holds a backslash; patterns put '/' between folders";
    const auto parts = Split(pattern);
    if (!parts) return "is not UTF-8 text";
    if (parts->empty()) return "is empty";
    for (const std::u32string& part : *parts)
        if (part == U"." || part == U"..") return "has a \".\" or \"..\" part, which no path below the folder has";
    return {};
}

bool GlobMatches(std::string_view pattern, std::string_view relative_path) {
    if (!GlobProblem(pattern).empty()) return false;
    const Parts wanted = *Split(pattern);
    const auto path = Split(relative_path);
    if (!path) return false;
    const bool anywhere = pattern.find('/') == std::string_view::npos;
    // The path itself or any folder it lies in: its first k parts.
    for (std::size_t k = 1; k <= path->size(); ++k) {
        if (anywhere ? NameMatches(wanted[0], (*path)[k - 1]) : PartsMatch(wanted, 0, *path, 0, k)) return true;
    }
    return false;
}

}  // namespace zsetup
