#include "app/main_form.h"

#include <cstdint>
#include <stdexcept>

#include "app/main_form_description.h"
#include "app/wizard_texts.h"
#include "package/config_validation.h"
#include "package/errors.h"
#include "package/packed_blob.h"
#include "platform/registry_accessor.h"
#include "ui/form_description.h"

namespace zsetup {
namespace {

// The record's own checks, before anything is known of the payload.
constexpr std::uint64_t kAnyPayloadSize = UINT64_MAX;

}  // namespace

TMainForm::TMainForm(Platform& platform)
    : SetupConfig(std::make_unique<zsetup::SetupConfig>(zsetup::SetupConfig::Zero())),
      platform_(platform),
      form_(ui::BuildForm(TMAINFORM())) {
    Control("Sheet0").on_show = Handler(&TMainForm::Sheet0Show);
    Control("Sheet1").on_show = Handler(&TMainForm::Sheet1Show);
    Control("Sheet2").on_show = Handler(&TMainForm::Sheet2Show);
    Control("Sheet3").on_show = Handler(&TMainForm::Sheet3Show);
    Control("Sheet4").on_show = Handler(&TMainForm::Sheet4Show);
    Control("Sheet5").on_show = Handler(&TMainForm::Sheet5Show);
    Control("suiButton1").on_click = Handler(&TMainForm::PrevBtClick);
    Control("suiButton2").on_click = Handler(&TMainForm::NextBtClick);
    Control("suiButton4").on_click = Handler(&TMainForm::suiButton4Click);
    Control("suiButton3").on_click = Handler(&TMainForm::CancelBtClick);
    Control("suiImageButton1").on_click = Handler(&TMainForm::suiImageButton1Click);
    Control("suiURLLabel1").on_click = Handler(&TMainForm::suiURLLabel1Click);
    Control("Button1").on_click = Handler(&TMainForm::Button1Click);
    Control("Button2").on_click = Handler(&TMainForm::Button2Click);
    Control("BPing").on_click = Handler(&TMainForm::BPingClick);
    form_->on_close_query = [this](bool& can_close) { FormCloseQuery(can_close); };
    // The artwork travels in the program's resources; without it the
    // pictures stay empty.
    if (auto art = platform_.resources.RcData("LICENCEART")) Control("Image2").SetPicture(std::move(*art));
    if (auto art = platform_.resources.RcData("FINISHART")) Control("Image1").SetPicture(std::move(*art));
}

std::function<void()> TMainForm::Handler(void (TMainForm::*handler)()) {
    return [this, handler] {
        // Handlers run inside one another (Agree clicks Next, Next changes
        // the page): only the outermost one shows the error.
        ++handler_depth_;
        try {
            (this->*handler)();
        } catch (const std::runtime_error& e) {
            if (--handler_depth_ > 0) throw;
            platform_.dialogs.ShowMessage(e.what(), form_->application_title(), kMbOk | kMbIconError);
            return;
        } catch (...) {
            --handler_depth_;
            throw;
        }
        --handler_depth_;
    };
}

void TMainForm::RefusePackage(const std::string& problem) {
    package_problem_ = problem;
    platform_.dialogs.ShowMessage(texts::kBadPackage + problem, texts::kCaption, kMbOk | kMbIconWarning);
}

// The record comes straight from the resource's bytes: no file beside the
// program is written, so a read-only place works and no file of the user's
// is touched.
void TMainForm::LoadConfig() {
    auto blob = platform_.resources.RcData("SETUPINI");
    if (!blob) throw PackageError("SETUPINI: the program carries no configuration resource");
    try {
        DecompressBlob(*blob);
    } catch (const PackageError& e) {
        throw PackageError(std::string("SETUPINI: ") + e.what());
    }
    *SetupConfig = zsetup::SetupConfig::FromBytes(blob->data(), blob->size());
    const auto problems = ValidateConfig(*SetupConfig, kAnyPayloadSize);
    if (!problems.empty()) throw PackageError(DescribeProblems(problems));
}

void TMainForm::ReadPreviousInstallation() {
    RegistryAccessor reg(platform_.registry, kGenericRead | kKeySetValue, RegRoot::LocalMachine);
    if (!reg.OpenKey(ProductKey, true)) return;
    // A value missing or of another type ends the reading there, silently.
    try {
        AlreadyInstalled = reg.ReadBool("Setup");
        reg.ReadString("Version");
        PreviousFolder = reg.ReadString("Folder");
    } catch (const RegistryError&) {
        return;
    }
}

void TMainForm::LoadPayload() {
    auto blob = platform_.resources.RcData("SETUPPACK");
    if (!blob) throw PackageError("SETUPPACK: the program carries no payload resource");
    try {
        PayloadPack = zsetup::PayloadPack::FromBlob(std::move(*blob));
    } catch (const PackageError& e) {
        throw PackageError(std::string("SETUPPACK: ") + e.what());
    }
    const auto problems = ValidateConfig(*SetupConfig, PayloadPack.size());
    if (!problems.empty()) throw PackageError(DescribeProblems(problems));
}

void TMainForm::FormCreate() {
    ui::Widget& label_pf = Control("LabelPF");
    // "D: " resolves to drive D:'s current folder: true when D: is present.
    label_pf.SetCaption(DirectoryExists(platform_.files, "D: ") ? "D:\\" : "C:\\");

    try {
        LoadConfig();
        form_->SetApplicationTitle(SetupConfig->ProductName.text() + texts::kTitleSuffix);
        CompanyKey = "\\Software\\" + SetupConfig->CompanyKeyName.text();
        ProductKey = CompanyKey + "\\" + SetupConfig->DefaultFolderName.text();
        ReadPreviousInstallation();

        if (PreviousFolder.size() > 3 && DirectoryExists(platform_.files, PreviousFolder))
            SetupConfig->SetInstallFolder(PreviousFolder);
        else SetupConfig->SetInstallFolder(label_pf.caption() + SetupConfig->DefaultFolderName.text());

        if (AlreadyInstalled && platform_.dialogs.ShowMessage(texts::kAlreadyInstalled, texts::kCaption,
                                                              kMbYesNo | kMbIconQuestion) == kIdNo) {
            form_->Terminate();
            return;
        }
        LoadPayload();
        if (!PayloadPack.MatchesChecksum(*SetupConfig) &&
            platform_.dialogs.ShowMessage(texts::kChecksumMismatch, texts::kCaption, kMbYesNo | kMbIconQuestion) ==
                kIdNo) {
            form_->Terminate();
            return;
        }
    } catch (const PackageError& e) {
        RefusePackage(e.what());
    }

    Control("PageCtl").SetActivePage(0);
    if (attach_shadow) attach_shadow(*form_);
    const ui::Rect& r = form_->bounds();
    form_->SetRegion({1, 1, r.width - 1, r.height - 1, 8, 8});
}

void TMainForm::FormDestroy() { PayloadPack = zsetup::PayloadPack(); }

}  // namespace zsetup
