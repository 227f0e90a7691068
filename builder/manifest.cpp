#include "builder/manifest.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <map>
#include <set>
#include <string_view>

#include <toml++/toml.h>

#include "builder/file_io.h"
#include "builder/file_table.h"
#include "builder/folder_scan.h"
#include "builder/glob.h"
#include "builder/licence_text.h"
#include "builder/manifest_text.h"
#include "builder/toml_guard.h"
#include "builder/version_info.h"
#include "builder/wizard_fit.h"
#include "package/config_validation.h"
#include "package/extra_files.h"
#include "package/registry_placement.h"
#include "text/gbk.h"
#include "package/setup_map.h"
#include "text/name_case.h"
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
    // One problem, one line: a line break quoted from the input is written as \n.
    void Add(int line, const std::string& message) {
        text_ += ManifestPlace(file_, line);
        for (char c : message) {
            if (c == '\n') text_ += "\\n";
            else if (c == '\r') text_ += "\\r";
            else text_ += c;
        }
        text_ += '\n';
    }
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

// The rows of an array of tables such as [[shortcut]]; nothing after a problem.
// Files are counted with the files of the folders (file_count.h), not here.
std::vector<const toml::table*> Rows(const toml::table& root, std::string_view key, Problems& problems,
                                     std::size_t most = kMaxRows) {
    std::vector<const toml::table*> rows;
    const toml::node* node = root.get(key);
    if (!node) return rows;
    const auto* array = node->as_array();
    if (!array || !array->is_array_of_tables()) {
        problems.Add(node, std::string(key) + ": expected rows written as [[" + std::string(key) + "]]");
        return rows;
    }
    if (array->size() > most) {
        problems.Add(
            node, std::string(key) + ": " + std::to_string(array->size()) + " rows, at most " + std::to_string(most));
        return rows;
    }
    for (const auto& row : *array) rows.push_back(row.as_table());
    return rows;
}

constexpr std::size_t kDrivePrefixBytes = 3;  // "C:\\"

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
            problems.Add(date, std::string("product.") + key + ": " + Quoted(date->as_string()->get()) +
                                   " is not a date written yyyymmdd");
    }
    // Names that become a folder, the program group and the uninstall key, or a registry key.
    CheckName(p.get("name"), "product.name", record.ProductName.text(), FileNameProblem, problems);
    CheckName(p.get("default_folder"), "product.default_folder", record.DefaultFolderName.text(), FileNameProblem,
              problems);
    CheckName(p.get("company_key"), "product.company_key", record.CompanyKeyName.text(), KeyNameProblem, problems);
    const std::string folder = record.DefaultFolderName.text();

    if (p.get("install_folder")) ReadField(p, "install_folder", false, line, record.InstallFolder, problems);
    else record.InstallFolder.assign("C:\\" + folder);
    // The wizard proposes "C:\" or "D:\" and the default folder, cut to the
    // field's bytes: a longer one would be another folder, perhaps cut inside a character.
    if (kDrivePrefixBytes + folder.size() > kTextBytes)
        problems.Add(p.get("default_folder"),
                     "product.default_folder: " + std::to_string(folder.size()) + " bytes in GBK, at most " +
                         std::to_string(kTextBytes - kDrivePrefixBytes) + ": the wizard proposes \"C:\\" +
                         GbkToUtf8(folder) + "\" as the target folder, which must fit " + std::to_string(kTextBytes) +
                         " bytes");
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

// The [[file]] rows, each checked on its own.
std::vector<FileTableRow> ReadFiles(const toml::table& root, const std::filesystem::path& base, Problems& problems) {
    std::vector<FileTableRow> rows;
    int i = 0;
    for (const toml::table* row : Rows(root, "file", problems, SIZE_MAX)) {
        const std::string label = "file[" + std::to_string(i++) + "]";
        const std::string prefix = label + ".";
        CheckKeys(*row, prefix, {"source", "name"}, problems);
        FileTableRow entry;
        entry.source = {ReadSource(*row, prefix + "source", base, problems), prefix + "source", LineOf(*row)};
        entry.owner = label;
        entry.key = prefix + "name";
        entry.name_line = row->get("name") ? LineOf(*row->get("name")) : LineOf(*row);
        if (auto name = ReadText(*row, "name", prefix + "name", kFileNameBytes, true, LineOf(*row), problems)) {
            if (CheckName(row->get("name"), prefix + "name", *name, InstalledNameProblem, problems)) {
                entry.name = *name;
                rows.push_back(std::move(entry));
            }
        }
    }
    return rows;
}

