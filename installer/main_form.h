// TMainForm: the wizard window's state and handlers, over the OS seam and
// the widget tree built from TMAINFORM. Portable: native tests drive it
// headless on the memory platform; the stub drives it with real windows.
//
// The handlers keep the names the form description binds (NextBtClick,
// Sheet2Show, Button1Click ...) as one-line entry points; the work is done by
// steps named for what they do, which a run without a window (/S) calls
// directly, and the controls are reached through WizardControls by role.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commandline/exit_codes.h"
#include "commandline/run_log.h"
#include "installer/wizard_controls.h"
#include "package/maker_profile.h"
#include "package/payload_stream.h"
#include "package/setup_config.h"
#include "package/setup_map.h"
#include "platform/platform.h"
#include "ui/form.h"
#include "wizard/handler_boundary.h"
#include "wizard/maker.h"
#include "wizard/program_scope.h"
#include "wizard/repaint_pacer.h"

namespace zsetup {

// The pages, in the page control's order.
enum class WizardPage { kWelcome, kLicence, kFolder, kReady, kCopying, kFinished };

// The installer's yes/no questions, by what they ask.
inline constexpr Question kAskInstallOver{"install-over-earlier-install"};
inline constexpr Question kAskDespiteChecksum{"install-despite-checksum"};
inline constexpr Question kAskQuit{"quit-before-install"};

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

    // The handlers TMAINFORM binds.
    void Sheet0Show() { ShowWelcome(); }
    void Sheet1Show() { ShowLicence(); }
    void Sheet2Show() { ShowFolder(); }
    void Sheet3Show() { ShowReady(); }
    void Sheet4Show() { ShowCopying(); }
    void Sheet5Show() { ShowFinished(); }
    void PrevBtClick() { OnPrev(); }
    void NextBtClick() { OnNext(); }
    void suiButton4Click() { OnAgree(); }
    void CancelBtClick() { OnCancel(); }
    void FormCloseQuery(bool& can_close) { OnCloseRequest(can_close); }
    void suiImageButton1Click() { OnBrowse(); }
    void suiURLLabel1Click() { OnLicenceLink(); }
    void Button1Click() { EndMainProgram(); }
    void Button2Click() { EndOtherPrograms(); }
    void BPingClick() { OpenTutorialWhenOnline(); }

    // What a person's clicks do (navigation.cpp).
    void OnNext();
    void OnPrev();
    void OnAgree();
    void OnCancel();
    void OnCloseRequest(bool& can_close);
    void OnBrowse();
    void OnLicenceLink();

    // The steps of Next on the folder page and on the ready page, for a run
    // without a window: each ends the product's programs first, as every
    // Next does, and runs inside the handler boundary (an error is said and
    // the step counts as failed).
    // The folder page, showing the folder to check: the /D= folder, else the proposal.
    void GoToFolderPage() { ShowPage(WizardPage::kFolder); }
    // True when the folder check took the folder (the ready page shows).
    bool ChooseFolder();
    // The run; true when it ended with every file written (the finish page shows).
    bool Install();

    // The installation run (install_run.cpp).
    void RunInstall();

    // Finish actions (finish_actions.cpp).
    void OpenTutorialWhenOnline();
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
    WizardPage page() const { return static_cast<WizardPage>(controls_.pages.active_page()); }
    // The message that refused the package at start-up, shown again on every
    // Next; empty when the package can be installed.
    const std::string& refusal() const { return refusal_; }
    // The maker's lines: the package's profile where it sets them.
    const MakerLines& maker_lines() const { return lines_; }

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
    // Page show steps (navigation.cpp).
    void ShowWelcome();
    void ShowLicence();
    void ShowFolder();
    void ShowReady();
    void ShowCopying();
    void ShowFinished();
    void ShowPage(WizardPage page) { controls_.pages.SetActivePage(static_cast<int>(page)); }
    // Every Next ends the product's running programs: the main one, then the others.
    void EndProductPrograms();
    void EndMainProgram();
    void EndOtherPrograms();
    // The folder page's check of the edit's text; true when it took the folder.
    bool CheckFolder();
    // Ending before the run: the folders the folder page made go again, when empty.
    void RemoveFoldersMade();
    // Page 4, the run, page 5.
    void RunFromReadyPage();
    void ShowFailedFiles();
    void Finish();
    void StartRunFile();

    // Start-up (main_form.cpp).
    void LoadConfig();
    void LoadMakerProfile();
    void ShowInlineLicence(const std::string& licence);
    void ReadPreviousInstallation();
    void LoadPayload();
    std::unique_ptr<PayloadStream> PayloadFromFile();
    void RefusePackage(const std::string& message);
    std::string ProposedFolder();

    // The run (install_run.cpp).
    void InstallFile(const FileEntry& row, std::size_t index, std::size_t count, RepaintPacer& pacer);
    void ProtectInstallFolder();
    // Takes away the temporary files a killed run left in the product's folders.
    void RemoveLeftTempFiles();
    // The uninstall entry's further values, when the maker's profile asks for them.
    std::optional<installed::CompleteEntry> CompleteEntry();
    // Writes the copy and gives its digest.
    std::string CopyResource(const char* resource, const char* name);
    void RemoveStaleCopy(const char* name);
    void WriteRegistry();
    void MakeShortcuts();

    std::function<void()> Handler(void (TMainForm::*handler)());

    installed::CopyDigests copy_digests_;  // of the copies this run left, for the uninstall entry
    RunLog own_log_;                       // for a caller that keeps none
    Platform& platform_;
    RunLog& log_;
    std::unique_ptr<ui::Form> form_;
    WizardControls controls_;
    HandlerBoundary boundary_;
    MakerProfile maker_;                           // empty: the built-in maker
    MakerLines lines_ = BuiltInMakerLines();       // resolved from maker_
    std::string proposed_drive_;                   // "D:\" when drive D: is there, else "C:\"
    InstallScope scope_ = InstallScope::kMachine;  // from the program's own manifest
    std::vector<std::string> folders_made_;        // by the folder page's Next, outermost first
    std::string refusal_;
    std::vector<std::string> failed_files_;
    bool run_in_progress_ = false;
    std::optional<std::string> preset_folder_;
    int exit_code_ = kExitIncomplete;
};

}  // namespace zsetup
