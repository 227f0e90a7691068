// RunInstall: files, the record's copy, the registry, the shortcuts.
#include <new>
#include <string>

#include "app/main_form.h"
#include "app/wizard_texts.h"
#include "package/installed_names.h"
#include "package/errors.h"
#include "package/registry_placement.h"
#include "platform/registry_accessor.h"
#include "shell/force_dirs.h"
#include "shell/path_text.h"
#include "shell/shortcuts.h"
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
    ui::Widget& work = controls_.stage_label;
    work.SetCaption(texts::kCopyingFiles);
    work.SetWidth(300);
    work.Repaint();

    for (int i = 0; i < config->FileCount && i < kMaxRows; ++i) InstallFile(i);

    // The copy is the resource as built, not the record in memory.
    const std::string copy = config->InstallFolder.text() + installed::kRecordCopy;
    const auto packed = platform_.resources.RcData("SETUPINI");
    if (!packed || !platform_.files.WriteWholeFile(copy, *packed))
        throw PackageError("Cannot create file \"" + copy + "\". The file could not be written.");

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

void TMainForm::InstallFile(int i) {
    const FileEntry& row = config->Files[i];
    const std::string path = config->InstallFolder.text() + row.Name.text();
    if (path.find("*.") != std::string::npos) return;
    const std::string folder = FolderOf(path);
    if (!ForceDirs(platform_.files, folder)) {
        failed_files_.push_back(path);  // skipped without a box, but not forgotten
        return;
    }

    ui::Widget& name = controls_.file_label;
    name.SetCaption(ShortenPath(path, 40));
    name.SetWidth(300);
    name.Repaint();

    // Written beside the target and swapped in, so a failed write never
    // costs the user the file that was there.
    const ByteSlice bytes = payload.Slice(row);
    bool written = false;
    if (const auto temp = platform_.files.MakeTempFile(folder)) {
        try {
            written =
                platform_.files.WriteWholeFile(*temp, std::vector<std::uint8_t>(bytes.data, bytes.data + bytes.size)) &&
                platform_.files.MoveReplacing(*temp, path);
        } catch (const std::bad_alloc&) {
            written = false;  // no memory for the staging buffer: this file fails, the run goes on
        }
        if (!written) platform_.files.RemoveFile(*temp);
    }
    if (!written) {
        failed_files_.push_back(path);
        platform_.dialogs.ShowMessage(texts::kFileFailed + path, Caption(), kMbOk | kMbIconInformation);
    }

    ui::Widget& progress = controls_.progress;
    progress.SetPosition(i * 100 / config->FileCount);
    progress.Repaint();
}

void TMainForm::WriteRegistry() {
    const SetupConfig& c = *config;
    const std::string folder = c.InstallFolder.text();
    RegistryAccessor reg(platform_.registry, kGenericRead | kKeySetValue, RegRoot::LocalMachine);
    // A failed open leaves no current key: the first write then fails and
    // its error ends the run.
    reg.OpenKey(CompanyKey, true);
    reg.WriteString("Site", c.Site.text());
    reg.WriteString("Author", c.Author.text());
    reg.CloseKey();

    reg.OpenKey(ProductKey, true);
    reg.WriteBool("Setup", true);
    reg.WriteString("Version", c.Version.text());
    reg.WriteString("Folder", folder);
    reg.WriteString("Date", c.InstallDate.text());
    reg.CloseKey();

    reg.OpenKey("\\" + installed::UninstallKey(c), true);
    reg.WriteString("DisplayName", c.ProductName.text());
    // Quoted: unquoted, a folder with a blank ("C:\Program Files\...") may
    // start another program.
    reg.WriteString("UninstallString", "\"" + folder + installed::kUninstaller + "\"");
    reg.WriteString("DisplayVersion", c.Version.text());
    reg.WriteString("Publisher", c.Author.text());
    reg.WriteString("InstallLocation", folder);
    reg.WriteString("URLInfoAbout", c.Site.text());
    reg.CloseKey();

    // Rows keep the key they opened: a later relative KeyPath lies below it.
    for (const PlacedRegistryRow& placed : PlaceRegistryRows(c)) {
        const RegistryEntry& row = *placed.row;
        reg.SetRoot(placed.current_user ? RegRoot::CurrentUser : RegRoot::LocalMachine);
        try {
            if (!reg.OpenKey("\\" + placed.key_path, true)) continue;
            const std::string name = row.ValueName.text();
            if (row.Is(RegistryKind::Bool)) reg.WriteBool(name, row.BoolValue != 0);
            if (row.Is(RegistryKind::String)) reg.WriteString(name, row.StringValue.text());
            if (row.Is(RegistryKind::Integer)) reg.WriteInteger(name, row.IntValue);
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
    for (const ShortcutEntry& row : c.ShortcutRows()) {
        const std::string target = folder + c.Files[row.FileIndex].Name.text();
        const std::string name = row.Name.text();
        const std::string arguments = row.Arguments.text();
        if (row.InProgramGroup()) shortcuts.CreateProgramsShortcut(group, target, name, arguments);
        if (row.OnDesktop()) shortcuts.CreateDesktopShortcut(target, name, arguments);
    }
    shortcuts.CreateProgramsShortcut(group, folder + installed::kUninstaller, installed::UninstallLinkName(c), "");
}

}  // namespace zsetup