// A [[folder]] row's include or exclude patterns.
std::vector<std::string> ReadPatterns(const toml::table& row, std::string_view key, const std::string& prefix,
                                      Problems& problems) {
    std::vector<std::string> patterns;
    const toml::node* node = row.get(key);
    if (!node) return patterns;
    const toml::array* array = node->as_array();
    if (!array) {
        problems.Add(node, prefix + std::string(key) + ": expected a list of patterns, [\"*.txt\", ...]");
        return patterns;
    }
    for (const toml::node& item : *array) {
        const std::string full_key = prefix + std::string(key);
        if (!item.is_string()) {
            problems.Add(&item, full_key + ": expected patterns in double quotes");
            continue;
        }
        const std::string& pattern = item.as_string()->get();
        if (std::string why = GlobProblem(pattern); !why.empty())
            problems.Add(&item, full_key + ": " + Quoted(pattern) + " " + why);
        else patterns.push_back(pattern);
    }
    return patterns;
}

// The installed folder of a [[folder]] row: "\" for the target folder itself.
std::optional<std::string> ReadFolderName(const toml::table& row, const std::string& prefix, Problems& problems) {
    auto name = ReadText(row, "name", prefix + "name", kFileNameBytes, true, LineOf(row), problems);
    if (!name || *name == "\\") return name;
    if (!CheckName(row.get("name"), prefix + "name", *name, InstalledNameProblem, problems)) return std::nullopt;
    return name;
}

void Warn(Manifest& m, int line, const std::string& what) {
    m.warnings.push_back(ManifestPlace(m.file.u8string(), line) + "warning: " + what);
}

// The licence in GBK: its problems with their places in the file, characters
// given stand-ins as warnings, and a note when it was not read as UTF-8.
void ReadLicence(Manifest& m, Problems& problems) {
    const int line = m.licence.line;
    const std::string shown = "licence: \"" + m.licence.path.u8string() + "\": ";
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(m.licence.path);
    } catch (const std::runtime_error& e) {
        problems.Add(line, std::string("licence: ") + e.what());
        return;
    }
    LicenceText text = DecodeLicence(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    for (const std::string& problem : text.problems) problems.Add(line, shown + problem);
    for (const std::string& stand_in : text.stand_ins) Warn(m, line, shown + stand_in);
    if (text.encoding == LicenceEncoding::kUtf16Le || text.encoding == LicenceEncoding::kUtf16Be ||
        text.encoding == LicenceEncoding::kGbk)
        m.notes.push_back(ManifestPlace(m.file.u8string(), line) + "note: " + shown + "read as " +
                          LicenceEncodingName(text.encoding));
    m.licence_text = std::move(text.gbk);
}

// Empty folders and a row that installs nothing: sound, but likely not what was meant.
void WarnAboutEmpty(Manifest& m, const std::string& prefix, const std::string& shown, int line,
                    const FolderScan& scan) {
    std::string empty;
    for (const std::string& e : scan.empty_folders)
        if (!e.empty()) empty += (empty.empty() ? "\"" : ", \"") + e + "\"";
    if (!empty.empty())
        Warn(m, line,
             prefix +
                 "source: empty folders are not installed (the installer makes a folder only for the files in "
                 "it): " +
                 empty);
    if (!scan.files.empty() || !scan.problems.empty()) return;
    const bool all_empty = scan.empty_folders == std::vector<std::string>{""};
    const char* const what = all_empty                    ? "is empty"
                             : scan.skipped_links.empty() ? "holds no file that include and exclude let through"
                                                          : "holds no file that include, exclude and follow_links "
                                                            "let through";
    Warn(m, line, shown + what + "; the row installs nothing");
}

