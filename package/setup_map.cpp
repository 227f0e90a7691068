#include "package/setup_map.h"

#include <utility>

namespace zsetup {
namespace {

struct ShortcutWord {
    ShortcutKind kind;
    const char* word;
};
constexpr ShortcutWord kShortcutWords[] = {
    {ShortcutKind::Desktop, "desktop"}, {ShortcutKind::Programs, "programs"}, {ShortcutKind::Both, "both"}};

struct RegistryWord {
    RegistryKind kind;
    const char* word;
};
constexpr RegistryWord kRegistryWords[] = {{RegistryKind::Bool, "bool"},
                                           {RegistryKind::String, "string"},
                                           {RegistryKind::Integer, "int"},
                                           {RegistryKind::KeyOnly, "key only"}};

}  // namespace

bool IsSkippedName(std::string_view installed_name) { return installed_name.find("*.") != std::string_view::npos; }

const char* KindWord(ShortcutKind kind) {
    for (const ShortcutWord& w : kShortcutWords)
        if (w.kind == kind) return w.word;
    return "";
}

const char* KindWord(RegistryKind kind) {
    for (const RegistryWord& w : kRegistryWords)
        if (w.kind == kind) return w.word;
    return "";
}

std::optional<ShortcutKind> ShortcutKindNamed(std::string_view word) {
    for (const ShortcutWord& w : kShortcutWords)
        if (word == w.word) return w.kind;
    return std::nullopt;
}

std::optional<RegistryKind> RegistryKindNamed(std::string_view word) {
    for (const RegistryWord& w : kRegistryWords)
        if (word == w.word) return w.kind;
    return std::nullopt;
}

namespace installed {

std::string UninstallLinkName(const SetupConfig& config) {
    return "\xD0\xB6\xD4\xD8" + config.ProductName.text();  // "卸载" in GBK
}

std::string KeyPath(Key key, const SetupConfig& config) {
    switch (key) {
    case Key::kCompany: return "Software\\" + config.CompanyKeyName.text();
    case Key::kProduct: return KeyPath(Key::kCompany, config) + "\\" + config.DefaultFolderName.text();
    case Key::kUninstall:
        return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + config.ProductName.text();
    }
    return {};
}

std::vector<Value> Values(const SetupConfig& c, const CopyDigests& digests,
                          const std::optional<CompleteEntry>& complete) {
    const std::string folder = c.InstallFolder.text();
    std::vector<Value> values = {
        {Key::kCompany, "Site", c.Site.text()},
        {Key::kCompany, "Author", c.Author.text()},
        {Key::kProduct, kSetupValue, true},
        {Key::kProduct, kVersionValue, c.Version.text()},
        {Key::kProduct, kFolderValue, folder},
        {Key::kProduct, "Date", c.InstallDate.text()},
        {Key::kUninstall, "DisplayName", c.ProductName.text()},
        // Quoted: unquoted, a folder with a blank ("C:\Program Files\...")
        // may start another program.
        {Key::kUninstall, "UninstallString", "\"" + folder + kUninstaller + "\""},
        {Key::kUninstall, "DisplayVersion", c.Version.text()},
        {Key::kUninstall, "Publisher", c.Author.text()},
        {Key::kUninstall, kInstallLocationValue, folder},
        {Key::kUninstall, "URLInfoAbout", c.Site.text()},
    };
    const std::pair<const char*, const std::string*> copies[] = {{kRecordDigestValue, &digests.record},
                                                                 {kExtraFilesDigestValue, &digests.extra_files},
                                                                 {kMakerDigestValue, &digests.maker}};
    for (const auto& [name, digest] : copies)
        if (!digest->empty()) values.push_back({Key::kUninstall, name, *digest});
    if (!complete) return values;
    values.push_back({Key::kUninstall, "DisplayIcon", complete->display_icon});
    values.push_back({Key::kUninstall, "EstimatedSize", complete->size_kib});
    values.push_back({Key::kUninstall, "QuietUninstallString", "\"" + folder + kUninstaller + "\" /S"});
    // Setup cannot change or repair an install: the buttons would do nothing.
    values.push_back({Key::kUninstall, "NoModify", true});
    values.push_back({Key::kUninstall, "NoRepair", true});
    values.push_back({Key::kUninstall, "InstallDate", complete->install_date});
    if (!complete->help_link.empty()) values.push_back({Key::kUninstall, "HelpLink", complete->help_link});
    if (!complete->update_link.empty()) values.push_back({Key::kUninstall, "URLUpdateInfo", complete->update_link});
    return values;
}

std::uint32_t InstalledKib(const SetupConfig& config, const std::vector<FileEntry>& extra_rows) {
    std::uint64_t bytes = 0;
    const auto add = [&](const FileEntry& row) {
        if (!IsSkippedRow(row) && row.Size > 0) bytes += static_cast<std::uint64_t>(row.Size);
    };
    for (int i = 0; i < config.FileCount; ++i) add(config.Files[i]);
    for (const FileEntry& row : extra_rows) add(row);
    const std::uint64_t kib = (bytes + 1023) / 1024;
    return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kib);
}

}  // namespace installed
}  // namespace zsetup
