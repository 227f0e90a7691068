// RunInstall: files, the record's copy, the registry, the shortcuts.
#include <new>
#include <optional>
#include <set>
#include <string>
#include <variant>

#include "installer/main_form.h"
#include "installer/wizard_texts.h"
#include "package/installed_record.h"
#include "package/setup_map.h"
#include "wizard/repaint_pacer.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "package/registry_placement.h"
#include "platform/registry_accessor.h"
#include "services/force_dirs.h"
#include "services/links.h"
#include "services/path_text.h"
#include "services/shortcuts.h"
#include "text/gbk.h"

namespace zsetup {
namespace {

// Marks the run as under way until it returns or fails: a close request is
// refused meanwhile.
class RunScope {
public:
    explicit RunScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunScope() { flag_ = false; }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

void TMainForm::RunInstall() {
    const RunScope running(run_in_progress_);
    Installing = true;
    failed_files_.clear();
    ProtectInstallFolder();
    RemoveLeftTempFiles();
    ui::Widget& work = controls_.stage_label;
    work.SetCaption(texts::kCopyingFiles);
    work.SetWidth(300);
    work.Repaint();

    // The record's rows, then the extra table's: one progress over all.
    const AllFileRows files(*config, extra_files);
    RepaintPacer pacer(platform_.clock);
    for (std::size_t i = 0; i < files.size(); ++i) InstallFile(files[i], i, files.size(), pacer);

    // A copy this package does not have may be an earlier install's: it goes,
    // or the uninstaller would take it for a planted one.
    copy_digests_ = {};
    copy_digests_.record = CopyResource(kConfigResource, installed::kRecordCopy);
    if (!extra_files.empty()) copy_digests_.extra_files = CopyResource(kExtraFilesResource, installed::kExtraFilesCopy);
    else RemoveStaleCopy(installed::kExtraFilesCopy);
    if (platform_.resources.RcData(kMakerResource))
        copy_digests_.maker = CopyResource(kMakerResource, installed::kMakerCopy);
    else RemoveStaleCopy(installed::kMakerCopy);

    work.SetCaption(texts::kRegistering);
    work.Repaint();
    controls_.file_label.Hide();
    controls_.pages.Repaint();
    WriteRegistry();

    work.SetCaption(texts::kMakingShortcuts);
    work.Repaint();
    MakeShortcuts();
    Installing = false;
}

// Below a drive root a new folder lets every signed-in user change what it
// holds, and the elevated uninstaller later runs from it: the folder gets
// Program Files' own access, unless it lies there already. A per-user
// install's folder is the user's own, as is its uninstaller.
void TMainForm::ProtectInstallFolder() {
    const std::string folder = config->InstallFolder.text();
    if (scope_ == InstallScope::kUser) return log_.FolderAccess(folder, false);
    const std::string program_files = platform_.shell.ProgramFilesFolder();
    if (!program_files.empty() && FoldAsciiCase(folder).rfind(FoldAsciiCase(program_files + "\\"), 0) == 0) return;
    log_.FolderAccess(folder, platform_.files.ProtectFolder(folder));
}

void TMainForm::RemoveLeftTempFiles() {
    const std::string top = config->InstallFolder.text();
    std::set<std::string> folders = {FoldAsciiCase(top)};
    std::vector<std::string> in_order = {top};
    const AllFileRows files(*config, extra_files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (IsSkippedRow(files[i])) continue;
        const std::string folder = FolderOf(top + files[i].Name.text());
        if (folders.insert(FoldAsciiCase(folder)).second) in_order.push_back(folder);
    }
    Files& disk = platform_.files;
    for (const std::string& folder : in_order) {
        if (!DirectoryExists(disk, folder) || IsLink(disk, folder) || FirstLinkBelow(disk, top, folder)) continue;
        for (const std::string& name : disk.FolderEntries(folder))
            if (IsTempFileName(name)) disk.RemoveFile(folder + "\\" + name);
    }
}

// The copy is the resource as built, not the record in memory. Written
// beside its place and renamed there once on the disk: a run killed or a
// power cut now leaves the earlier install's copy or this one, whole.
std::string TMainForm::CopyResource(const char* resource, const char* name) {
    const std::string copy = config->InstallFolder.text() + name;
    const auto packed = platform_.resources.RcData(resource);
    Files& files = platform_.files;
    const auto temp = packed ? files.MakeTempFile(config->InstallFolder.text()) : std::nullopt;
    if (!temp || !files.WriteWholeFile(*temp, *packed) || !files.FlushToDisk(*temp) ||
        !files.MoveReplacing(*temp, copy)) {
        if (temp) files.RemoveFile(*temp);
        throw PackageError("Cannot create file \"" + copy + "\". The file could not be written.");
    }
    log_.File(copy);
    return CopyDigest(*packed);
}

void TMainForm::RemoveStaleCopy(const char* name) {
    const std::string copy = config->InstallFolder.text() + name;
    if (platform_.files.Attributes(copy) && !platform_.files.RemoveFile(copy))
        throw PackageError("Cannot delete file \"" + copy + "\".");
}

void TMainForm::InstallFile(const FileEntry& row, std::size_t i, std::size_t count, RepaintPacer& pacer) {
    if (IsSkippedRow(row)) return;
    const std::string path = config->InstallFolder.text() + row.Name.text();
    const std::string folder = FolderOf(path);
    // A link planted in a folder that was there before leads anywhere: the
    // run does not write through it.
    if (const auto link = FirstLinkBelow(platform_.files, config->InstallFolder.text(), path)) {
        log_.LinkNotFollowed(*link);
        failed_files_.push_back(path);
        return;
    }
    if (!ForceDirs(platform_.files, folder)) {
        failed_files_.push_back(path);  // skipped without a box, but not forgotten
        return;
    }

    // The label and the bar always hold the current file; they are painted when due.
    ui::Widget& name = controls_.file_label;
    name.SetCaption(ShortenPath(path, 40));
    name.SetWidth(300);
    const int percent = static_cast<int>(i * 100 / count);
    const bool paint = pacer.Due(percent);
    if (paint) name.Repaint();

    // Written beside the target and swapped in, so a failed write never
    // costs the user the file that was there; the bytes go from the payload
    // to the disk a piece at a time, however large the file.
    bool written = false;
    if (const auto temp = platform_.files.MakeTempFile(folder)) {
        try {
            payload->Open(row);
            // Over an earlier file the bytes go to the disk before the rename,
            // so a power cut leaves the old file or the new one.
            const bool replacing = platform_.files.Attributes(path).has_value();
            written = platform_.files.WriteFileFrom(
                          *temp, [this](std::uint8_t* out, std::size_t n) { return payload->Read(out, n); }) &&
                      (!replacing || platform_.files.FlushToDisk(*temp)) && platform_.files.MoveReplacing(*temp, path);
        } catch (const std::bad_alloc&) {
            written = false;  // no memory for the write's buffer: this file fails, the run goes on
        } catch (const PackageError&) {
            platform_.files.RemoveFile(*temp);  // the run ends with the error; no stray temp file stays
            throw;
        }
        if (!written) platform_.files.RemoveFile(*temp);
    }
    if (written) {
        log_.File(path);
    } else {
        failed_files_.push_back(path);
        platform_.dialogs.ShowMessage(texts::kFileFailed + path, lines_.caption, kMbOk | kMbIconInformation);
    }

    ui::Widget& progress = controls_.progress;
    progress.SetPosition(percent);
    if (paint) progress.Repaint();
}

// Only when the maker asks: the design's entry is the thin one.
std::optional<installed::CompleteEntry> TMainForm::CompleteEntry() {
    if (!maker_.complete_entry) return std::nullopt;
    const SetupConfig& c = *config;
    installed::CompleteEntry entry;
    // The maker's program, else the uninstaller, whose icon every package has.
    const std::string file = maker_.entry_icon ? c.Files[*maker_.entry_icon].Name.text() : installed::kUninstaller;
    entry.display_icon = c.InstallFolder.text() + file + ",0";
    entry.size_kib = installed::InstalledKib(c, extra_files);
    entry.install_date = platform_.clock.Today();
    entry.help_link = maker_.help_link.value_or("");
    entry.update_link = maker_.update_link.value_or("");
    return entry;
}

void TMainForm::WriteRegistry() {
    const SetupConfig& c = *config;
    const RegRoot keys_root = KeysRoot(scope_);
    RegistryAccessor reg(platform_.registry, kGenericRead | kKeySetValue, keys_root);
    std::optional<installed::Key> open;
    for (const installed::Value& value : installed::Values(c, copy_digests_, CompleteEntry())) {
        const std::string key = "\\" + installed::KeyPath(value.key, c);
        if (open != value.key) {
            if (open) reg.CloseKey();
            // A failed open leaves no current key: the first write then fails
            // and its error ends the run.
            reg.OpenKey(key, true);
            open = value.key;
        }
        if (const bool* flag = std::get_if<bool>(&value.data)) reg.WriteBool(value.name, *flag);
        else if (const std::uint32_t* number = std::get_if<std::uint32_t>(&value.data))
            reg.WriteInteger(value.name, static_cast<std::int32_t>(*number));
        else reg.WriteString(value.name, std::get<std::string>(value.data));
        log_.RegistryValue(keys_root, key, value.name);
    }
    reg.CloseKey();

    // Rows keep the key they opened: a later relative KeyPath lies below it.
    for (const PlacedRegistryRow& placed : PlaceRegistryRows(c, scope_)) {
        const RegistryEntry& row = *placed.row;
        const RegRoot root = placed.current_user ? RegRoot::CurrentUser : RegRoot::LocalMachine;
        reg.SetRoot(root);
        try {
            if (!reg.OpenKey("\\" + placed.key_path, true)) continue;
            const std::string name = row.ValueName.text();
            if (row.Is(RegistryKind::Bool)) reg.WriteBool(name, row.BoolValue != 0);
            else if (row.Is(RegistryKind::String)) reg.WriteString(name, row.StringValue.text());
            else if (row.Is(RegistryKind::Integer)) reg.WriteInteger(name, row.IntValue);
            else continue;  // another kind opens its key and writes no value
            log_.RegistryValue(root, placed.key_path, name);
        } catch (const RegistryError&) {
            continue;  // a row that cannot be written is skipped
        }
    }
}

void TMainForm::MakeShortcuts() {
    const SetupConfig& c = *config;
    const std::string folder = c.InstallFolder.text();
    const std::string group = c.ProductName.text();
    Shortcuts shortcuts(platform_.registry, platform_.files, platform_.shell);
    const AllFileRows files(c, extra_files);
    const auto note = [this](const std::string& link) {
        if (!link.empty()) log_.Link(link);
    };
    for (const ShortcutEntry& row : c.ShortcutRows()) {
        const std::string target = folder + files[static_cast<std::size_t>(row.FileIndex)].Name.text();
        const std::string name = row.Name.text();
        const std::string arguments = row.Arguments.text();
        if (row.InProgramGroup()) note(shortcuts.CreateProgramsShortcut(group, target, name, arguments));
        if (row.OnDesktop()) note(shortcuts.CreateDesktopShortcut(target, name, arguments));
    }
    note(
        shortcuts.CreateProgramsShortcut(group, folder + installed::kUninstaller, installed::UninstallLinkName(c), ""));
}

}  // namespace zsetup