// A table row for each file found, named below the row's installed folder
// ("\\" is the target folder itself) and checked as a [[file]] row's name is.
std::vector<FileTableRow> FolderFileRows(const FolderScan& scan, const std::string& folder, const std::string& label,
                                         int line, Problems& problems) {
    const std::string prefix = label + ".";
    std::vector<FileTableRow> rows;
    for (const FolderFile& file : scan.files) {
        if (file.relative.find('\\') != std::string::npos) {  // a separator on Windows, a letter here
            problems.Add(line, prefix + "source: \"" + file.relative + "\" holds a backslash in a name");
            continue;
        }
        std::string installed = GbkToUtf8(folder == "\\" ? std::string() : folder) + "/" + file.relative;
        std::replace(installed.begin(), installed.end(), '/', '\\');
        FileTableRow row;
        try {
            row.name = FieldText(prefix + "name", installed, kFileNameBytes);
        } catch (const ManifestError& e) {
            problems.Add(line, e.what());
            continue;
        }
        if (std::string why = InstalledNameProblem(row.name); !why.empty()) {
            problems.Add(line, prefix + "name: \"" + installed + "\" " + GbkToUtf8(why));
            continue;
        }
        row.source = {file.path, prefix + "source \"" + file.relative + "\"", line};
        row.owner = "\"" + file.relative + "\" from " + label;
        row.key = prefix + "name";
        row.from_folder = true;
        row.name_line = line;
        rows.push_back(std::move(row));
    }
    return rows;
}

// Each [[folder]] row's files, found by walking its folder: one group a row.
void ReadFolders(const toml::table& root, Manifest& m, const std::filesystem::path& base, Problems& problems,
                 FileTable& table) {
    int i = 0;
    for (const toml::table* row : Rows(root, "folder", problems, SIZE_MAX)) {
        const std::string label = "folder[" + std::to_string(i++) + "]";
        const std::string prefix = label + ".";
        const int line = LineOf(*row);
        CheckKeys(*row, prefix, {"source", "name", "include", "exclude", "follow_links"}, problems);
        const std::filesystem::path source = ReadSource(*row, prefix + "source", base, problems);
        const std::optional<std::string> folder = ReadFolderName(*row, prefix, problems);
        FolderFilter filter{ReadPatterns(*row, "include", prefix, problems),
                            ReadPatterns(*row, "exclude", prefix, problems)};
        if (const toml::node* follow = row->get("follow_links")) {
            if (!follow->is_boolean()) problems.Add(follow, prefix + "follow_links: expected true or false");
            else filter.follow_links = follow->as_boolean()->get();
        }
        if (source.empty() || !folder) continue;
        m.folders.push_back({source, prefix + "source", line});
        const std::string shown = prefix + "source: \"" + source.u8string() + "\" ";
        std::error_code ec;
        if (std::filesystem::is_regular_file(source, ec)) {
            problems.Add(line, shown + "is a file; a [[file]] row installs one file");
            continue;
        }
        if (!std::filesystem::is_directory(source, ec)) {
            problems.Add(line, shown + "cannot be read (no such folder)");
            continue;
        }
        const FolderScan scan = ScanFolder(source, filter);
        for (const std::string& problem : scan.problems) problems.Add(line, prefix + "source: " + problem);
        for (const SkippedLink& link : scan.skipped_links)
            Warn(m, line,
                 prefix + "source: \"" + link.relative + "\" is a link to \"" + link.target +
                     "\", out of the source folder; not followed (follow_links = true follows it)");
        WarnAboutEmpty(m, prefix, shown, line, scan);
        table.Add(label + " (" + Quoted(row->get("source")->value_or(std::string())) + ")",
                  FolderFileRows(scan, *folder, label, line, problems), true);
    }
}

