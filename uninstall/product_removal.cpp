#include "uninstall/product_removal.h"

#include <algorithm>
#include <set>

#include "package/config_validation.h"
#include "package/extra_files.h"
#include "package/registry_placement.h"
#include "services/links.h"
#include "services/process_kill.h"
#include "services/shell_folders.h"
#include "services/shortcuts.h"
#include "text/gbk.h"
#include "package/setup_map.h"
#include "wizard/maker.h"
#include "wizard/program_scope.h"

namespace zsetup {
namespace {

constexpr std::uint32_t kReadWrite = kGenericRead | kKeySetValue;

std::size_t Depth(const std::string& path) {
    std::size_t n = 0;
    for (std::size_t at = FindFirstSeparator(path); at != std::string::npos; at = FindFirstSeparator(path, at + 1)) ++n;
    return n;
}

bool Inside(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && FoldAsciiCase(path.substr(0, folder.size())) == FoldAsciiCase(folder) &&
           path[folder.size()] == '\\';
}

// Whether an emptied key may go: only below "Software", and never in the
// system's own trees, where an empty key (Run, Uninstall) was there before
// the product and is the system's.
bool MayPrune(const std::string& path) {
    static const char* const kSystemTrees[] = {"software\\microsoft", "software\\classes", "software\\policies",
                                               "software\\wow6432node", "software\\clients"};
    const std::string folded = FoldAsciiCase(path);
    if (Depth(path) < 1 || folded.rfind("software\\", 0) != 0) return false;
    for (const char* tree : kSystemTrees) {
        const std::size_t n = std::char_traits<char>::length(tree);
        if (folded.compare(0, n, tree) == 0 && (folded.size() == n || folded[n] == '\\')) return false;
    }
    return true;
}

// What the row wrote, or nothing for a row that only made its key.
std::optional<RegValue> Written(const RegistryEntry& row) {
    if (row.Is(RegistryKind::Bool)) return DwordValue(row.BoolValue ? 1 : 0);
    if (row.Is(RegistryKind::String)) return StringValue(row.StringValue.text());
    if (row.Is(RegistryKind::Integer)) return DwordValue(row.IntValue);
    return std::nullopt;
}

}  // namespace

ProductRemoval::ProductRemoval(Platform& platform, const SetupConfig& record, const std::vector<FileEntry>& extra_files,
                               std::vector<std::string> processes, std::string folder, std::string self,
                               InstallScope scope)
    : platform_(platform),
      record_(record),
      extra_files_(extra_files),
      processes_(std::move(processes)),
      folder_(std::move(folder)),
      self_(std::move(self)),
      scope_(scope) {}

RemovalResult ProductRemoval::Run(const std::function<void(RemovalStage, int)>& progress) {
    for (const std::string& image : processes_) KillProcessByName(platform_.processes, image);
    RemovalResult result;

    // Every file the run wrote, then the record's copy and the uninstaller.
    std::vector<std::string> files;
    std::set<std::string> seen;
    seen.insert(FoldAsciiCase(self_));  // goes once the program has ended
    auto add = [&](const std::string& name) {
        if (seen.insert(FoldAsciiCase(folder_ + name)).second) files.push_back(folder_ + name);
    };
    const AllFileRows rows(record_, extra_files_);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!IsSkippedRow(rows[i])) add(rows[i].Name.text());
    add(installed::kRecordCopy);
    add(installed::kExtraFilesCopy);  // also an earlier, larger version's
    add(installed::kMakerCopy);
    add(installed::kUninstaller);
    std::vector<std::string> folders = {folder_};
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (ReachedWithoutLinks(files[i], false, result)) RemoveFile(files[i], result);
        for (std::string f = FolderOf(files[i]); Inside(f, folder_); f = FolderOf(f)) folders.push_back(f);
        progress(RemovalStage::kFiles, static_cast<int>(i * 100 / files.size()));
    }
    RemoveFolders(std::move(folders), result);

    progress(RemovalStage::kLinks, 0);
    RemoveLinks(result);
    progress(RemovalStage::kRegistry, 0);
    RemoveRegistry();
    progress(RemovalStage::kRegistry, 100);
    return result;
}

void ProductRemoval::RemoveFile(const std::string& path, RemovalResult& result) {
    Files& files = platform_.files;
    if (!files.Attributes(path) || files.RemoveFile(path)) return;
    // Held open (a program still running): it goes when Windows next starts.
    if (files.RemoveAtRestart(path)) result.at_restart.push_back(path);
    else result.failed.push_back(path);
}

bool ProductRemoval::ReachedWithoutLinks(const std::string& path, bool is_folder, RemovalResult& result) {
    std::optional<std::string> link = FirstLinkBelow(platform_.files, folder_, path);
    if (!link && is_folder && path != folder_ && IsLink(platform_.files, path)) link = path;
    if (!link) return true;
    if (std::find(result.links.begin(), result.links.end(), *link) == result.links.end()) result.links.push_back(*link);
    return false;
}

