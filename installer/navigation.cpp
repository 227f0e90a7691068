// The pages' show steps and the buttons that move between them.
#include <string>

#include "installer/main_form.h"
#include "installer/main_form_description.h"
#include "installer/wizard_texts.h"
#include "services/force_dirs.h"
#include "services/process_kill.h"
#include "text/gbk.h"

namespace zsetup {
namespace {

// Yes/No with the question icon, No the default button.
constexpr std::uint32_t kMbDefButton2 = 0x100;
// Where the pressed Agree is parked: wholly above the client area, for good.
constexpr int kAgreeParkedTop = -32;

std::string TrimControlBytes(const std::string& s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) < 33) ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) < 33) --end;
    return s.substr(begin, end - begin);
}

}  // namespace

void TMainForm::ShowWelcome() {
    const std::string name = config->ProductName.text();
    controls_.name_label.SetCaption(name);
    controls_.version_label.SetCaption(config->Version.text());
    ui::Widget& intro = controls_.intro_label;
    intro.SetCaption(config->Introduction.text());
    intro.SetWidth(245);
    intro.SetHeight(80);
    form_->SetCaption(name + texts::kCaptionSuffix);
    controls_.title.SetCaption(lines_.page_title);
    controls_.subtitle.SetCaption(texts::kSheet0SubtitleHead + name + texts::kSheet0SubtitleTail);
    controls_.prev_button.Hide();
    form_->SetApplicationTitle(name + texts::kTitleSuffix);
}

void TMainForm::ShowLicence() {
    controls_.prev_button.Show();
    controls_.title.SetCaption(texts::kSheet1Title);
    controls_.subtitle.SetCaption(texts::kSheet1Subtitle);
}

void TMainForm::ShowFolder() {
    // A preset folder is shown once, in full: the check then stores it.
    controls_.folder_edit.SetCaption(preset_folder_.value_or(config->InstallFolder.text()));
    preset_folder_.reset();
    controls_.title.SetCaption(texts::kSheet2Title);
    controls_.subtitle.SetCaption(texts::kSheet2Subtitle);
}

void TMainForm::ShowReady() {
    ui::Widget& folder = controls_.folder_label;
    folder.SetCaption(config->InstallFolder.text());
    controls_.title.SetCaption(texts::kSheet3Title);
    controls_.subtitle.SetCaption(texts::kSheet3Subtitle);
    folder.SetWidth(200);
}

void TMainForm::ShowCopying() {
    controls_.prev_button.Hide();
    controls_.next_button.Hide();
    controls_.cancel_button.SetEnabled(false);
    controls_.title.SetCaption(texts::kSheet4Title);
    controls_.subtitle.SetCaption(texts::kSheet4Subtitle);
}

void TMainForm::ShowFinished() {
    controls_.prev_button.Hide();
    controls_.next_button.Hide();
    controls_.title.SetCaption(texts::kSheet5Title);
    ui::Widget& cancel = controls_.cancel_button;
    cancel.SetEnabled(true);
    cancel.SetCaption(texts::kFinish);
    controls_.subtitle.SetCaption(texts::kSheet5Subtitle);
    controls_.run_hint_label.SetCaption(texts::kRunHead + config->ProductName.text() + texts::kRunTail);
    if (maker_.run_file) {
        controls_.run_box.SetCaption(texts::kRunProgram + config->ProductName.text());
        controls_.run_box.Show();
        controls_.tutorial_box.SetTop(controls_.run_box.bounds().top + 24);
    }
    if (!failed_files_.empty()) ShowFailedFiles();
}

// Page 5 tells the truth: how many files are missing, and which.
void TMainForm::ShowFailedFiles() {
    controls_.subtitle.SetCaption(texts::kFailedSubtitle);
    controls_.result_label.SetCaption(texts::kFailedResultHead + std::to_string(failed_files_.size()) +
                                      texts::kFailedResultTail);
    controls_.result_label.SetWidth(controls_.failed_files_box.bounds().width);
    std::string list;
    for (const std::string& path : failed_files_) list += (list.empty() ? "" : "\r\n") + path;
    controls_.failed_files_box.SetCaption(list);
    controls_.failed_files_box.Show();
    // The hint and the check box move below the list.
    const int below = controls_.failed_files_box.bounds().top + controls_.failed_files_box.bounds().height + 6;
    controls_.run_hint_label.SetTop(below);
    controls_.run_box.SetTop(below + 24);
    controls_.tutorial_box.SetTop(below + (maker_.run_file ? 48 : 24));
}

void TMainForm::OnPrev() {
    controls_.agree_button.Hide();
    switch (page()) {
    case WizardPage::kLicence: ShowPage(WizardPage::kWelcome); break;
    case WizardPage::kFolder: ShowPage(WizardPage::kLicence); break;
    case WizardPage::kReady: ShowPage(WizardPage::kFolder); break;
    default: break;  // Prev is hidden there
    }
}

// The first of the product's programs, then the others; a maker may name none.
void TMainForm::EndMainProgram() {
    if (!lines_.processes.empty()) KillProcessByName(platform_.processes, lines_.processes[0]);
}
void TMainForm::EndOtherPrograms() {
    for (std::size_t i = 1; i < lines_.processes.size(); ++i)
        KillProcessByName(platform_.processes, lines_.processes[i]);
}
void TMainForm::EndProductPrograms() {
    EndMainProgram();
    EndOtherPrograms();
}

