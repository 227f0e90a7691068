#include "uninstall/uninstall_form_description.h"

#include "wizard/maker.h"
#include "wizard/wizard_look.h"

namespace zsetup {

const ui::FormDescription& UNINSTALLFORM() {
    using namespace ui;
    using namespace look;
    // clang-format off
    static const FormDescription description{
        "UninstallForm",
        kClientArea,
        FormFont(),
        kSystemWindowColour,
        {
            {Kind::PageControl, "Pages", nullptr, kPages, "", Text(), kInherit, kHiddenTabs},
            {Kind::Page, "AskPage", "Pages", kPage, "", Text(), kInherit, 0},
            {Kind::Label, "NameHead", "AskPage", {60, 36, 70, 17}, "软件名称:", Text(), kInherit, 0},
            {Kind::Label, "NameLabel", "AskPage", {135, 36, 330, 17}, "", Text(), kInherit, 0},
            {Kind::Label, "VersionHead", "AskPage", {60, 58, 70, 17}, "发行版本:", Text(), kInherit, 0},
            {Kind::Label, "VersionLabel", "AskPage", {135, 58, 330, 17}, "", Text(), kInherit, 0},
            {Kind::Label, "FolderHead", "AskPage", {60, 80, 70, 17}, "安装位置:", Text(), kInherit, 0},
            {Kind::Label, "FolderLabel", "AskPage", {135, 80, 330, 34}, "", Text(), kInherit, kWordWrap},
            {Kind::Label, "WhatHead", "AskPage", {60, 118, 70, 17}, "将要删除:", Text(), kInherit, 0},
            {Kind::Label, "WhatLabel", "AskPage", {135, 118, 330, 51}, "", Text(), kInherit, kWordWrap},
            {Kind::Page, "WorkPage", "Pages", kPage, "", Text(), kInherit, 0},
            {Kind::Label, "StageLabel", "WorkPage", {100, 48, 300, 17}, "", Text(), kInherit, 0},
            {Kind::ProgressBar, "Progress", "WorkPage", {100, 80, 300, 18}, "", Text(), kInherit, 0},
            {Kind::Page, "DonePage", "Pages", kPage, "", Text(), kInherit, 0},
            {Kind::Label, "ResultLabel", "DonePage", {60, 36, 420, 17}, "", Text(), kInherit, 0},
            {Kind::TextBox, "LeftoverBox", "DonePage", {60, 60, 420, 100}, "", Text(), kInherit, kHidden},

            {Kind::Panel, "Header", nullptr, kHeaderBand, "", Text(), kHeader, 0},
            {Kind::Label, "Title", "Header", kTitle, "", HeaderTitle(), kInherit, 0},
            {Kind::Label, "Subtitle", "Header", kSubtitle, "", HeaderText(), kInherit, 0},
            {Kind::Label, "Credit", "Header", kCredit, BuiltInMakerLines().credit.c_str(), HeaderTitle(), kInherit, 0},

            {Kind::Bevel, "BottomLine", nullptr, kBottomLine, "", Text(), kInherit, 0},
            {Kind::Label, "SiteLabel", nullptr, kSiteLabel, BuiltInMakerLines().site_text.c_str(), GrayText(), kInherit, 0},
            {Kind::PushButton, "UninstallButton", nullptr, kMiddleButton, "卸载", Text(), kInherit, 0},
            {Kind::PushButton, "CancelButton", nullptr, kRightButton, "取消", Text(), kInherit, 0},
        },
    };
    // clang-format on
    return description;
}

}  // namespace zsetup
