// TMainForm: the wizard window's state and handlers, over the OS seam and
// the widget tree built from TMAINFORM. Portable: native tests drive it
// headless on the memory platform; the stub drives it with real windows.
#pragma once

#include <memory>
#include <string>

#include "package/payload_pack.h"
#include "package/setup_config.h"
#include "platform/platform.h"
#include "ui/form.h"

namespace zsetup {

class TMainForm {
public:
    // Builds the window from TMAINFORM and binds the handlers; FormCreate
    // is the start-up.
    explicit TMainForm(Platform& platform);

    void FormCreate();
    void FormDestroy();

    void Sheet0Show();
    void NextBtClick();
    void Button1Click();
    void Button2Click();

    ui::Form& form() { return *form_; }
    ui::Widget& Control(const std::string& name) { return form_->Find(name); }
    // Why the package cannot be installed; empty when it can.
    const std::string& package_problem() const { return package_problem_; }

    std::unique_ptr<zsetup::SetupConfig> SetupConfig;
    zsetup::PayloadPack PayloadPack;
    bool Installing = false;
    std::string CompanyKey;
    std::string ProductKey;
    bool AlreadyInstalled = false;
    std::string PreviousFolder;

private:
    void LoadConfig();
    void ReadPreviousInstallation();
    void LoadPayload();
    void RefusePackage(const std::string& problem);

    Platform& platform_;
    std::unique_ptr<ui::Form> form_;
    std::string package_problem_;
};

}  // namespace zsetup
