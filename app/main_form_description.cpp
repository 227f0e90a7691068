#include "app/main_form_description.h"

namespace zsetup {
namespace {

using ui::Kind;
using ui::Rgb;

constexpr ui::Colour kGray = Rgb(128, 128, 128);
constexpr ui::Colour kWhite = Rgb(255, 255, 255);
constexpr ui::Colour kBlack = Rgb(0, 0, 0);
constexpr ui::Colour kHeader = Rgb(133, 155, 222);
constexpr ui::Colour kLinkHot = Rgb(255, 153, 0);
constexpr ui::Colour kInherit = ui::kInheritColour;

const ui::Font kFormFont{"宋体", 12, kGray, false, false};
const ui::Font kText{"微软雅黑", 12, kBlack, false, false};
const ui::Font kGrayText{"微软雅黑", 12, kGray, false, false};
const ui::Font kHeaderTitle{"微软雅黑", 12, kWhite, true, false};
const ui::Font kHeaderText{"微软雅黑", 12, kWhite, false, false};
const ui::Font kLink{"微软雅黑", 12, kGray, false, true};

}  // namespace

const ui::FormDescription& TMAINFORM() {
    using namespace ui;
    // clang-format off
    static const FormDescription description{
        "MainForm",
        {0, 0, 537, 297},
        kFormFont,
        kSystemWindowColour,
        {
            // Back to front: the page control lies behind the header band.
            {Kind::PageControl, "PageCtl", nullptr, {1, 60, 526, 181}, "", kText, kInherit, kHiddenTabs},
            {Kind::Page, "Sheet0", "PageCtl", {0, 0, 526, 181}, "欢迎界面", kText, kInherit, 0},
            {Kind::Label, "Label10", "Sheet0", {60, 40, 70, 17}, "软件名称:", kText, kInherit, 0},
            {Kind::Label, "NameLb", "Sheet0", {135, 40, 330, 17}, "", kText, kInherit, 0},
            {Kind::Label, "Label11", "Sheet0", {60, 64, 70, 17}, "发行版本:", kText, kInherit, 0},
            {Kind::Label, "VerLb", "Sheet0", {135, 64, 330, 17}, "", kText, kInherit, 0},
            {Kind::Label, "Label9", "Sheet0", {60, 88, 70, 17}, "软件简介:", kText, kInherit, 0},
            {Kind::Label, "IntroLb", "Sheet0", {135, 88, 245, 80}, "", kText, kInherit, kWordWrap},
            {Kind::Label, "NoticeLb", "Sheet0", {60, 160, 420, 17}, "安装前请关闭正在运行的本软件。", kGrayText,
             kInherit, 0},
            {Kind::Page, "Sheet1", "PageCtl", {0, 0, 526, 181}, "许可协议", kText, kInherit, 0},
            {Kind::Picture, "Image2", "Sheet1", {146, 30, 233, 89}, "", kText, kInherit, 0},
            {Kind::Label, "Label19", "Sheet1", {118, 136, 44, 17}, "请阅读", kText, kInherit, 0},
            {Kind::LinkLabel, "suiURLLabel1", "Sheet1", {162, 136, 100, 17}, "“软件许可协议”", kLink, kLinkHot,
             kHandCursor},
            {Kind::Label, "Label21", "Sheet1", {262, 136, 230, 17}, "如果您同意协议请按“同意”进行安装", kText,
             kInherit, 0},
            {Kind::Page, "Sheet2", "PageCtl", {0, 0, 526, 181}, "选择目录", kText, kInherit, 0},
            {Kind::Label, "Label16", "Sheet2", {100, 48, 320, 17}, "如果有两个以上分区，建议安装到非系统分区:",
             kText, kInherit, 0},
            {Kind::Edit, "FolderEd", "Sheet2", {100, 80, 226, 21}, "", kText, kInherit, 0},
            {Kind::ImageButton, "suiImageButton1", "Sheet2", {332, 78, 39, 25}, "...", kText, kInherit, kHandCursor},
            {Kind::Label, "LabelPF", "Sheet2", {100, 112, 60, 17}, "", kText, kInherit, kHidden},
            {Kind::Page, "Sheet3", "PageCtl", {0, 0, 526, 181}, "开始安装", kText, kInherit, 0},
            {Kind::Label, "Label2", "Sheet3", {100, 40, 120, 17}, "安装提示：", kText, kInherit, 0},
            {Kind::Label, "Label17", "Sheet3", {100, 70, 75, 17}, "目标文件夹:", kText, kInherit, 0},
            {Kind::Label, "FolderLb", "Sheet3", {180, 70, 200, 17}, "", kText, kInherit, kWordWrap},
            {Kind::Label, "Label18", "Sheet3", {100, 136, 200, 17}, "安装模式:典型安装.", kText, kInherit, 0},
            {Kind::Page, "Sheet4", "PageCtl", {0, 0, 526, 181}, "复制文件", kText, kInherit, 0},
            {Kind::Label, "WorkLb", "Sheet4", {100, 48, 200, 17}, "正在复制文件:", kText, kInherit, 0},
            {Kind::Label, "FNameLb", "Sheet4", {100, 76, 200, 17}, "文件复制进度:", kText, kInherit, 0},
            {Kind::ProgressBar, "CopyProgress", "Sheet4", {100, 108, 300, 18}, "", kText, kInherit, 0},
            {Kind::Page, "Sheet5", "PageCtl", {0, 0, 526, 181}, "显示成功", kText, kInherit, 0},
            {Kind::Picture, "Image1", "Sheet5", {60, 40, 73, 75}, "", kText, kInherit, 0},
            {Kind::Label, "Label4", "Sheet5", {160, 44, 200, 17}, "软件安装成功!", kText, kInherit, 0},
            {Kind::Label, "Label6", "Sheet5", {160, 76, 330, 17}, "", kText, kInherit, 0},
            {Kind::CheckBox, "StartProgramCb", "Sheet5", {160, 112, 240, 17}, "怎样加密？看看使用教程", kText,
             kInherit, kChecked},
            // Shown only after a run in which files could not be written.
            {Kind::TextBox, "FailedFilesBox", "Sheet5", {160, 64, 340, 46}, "", kText, kInherit, kHidden},

            {Kind::Panel, "Panel1", nullptr, {0, 0, 537, 81}, "", kText, kHeader, 0},
            {Kind::Label, "Label8", "Panel1", {16, 16, 300, 17}, "", kHeaderTitle, kInherit, 0},
            {Kind::Label, "Label12", "Panel1", {16, 49, 440, 17}, "", kHeaderText, kInherit, 0},
            {Kind::Label, "CreditLb", "Panel1", {420, 16, 100, 17}, "Zoraq 出品", kHeaderTitle, kInherit, 0},

            {Kind::Bevel, "Bevel1", nullptr, {133, 244, 379, 2}, "", kText, kInherit, 0},
            {Kind::Label, "SiteLb", nullptr, {24, 236, 105, 17}, "www.example.com", kGrayText, kInherit, 0},
            {Kind::PushButton, "suiButton1", nullptr, {216, 250, 91, 30}, "上一步", kText, kInherit, kHidden},
            {Kind::PushButton, "suiButton2", nullptr, {320, 250, 89, 30}, "下一步", kText, kInherit, 0},
            {Kind::PushButton, "suiButton4", nullptr, {320, 250, 91, 30}, "同意", kText, kInherit, kHidden},
            {Kind::PushButton, "suiButton3", nullptr, {424, 250, 91, 30}, "取消", kText, kInherit, 0},
            {Kind::PushButton, "Button1", nullptr, {0, 0, 75, 25}, "kill up1", kText, kInherit, kHidden},
            {Kind::PushButton, "Button2", nullptr, {0, 0, 75, 25}, "kill up2", kText, kInherit, kHidden},
            {Kind::PushButton, "BPing", nullptr, {0, 0, 75, 25}, "BPing", kText, kInherit, kHidden},
        },
    };
    // clang-format on
    return description;
}

}  // namespace zsetup
