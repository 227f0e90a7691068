#include "uninstall/uninstall_form.h"

#include <new>
#include <optional>

#include "package/errors.h"
#include "package/installed_record.h"
#include "package/maker_profile.h"
#include "package/setup_map.h"
#include "platform/registry_accessor.h"
#include "ui/form_description.h"
#include "uninstall/uninstall_form_description.h"
#include "uninstall/uninstall_texts.h"
#include "wizard/program_scope.h"
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

MakerLines InstalledMakerLines(Files& files, const std::string& folder) {
    const auto profile = files.ReadWholeFile(folder + installed::kMakerCopy);
    if (!profile) return BuiltInMakerLines();
    try {
        return MakerLinesOf(ReadMakerProfile(profile->data(), profile->size()));
    } catch (const PackageError&) {
        return BuiltInMakerLines();  // refused with the record, in the built-in maker's words
    }
}

TUninstallForm::TUninstallForm(Platform& platform, std::string folder)
    : platform_(platform),
      folder_(std::move(folder)),
      form_(ui::BuildForm(UNINSTALLFORM())),
      controls_(*form_),
      boundary_(platform.dialogs, *form_),
      // Its caption on every box, a missing record's included.
      lines_(InstalledMakerLines(platform.files, folder_)) {
    controls_.uninstall_button.on_click = boundary_.Wrap(this, &TUninstallForm::OnUninstall);
    controls_.cancel_button.on_click = boundary_.Wrap(this, &TUninstallForm::OnCancel);
    // Enter uninstalls, then closes the last page; Esc is Cancel.
    form_->SetKeyButtons({controls_.uninstall_button.name(), controls_.cancel_button.name()},
                         {controls_.cancel_button.name()});
    form_->on_close_query = [this](bool& can_close) { OnCloseRequest(can_close); };
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

std::optional<InstalledEntry> TUninstallForm::ReadEntry(const SetupConfig& record) {
    // A machine install's entry is in HKLM, which only administrators may
    // write; a per-user install's is the user's own, as is its folder.
    RegistryAccessor reg(platform_.registry, kGenericRead | kKeyQueryValue,
                         KeysRoot(ProgramScope(platform_.resources)));
    if (!reg.OpenKey("\\" + installed::UninstallKey(record), false)) return std::nullopt;
    try {
        InstalledEntry entry;
        entry.folder = reg.ReadString(installed::kInstallLocationValue);
        entry.digests.record = reg.ReadString(installed::kRecordDigestValue);
        entry.digests.extra_files = reg.ReadString(installed::kExtraFilesDigestValue);
        entry.digests.maker = reg.ReadString(installed::kMakerDigestValue);
        return entry;
    } catch (const RegistryError& e) {
        throw PackageError(e.what());
    }
}

bool TUninstallForm::LoadRecord(bool silent) {
    const auto say = [&](const std::string& text, std::uint32_t icon) {
        if (!silent) platform_.dialogs.ShowMessage(text, lines_.caption, kMbOk | icon);
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
        const InstalledCopies copies{copy(installed::kRecordCopy), copy(installed::kExtraFilesCopy),
                                     copy(installed::kMakerCopy)};
        found = ReadInstalledRecord(copies, kProblemsShown);
        // The record names its uninstall entry; nothing of it is used before
        // the entry vouches for it: for the elevated uninstaller of a
        // machine install, one only administrators may write.
        if (found) CheckCopiesAgainstEntry(copies, ReadEntry(*found->record), folder_);
    } catch (const PackageError& e) {
        return say(texts::kBadRecord + std::string(e.what()), kMbIconWarning);
    }
    // Nothing to go by: most likely removed already (a second run).
    if (!found) return say(texts::kNotInstalled, kMbIconInformation);
    record_ = std::move(found->record);
    extra_files_ = std::move(found->extra_files);
    // The package's maker, as its install left it, now checked with the record.
    lines_ = MakerLinesOf(found->maker);
    if (found->maker.processes) lines_.processes = InstalledPrograms(*found->maker.processes, *record_, extra_files_);
    return true;
}

RemovalResult TUninstallForm::Remove(const std::function<void(RemovalStage, int)>& progress) {
    ProductRemoval removal(platform_, *record_, extra_files_, lines_.processes, folder_,
                           platform_.processes.CurrentProgram(), ProgramScope(platform_.resources));
    return removal.Run(progress);
}

void TUninstallForm::ShowQuestion() {
    const std::string name = record_->ProductName.text();
    controls_.credit_label.SetCaption(lines_.credit);
    controls_.site_label.SetCaption(lines_.site_text);
    form_->SetCaption(name + texts::kCaptionSuffix);
    form_->SetApplicationTitle(name + texts::kTitleSuffix);
    controls_.title.SetCaption(texts::kAskTitle);
    controls_.subtitle.SetCaption(texts::kAskSubtitleHead + name);
    controls_.name_label.SetCaption(name);
    controls_.version_label.SetCaption(record_->Version.text());
    controls_.folder_label.SetCaption(folder_);
    controls_.what_label.SetCaption(texts::kWhatGoes);
    ShowPage(UninstallPage::kAsk);
}

void TUninstallForm::OnUninstall() {
    if (removing_ || done_ || !record_) return;
    removing_ = true;
    controls_.uninstall_button.Hide();
    controls_.cancel_button.SetEnabled(false);
    controls_.title.SetCaption(texts::kWorkTitle);
    controls_.subtitle.SetCaption(texts::kWorkSubtitle);
    ShowPage(UninstallPage::kWork);
    // The removal blocks the message loop: paint the page before it starts.
    controls_.pages.Repaint();
    controls_.header.Repaint();
    ui::Widget& stage = controls_.stage_label;
    ui::Widget& progress = controls_.progress;
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
    controls_.title.SetCaption(texts::kDoneTitle);
    controls_.subtitle.SetCaption(texts::kDoneSubtitleHead + name);
    ui::Widget& cancel = controls_.cancel_button;
    cancel.SetCaption(texts::kFinish);
    cancel.SetEnabled(true);
    ShowPage(UninstallPage::kDone);
    if (result_.Complete()) {
        controls_.result_label.SetCaption(texts::kAllGone);
        return;
    }
    controls_.result_label.SetCaption(texts::kLeftHead);
    std::string list;
    const auto add = [&list](const std::vector<std::string>& paths, const char* why) {
        for (const std::string& path : paths) list += (list.empty() ? "" : "\r\n") + path + why;
    };
    add(result_.kept, texts::kKept);
    add(result_.at_restart, texts::kAtRestart);
    add(result_.failed, texts::kFailed);
    add(result_.links, texts::kLinkKept);
    controls_.leftover_box.SetCaption(list);
    controls_.leftover_box.Show();
}

void TUninstallForm::OnCancel() {
    if (removing_) return;
    End(done_ ? exit_code_ : kUninstallIncomplete);
}

void TUninstallForm::OnCloseRequest(bool& can_close) {
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