// The file table from both kinds of row; the names a shortcut target may give.
void FillFileTable(FileTable& table, Manifest& m, Problems& problems, std::map<std::string, int>& index_of_name) {
    for (std::size_t i = 0; i < table.rows().size(); ++i)
        index_of_name.emplace(NameCaseKey(table.rows()[i].name), static_cast<int>(i));
    const std::vector<FileTableProblem> found = table.Problems();
    for (const FileTableProblem& p : found) problems.Add(p.line, p.message);
    if (found.empty()) table.Fill(*m.record, m.extra_files, m.sources);
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
    if (index_of_name.count(NameCaseKey(name))) return;  // the product's own
    if (m.sources.size() >= kMostFiles) {
        problems.Add(node, "file: " + std::to_string(kMostFiles) +
                               " files leave no room for the built-in uninstaller; give uninstaller = false");
        return;
    }
    index_of_name.emplace(NameCaseKey(name), static_cast<int>(m.sources.size()));
    AppendFileRow(*m.record, m.extra_files, name);
    const std::filesystem::path file = options.uninstaller ? options.uninstaller(m.arch) : std::filesystem::path();
    m.sources.push_back({file, "the built-in uninstaller (--uninstaller)", 0});
    m.built_in_uninstaller = true;
}

// The kind of program to build: the command line's over the key's, x86
// without either. A bad key is a problem even when the command line chose.
void ReadArch(const toml::table& root, Manifest& m, const ManifestOptions& options, Problems& problems) {
    if (const toml::node* node = root.get("arch")) {
        const std::optional<PeMachine> named =
            node->is_string() ? ArchNamed(node->as_string()->get()) : std::optional<PeMachine>();
        if (!named) {
            const std::string given = node->is_string() ? Quoted(node->as_string()->get()) + " is not" : "expected";
            problems.Add(node, "arch: " + given + " \"x86\" or \"x64\"");
        } else if (!options.arch) {
            m.arch = *named;
            m.arch_line = LineOf(*node);
        }
    }
    if (options.arch) m.arch = *options.arch;
}

// Whom the install is for. A per-user install writes the table's hklm rows
// under hkcu at the same path, which only keys under Software have, and
// proposes the user's own programs folder, not Program Files.
void ReadScope(const toml::table& root, Manifest& m, Problems& problems) {
    const toml::node* node = root.get("scope");
    if (!node) return;
    const std::string word = node->is_string() ? node->as_string()->get() : std::string();
    if (word == "user") m.scope = InstallScope::kUser;
    else if (word != "machine") {
        problems.Add(node, "scope: " + (node->is_string() ? Quoted(word) + " is not" : std::string("expected")) +
                               " \"machine\" or \"user\"");
        return;
    }
    if (m.scope != InstallScope::kUser) return;
    const toml::array* rows = root.get("registry") ? root.get("registry")->as_array() : nullptr;
    std::size_t i = 0;
    for (const PlacedRegistryRow& placed : PlaceRegistryRows(*m.record, InstallScope::kMachine)) {
        const std::size_t row = i++;
        if (placed.current_user) continue;
        const std::string why = UserScopeKeyProblem(placed.key_path);
        if (why.empty()) continue;
        const toml::node* at = rows && row < rows->size() ? rows->get(row) : nullptr;
        problems.Add(at ? LineOf(*at) : LineOf(*node), "registry[" + std::to_string(row) + "].key: hklm \"" +
                                                           GbkToUtf8(placed.key_path) + "\" " + why +
                                                           "; scope = \"user\" writes the table's hklm rows there");
    }
    if (m.maker.profile && m.maker.profile->folder_root == FolderRoot::kProgramFiles)
        problems.Add(node,
                     "scope: \"user\" proposes the user's own programs folder; [maker] folder_root = "
                     "\"program_files\" is for a machine install");
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
            auto at = index_of_name.find(NameCaseKey(*target));
            if (at == index_of_name.end())
                problems.Add(row->get("target"),
                             prefix + "target: \"" + GbkToUtf8(*target) + "\" is not the name of any [[file]]");
            else entry.FileIndex = at->second;
        }
        if (auto where = ReadText(*row, "where", prefix + "where", 64, true, line, problems)) {
            const auto kind = ShortcutKindNamed(*where);
            if (!kind)
                problems.Add(row->get("where"),
                             prefix + "where: \"" + *where + "\" is not one of \"desktop\", \"programs\", \"both\"");
            else entry.Kind = static_cast<std::uint8_t>(*kind);
        }
        ++i;
    }
    record.ShortcutCount = i;
}

