#include "builder/manifest.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string_view>

#include <toml++/toml.h>

#include "builder/manifest_text.h"
#include "package/config_validation.h"
#include "text/gbk.h"
#include "package/installed_names.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

// Every problem found, with the manifest line where one is known.
class Problems {
public:
    explicit Problems(std::string file) : file_(std::move(file)) {}

    void Add(const toml::node* at, const std::string& message) {
        const int line = at ? static_cast<int>(at->source().begin.line) : 0;
        Add(line, message);
    }
    void Add(int line, const std::string& message) { text_ += ManifestPlace(file_, line) + message + "\n"; }
    void ThrowIfAny() const {
        if (!text_.empty()) throw ManifestError(text_.substr(0, text_.size() - 1));
    }

private:
    std::string file_;
    std::string text_;
};

int LineOf(const toml::node& n) { return static_cast<int>(n.source().begin.line); }

void CheckKeys(const toml::table& table, const std::string& prefix, std::initializer_list<std::string_view> allowed,
               Problems& problems) {
    for (const auto& [key, value] : table) {
        if (std::find(allowed.begin(), allowed.end(), key.str()) == allowed.end())
            problems.Add(&value, prefix + std::string(key.str()) + ": unknown key");
    }
}

// Reads table[key] as a text for a field of limit GBK bytes; nothing after
// recording a problem (missing when required, wrong type, no GBK form, too long).
std::optional<std::string> ReadText(const toml::table& table, std::string_view key, const std::string& full_key,
                                    std::size_t limit, bool required, int table_line, Problems& problems) {
    const toml::node* node = table.get(key);
    if (!node) {
        if (required) problems.Add(table_line, full_key + ": missing, it is required");
        return std::nullopt;
    }
    const auto* s = node->as_string();
    if (!s) {
        problems.Add(node, full_key + ": expected a text in double quotes");
        return std::nullopt;
    }
    try {
        return FieldText(full_key, s->get(), limit);
    } catch (const ManifestError& e) {
        problems.Add(node, e.what());
        return std::nullopt;
    }
}

template <std::size_t N>
void ReadField(const toml::table& table, std::string_view key, bool required, int table_line, ShortString<N>& field,
               Problems& problems) {
    if (auto text = ReadText(table, key, "product." + std::string(key), N, required, table_line, problems))
        field.assign(*text);
}

// A name the installer turns into a path or a key, checked by the rule it
// will be checked by again when the package is installed.
bool CheckName(const toml::node* node, const std::string& full_key, const std::string& gbk,
               std::string (*problem)(std::string_view), Problems& problems) {
    if (!node || !node->is_string()) return false;  // missing or mistyped: reported already
    const std::string why = problem(gbk);
    if (why.empty()) return true;
    problems.Add(node, full_key + ": \"" + GbkToUtf8(gbk) + "\" " + GbkToUtf8(why));  // why may quote the name
    return false;
}

