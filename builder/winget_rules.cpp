#include "builder/winget_rules.h"

#include <algorithm>

#include "builder/manifest_text.h"
#include "text/utf8.h"

namespace zsetup {
namespace {

constexpr std::size_t kIdentifierMost = 128, kPartMost = 32, kPartsFewest = 2, kPartsMost = 8;
constexpr std::size_t kUrlMost = 2048;
// What a Windows file name may not hold: the schema keeps them out of identifiers and versions.
constexpr std::string_view kNotInNames = "\\/:*?\"<>|";

bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F; }

std::size_t Characters(std::string_view utf8) {
    const auto points = DecodeUtf8(utf8);
    return points ? points->size() : utf8.size();
}

std::string Count(std::size_t n) { return std::to_string(n) + (n == 1 ? " character" : " characters"); }

}  // namespace

std::string WingetIdentifierProblem(std::string_view id) {
    const std::string shown = Quoted(id) + " ";
    if (id.size() > kIdentifierMost) return shown + "has " + Count(id.size()) + ", at most 128";
    std::size_t parts = 0;
    for (std::size_t start = 0; start <= id.size(); ++parts) {
        std::size_t end = id.find('.', start);
        if (end == std::string_view::npos) end = id.size();
        const std::string_view part = id.substr(start, end - start);
        if (part.empty()) return shown + "has an empty part between its dots";
        if (part.size() > kPartMost) return shown + "has a part of " + Count(part.size()) + ", at most 32";
        for (char c : part) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte <= 0x20 || byte >= 0x7F || kNotInNames.find(c) != std::string_view::npos)
                return shown + "holds " +
                       (byte < 0x80 ? Quoted(std::string(1, c)) : std::string("a non-ASCII character")) +
                       "; a part is printable ASCII without blanks or \\ / : * ? \" < > |";
        }
        start = end + 1;
    }
    if (parts < kPartsFewest || parts > kPartsMost)
        return shown + "has " + std::to_string(parts) + (parts == 1 ? " part" : " parts") +
               "; it is Publisher.Product, 2 to 8 parts between dots";
    return "";
}

std::optional<std::string> IdentifierPart(std::string_view name) {
    std::string part;
    for (char c : name) {
        if (c == ' ') continue;
        const bool allowed =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!allowed) return std::nullopt;
        part += c;
    }
    if (part.empty() || part.size() > kPartMost) return std::nullopt;
    return part;
}

std::string WingetUrlProblem(std::string_view url) {
    const std::string shown = Quoted(url) + " ";
    const auto points = DecodeUtf8(url);
    if (!points) return shown + "is not UTF-8";
    if (points->size() > kUrlMost) return shown + "has " + Count(points->size()) + ", at most 2048";
    std::string scheme(url.substr(0, url.find("://")));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    if (url.find("://") == std::string_view::npos || (scheme != "http" && scheme != "https"))
        return shown + "does not start with https:// or http://";
    if (url.size() == scheme.size() + 3 || url[scheme.size() + 3] == '/') return shown + "names no host";
    if (std::any_of(points->begin(), points->end(), [](char32_t c) { return c == ' ' || IsControl(c); }))
        return shown + "holds a blank or a control character; write it percent-encoded (%20)";
    return "";
}

std::string WingetVersionProblem(std::string_view version) {
    const std::string shown = Quoted(version) + " ";
    const auto points = DecodeUtf8(version);
    if (!points || points->empty()) return shown + "is empty";
    if (points->size() > kWingetVersionMost) return shown + "has " + Count(points->size()) + ", at most 128";
    for (char32_t c : *points)
        if (IsControl(c) || (c < 0x80 && kNotInNames.find(static_cast<char>(c)) != std::string_view::npos))
            return shown + "holds a control character or one of \\ / : * ? \" < > |";
    return "";
}

std::string LengthProblem(std::string_view utf8, std::size_t fewest, std::size_t most) {
    const std::size_t n = Characters(utf8);
    if (n < fewest) return "has " + Count(n) + ", at least " + std::to_string(fewest);
    if (n > most) return "has " + Count(n) + ", at most " + std::to_string(most);
    return "";
}

}  // namespace zsetup