// The installer opens a KeyPath without a leading backslash below the key the
// row before it opened, and one with it from the root. A manifest key is a
// path from the root unless the row says below_previous = true.
std::optional<std::string> RegistryKeyPath(const toml::table& row, const std::string& prefix, bool below, int line,
                                           Problems& problems) {
    auto key = ReadText(row, "key", prefix + "key", kTextBytes, true, line, problems);
    if (!key) return std::nullopt;
    const toml::node* node = row.get("key");
    const std::string shown = prefix + "key: \"" + GbkToUtf8(*key) + "\" ";
    if (below && !key->empty() && (*key)[0] == '\\') {
        problems.Add(node, shown +
                               "starts with a backslash, a path from the root; below_previous asks for a key "
                               "below the previous row's");
        return std::nullopt;
    }
    const std::string path = below || (!key->empty() && (*key)[0] == '\\') ? *key : "\\" + *key;
    for (std::size_t start = below ? 0 : 1; start <= path.size();) {
        std::size_t end = FindFirstSeparator(path, start);
        if (end == std::string::npos) end = path.size();
        if (std::string why = KeyNameProblem(path.substr(start, end - start)); !why.empty()) {
            problems.Add(node, shown + (end == start ? std::string("has an empty key name")
                                                     : "has \"" + GbkToUtf8(path.substr(start, end - start)) +
                                                           "\", which " + GbkToUtf8(why)));
            return std::nullopt;
        }
        start = end + 1;
    }
    if (path.size() > kTextBytes) {
        problems.Add(node, prefix + "key: " + std::to_string(path.size()) +
                               " bytes in GBK with the leading backslash that makes it a path from the root, at most " +
                               std::to_string(kTextBytes));
        return std::nullopt;
    }
    return path;
}

