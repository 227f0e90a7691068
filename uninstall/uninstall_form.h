// TUninstallForm: the uninstaller's window over the OS seam and the widget
// layer. It reads the record the run left in the product's folder, asks,
// takes the product away (ProductRemoval) with progress, and shows what was
// left. Portable: native tests drive it headless on the memory platform.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "commandline/exit_codes.h"
#include "package/installed_record.h"
#include "package/setup_config.h"
#include "platform/platform.h"
#include "ui/form.h"
#include "uninstall/product_removal.h"
#include "uninstall/uninstall_controls.h"
#include "wizard/handler_boundary.h"
#include "wizard/maker.h"

namespace zsetup {

// How the uninstaller ended: everything removed, cancelled or something
// left, or no sound record to go by (an unknown option: kExitUnknownOption).
inline constexpr int kUninstallComplete = kExitDone;
inline constexpr int kUninstallIncomplete = kExitIncomplete;
inline constexpr int kUninstallNoRecord = 2;

class TUninstallForm {
public:
    // folder: the product's install folder (the record's copy lies there).
    TUninstallForm(Platform& platform, std::string folder);

    // Reads the record and shows the question; a missing or damaged record
    // is said in a box and the program ends.
    void Start();
    // /S: no window and no box; the same removal. Returns the exit code.
    int RunSilently();

    ui::Form& form() { return *form_; }
    // A control by its name in UNINSTALLFORM, for tests and tools that trace them.
    ui::Widget& Control(const std::string& name) { return form_->Find(name); }
    UninstallPage page() const { return static_cast<UninstallPage>(controls_.pages.active_page()); }
    int exit_code() const { return exit_code_; }
    // Whether the product was taken away (and the uninstaller's own file is
    // to go once it ends).
    bool removed() const { return done_; }
    const RemovalResult& result() const { return result_; }

private:
    // Reads and checks the record; a problem ends the program, said in a box unless silent.
    bool LoadRecord(bool silent);
    // The uninstall entry the record names, as far as the checks need it;
    // nothing when there is no such key.
    std::optional<InstalledEntry> ReadEntry(const SetupConfig& record);
    RemovalResult Remove(const std::function<void(RemovalStage, int)>& progress);
    void ShowQuestion();
    void OnUninstall();
    void OnCancel();
    void OnCloseRequest(bool& can_close);
    void ShowResult();
    void ShowPage(UninstallPage page) { controls_.pages.SetActivePage(static_cast<int>(page)); }
    void End(int code);

    Platform& platform_;
    std::string folder_;
    std::unique_ptr<ui::Form> form_;
    UninstallControls controls_;
    HandlerBoundary boundary_;
    std::unique_ptr<SetupConfig> record_;
    MakerLines lines_;  // the package's maker, when its install left a profile
    std::vector<FileEntry> extra_files_;
    RemovalResult result_;
    bool removing_ = false;
    bool done_ = false;
    int exit_code_ = kUninstallIncomplete;
};

// The maker's lines of the package installed in folder: its profile's copy
// when the install left a sound one, else the built-in maker's.
MakerLines InstalledMakerLines(Files& files, const std::string& folder);

}  // namespace zsetup
