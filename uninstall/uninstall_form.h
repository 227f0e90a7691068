// TUninstallForm: the uninstaller's window over the OS seam and the widget
// layer. It reads the record the run left in the product's folder, asks,
// takes the product away (ProductRemoval) with progress, and shows what was
// left. Portable: native tests drive it headless on the memory platform.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "package/maker_profile.h"
#include "package/setup_config.h"
#include "platform/platform.h"
#include "ui/form.h"
#include "uninstall/product_removal.h"
#include "commandline/exit_codes.h"
#include "wizard/handler_boundary.h"

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
    ui::Widget& Control(const std::string& name) { return form_->Find(name); }
    int exit_code() const { return exit_code_; }
    // Whether the product was taken away (and the uninstaller's own file is
    // to go once it ends).
    bool removed() const { return done_; }
    const RemovalResult& result() const { return result_; }

private:
    // Reads and checks the record; a problem ends the program, said in a box unless silent.
    bool LoadRecord(bool silent);
    RemovalResult Remove(const std::function<void(RemovalStage, int)>& progress);
    void ShowQuestion();
    void UninstallClick();
    void CancelClick();
    void CloseQuery(bool& can_close);
    void ShowResult();
    void End(int code);

    Platform& platform_;
    std::string folder_;
    std::unique_ptr<ui::Form> form_;
    HandlerBoundary boundary_;
    std::unique_ptr<SetupConfig> record_;
    MakerProfile maker_;  // the package's, when its install left one; else empty
    std::vector<FileEntry> extra_files_;
    RemovalResult result_;
    bool removing_ = false;
    bool done_ = false;
    int exit_code_ = kUninstallIncomplete;
};

}  // namespace zsetup
