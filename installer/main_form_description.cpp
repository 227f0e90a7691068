#include "installer/main_form_description.h"

#include "wizard/maker.h"
#include "wizard/wizard_look.h"

namespace zsetup {
namespace {

using ui::Kind;
using namespace look;

}  // namespace

const ui::FormDescription& TMAINFORM() {
    using namespace ui;
    // clang-format off
    static const FormDescription description{
        "MainForm",
        kClientArea,
        FormFont(),
        kSystemWindowColour,
        {
            // Back to front: the page control lies behind the header band.
            {Kind::PageControl, "PageCtl", nullptr, kPages, "", Text(), kInherit, kHiddenTabs},
            {Kind::Page, "Sheet0", "PageCtl", kPage, "欢迎界面", Text(), kInherit, 0},
            {Kind::Label, "Label10", "Sheet0", {60, 40, 70, 17}, "软件名称:", Text(), kInherit, 0},
            {Kind::Label, "NameLb", "Sheet0", {135, 40, 330, 17}, "", Text(), kInherit, 0},
            {Kind::Label, "Label11", "Sheet0", {60, 64, 70, 17}, "发行版本:", Text(), kInherit, 0},
            {Kind::Label, "VerLb", "Sheet0", {135, 64, 330, 17}, "", Text(), kInherit, 0},
            {Kind::Label, "Label9", "Sheet0", {60, 88, 70, 17}, "软件简介:", Text(), kInherit, 0},
            {Kind::Label, "IntroLb", "Sheet0", {135, 88, 245, 80}, "", Text(), kInherit, kWordWrap},
            {Kind::Label, "NoticeLb", "Sheet0", {60, 160, 420, 17}, "安装前请关闭正在运行的本软件。", GrayText(),
             kInherit, 0},
            {Kind::Page, "Sheet1", "PageCtl", kPage, "许可协议", Text(), kInherit, 0},
            {Kind::Picture, "Image2", "Sheet1", {146, 30, 233, 89}, "", Text(), kInherit, 0},
            {Kind::Label, "Label19", "Sheet1", {118, 136, 44, 17}, "请阅读", Text(), kInherit, 0},
            {Kind::LinkLabel, "suiURLLabel1", "Sheet1", {162, 136, 100, 17}, "“软件许可协议”", Link(), kLinkHot,
             kHandCursor},
            {Kind::Label, "Label21", "Sheet1", {262, 136, 230, 17}, "如果您同意协议请按“同意”进行安装", Text(),
             kInherit, 0},
            // The licence text itself, in place of the picture and the link, when the maker asks.
            // The page is 181 high and the header band covers its first 21 pixels; with the
            // picture, Label19 and the link hidden, only Label21 stays, moved to the page's foot
            // (top 160, 17 high, right of the site address that reaches into the page's last 5
            // pixels at its left). The box takes what lies between: 28 to 154, about eight lines.
            {Kind::TextBox, "LicenceBox", "Sheet1", {40, 28, 446, 126}, "", Text(), kInherit, kHidden},
            {Kind::Page, "Sheet2", "PageCtl", kPage, "选择目录", Text(), kInherit, 0},
            {Kind::Label, "Label16", "Sheet2", {100, 48, 320, 17}, "如果有两个以上分区，建议安装到非系统分区:",
             Text(), kInherit, 0},
            {Kind::Edit, "FolderEd", "Sheet2", {100, 80, 226, 21}, "", Text(), kInherit, 0},
            {Kind::ImageButton, "suiImageButton1", "Sheet2", {332, 78, 39, 25}, "...", Text(), kInherit, kHandCursor},
            {Kind::Label, "LabelPF", "Sheet2", {100, 112, 60, 17}, "", Text(), kInherit, kHidden},
            {Kind::Page, "Sheet3", "PageCtl", kPage, "开始安装", Text(), kInherit, 0},
            {Kind::Label, "Label2", "Sheet3", {100, 40, 120, 17}, "安装提示：", Text(), kInherit, 0},
            {Kind::Label, "Label17", "Sheet3", {100, 70, 75, 17}, "目标文件夹:", Text(), kInherit, 0},
            {Kind::Label, "FolderLb", "Sheet3", {180, 70, 200, 17}, "", Text(), kInherit, kWordWrap},
            {Kind::Label, "Label18", "Sheet3", {100, 136, 200, 17}, "安装模式:典型安装.", Text(), kInherit, 0},
            {Kind::Page, "Sheet4", "PageCtl", kPage, "复制文件", Text(), kInherit, 0},
            {Kind::Label, "WorkLb", "Sheet4", {100, 48, 200, 17}, "正在复制文件:", Text(), kInherit, 0},
            {Kind::Label, "FNameLb", "Sheet4", {100, 76, 200, 17}, "文件复制进度:", Text(), kInherit, 0},
            {Kind::ProgressBar, "CopyProgress", "Sheet4", {100, 108, 300, 18}, "", Text(), kInherit, 0},
            {Kind::Page, "Sheet5", "PageCtl", kPage, "显示成功", Text(), kInherit, 0},
            {Kind::Picture, "Image1", "Sheet5", {60, 40, 73, 75}, "", Text(), kInherit, 0},
            {Kind::Label, "Label4", "Sheet5", {160, 44, 200, 17}, "软件安装成功!", Text(), kInherit, 0},
            {Kind::Label, "Label6", "Sheet5", {160, 76, 330, 17}, "", Text(), kInherit, 0},
            {Kind::CheckBox, "StartProgramCb", "Sheet5", {160, 112, 240, 17}, BuiltInMakerLines().tutorial_text.c_str(), Text(),
             kInherit, kChecked},
            // Shown only after a run in which files could not be written.
            {Kind::TextBox, "FailedFilesBox", "Sheet5", {160, 64, 340, 46}, "", Text(), kInherit, kHidden},
            // Starts the product at the finish, when the maker names its program.
            {Kind::CheckBox, "RunProgramCb", "Sheet5", {160, 112, 240, 17}, "", Text(), kInherit, kChecked | kHidden},

            {Kind::Panel, "Panel1", nullptr, kHeaderBand, "", Text(), kHeader, 0},
            {Kind::Label, "Label8", "Panel1", kTitle, "", HeaderTitle(), kInherit, 0},
            {Kind::Label, "Label12", "Panel1", kSubtitle, "", HeaderText(), kInherit, 0},
            {Kind::Label, "CreditLb", "Panel1", kCredit, BuiltInMakerLines().credit.c_str(), HeaderTitle(), kInherit, 0},

            {Kind::Bevel, "Bevel1", nullptr, kBottomLine, "", Text(), kInherit, 0},
            {Kind::Label, "SiteLb", nullptr, kSiteLabel, BuiltInMakerLines().site_text.c_str(), GrayText(), kInherit, 0},
            {Kind::PushButton, "suiButton1", nullptr, kLeftButton, "上一步", Text(), kInherit, kHidden},
            {Kind::PushButton, "suiButton2", nullptr, kMiddleButton, "下一步", Text(), kInherit, 0},
            {Kind::PushButton, "suiButton4", nullptr, {320, 250, 91, 30}, "同意", Text(), kInherit, kHidden},
            {Kind::PushButton, "suiButton3", nullptr, kRightButton, "取消", Text(), kInherit, 0},
            {Kind::PushButton, "Button1", nullptr, {0, 0, 75, 25}, "kill up1", Text(), kInherit, kHidden},
            {Kind::PushButton, "Button2", nullptr, {0, 0, 75, 25}, "kill up2", Text(), kInherit, kHidden},
            {Kind::PushButton, "BPing", nullptr, {0, 0, 75, 25}, "BPing", Text(), kInherit, kHidden},
        },
    };
    // clang-format on
    return description;
}

}  // namespace zsetup
