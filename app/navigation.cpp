// The pages' show handlers and the buttons that move between them.
#include <string>

#include "app/main_form.h"
#include "app/main_form_description.h"
#include "app/wizard_texts.h"
#include "shell/force_dirs.h"
#include "shell/process_kill.h"

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
    const std::string name = SetupConfig->ProductName.text();
    Control("NameLb").SetCaption(name);
    Control("VerLb").SetCaption(SetupConfig->Version.text());
    ui::Widget& intro = Control("IntroLb");
    intro.SetCaption(SetupConfig->Introduction.text());
    intro.SetWidth(245);
    intro.SetHeight(80);
    form_->SetCaption(name + texts::kCaptionSuffix);
    Control("Label8").SetCaption(texts::kSheet0Title);
    Control("Label12").SetCaption(texts::kSheet0SubtitleHead + name + texts::kSheet0SubtitleTail);
    Control("suiButton1").Hide();
    form_->SetApplicationTitle(name + texts::kTitleSuffix);
}

void TMainForm::Sheet1Show() {
    Control("suiButton1").Show();
    Control("Label8").SetCaption(texts::kSheet1Title);
    Control("Label12").SetCaption(texts::kSheet1Subtitle);
}

void TMainForm::Sheet2Show() {
    Control("FolderEd").SetCaption(SetupConfig->InstallFolder.text());
    Control("Label8").SetCaption(texts::kSheet2Title);
    Control("Label12").SetCaption(texts::kSheet2Subtitle);
}

void TMainForm::Sheet3Show() {
    ui::Widget& folder = Control("FolderLb");
    folder.SetCaption(SetupConfig->InstallFolder.text());
    Control("Label8").SetCaption(texts::kSheet3Title);
    Control("Label12").SetCaption(texts::kSheet3Subtitle);
    folder.SetWidth(200);
}

void TMainForm::Sheet4Show() {
    Control("suiButton1").Hide();
    Control("suiButton2").Hide();
    Control("suiButton3").SetEnabled(false);
    Control("Label8").SetCaption(texts::kSheet4Title);
    Control("Label12").SetCaption(texts::kSheet4Subtitle);
}

void TMainForm::Sheet5Show() {
    Control("suiButton1").Hide();
    Control("suiButton2").Hide();
    Control("Label8").SetCaption(texts::kSheet5Title);
    ui::Widget& cancel = Control("suiButton3");
    cancel.SetEnabled(true);
    cancel.SetCaption(texts::kFinish);
    Control("Label12").SetCaption(texts::kSheet5Subtitle);
    Control("Label6").SetCaption(texts::kRunHead + SetupConfig->ProductName.text() + texts::kRunTail);
}

void TMainForm::PrevBtClick() {
    Control("suiButton4").Hide();
    ui::Widget& pages = Control("PageCtl");
    const int page = pages.active_page();
    if (page >= 1 && page <= 3) pages.SetActivePage(page - 1);
}

void TMainForm::Button1Click() { KillProcessByName(platform_.processes, "ZANTO-KPV.exe"); }
void TMainForm::Button2Click() { KillProcessByName(platform_.processes, "KPV-H-Up.exe"); }

void TMainForm::NextBtClick() {
    Control("Button1").Click();
    Control("Button2").Click();
    // A package that cannot be installed never leaves the welcome page.
    if (!package_problem_.empty()) {
        platform_.dialogs.ShowMessage(texts::kBadPackage + package_problem_, texts::kCaption, kMbOk | kMbIconWarning);
        return;
    }
    Control("suiButton4").Show();
    ui::Widget& pages = Control("PageCtl");
    switch (pages.active_page()) {
    case 0: pages.SetActivePage(1); break;
    case 1: pages.SetActivePage(2); break;
    case 2: CheckFolder(); break;
    case 3:
        pages.SetActivePage(4);
        // The run blocks the message loop: paint page 4 before it starts.
        pages.Repaint();
        Control("Panel1").Repaint();
        Control("Label8").Repaint();
        RunInstall();
        pages.SetActivePage(5);
        break;
    case 5: form_->Terminate(); break;
    }
}

void TMainForm::CheckFolder() {
    ui::Widget& edit = Control("FolderEd");
    const std::string text = TrimControlBytes(edit.caption());
    edit.SetCaption(text);
    auto warn = [this](const char* message) {
        platform_.dialogs.ShowMessage(message, texts::kCaption, kMbOk | kMbIconWarning);
    };
    if (text.empty()) return warn(texts::kFolderEmpty);
    if (text.size() < 2 || text[1] != ':') return warn(texts::kFolderNotFull);
    if (text[text.size() - 1] == ':' || text[text.size() - 2] == ':') return warn(texts::kFolderIsRoot);
    // The record holds 128 bytes: a longer folder would be created in full
    // and then installed into its first 128 bytes, another folder.
    if (text.size() > SetupConfig->InstallFolder.capacity) return warn(texts::kFolderTooLong);
    if (!DirectoryExists(platform_.files, text)) {
        if (ForceDirs(platform_.files, text)) SetupConfig->SetInstallFolder(text);
        else warn(texts::kFolderNotCreated);
    }
    if (DirectoryExists(platform_.files, text)) {
        SetupConfig->SetInstallFolder(text);
        Control("PageCtl").SetActivePage(3);
    }
}

void TMainForm::suiButton4Click() {
    ui::Widget& agree = Control("suiButton4");
    agree.Hide();
    agree.SetTop(-32);
    Control("suiButton2").Click();
}

void TMainForm::CancelBtClick() {
    if (Installing) return;
    const int page = Control("PageCtl").active_page();
    if (page <= 3) {
        if (platform_.dialogs.ShowMessage(texts::kQuitQuestion, texts::kCaption,
                                          kMbYesNo | kMbIconQuestion | kMbDefButton2) == kIdYes)
            form_->Terminate();
    } else if (page == 5) {
        Finish();
    }
}

void TMainForm::FormCloseQuery(bool& can_close) {
    if (Installing) return;
    if (Control("PageCtl").active_page() == 5) {
        can_close = false;
        return;
    }
    can_close = platform_.dialogs.Confirm(texts::kQuitQuestion) == kIdYes;
}

void TMainForm::suiImageButton1Click() {
    const std::string chosen = platform_.shell.BrowseForFolder(kCsidlDesktop, texts::kPickerTitle);
    if (chosen.empty()) return;
    const std::string folder = SetupConfig->DefaultFolderName.text();
    // A drive root already ends in its backslash.
    Control("FolderEd").SetCaption(chosen.size() >= 4 ? chosen + "\\" + folder : chosen + folder);
}

void TMainForm::suiURLLabel1Click() {
    platform_.shell.Execute("open", std::string(kMakerSite) + "/license.asp", "", "", kSwShow);
}

}  // namespace zsetup
