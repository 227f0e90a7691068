#include "installer/main_form.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>

#include "installer/main_form_description.h"
#include "installer/setup_program.h"
#include "installer/wizard_texts.h"
#include "package/config_blob.h"
#include "package/config_validation.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "package/maker_profile.h"
#include "package/packed_blob.h"
#include "package/setup_map.h"
#include "platform/registry_accessor.h"
#include "ui/form_description.h"

namespace zsetup {
namespace {

// The record's own checks, before anything is known of the payload.
constexpr std::uint64_t kAnyPayloadSize = UINT64_MAX;
// A box no taller than the screen, whatever the record holds.
constexpr std::size_t kProblemsShown = 8;
// The gap between the inline licence and the agree prompt below it.
constexpr int kBelowLicenceBox = 6;

void ThrowProblems(const std::vector<ConfigProblem>& problems) {
    if (!problems.empty()) throw PackageError(DescribeProblems(problems, kProblemsShown));
}

}  // namespace

TMainForm::TMainForm(Platform& platform, RunLog& log)
    : config(std::make_unique<SetupConfig>(SetupConfig::Zero())),
      platform_(platform),
      log_(log),
      form_(ui::BuildForm(TMAINFORM())),
      controls_(*form_),
      boundary_(platform.dialogs, *form_) {
    // The handlers, bound as the form description names them.
    const auto page = [this](WizardPage p) -> ui::Widget& { return controls_.pages.Page(static_cast<int>(p)); };
    page(WizardPage::kWelcome).on_show = Handler(&TMainForm::Sheet0Show);
    page(WizardPage::kLicence).on_show = Handler(&TMainForm::Sheet1Show);
    page(WizardPage::kFolder).on_show = Handler(&TMainForm::Sheet2Show);
    page(WizardPage::kReady).on_show = Handler(&TMainForm::Sheet3Show);
    page(WizardPage::kCopying).on_show = Handler(&TMainForm::Sheet4Show);
    page(WizardPage::kFinished).on_show = Handler(&TMainForm::Sheet5Show);
    controls_.prev_button.on_click = Handler(&TMainForm::PrevBtClick);
    controls_.next_button.on_click = Handler(&TMainForm::NextBtClick);
    controls_.agree_button.on_click = Handler(&TMainForm::suiButton4Click);
    controls_.cancel_button.on_click = Handler(&TMainForm::CancelBtClick);
    controls_.browse_button.on_click = Handler(&TMainForm::suiImageButton1Click);
    controls_.licence_link.on_click = Handler(&TMainForm::suiURLLabel1Click);
    controls_.kill_main_button.on_click = Handler(&TMainForm::Button1Click);
    controls_.kill_updater_button.on_click = Handler(&TMainForm::Button2Click);
    controls_.tutorial_button.on_click = Handler(&TMainForm::BPingClick);
    // Enter agrees on the licence page, else goes on (Next, then Finish); Esc is Cancel.
    form_->SetKeyButtons({controls_.agree_button.name(), controls_.next_button.name(), controls_.cancel_button.name()},
                         {controls_.cancel_button.name()});
    form_->on_close_query = [this](bool& can_close) { FormCloseQuery(can_close); };
    // The artwork travels in the program's resources; without it the
    // pictures stay empty.
    if (auto art = platform_.resources.RcData(kLicenceArtResource)) controls_.licence_art.SetPicture(std::move(*art));
    if (auto art = platform_.resources.RcData(kFinishArtResource)) controls_.finish_art.SetPicture(std::move(*art));
}

std::function<void()> TMainForm::Handler(void (TMainForm::*handler)()) { return boundary_.Wrap(this, handler); }

void TMainForm::RefusePackage(const std::string& message) {
    refusal_ = message;
    exit_code_ = kExitBadPackage;
    platform_.dialogs.ShowMessage(message, lines_.caption, kMbOk | kMbIconWarning);
}

// The profile is checked whole before any of it is used: a damaged one
// refuses the package with the built-in maker's lines.
void TMainForm::LoadMakerProfile() {
    auto blob = platform_.resources.RcData(kMakerResource);
    if (!blob) return;
    MakerProfile profile = ReadMakerProfile(blob->data(), blob->size());
    if (const std::string problem = MakerProfileProblem(profile, *config); !problem.empty())
        throw PackageError(problem);
    std::string licence;
    if (profile.licence_inline) {
        auto text = platform_.resources.RcData(kLicenceResource);
        if (!text) throw PackageError("PROTOCOL: the licence to show is not in the program");
        licence.assign(text->begin(), text->end());
    }
    maker_ = std::move(profile);
    lines_ = MakerLinesOf(maker_);

    controls_.credit_label.SetCaption(lines_.credit);
    controls_.site_label.SetCaption(lines_.site_text);
    controls_.tutorial_box.SetCaption(lines_.tutorial_text);
    if (maker_.no_tutorial) {
        controls_.tutorial_box.SetChecked(false);
        controls_.tutorial_box.Hide();
    }
    if (maker_.licence_inline) ShowInlineLicence(licence);
}

// The licence in a read-only box where the picture and the link were, the
// agree prompt below it at the page's foot; the edit control breaks lines
// only at "\r\n".
void TMainForm::ShowInlineLicence(const std::string& licence) {
    std::string text;
    for (std::size_t i = 0; i < licence.size(); ++i) {
        if (licence[i] == '\n' && (i == 0 || licence[i - 1] != '\r')) text += '\r';
        text += licence[i];
    }
    controls_.licence_box.SetCaption(text);
    controls_.licence_box.Show();
    controls_.licence_art.Hide();
    controls_.licence_prompt.Hide();
    controls_.licence_link.Hide();
    const ui::Rect& box = controls_.licence_box.bounds();
    controls_.agree_prompt.SetTop(box.top + box.height + kBelowLicenceBox);
}

// The record comes straight from the resource's bytes: no file beside the
// program is written, so a read-only place works and no file of the user's
// is touched.
void TMainForm::LoadConfig() {
    auto blob = platform_.resources.RcData(kConfigResource);
    if (!blob) throw PackageError("SETUPINI: the program carries no configuration resource");
    // The file rows past the record's 256, when the product has more.
    if (auto table = platform_.resources.RcData(kExtraFilesResource))
        extra_files = UnpackExtraFiles(table->data(), table->size(), kExtraFilesResource);
    config = UnpackSoundConfig(blob->data(), blob->size(), kConfigResource, kProblemsShown, extra_files);
}

void TMainForm::ReadPreviousInstallation() {
    RegistryAccessor reg(platform_.registry, kGenericRead | kKeySetValue, KeysRoot(scope_));
    if (!reg.OpenKey(ProductKey, true)) return;
    // A value missing or of another type ends the reading there, silently.
    try {
        AlreadyInstalled = reg.ReadBool(installed::kSetupValue);
        reg.ReadString(installed::kVersionValue);
        PreviousFolder = reg.ReadString(installed::kFolderValue);
    } catch (const RegistryError&) {
        return;
    }
}

void TMainForm::LoadPayload() {
    try {
        payload = PayloadFromFile();
        if (!payload) {
            auto in_place = platform_.resources.RcDataInPlace(kPayloadResource);
            if (!in_place) throw PackageError("the program carries no payload resource");
            payload = std::make_unique<PayloadStream>(std::move(in_place));
        }
    } catch (const PackageError& e) {
        throw PackageError(std::string(kPayloadResource) + ": " + e.what());
    }
    ThrowProblems(ValidateConfig(*config, extra_files, payload->size()));
}

// The payload read from the program's file, which keeps the installer's memory
// small: only when the build gave its digest and the file's bytes have it, so
// a file replaced since the program started is never installed from. Nothing
// otherwise, and the payload is read in the image, as it always can be.
std::unique_ptr<PayloadStream> TMainForm::PayloadFromFile() {
    const auto digest = platform_.resources.RcData(kPayloadDigestResource);
    Sha256Digest expected;
    if (!digest || digest->size() != expected.size()) return nullptr;
    std::copy(digest->begin(), digest->end(), expected.begin());
    auto file = platform_.resources.RcDataFromFile(kPayloadResource);
    if (!file) return nullptr;
    try {
        auto read = std::make_unique<PayloadStream>(std::move(file), &expected);
        if (read->DigestMatches()) return read;
    } catch (const PackageError&) {
        // Bytes from the file that do not even unpack: the image says what is wrong.
    }
    return nullptr;
}

// The drive's folder, or the maker's choice of the Program Files folder as
// this program sees it (the user's own programs folder for a per-user
// install), when that is known and the whole path fits the record.
std::string TMainForm::ProposedFolder() {
    const std::string name = config->DefaultFolderName.text();
    std::string root;
    if (scope_ == InstallScope::kUser) root = platform_.shell.UserProgramsFolder();
    else if (maker_.folder_root == FolderRoot::kProgramFiles) root = platform_.shell.ProgramFilesFolder();
    if (!root.empty() && root.size() + 1 + name.size() <= config->InstallFolder.capacity) return root + "\\" + name;
    return proposed_drive_ + name;
}

void TMainForm::FormCreate() {
    // "D: " resolves to drive D:'s current folder: true when D: is present.
    proposed_drive_ = DirectoryExists(platform_.files, "D: ") ? "D:\\" : "C:\\";
    scope_ = ProgramScope(platform_.resources);
    // A record refused before the profile is checked against it is still
    // refused under the maker's caption.
    lines_.caption = PackageMakerLines(platform_.resources).caption;

    try {
        LoadConfig();
        LoadMakerProfile();
        // The pack is checked before anything is written: a damaged package
        // leaves no key behind. Its questions still come in their order.
        LoadPayload();
        form_->SetApplicationTitle(config->ProductName.text() + texts::kTitleSuffix);
        CompanyKey = "\\" + installed::CompanyKey(*config);
        ProductKey = "\\" + installed::ProductKey(*config);
        ReadPreviousInstallation();

        if (PreviousFolder.size() > 3 && DirectoryExists(platform_.files, PreviousFolder))
            config->SetInstallFolder(PreviousFolder);
        else config->SetInstallFolder(ProposedFolder());

        if (AlreadyInstalled && platform_.dialogs.Ask(kAskInstallOver, lines_.installed_question, lines_.caption,
                                                      kMbYesNo | kMbIconQuestion) == kIdNo) {
            form_->Terminate();
            return;
        }
        if (!payload->MatchesChecksum(*config) &&
            platform_.dialogs.Ask(kAskDespiteChecksum, lines_.checksum_question, lines_.caption,
                                  kMbYesNo | kMbIconQuestion) == kIdNo) {
            exit_code_ = kExitBadPackage;
            form_->Terminate();
            return;
        }
    } catch (const PackageError& e) {
        RefusePackage(texts::kBadPackage + std::string(e.what()));
    } catch (const std::bad_alloc&) {
        // A pack too large for this machine's memory: said, never a vanished window.
        RefusePackage(texts::kOutOfMemory);
    }

    ShowPage(WizardPage::kWelcome);
    if (attach_shadow) attach_shadow(*form_);
    const ui::Rect& r = form_->bounds();
    form_->SetRegion({1, 1, r.width - 1, r.height - 1, 8, 8});
}

void TMainForm::FormDestroy() { payload.reset(); }

}  // namespace zsetup
