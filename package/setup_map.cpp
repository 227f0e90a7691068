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

std::vector<Value> Values(const SetupConfig& c, const CopyDigests& digests) {
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
    return values;
}

}  // namespace installed
}  // namespace zsetup