void ReadRegistry(const toml::table& root, SetupConfig& record, Problems& problems) {
    int i = 0;
    std::optional<bool> previous_hkcu;  // the root of the row before, when it was sound
    for (const toml::table* row : Rows(root, "registry", problems)) {
        const std::string prefix = "registry[" + std::to_string(i) + "].";
        RegistryEntry& entry = record.RegistryEntries[i];
        const int line = LineOf(*row);
        CheckKeys(*row, prefix, {"root", "key", "below_previous", "name", "type", "value"}, problems);
        bool below = false;
        if (const toml::node* flag = row->get("below_previous")) {
            if (!flag->is_boolean()) problems.Add(flag, prefix + "below_previous: expected true or false");
            else below = flag->as_boolean()->get();
            if (below && i == 0)
                problems.Add(flag, prefix + "below_previous: the first row has no previous key to lie below");
        }
        if (auto path = RegistryKeyPath(*row, prefix, below, line, problems)) entry.KeyPath.assign(*path);
        if (auto name = ReadText(*row, "name", prefix + "name", kTextBytes, true, line, problems))
            entry.ValueName.assign(*name);
        if (auto rootName = ReadText(*row, "root", prefix + "root", 64, true, line, problems)) {
            if (*rootName != "hkcu" && *rootName != "hklm")
                problems.Add(row->get("root"), prefix + "root: \"" + *rootName + "\" is not \"hkcu\" or \"hklm\"");
            entry.CurrentUser = *rootName == "hkcu";
            // Another root closes the previous row's key: the row would be opened from the top.
            if (below && previous_hkcu && *previous_hkcu != (entry.CurrentUser != 0))
                problems.Add(row->get("below_previous"), prefix + "below_previous: registry[" + std::to_string(i - 1) +
                                                             "] is under " + (*previous_hkcu ? "hkcu" : "hklm") +
                                                             ", this row under " + *rootName +
                                                             "; a key below it needs the same root");
            previous_hkcu = entry.CurrentUser != 0;
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

// The manifest's text, refused here when toml++ would misbehave on it.
std::string ManifestText(const std::filesystem::path& file, const std::string& shown) {
    Problems problems(shown);
    std::string text;
    try {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(file, kMostManifestBytes);
        text.assign(bytes.begin(), bytes.end());
    } catch (const std::runtime_error& e) {
        problems.Add(0, e.what());
        problems.ThrowIfAny();
    }
    if (const auto trap = FindTomlTrap(text)) problems.Add(trap->line, trap->message);
    problems.ThrowIfAny();
    return text;
}

// What is sound but would likely look wrong or be missed once shipped.
void AddWarnings(const toml::table& root, Manifest& m) {
    const SetupConfig& r = *m.record;
    const auto warn = [&](const std::string& key, const std::string& what) {
        const toml::node* node = key.empty() ? nullptr : root.at_path(key).node();
        Warn(m, node ? LineOf(*node) : 0, what);
    };
    for (const FitWarning& w : WizardFitWarnings(r)) warn(w.key, w.message);
    if (!ParseFileVersion(r.Version.text()))
        warn("product.version", "product.version: \"" + GbkToUtf8(r.Version.text()) +
                                    "\" does not start with one to four numbers of at most 65535; the file version in "
                                    "setup.exe's version information is 0.0.0.0");
    // Every row counts: the uninstaller of a product past 256 files is in the extra table.
    const AllFileRows files(r, m.extra_files);
    bool uninstaller = false;
    for (std::size_t i = 0; i < files.size() && !uninstaller; ++i)
        uninstaller = FoldAsciiCase(files[i].Name.text()) == installed::kUninstaller;
    if (!uninstaller)
        warn("",
             "no file is installed as \"\\uninstall.exe\": the uninstall entry in Windows' list of programs "
             "and the uninstall link in the program group start it, so the product could not be uninstalled");
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
        throw ManifestError("SOURCE_DATE_EPOCH: " + Quoted(s) + " is not a count of seconds since 1970");
    return static_cast<std::time_t>(std::stoll(s));
}

Manifest ReadManifest(const std::filesystem::path& file, const ManifestOptions& options) {
    const std::string shown = file.u8string();
    const std::string text = ManifestText(file, shown);
    toml::table root;
    try {
        root = toml::parse(std::string_view(text), std::string_view(shown));
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

    CheckKeys(root, "",
              {"product", "licence", "uninstaller", "arch", "scope", "file", "folder", "shortcut", "registry", "maker",
               "uninstall_entry", "sign", "winget"},
              problems);
    ReadArch(root, m, options, problems);
    ReadProduct(root, *m.record, options, problems);

    if (const toml::node* licence = root.get("licence"); !licence) {
        problems.Add(0, "licence: missing, it is required (a text file: UTF-8, UTF-16 or GBK)");
    } else if (!licence->is_string() || licence->as_string()->get().empty()) {
        problems.Add(licence, "licence: expected a path in double quotes");
    } else {
        m.licence = {base / std::filesystem::u8path(licence->as_string()->get()), "licence", LineOf(*licence)};
        ReadLicence(m, problems);
    }

    FileTable table;
    table.Add("[[file]] rows", ReadFiles(root, base, problems), false);
    ReadFolders(root, m, base, problems, table);
    std::map<std::string, int> index_of_name;
    FillFileTable(table, m, problems, index_of_name);
    AddUninstaller(root, m, options, problems, index_of_name);
    ReadShortcuts(root, *m.record, problems, index_of_name);
    ReadRegistry(root, *m.record, problems);
    const ProblemSink sink = [&](int line, const std::string& message) { problems.Add(line, message); };
    m.maker = ReadMakerTable(root, base, index_of_name, sink);
    ReadUninstallEntryTable(root, index_of_name, sink, m.maker.profile);
    m.publishing = ReadPublishingTables(root, shown, sink);
    ReadScope(root, m, problems);
    problems.ThrowIfAny();
    AddWarnings(root, m);
    return m;
}

}  // namespace zsetup
