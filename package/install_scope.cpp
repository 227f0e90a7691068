#include "package/install_scope.h"

#include <optional>

#include "package/errors.h"
#include "text/gbk.h"

namespace zsetup {
namespace {

constexpr std::string_view kElement = "requestedExecutionLevel";
constexpr std::string_view kAsInvoker = "asInvoker";
constexpr std::string_view kRequireAdministrator = "requireAdministrator";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where the level attribute's value lies in the manifest: the first
// requestedExecutionLevel element outside comments, its `level="..."` or
// `level='...'`.
struct ValueAt {
    std::size_t start, size;
};

std::optional<ValueAt> LevelValue(std::string_view xml) {
    for (std::size_t at = 0; (at = xml.find('<', at)) != std::string_view::npos;) {
        if (xml.compare(at, 4, "<!--") == 0) {
            const std::size_t end = xml.find("-->", at + 4);
            if (end == std::string_view::npos) return std::nullopt;
            at = end + 3;
            continue;
        }
        std::size_t name_end = at + 1;
        while (name_end < xml.size() && !IsBlank(xml[name_end]) && xml[name_end] != '>' && xml[name_end] != '/')
            ++name_end;
        std::string_view name = xml.substr(at + 1, name_end - at - 1);
        if (const std::size_t colon = name.find(':'); colon != std::string_view::npos) name = name.substr(colon + 1);
        const std::size_t tag_end = xml.find('>', name_end);
        if (tag_end == std::string_view::npos) return std::nullopt;
        if (name != kElement) {
            at = tag_end;
            continue;
        }
        // Attributes: blank, name, optional blanks, '=', optional blanks, quoted value.
        for (std::size_t p = name_end; p < tag_end;) {
            while (p < tag_end && IsBlank(xml[p])) ++p;
            const std::size_t attr = p;
            while (p < tag_end && !IsBlank(xml[p]) && xml[p] != '=') ++p;
            const std::string_view attr_name = xml.substr(attr, p - attr);
            while (p < tag_end && IsBlank(xml[p])) ++p;
            if (p >= tag_end || xml[p] != '=') break;
            ++p;
            while (p < tag_end && IsBlank(xml[p])) ++p;
            if (p >= tag_end || (xml[p] != '"' && xml[p] != '\'')) break;
            const char quote = xml[p];
            const std::size_t value = p + 1;
            const std::size_t value_end = xml.find(quote, value);
            if (value_end == std::string_view::npos || value_end > tag_end) break;
            if (attr_name == "level") return ValueAt{value, value_end - value};
            p = value_end + 1;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// The path's first key name and what follows it.
std::string_view FirstName(std::string_view path) { return path.substr(0, path.find('\\')); }

}  // namespace

const char* ScopeWord(InstallScope scope) { return scope == InstallScope::kUser ? "user" : "machine"; }

InstallScope ScopeOfManifest(std::string_view manifest) {
    const auto at = LevelValue(manifest);
    return at && manifest.substr(at->start, at->size) == kAsInvoker ? InstallScope::kUser : InstallScope::kMachine;
}

std::string ManifestForScope(std::string_view manifest, InstallScope scope) {
    const auto at = LevelValue(manifest);
    if (!at) throw PackageError("the program's manifest names no requestedExecutionLevel level");
    std::string out(manifest.substr(0, at->start));
    out += scope == InstallScope::kUser ? kAsInvoker : kRequireAdministrator;
    out += manifest.substr(at->start + at->size);
    return out;
}

std::string UserScopeKeyProblem(std::string_view key_path) {
    const std::string top = FoldAsciiCase(std::string(FirstName(key_path)));
    if (top != "software") return "has no per-user counterpart: only keys under Software can be mapped to hkcu";
    const std::string_view below = key_path.size() > top.size() ? key_path.substr(top.size() + 1) : std::string_view();
    const std::string next = FoldAsciiCase(std::string(FirstName(below)));
    if (next == "policies") return "is a policy key, which only administrators may write, under hkcu as well";
    if (next == "wow6432node") return "is the 32-bit view, which hkcu does not have";
    return {};
}

}  // namespace zsetup
