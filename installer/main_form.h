// TMainForm: the wizard window's state and handlers, over the OS seam and
// the widget tree built from TMAINFORM. Portable: native tests drive it
// headless on the memory platform; the stub drives it with real windows.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/maker_profile.h"
#include "package/payload_stream.h"
#include "package/setup_config.h"
#include "platform/platform.h"
#include "installer/wizard_controls.h"
#include "wizard/handler_boundary.h"
#include "commandline/exit_codes.h"
#include "commandline/run_log.h"
#include "wizard/repaint_pacer.h"
#include "ui/form.h"

namespace zsetup {

class TMainForm {
public:
    // Builds the window from TMAINFORM and binds the handlers; FormCreate
    // is the start-up. The run notes each file, registry value and link it
    // writes in log.
    TMainForm(Platform& platform, RunLog& log);
    explicit TMainForm(Platform& platform) : TMainForm(platform, own_log_) {}

    // Start-up (main_form.cpp).
    void FormCreate();
    void FormDestroy();

    // Pages and navigation (navigation.cpp).
    void Sheet0Show();
    void Sheet1Show();
    void Sheet2Show();
    void Sheet3Show();
    void Sheet4Show();
    void Sheet5Show();
    void PrevBtClick();
    void NextBtClick();
    void suiButton4Click();
    void CancelBtClick();
    void FormCloseQuery(bool& can_close);
    void suiImageButton1Click();
    void suiURLLabel1Click();
    void Button1Click();
    void Button2Click();

    // The installation run (install_run.cpp).
    void RunInstall();

    // Finish actions (finish_actions.cpp).
    void BPingClick();
    void OpenInBrowser(const std::string& url);
    std::string TutorialAddress() const;

    // The folder page shows this folder when it first shows, instead of the
    // start-up proposal (/D=).
    void PresetFolder(const std::string& folder) { preset_folder_ = folder; }
    // How the program ends: kExitDone after Finish, kExitBadPackage when
    // start-up refused the package, else kExitIncomplete.
    int exit_code() const { return exit_code_; }

    ui::Form& form() { return *form_; }
    // A control by its name in TMAINFORM, for tests and tools that trace them.
    ui::Widget& Control(const std::string& name) { return form_->Find(name); }
    // The message that refused the package at start-up, shown again on every
    // Next; empty when the package can be installed.
    const std::string& refusal() const { return refusal_; }

    // Installed paths the run could not write (their folder could not be made,
    // or the write failed); page 5 lists them.
    const std::vector<std::string>& failed_files() const { return failed_files_; }

    // Start-up's shadow step, between selecting page 0 and shaping the
    // window: the stub attaches and switches on the drop shadow here.
    std::function<void(ui::Form&)> attach_shadow;

    std::unique_ptr<SetupConfig> config;     // 207160 bytes: not on the stack
    std::vector<FileEntry> extra_files;      // the rows past the record's 256 (SETUPFILES)
    std::unique_ptr<PayloadStream> payload;  // read forward, never held whole
    bool Installing = false;
    std::string CompanyKey;
    std::string ProductKey;
    bool AlreadyInstalled = false;
    std::string PreviousFolder;

private:
    void LoadConfig();
    void LoadMakerProfile();
    void ShowInlineLicence(const std::string& licence);
    // The maker's lines: the profile's where it sets them, else the built-in maker's.
    std::string Caption() const;
    std::string SiteAddress() const;
    const std::vector<std::string>& Processes() const;
    void ReadPreviousInstallation();
    void LoadPayload();
    std::unique_ptr<PayloadStream> PayloadFromFile();
    void RefusePackage(const std::string& message);
    void CheckFolder();
    void ShowFailedFiles();
    void Finish();
    void StartRunFile();
    void InstallFile(const FileEntry& row, std::size_t index, std::size_t count, RepaintPacer& pacer);
    void CopyResource(const char* resource, const char* name);
    void WriteRegistry();
    void MakeShortcuts();
    std::function<void()> Handler(void (TMainForm::*handler)());

    RunLog own_log_;  // for a caller that keeps none
    Platform& platform_;
    RunLog& log_;
    std::unique_ptr<ui::Form> form_;
    WizardControls controls_;
    HandlerBoundary boundary_;
    MakerProfile maker_;  // empty: the built-in maker
    std::string refusal_;
    std::vector<std::string> failed_files_;
    bool run_in_progress_ = false;
    std::optional<std::string> preset_folder_;
    int exit_code_ = kExitIncomplete;
};

}  // namespace zsetup
