#include "uninstall/uninstall_form.h"

#include <new>
#include <optional>

#include "package/errors.h"
#include "package/installed_record.h"
#include "ui/form_description.h"
#include "uninstall/uninstall_form_description.h"
#include "uninstall/uninstall_texts.h"
#include "package/installed_names.h"
#include "wizard/maker.h"
#include "wizard/repaint_pacer.h"

namespace zsetup {
namespace {

namespace texts = uninstall_texts;

// A box no taller than the screen, whatever the record holds.
constexpr std::size_t kProblemsShown = 8;

const char* StageText(RemovalStage stage) {
    switch (stage) {
    case RemovalStage::kFiles: return texts::kRemovingFiles;
    case RemovalStage::kLinks: return texts::kRemovingLinks;
    case RemovalStage::kRegistry: return texts::kRemovingRegistry;
    }
    return "";
}

}  // namespace

TUninstallForm::TUninstallForm(Platform& platform, std::string folder)
    : platform_(platform),
      folder_(std::move(folder)),
      form_(ui::BuildForm(UNINSTALLFORM())),
      boundary_(platform.dialogs, *form_) {
    Control("UninstallButton").on_click = boundary_.Wrap(this, &TUninstallForm::UninstallClick);
    Control("CancelButton").on_click = boundary_.Wrap(this, &TUninstallForm::CancelClick);
    form_->on_close_query = [this](bool& can_close) { CloseQuery(can_close); };
}

void TUninstallForm::Start() {
    if (LoadRecord(false)) ShowQuestion();
}

int TUninstallForm::RunSilently() {
    if (LoadRecord(true)) {
        result_ = Remove([](RemovalStage, int) {});
        done_ = true;
        End(result_.Complete() ? kUninstallComplete : kUninstallIncomplete);
    }
    return exit_code_;
}

bool TUninstallForm::LoadRecord(bool silent) {
    const auto say = [&](const std::string& text, std::uint32_t icon) {
        if (!silent) platform_.dialogs.ShowMessage(text, maker::MessageCaption(), kMbOk | icon);
        End(kUninstallNoRecord);
        return false;
    };
    std::optional<InstalledRecord> found;
    try {
        const auto copy = [&](const char* name) {
            const std::string path = folder_ + name;
            try {
                return InstalledCopy{path, platform_.files.ReadWholeFile(path)};
            } catch (const std::bad_alloc&) {  // far larger than any copy an install leaves
                throw PackageError(path + ": too large to read");
            }
        };
        found = ReadInstalledRecord(
            {copy(installed::kRecordCopy), copy(installed::kExtraFilesCopy), copy(installed::kMakerCopy)},
            kProblemsShown);
    } catch (const PackageError& e) {
        return say(texts::kBadRecord + std::string(e.what()), kMbIconWarning);
    }
    // Nothing to go by: most likely removed already (a second run).
    if (!found) return say(texts::kNotInstalled, kMbIconInformation);
    record_ = std::move(found->record);
    extra_files_ = std::move(found->extra_files);
    maker_ = std::move(found->maker);
    return true;
}

RemovalResult TUninstallForm::Remove(const std::function<void(RemovalStage, int)>& progress) {
    ProductRemoval removal(platform_, *record_, extra_files_,
                           maker_.processes ? *maker_.processes : maker::ProductProcesses(), folder_,
                           platform_.processes.CurrentProgram());
    return removal.Run(progress);
}

void TUninstallForm::ShowQuestion() {
    const std::string name = record_->ProductName.text();
    if (maker_.credit) Control("Credit").SetCaption(*maker_.credit);
    if (maker_.site_text) Control("SiteLabel").SetCaption(*maker_.site_text);
    form_->SetCaption(name + texts::kCaptionSuffix);
    form_->SetApplicationTitle(name + texts::kTitleSuffix);
    Control("Title").SetCaption(texts::kAskTitle);
    Control("Subtitle").SetCaption(texts::kAskSubtitleHead + name);
    Control("NameLabel").SetCaption(name);
    Control("VersionLabel").SetCaption(record_->Version.text());
    Control("FolderLabel").SetCaption(folder_);
    Control("WhatLabel").SetCaption(texts::kWhatGoes);
    Control("Pages").SetActivePage(0);
}

void TUninstallForm::UninstallClick() {
    if (removing_ || done_ || !record_) return;
    removing_ = true;
    ui::Widget& pages = Control("Pages");
    Control("UninstallButton").Hide();
    Control("CancelButton").SetEnabled(false);
    Control("Title").SetCaption(texts::kWorkTitle);
    Control("Subtitle").SetCaption(texts::kWorkSubtitle);
    pages.SetActivePage(1);
    // The removal blocks the message loop: paint the page before it starts.
    pages.Repaint();
    Control("Header").Repaint();
    ui::Widget& stage = Control("StageLabel");
    ui::Widget& progress = Control("Progress");
    RepaintPacer pacer(platform_.clock);
    result_ = Remove([&](RemovalStage s, int percent) {
        stage.SetCaption(StageText(s));
        progress.SetPosition(percent);
        if (!pacer.Due(static_cast<int>(s) * 101 + percent)) return;  // a new stage counts as a move
        stage.Repaint();
        progress.Repaint();
    });
    removing_ = false;
    ShowResult();
}

void TUninstallForm::ShowResult() {
    done_ = true;
    exit_code_ = result_.Complete() ? kUninstallComplete : kUninstallIncomplete;
    const std::string name = record_->ProductName.text();
    Control("Title").SetCaption(texts::kDoneTitle);
    Control("Subtitle").SetCaption(texts::kDoneSubtitleHead + name);
    ui::Widget& cancel = Control("CancelButton");
    cancel.SetCaption(texts::kFinish);
    cancel.SetEnabled(true);
    Control("Pages").SetActivePage(2);
    if (result_.Complete()) {
        Control("ResultLabel").SetCaption(texts::kAllGone);
        return;
    }
    Control("ResultLabel").SetCaption(texts::kLeftHead);
    std::string list;
    const auto add = [&list](const std::vector<std::string>& paths, const char* why) {
        for (const std::string& path : paths) list += (list.empty() ? "" : "\r\n") + path + why;
    };
    add(result_.kept, texts::kKept);
    add(result_.at_restart, texts::kAtRestart);
    add(result_.failed, texts::kFailed);
    ui::Widget& box = Control("LeftoverBox");
    box.SetCaption(list);
    box.Show();
}

void TUninstallForm::CancelClick() {
    if (removing_) return;
    End(done_ ? exit_code_ : kUninstallIncomplete);
}

void TUninstallForm::CloseQuery(bool& can_close) {
    // Halfway through, closing would leave half a product behind unseen.
    if (removing_) {
        can_close = false;
        return;
    }
    if (!done_) exit_code_ = kUninstallIncomplete;
}

void TUninstallForm::End(int code) {
    exit_code_ = code;
    form_->Terminate();
}

}  // namespace zsetup
