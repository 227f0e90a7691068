#include "package/config_validation.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "package/extra_files.h"
#include "text/gbk.h"
#include "text/name_case.h"

namespace zsetup {

namespace {

// Windows drops trailing dots and blanks from a name, so a name of dots and
// blanks only is nothing (".") or the parent ("..", ". .", ".. ").
bool OnlyDotsAndBlanks(std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return c == '.' || c == ' '; });
}

bool ClimbsUp(std::string_view name) {
    return OnlyDotsAndBlanks(name) && std::count(name.begin(), name.end(), '.') >= 2;
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$: devices wherever they
// stand, also with an extension ("nul.txt") or blanks before it.
bool IsDeviceName(std::string_view name) {
    std::string base = FoldAsciiCase(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (const char* device : kDevices)
        if (base == device) return true;
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

// What is wrong with the characters of a name, "" when nothing; separators
// are left to the caller.
std::string CharacterProblem(std::string_view name, bool key) {
    for (std::size_t i = 0; i < name.size(); i += GbkCharLength(name, i)) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (!IsGbkCharacterAt(name, i)) return "holds a byte that is not GBK text";
        if (GbkCharLength(name, i) == 2) continue;
        if (c < 0x20 || c == 0x7F) return "holds a control character";
        if (key) continue;
        if (c == ':') return "holds a drive or stream separator ':'";
        if (c == '/') return "holds a forward slash";
        if (std::string_view("<>\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
            return std::string("holds '") + static_cast<char>(c) + "', which Windows refuses in a name";
    }
    return {};
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

void Add(std::vector<ConfigProblem>& out, std::string where, const std::string& what) {
    std::string message = where + ": " + what;
    out.push_back({std::move(where), std::move(message)});
}

void CheckCount(std::vector<ConfigProblem>& out, const char* field, std::int32_t count) {
    if (count < 0 || count > kMaxRows) Add(out, field, std::to_string(count) + " is outside 0..256");
}

void CheckName(std::vector<ConfigProblem>& out, std::string where, const std::string& name, const std::string& why) {
    if (!why.empty()) Add(out, std::move(where), Quoted(name) + " " + why);
}

std::string Row(const char* table, std::size_t i, const char* field) {
    return std::string(table) + "[" + std::to_string(i) + "]." + field;
}

}  // namespace

std::string FileNameProblem(std::string_view name) {
    if (name.empty()) return "is empty";
    if (ClimbsUp(name)) return "climbs out of the folder it belongs in";
    if (OnlyDotsAndBlanks(name)) return "names no file or folder";
    if (FindFirstSeparator(name) != std::string_view::npos) return "holds a backslash";
    if (std::string why = CharacterProblem(name, false); !why.empty()) return why;
    if (name.back() == '.' || name.back() == ' ') return "ends with a dot or a blank, which Windows drops";
    if (IsDeviceName(name)) return "is the name of a Windows device";
    return {};
}

std::string InstalledNameProblem(std::string_view name) {
    if (name.empty() || name[0] != '\\') return "does not start with a backslash";
    for (std::size_t start = 1; start <= name.size();) {
        std::size_t end = FindFirstSeparator(name, start);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view component = name.substr(start, end - start);
        if (ClimbsUp(component)) return "climbs out of the target folder";
        if (std::string why = FileNameProblem(component); !why.empty())
            return component.empty() ? "has an empty folder or file name"
                                     : "has \"" + std::string(component) + "\", which " + why;
        start = end + 1;
    }
    return {};
}

std::string KeyNameProblem(std::string_view name) {
    if (name.empty()) return "is empty";
    if (FindFirstSeparator(name) != std::string_view::npos) return "holds a backslash";
    return CharacterProblem(name, true);
}

std::vector<NameClash> FindNameClashes(const std::vector<std::string>& installed_names) {
    std::vector<NameClash> clashes;
    std::vector<std::string> keys;  // each name as NTFS compares it
    keys.reserve(installed_names.size());
    std::map<std::string, std::size_t> files;  // key -> first row
    for (std::size_t i = 0; i < installed_names.size(); ++i) {
        keys.push_back(NameCaseKey(installed_names[i]));
        auto [at, added] = files.emplace(keys.back(), i);
        if (!added) clashes.push_back({at->second, i, false});
    }
    // A folder of one row that is another row's file: each folder part of each
    // name. In a key every backslash is a separator, never a trail byte.
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (std::size_t at = keys[i].find('\\', 1); at != std::string::npos; at = keys[i].find('\\', at + 1)) {
            const auto file = files.find(keys[i].substr(0, at));
            if (file != files.end()) clashes.push_back({file->second, i, true});
        }
    }
    std::sort(clashes.begin(), clashes.end(), [](const NameClash& a, const NameClash& b) {
        return std::tie(a.second, a.first) < std::tie(b.second, b.first);
    });
    return clashes;
}

std::vector<ConfigProblem> ValidateConfig(const SetupConfig& config, std::uint64_t payload_size) {
    return ValidateConfig(config, {}, payload_size);
}

std::vector<ConfigProblem> ValidateConfig(const SetupConfig& config, const std::vector<FileEntry>& extra_files,
                                          std::uint64_t payload_size) {
    std::vector<ConfigProblem> out;
    CheckName(out, "ProductName", config.ProductName.text(), FileNameProblem(config.ProductName.text()));
    CheckName(out, "DefaultFolderName", config.DefaultFolderName.text(),
              FileNameProblem(config.DefaultFolderName.text()));
    CheckName(out, "CompanyKeyName", config.CompanyKeyName.text(), KeyNameProblem(config.CompanyKeyName.text()));
    CheckCount(out, "FileCount", config.FileCount);
    CheckCount(out, "ShortcutCount", config.ShortcutCount);
    CheckCount(out, "RegistryCount", config.RegistryCount);

    // More rows only follow a full record: file 256 is always the table's first.
    if (!extra_files.empty() && config.FileCount != kMaxRows)
        Add(out, kExtraFilesResource,
            std::to_string(extra_files.size()) + " more file rows, but FileCount is " +
                std::to_string(config.FileCount) + ", not 256");

    const AllFileRows files(config, extra_files);
    std::vector<std::string> names;
    std::vector<std::size_t> rows;  // the file row of each name
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileEntry& f = files[i];
        const std::string name = f.Name.text();
        const std::string why = IsSkippedRow(f) ? std::string() : InstalledNameProblem(name);
        CheckName(out, Row("Files", i, "Name"), name, why);
        if (why.empty() && !IsSkippedRow(f)) {  // clashes among sound names only
            names.push_back(name);
            rows.push_back(i);
        }
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
    for (const NameClash& clash : FindNameClashes(names)) {
        const std::size_t first = rows[clash.first], second = rows[clash.second];
        Add(out, Row("Files", second, "Name"),
            Quoted(names[clash.second]) + (clash.folder
                                               ? " lies in a folder that is Files[" + std::to_string(first) + "]'s file"
                                               : " is the same file as Files[" + std::to_string(first) + "]"));
    }

    const auto shortcuts = config.ShortcutRows();
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        const std::string name = shortcuts[i].Name.text();
        CheckName(out, Row("Shortcuts", i, "Name"), name, FileNameProblem(name));
        std::int32_t index = shortcuts[i].FileIndex;
        if (index < 0 || static_cast<std::size_t>(index) >= files.size())
            Add(out, Row("Shortcuts", i, "FileIndex"),
                std::to_string(index) + " is not a row of the file table (" + std::to_string(files.size()) + " rows)");
    }
    return out;
}

std::string DescribeProblems(const std::vector<ConfigProblem>& problems, std::size_t most) {
    std::string text;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        if (!text.empty()) text += "\r\n";
        if (i == most) return text + "... and " + std::to_string(problems.size() - most) + " more";
        text += problems[i].message;
    }
    return text;
}

}  // namespace zsetup