void ProductRemoval::RemoveFolders(std::vector<std::string> folders, RemovalResult& result) {
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        return Depth(a) != Depth(b) ? Depth(a) > Depth(b) : a < b;
    });
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    Files& files = platform_.files;
    for (const std::string& folder : folders) {
        if (!DirectoryExists(files, folder)) continue;
        if (Inside(folder, folder_) && !ReachedWithoutLinks(folder, true, result)) continue;
        if (files.RemoveFolder(folder)) continue;
        std::vector<std::string> entries = files.FolderEntries(folder);
        // What a run killed halfway left in the product's folders goes with them.
        if (folder == folder_ || Inside(folder, folder_)) {
            const auto left = std::partition(entries.begin(), entries.end(), [&](const std::string& name) {
                return !(IsTempFileName(name) && files.RemoveFile(folder + "\\" + name));
            });
            if (left != entries.end()) {
                entries.erase(left, entries.end());
                if (files.RemoveFolder(folder)) continue;
            }
        }
        const auto is_self = [&](const std::string& name) {
            return FoldAsciiCase(folder + "\\" + name) == FoldAsciiCase(self_);
        };
        const auto waits = [&](const std::string& name) {
            return is_self(name) || std::any_of(result.at_restart.begin(), result.at_restart.end(),
                                                [&](const std::string& p) { return p == folder + "\\" + name; });
        };
        // Holding nothing but the running uninstaller: the copy removes both.
        if (entries.size() == 1 && is_self(entries[0])) continue;
        // What the user put there keeps the folder.
        if (!std::all_of(entries.begin(), entries.end(), waits)) result.kept.push_back(folder);
        // Empty once what waits for the restart has gone: it goes then too.
        else if (files.RemoveAtRestart(folder)) result.at_restart.push_back(folder);
        else result.failed.push_back(folder);
    }
}

void ProductRemoval::RemoveLinks(RemovalResult& result) {
    const std::string desktop = GetDesktopDir(platform_.registry);
    const std::string group = ProgramGroupFolder(platform_.registry, record_.ProductName.text());
    for (const ShortcutEntry& row : record_.ShortcutRows()) {
        if (row.OnDesktop() && !desktop.empty()) RemoveFile(LinkFile(desktop, row.Name.text()), result);
        if (row.InProgramGroup() && !group.empty()) RemoveFile(LinkFile(group, row.Name.text()), result);
    }
    if (group.empty()) return;
    RemoveFile(LinkFile(group, installed::UninstallLinkName(record_)), result);
    RemoveFolders({group}, result);
}

void ProductRemoval::RemoveRegistry() {
    // The table's keys first: they may lie below the maker's key.
    RemoveTableValues();
    Registry& registry = platform_.registry;
    const RegRoot keys_root = KeysRoot(scope_);
    // Every name the install may have written: removing one it did not write is harmless.
    const installed::CopyDigests any_digests{"-", "-", "-"};
    const installed::CompleteEntry any_entry{"-", 0, "-", "-", "-"};
    const std::vector<installed::Value> written = installed::Values(record_, any_digests, any_entry);
    const auto delete_values = [&](installed::Key which) {
        if (auto key = registry.OpenKey(keys_root, installed::KeyPath(which, record_), false, kReadWrite))
            for (const installed::Value& value : written)
                if (value.key == which) key->DeleteValue(value.name);
    };
    delete_values(installed::Key::kProduct);
    PruneEmptyKeys(keys_root, installed::ProductKey(record_));
    // Another product of the same maker keeps the maker's values.
    const std::string company = installed::CompanyKey(record_);
    if (auto key = registry.OpenKey(keys_root, company, false, kReadWrite); key && key->SubkeyCount() == 0)
        delete_values(installed::Key::kCompany);
    PruneEmptyKeys(keys_root, company);
    delete_values(installed::Key::kUninstall);
    DeleteIfEmpty(keys_root, installed::UninstallKey(record_));
}

void ProductRemoval::RemoveTableValues() {
    std::set<std::pair<bool, std::string>> keys;
    for (const PlacedRegistryRow& placed : PlaceRegistryRows(record_, scope_)) {
        const RegRoot root = placed.current_user ? RegRoot::CurrentUser : RegRoot::LocalMachine;
        keys.insert({placed.current_user, FoldAsciiCase(placed.key_path)});
        const auto written = Written(*placed.row);
        if (!written) continue;
        auto key = platform_.registry.OpenKey(root, placed.key_path, false, kReadWrite);
        if (!key) continue;
        const std::string name = placed.row->ValueName.text();
        // A value the user or the product changed since is theirs now.
        if (key->QueryValue(name) == written) key->DeleteValue(name);
    }
    std::vector<std::pair<bool, std::string>> deepest_first(keys.begin(), keys.end());
    std::sort(deepest_first.begin(), deepest_first.end(),
              [](const auto& a, const auto& b) { return Depth(a.second) > Depth(b.second); });
    for (const auto& [user, path] : deepest_first)
        PruneEmptyKeys(user ? RegRoot::CurrentUser : RegRoot::LocalMachine, path);
}

bool ProductRemoval::DeleteIfEmpty(RegRoot root, const std::string& path) {
    auto key = platform_.registry.OpenKey(root, path, false, kGenericRead);
    if (!key || key->ValueCount() > 0 || key->SubkeyCount() > 0) return false;
    key.reset();
    return platform_.registry.DeleteKey(root, path);
}

void ProductRemoval::PruneEmptyKeys(RegRoot root, std::string path) {
    while (MayPrune(path) && DeleteIfEmpty(root, path)) path = path.substr(0, FindLastSeparator(path));
}

}  // namespace zsetup
