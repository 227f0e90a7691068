// The pages' show handlers and the buttons that move between them.
#include <string>

#include "installer/main_form.h"
#include "installer/main_form_description.h"
#include "installer/wizard_texts.h"
#include "services/force_dirs.h"
#include "services/process_kill.h"

namespace zsetup {
namespace {

// Yes/No with the question icon, No the default button.
constexpr std::uint32_t kMbDefButton2 = 0x100;

std::string TrimControlBytes(const std::string& s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) < 33) ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) < 33) --end;
    return s.substr(begin, end - begin);
}

}  // namespace

void TMainForm::Sheet0Show() {
    const std::string name = config->ProductName.text();
    controls_.name_label.SetCaption(name);
    controls_.version_label.SetCaption(config->Version.text());
    ui::Widget& intro = controls_.intro_label;
    intro.SetCaption(config->Introduction.text());
    intro.SetWidth(245);
    intro.SetHeight(80);
    form_->SetCaption(name + texts::kCaptionSuffix);
    controls_.title.SetCaption(maker_.page_title.value_or(texts::kSheet0Title));
    controls_.subtitle.SetCaption(texts::kSheet0SubtitleHead + name + texts::kSheet0SubtitleTail);
    controls_.prev_button.Hide();
    form_->SetApplicationTitle(name + texts::kTitleSuffix);
}

void TMainForm::Sheet1Show() {
    controls_.prev_button.Show();
    controls_.title.SetCaption(texts::kSheet1Title);
    controls_.subtitle.SetCaption(texts::kSheet1Subtitle);
}

void TMainForm::Sheet2Show() {
    // A preset folder is shown once, in full: the check then stores it.
    controls_.folder_edit.SetCaption(preset_folder_.value_or(config->InstallFolder.text()));
    preset_folder_.reset();
    controls_.title.SetCaption(texts::kSheet2Title);
    controls_.subtitle.SetCaption(texts::kSheet2Subtitle);
}

void TMainForm::Sheet3Show() {
    ui::Widget& folder = controls_.folder_label;
    folder.SetCaption(config->InstallFolder.text());
    controls_.title.SetCaption(texts::kSheet3Title);
    controls_.subtitle.SetCaption(texts::kSheet3Subtitle);
    folder.SetWidth(200);
}

void TMainForm::Sheet4Show() {
    controls_.prev_button.Hide();
    controls_.next_button.Hide();
    controls_.cancel_button.SetEnabled(false);
    controls_.title.SetCaption(texts::kSheet4Title);
    controls_.subtitle.SetCaption(texts::kSheet4Subtitle);
}

void TMainForm::Sheet5Show() {
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

void TMainForm::PrevBtClick() {
    controls_.agree_button.Hide();
    ui::Widget& pages = controls_.pages;
    const int page = pages.active_page();
    if (page >= 1 && page <= 3) pages.SetActivePage(page - 1);
}

// The first of the product's programs, then the others; a maker may name none.
void TMainForm::Button1Click() {
    if (!Processes().empty()) KillProcessByName(platform_.processes, Processes()[0]);
}
void TMainForm::Button2Click() {
    for (std::size_t i = 1; i < Processes().size(); ++i) KillProcessByName(platform_.processes, Processes()[i]);
}

void TMainForm::NextBtClick() {
    controls_.kill_main_button.Click();
    controls_.kill_updater_button.Click();
    // A package that cannot be installed never leaves the welcome page.
    if (!refusal_.empty()) {
        platform_.dialogs.ShowMessage(refusal_, Caption(), kMbOk | kMbIconWarning);
        return;
    }
    controls_.agree_button.Show();
    ui::Widget& pages = controls_.pages;
    switch (pages.active_page()) {
    case 0: pages.SetActivePage(1); break;
    case 1: pages.SetActivePage(2); break;
    case 2: CheckFolder(); break;
    case 3:
        pages.SetActivePage(4);
        // The run blocks the message loop: paint page 4 before it starts.
        pages.Repaint();
        controls_.header.Repaint();
        controls_.title.Repaint();
        RunInstall();
        pages.SetActivePage(5);
        break;
    case 5:
        exit_code_ = kExitDone;
        form_->Terminate();
        break;
    }
}

void TMainForm::CheckFolder() {
    ui::Widget& edit = controls_.folder_edit;
    const std::string text = TrimControlBytes(edit.caption());
    edit.SetCaption(text);
    auto warn = [this](const std::string& message) {
        platform_.dialogs.ShowMessage(message, Caption(), kMbOk | kMbIconWarning);
    };
    if (text.empty()) return warn(texts::kFolderEmpty);
    if (text.size() < 2 || text[1] != ':')
        return warn(texts::kFolderNotFull + maker_.folder_example.value_or(texts::kFolderExample));
    if (text[text.size() - 1] == ':' || text[text.size() - 2] == ':') return warn(texts::kFolderIsRoot);
    // The record holds kTextBytes: a longer folder would be created in full
    // and then installed into its first bytes, another folder.
    if (text.size() > config->InstallFolder.capacity) return warn(texts::kFolderTooLong);
    if (!DirectoryExists(platform_.files, text)) {
        if (ForceDirs(platform_.files, text)) config->SetInstallFolder(text);
        else warn(texts::kFolderNotCreated);
    }
    if (DirectoryExists(platform_.files, text)) {
        config->SetInstallFolder(text);
        controls_.pages.SetActivePage(3);
    }
}

void TMainForm::suiButton4Click() {
    ui::Widget& agree = controls_.agree_button;
    agree.Hide();
    agree.SetTop(-32);
    controls_.next_button.Click();
}

void TMainForm::CancelBtClick() {
    if (Installing) return;
    const int page = controls_.pages.active_page();
    if (page <= 3) {
        if (platform_.dialogs.ShowMessage(maker_.quit_question.value_or(texts::kQuitQuestion), Caption(),
                                          kMbYesNo | kMbIconQuestion | kMbDefButton2) == kIdYes)
            form_->Terminate();
    } else if (page == 5) {
        Finish();
    }
}

void TMainForm::FormCloseQuery(bool& can_close) {
    // While the run goes on (a file's message box lets the request in), closing
    // would leave it to finish unseen: refused until it ends.
    if (run_in_progress_) {
        can_close = false;
        return;
    }
    if (Installing) return;
    if (controls_.pages.active_page() == 5) {
        can_close = false;
        return;
    }
    can_close = platform_.dialogs.Confirm(maker_.quit_question.value_or(texts::kQuitQuestion)) == kIdYes;
}

void TMainForm::suiImageButton1Click() {
    const std::string chosen = platform_.shell.BrowseForFolder(kCsidlDesktop, texts::kPickerTitle);
    if (chosen.empty()) return;
    const std::string folder = config->DefaultFolderName.text();
    // A drive root already ends in its backslash.
    controls_.folder_edit.SetCaption(chosen.size() >= 4 ? chosen + "\\" + folder : chosen + folder);
}

void TMainForm::suiURLLabel1Click() {
    platform_.shell.Execute("open", SiteAddress() + "/license.asp", "", "", kSwShow);
}

}  // namespace zsetup
