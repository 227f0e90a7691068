#include "package/config_validation.h"

#include "text/gbk.h"

namespace zsetup {

namespace {

// Windows drops trailing dots and blanks from a component, so "..", ". ." and
// ".. " all climb to the parent.
bool ClimbsUp(std::string_view component) {
    int dots = 0;
    for (char c : component) {
        if (c == '.') ++dots;
        else if (c != ' ') return false;
    }
    return dots >= 2;
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

void Add(std::vector<ConfigProblem>& out, std::string where, const std::string& what) {
    std::string message = where + ": " + what;
    out.push_back({std::move(where), std::move(message)});
}

void CheckCount(std::vector<ConfigProblem>& out, const char* field, std::int32_t count) {
    if (count < 0 || count > kMaxRows) Add(out, field, std::to_string(count) + " is outside 0..256");
}

std::string Row(const char* table, std::size_t i, const char* field) {
    return std::string(table) + "[" + std::to_string(i) + "]." + field;
}

}  // namespace

std::string InstalledNameProblem(std::string_view name) {
    if (name.empty() || name[0] != '\\') return "does not start with a backslash";
    std::size_t start = 1;
    for (std::size_t i = 1; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '\\') {
            if (ClimbsUp(name.substr(start, i - start))) return "climbs out of the target folder";
            start = i + 1;
            continue;
        }
        if (GbkCharLength(name, i) == 2) {
            ++i;  // the trail byte may be 0x5C, which is no separator here
            continue;
        }
        const char c = name[i];
        if (c == ':') return "holds a drive or stream separator ':'";
        if (c == '/') return "holds a forward slash";
    }
    return {};
}

std::vector<ConfigProblem> ValidateConfig(const SetupConfig& config, std::uint64_t payload_size) {
    std::vector<ConfigProblem> out;
    CheckCount(out, "FileCount", config.FileCount);
    CheckCount(out, "ShortcutCount", config.ShortcutCount);
    CheckCount(out, "RegistryCount", config.RegistryCount);

    const auto files = config.FileRows();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileEntry& f = files[i];
        std::string name = f.Name.text();
        std::string why = InstalledNameProblem(name);
        if (!why.empty()) Add(out, Row("Files", i, "Name"), Quoted(name) + " " + why);
        if (f.Offset < 0) Add(out, Row("Files", i, "Offset"), std::to_string(f.Offset) + " is negative");
        if (f.Size < 0) Add(out, Row("Files", i, "Size"), std::to_string(f.Size) + " is negative");
        if (f.Offset >= 0 && f.Size >= 0 &&
            static_cast<std::uint64_t>(f.Offset) + static_cast<std::uint64_t>(f.Size) > payload_size) {
            Add(out, Row("Files", i, "Size"),
                "bytes " + std::to_string(f.Offset) + ".." +
                    std::to_string(static_cast<std::int64_t>(f.Offset) + f.Size) + " lie outside the payload of " +
                    std::to_string(payload_size) + " bytes");
        }
    }

    const auto shortcuts = config.ShortcutRows();
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        std::int32_t index = shortcuts[i].FileIndex;
        if (index < 0 || static_cast<std::size_t>(index) >= files.size())
            Add(out, Row("Shortcuts", i, "FileIndex"),
                std::to_string(index) + " is not a row of the file table (" + std::to_string(files.size()) + " rows)");
    }
    return out;
}

std::string DescribeProblems(const std::vector<ConfigProblem>& problems) {
    std::string text;
    for (const auto& p : problems) {
        if (!text.empty()) text += "\r\n";
        text += p.message;
    }
    return text;
}

}  // namespace zsetup