bool IsEightDigits(const std::string& s) {
    return s.size() == 8 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The rows of an array of tables such as [[file]]; nothing after a problem.
std::vector<const toml::table*> Rows(const toml::table& root, std::string_view key, Problems& problems) {
    std::vector<const toml::table*> rows;
    const toml::node* node = root.get(key);
    if (!node) return rows;
    const auto* array = node->as_array();
    if (!array || !array->is_array_of_tables()) {
        problems.Add(node, std::string(key) + ": expected rows written as [[" + std::string(key) + "]]");
        return rows;
    }
    if (array->size() > static_cast<std::size_t>(kMaxRows)) {
        problems.Add(node, std::string(key) + ": " + std::to_string(array->size()) + " rows, at most " +
                               std::to_string(kMaxRows));
        return rows;
    }
    for (const auto& row : *array) rows.push_back(row.as_table());
    return rows;
}

void ReadProduct(const toml::table& root, SetupConfig& record, const ManifestOptions& options, Problems& problems) {
    const toml::node* node = root.get("product");
    if (!node || !node->as_table()) {
        problems.Add(node, "product: missing, it is required as a [product] table");
        return;
    }
    const toml::table& p = *node->as_table();
    const int line = LineOf(p);
    CheckKeys(p, "product.",
              {"name", "version", "author", "site", "company_key", "default_folder", "introduction", "category",
               "legal_notice", "release_date", "install_date", "second_date", "install_folder"},
              problems);
    ReadField(p, "name", true, line, record.ProductName, problems);
    ReadField(p, "version", true, line, record.Version, problems);
    ReadField(p, "author", false, line, record.Author, problems);
    ReadField(p, "site", false, line, record.Site, problems);
    ReadField(p, "company_key", true, line, record.CompanyKeyName, problems);
    ReadField(p, "default_folder", true, line, record.DefaultFolderName, problems);
    ReadField(p, "introduction", false, line, record.Introduction, problems);
    ReadField(p, "category", false, line, record.Category, problems);
    ReadField(p, "legal_notice", false, line, record.LegalNotice, problems);
    ReadField(p, "release_date", false, line, record.ReleaseDate, problems);
    ReadField(p, "second_date", false, line, record.SecondDate, problems);
    record.InstallDate.assign(DateText(options.source_date_epoch ? *options.source_date_epoch : options.now));
    ReadField(p, "install_date", false, line, record.InstallDate, problems);

    for (const char* key : {"release_date", "install_date", "second_date"}) {
        const toml::node* date = p.get(key);
        if (date && date->is_string() && !IsEightDigits(date->as_string()->get()))
            problems.Add(date, std::string("product.") + key + ": \"" + date->as_string()->get() +
                                   "\" is not a date written yyyymmdd");
    }
    // Names that become a folder, the program group and the uninstall key, or a registry key.
    CheckName(p.get("name"), "product.name", record.ProductName.text(), FileNameProblem, problems);
    CheckName(p.get("default_folder"), "product.default_folder", record.DefaultFolderName.text(), FileNameProblem,
              problems);
    CheckName(p.get("company_key"), "product.company_key", record.CompanyKeyName.text(), KeyNameProblem, problems);
    const std::string folder = record.DefaultFolderName.text();

    if (p.get("install_folder")) ReadField(p, "install_folder", false, line, record.InstallFolder, problems);
    else record.InstallFolder.assign("C:\\" + folder);
    if (!p.get("install_folder") && ("C:\\" + folder).size() > kTextBytes)
        problems.Add(p.get("default_folder"), "product.install_folder: \"C:\\" + GbkToUtf8(folder) + "\" is over " +
                                                  std::to_string(kTextBytes) + " bytes in GBK; give install_folder");
}

std::filesystem::path ReadSource(const toml::table& row, const std::string& key, const std::filesystem::path& base,
                                 Problems& problems) {
    const toml::node* node = row.get("source");
    if (!node) {
        problems.Add(LineOf(row), key + ": missing, it is required");
        return {};
    }
    if (!node->is_string() || node->as_string()->get().empty()) {
        problems.Add(node, key + ": expected a path in double quotes");
        return {};
    }
    return base / std::filesystem::u8path(node->as_string()->get());
}

void ReadFiles(const toml::table& root, Manifest& m, const std::filesystem::path& base, Problems& problems,
               std::map<std::string, int>& index_of_name) {
    SetupConfig& record = *m.record;
    struct SoundName {
        std::string gbk;
        int row;
        const toml::node* node;
    };
    std::vector<SoundName> sound;
    int i = 0;
    for (const toml::table* row : Rows(root, "file", problems)) {
        const std::string prefix = "file[" + std::to_string(i) + "].";
        CheckKeys(*row, prefix, {"source", "name"}, problems);
        m.sources.push_back({ReadSource(*row, prefix + "source", base, problems), prefix + "source", LineOf(*row)});
        if (auto name = ReadText(*row, "name", prefix + "name", kFileNameBytes, true, LineOf(*row), problems)) {
            if (CheckName(row->get("name"), prefix + "name", *name, InstalledNameProblem, problems)) {
                index_of_name.emplace(FoldAsciiCase(*name), i);
                sound.push_back({*name, i, row->get("name")});
            }
            record.Files[i].Name.assign(*name);
        }
        ++i;
    }
    record.FileCount = i;

    // Two rows that Windows takes for one file, or a file where another row makes a folder.
    std::vector<std::string> names;
    for (const SoundName& n : sound) names.push_back(n.gbk);
    for (const NameClash& clash : FindNameClashes(names)) {
        const SoundName& first = sound[clash.first];
        const SoundName& second = sound[clash.second];
        problems.Add(second.node, "file[" + std::to_string(second.row) + "].name: \"" + GbkToUtf8(second.gbk) +
                                      (clash.folder ? "\" lies in a folder that is file[" : "\" is already file[") +
                                      std::to_string(first.row) + (clash.folder ? "]'s file" : "]'s name"));
    }
}

// Every package can be taken away again: the built-in uninstaller goes in as
// "\uninstall.exe" unless the product brings its own or asks for none.
void AddUninstaller(const toml::table& root, Manifest& m, const ManifestOptions& options, Problems& problems,
                    std::map<std::string, int>& index_of_name) {
    const toml::node* node = root.get("uninstaller");
    if (node && !node->is_boolean()) {
        problems.Add(node, "uninstaller: expected true or false");
        return;
    }
    if (node && !node->as_boolean()->get()) return;
    const std::string name = installed::kUninstaller;
    if (index_of_name.count(FoldAsciiCase(name))) return;  // the product's own
    SetupConfig& record = *m.record;
    if (record.FileCount >= kMaxRows) {
        problems.Add(node, "file: 256 rows leave no room for the built-in uninstaller; give uninstaller = false");
        return;
    }
    index_of_name.emplace(FoldAsciiCase(name), record.FileCount);
    record.Files[record.FileCount++].Name.assign(name);
    m.sources.push_back({options.uninstaller, "the built-in uninstaller (--uninstaller)", 0});
    m.built_in_uninstaller = true;
}

void ReadShortcuts(const toml::table& root, SetupConfig& record, Problems& problems,
                   const std::map<std::string, int>& index_of_name) {
    int i = 0;
    for (const toml::table* row : Rows(root, "shortcut", problems)) {
        const std::string prefix = "shortcut[" + std::to_string(i) + "].";
        ShortcutEntry& entry = record.Shortcuts[i];
        const int line = LineOf(*row);
        CheckKeys(*row, prefix, {"name", "target", "where", "arguments"}, problems);
        if (auto name = ReadText(*row, "name", prefix + "name", kFileNameBytes, true, line, problems)) {
            CheckName(row->get("name"), prefix + "name", *name, FileNameProblem, problems);
            entry.Name.assign(*name);
        }
        if (auto args = ReadText(*row, "arguments", prefix + "arguments", kArgumentsBytes, false, line, problems))
            entry.Arguments.assign(*args);
        if (auto target = ReadText(*row, "target", prefix + "target", kFileNameBytes, true, line, problems)) {
            auto at = index_of_name.find(FoldAsciiCase(*target));
            if (at == index_of_name.end())
                problems.Add(row->get("target"),
                             prefix + "target: \"" + GbkToUtf8(*target) + "\" is not the name of any [[file]]");
            else entry.FileIndex = at->second;
        }
        if (auto where = ReadText(*row, "where", prefix + "where", 64, true, line, problems)) {
            static const std::map<std::string, ShortcutKind> kinds = {
                {"desktop", ShortcutKind::Desktop}, {"programs", ShortcutKind::Programs}, {"both", ShortcutKind::Both}};
            auto kind = kinds.find(*where);
            if (kind == kinds.end())
                problems.Add(row->get("where"),
                             prefix + "where: \"" + *where + "\" is not one of \"desktop\", \"programs\", \"both\"");
            else entry.Kind = static_cast<std::uint8_t>(kind->second);
        }
        ++i;
    }
    record.ShortcutCount = i;
}

void ReadRegistry(const toml::table& root, SetupConfig& record, Problems& problems) {
    int i = 0;
    for (const toml::table* row : Rows(root, "registry", problems)) {
        const std::string prefix = "registry[" + std::to_string(i) + "].";
        RegistryEntry& entry = record.RegistryEntries[i];
        const int line = LineOf(*row);
        CheckKeys(*row, prefix, {"root", "key", "name", "type", "value"}, problems);
        if (auto key = ReadText(*row, "key", prefix + "key", kTextBytes, true, line, problems))
            entry.KeyPath.assign(*key);
        if (auto name = ReadText(*row, "name", prefix + "name", kTextBytes, true, line, problems))
            entry.ValueName.assign(*name);
        if (auto rootName = ReadText(*row, "root", prefix + "root", 64, true, line, problems)) {
            if (*rootName != "hkcu" && *rootName != "hklm")
                problems.Add(row->get("root"), prefix + "root: \"" + *rootName + "\" is not \"hkcu\" or \"hklm\"");
            entry.CurrentUser = *rootName == "hkcu";
        }
        const auto type = ReadText(*row, "type", prefix + "type", 64, true, line, problems);
        const toml::node* value = row->get("value");
        if (!value) problems.Add(line, prefix + "value: missing, it is required");
        if (!type || !value) {
            ++i;
            continue;
        }
        if (*type == "bool") {
            entry.Kind = static_cast<std::uint8_t>(RegistryKind::Bool);
            if (value->is_boolean()) entry.BoolValue = value->as_boolean()->get() ? 1 : 0;
            else problems.Add(value, prefix + "value: expected true or false for type \"bool\"");
        } else if (*type == "string") {
            entry.Kind = static_cast<std::uint8_t>(RegistryKind::String);
            if (auto text = ReadText(*row, "value", prefix + "value", kStringValueBytes, true, line, problems))
                entry.StringValue.assign(*text);
        } else if (*type == "int") {
            entry.Kind = static_cast<std::uint8_t>(RegistryKind::Integer);
            const auto* n = value->as_integer();
            // Windows stores a DWORD: negative values are kept as their 32-bit pattern.
            if (n && n->get() >= INT32_MIN && n->get() <= UINT32_MAX)
                entry.IntValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(n->get()));
            else problems.Add(value, prefix + "value: expected a whole number from -2147483648 to 4294967295");
        } else {
            problems.Add(row->get("type"), prefix + "type: \"" + *type + "\" is not \"bool\", \"string\" or \"int\"");
        }
        ++i;
    }
    record.RegistryCount = i;
}

}  // namespace