void TMainForm::OnNext() {
    EndProductPrograms();
    // A package that cannot be installed never leaves the welcome page.
    if (!refusal_.empty()) {
        platform_.dialogs.ShowMessage(refusal_, lines_.caption, kMbOk | kMbIconWarning);
        return;
    }
    controls_.agree_button.Show();
    switch (page()) {
    case WizardPage::kWelcome: ShowPage(WizardPage::kLicence); break;
    case WizardPage::kLicence: ShowPage(WizardPage::kFolder); break;
    case WizardPage::kFolder: CheckFolder(); break;
    case WizardPage::kReady: RunFromReadyPage(); break;
    case WizardPage::kCopying: break;
    case WizardPage::kFinished:
        exit_code_ = kExitDone;
        form_->Terminate();
        break;
    }
}

bool TMainForm::ChooseFolder() {
    bool chosen = false;
    boundary_.Run([this, &chosen] {
        EndProductPrograms();
        chosen = CheckFolder();
    });
    return chosen;
}

bool TMainForm::Install() {
    // A run that fails ends the step on page 4, said in a box.
    return boundary_.Run([this] {
        EndProductPrograms();
        RunFromReadyPage();
    }) && failed_files_.empty();
}

void TMainForm::RunFromReadyPage() {
    ShowPage(WizardPage::kCopying);
    // The run blocks the message loop: paint page 4 before it starts.
    controls_.pages.Repaint();
    controls_.header.Repaint();
    controls_.title.Repaint();
    RunInstall();
    ShowPage(WizardPage::kFinished);
}

bool TMainForm::CheckFolder() {
    ui::Widget& edit = controls_.folder_edit;
    const std::string text = TrimControlBytes(edit.caption());
    edit.SetCaption(text);
    auto refuse = [this](const std::string& message) {
        platform_.dialogs.ShowMessage(message, lines_.caption, kMbOk | kMbIconWarning);
        return false;
    };
    if (text.empty()) return refuse(texts::kFolderEmpty);
    if (text.size() < 2 || text[1] != ':') return refuse(texts::kFolderNotFull + lines_.folder_example);
    if (text[text.size() - 1] == ':' || text[text.size() - 2] == ':') return refuse(texts::kFolderIsRoot);
    // "C:foo" is relative to C:'s current folder, which a later step may not share.
    if (text[2] != '\\') return refuse(texts::kFolderNotFull + lines_.folder_example);
    // Windows drops a name's trailing dots and blanks: the folder made would
    // not be the one recorded, and every file written into it would fail.
    if (HasNameWindowsTrims(text)) return refuse(texts::kFolderNameTrimmed);
    // The record holds kTextBytes: a longer folder would be created in full
    // and then installed into its first bytes, another folder.
    if (text.size() > config->InstallFolder.capacity) return refuse(texts::kFolderTooLong);
    if (!DirectoryExists(platform_.files, text)) {
        if (ForceDirs(platform_.files, text, &folders_made_)) config->SetInstallFolder(text);
        else refuse(texts::kFolderNotCreated);
    }
    if (!DirectoryExists(platform_.files, text)) return false;
    config->SetInstallFolder(text);
    ShowPage(WizardPage::kReady);
    return true;
}

void TMainForm::OnAgree() {
    ui::Widget& agree = controls_.agree_button;
    agree.Hide();
    agree.SetTop(kAgreeParkedTop);
    OnNext();
}

void TMainForm::OnCancel() {
    if (Installing) return;
    switch (page()) {
    case WizardPage::kWelcome:
    case WizardPage::kLicence:
    case WizardPage::kFolder:
    case WizardPage::kReady:
        if (platform_.dialogs.Ask(kAskQuit, lines_.quit_question, lines_.caption,
                                  kMbYesNo | kMbIconQuestion | kMbDefButton2) == kIdYes) {
            RemoveFoldersMade();
            form_->Terminate();
        }
        break;
    case WizardPage::kCopying: break;  // Cancel is disabled there
    case WizardPage::kFinished: Finish(); break;
    }
}

void TMainForm::OnCloseRequest(bool& can_close) {
    // While the run goes on (a file's message box lets the request in), closing
    // would leave it to finish unseen: refused until it ends.
    if (run_in_progress_) {
        can_close = false;
        return;
    }
    if (Installing) return;
    if (page() == WizardPage::kFinished) {
        can_close = false;
        return;
    }
    can_close = platform_.dialogs.Confirm(lines_.quit_question) == kIdYes;
    if (can_close) RemoveFoldersMade();
}

// Innermost first, so a parent the page made is empty by its turn; a folder
// that holds anything stays (RemoveFolder takes only empty ones), and so does
// every folder that was there before.
void TMainForm::RemoveFoldersMade() {
    for (auto folder = folders_made_.rbegin(); folder != folders_made_.rend(); ++folder)
        platform_.files.RemoveFolder(*folder);
    folders_made_.clear();
}

void TMainForm::OnBrowse() {
    const std::string chosen = platform_.shell.BrowseForFolder(kCsidlDesktop, texts::kPickerTitle);
    if (chosen.empty()) return;
    const std::string folder = config->DefaultFolderName.text();
    // A drive root already ends in its backslash.
    controls_.folder_edit.SetCaption(chosen.size() >= 4 ? chosen + "\\" + folder : chosen + folder);
}

void TMainForm::OnLicenceLink() { platform_.shell.Execute("open", lines_.site + "/license.asp", "", "", kSwShow); }

}  // namespace zsetup