std::string DateText(std::time_t t) {
    // Days to a civil date (proleptic Gregorian), so no time zone or C
    // library state is involved.
    long long z = static_cast<long long>(t) / 86400;
    if (static_cast<long long>(t) % 86400 < 0) --z;
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld%02lld%02lld", y, m, d);
    return text;
}

std::optional<std::time_t> SourceDateEpoch(const char* value) {
    if (!value) return std::nullopt;
    const std::string s = value;
    if (s.empty() || s.size() > 12 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw ManifestError("SOURCE_DATE_EPOCH: \"" + s + "\" is not a count of seconds since 1970");
    return static_cast<std::time_t>(std::stoll(s));
}

Manifest ReadManifest(const std::filesystem::path& file, const ManifestOptions& options) {
    const std::string shown = file.u8string();
    toml::table root;
    try {
        root = toml::parse_file(shown);
    } catch (const toml::parse_error& e) {
        Problems problems(shown);
        problems.Add(static_cast<int>(e.source().begin.line), std::string(e.description()));
        problems.ThrowIfAny();
    }

    Problems problems(shown);
    Manifest m;
    m.file = file;
    m.record = std::make_unique<SetupConfig>(SetupConfig::Zero());
    const std::filesystem::path base = file.parent_path();

    CheckKeys(root, "", {"product", "licence", "uninstaller", "file", "shortcut", "registry", "maker"}, problems);
    ReadProduct(root, *m.record, options, problems);

    if (const toml::node* licence = root.get("licence"); !licence) {
        problems.Add(0, "licence: missing, it is required (a UTF-8 text file)");
    } else if (!licence->is_string() || licence->as_string()->get().empty()) {
        problems.Add(licence, "licence: expected a path in double quotes");
    } else {
        m.licence = {base / std::filesystem::u8path(licence->as_string()->get()), "licence", LineOf(*licence)};
    }

    std::map<std::string, int> index_of_name;
    ReadFiles(root, m, base, problems, index_of_name);
    AddUninstaller(root, m, options, problems, index_of_name);
    ReadShortcuts(root, *m.record, problems, index_of_name);
    ReadRegistry(root, *m.record, problems);
    m.maker = ReadMakerTable(root, base, index_of_name,
                             [&](int line, const std::string& message) { problems.Add(line, message); });
    problems.ThrowIfAny();
    return m;
}

}  // namespace zsetup
