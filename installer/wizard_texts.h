// The wizard's own texts. This folder is compiled with -fexec-charset=GBK:
// every narrow literal here is GBK bytes, as the record's texts are.
#pragma once

namespace zsetup::texts {

inline constexpr char kTitleSuffix[] = " 安装向导";   // application title: name + this
inline constexpr char kCaptionSuffix[] = "安装向导";  // window caption: name + this
inline constexpr char kBadPackage[] = "  提示：安装程序已损坏，无法继续安装：\r\n";
inline constexpr char kOutOfMemory[] = "  提示：内存不足，无法继续安装。  ";

// Page titles (Label8) and subtitles (Label12); page 0's title is the maker's.
inline constexpr char kSheet0SubtitleHead[] = "本安装程序将";
inline constexpr char kSheet0SubtitleTail[] = "软件安装到您的计算机上";
inline constexpr char kSheet1Title[] = "软件许可协议";
inline constexpr char kSheet1Subtitle[] = "请认真阅读本软件的许可协议";
inline constexpr char kSheet2Title[] = "选择安装目标文件夹";
inline constexpr char kSheet2Subtitle[] = "您所选择的文件夹将存放该软件的所有文件";
inline constexpr char kSheet3Title[] = "开始安装";
inline constexpr char kSheet3Subtitle[] = "选择结束,即将开始安装工作";
inline constexpr char kSheet4Title[] = "正在安装...";
inline constexpr char kSheet4Subtitle[] = "安装程序正在复制文件,注册信息,创建快捷方式";
inline constexpr char kSheet5Title[] = "安装完毕";
inline constexpr char kSheet5Subtitle[] = "已经完成本软件的所有安装工作";
inline constexpr char kFinish[] = "完成";
// Page 5 after a run in which files could not be written.
inline constexpr char kFailedResultHead[] = "安装结束，但有";
inline constexpr char kFailedResultTail[] = "个文件未能安装：";
inline constexpr char kFailedSubtitle[] = "安装工作已结束，部分文件未能安装";
inline constexpr char kRunHead[] = "请双击";
inline constexpr char kRunTail[] = "图标运行软件。";
// The finish page's box that starts the product: this + the product name.
inline constexpr char kRunProgram[] = "运行 ";

// The folder check on page 2.
inline constexpr char kFolderEmpty[] = "  提示：请选择目标文件夹！     ";
// The full-path message ends with the maker's example folder.
inline constexpr char kFolderNotFull[] = "必须指定完全路径!\r\n比如:\r\n";
inline constexpr char kFolderIsRoot[] = "  提示：不能安装到驱动器的根目录下!  ";
inline constexpr char kFolderNotCreated[] = "  提示：创建子文件夹失败！         ";
inline constexpr char kFolderNameTrimmed[] = "  提示：文件夹名不能以点或空格结尾！  ";
inline constexpr char kFolderTooLong[] = "  提示：目标文件夹路径太长，不能超过128个字节！  ";
inline constexpr char kPickerTitle[] = "选择安装目标文件夹";

// The installation run.
inline constexpr char kCopyingFiles[] = "正在复制文件...";
inline constexpr char kRegistering[] = "正在注册相关信息...";
inline constexpr char kMakingShortcuts[] = "正在创建快捷方式...";
inline constexpr char kFileFailed[] = "安装下列文件时发生错误，\r\n建议重新启动后再次安装!\r\n";

// The command line.
inline constexpr char kSetupHelp[] =
    "用法：setup.exe [/S] [/LOG=日志文件] [/D=目标文件夹]\r\n\r\n"
    "/S\t静默安装，不显示任何窗口\r\n"
    "/D=\t目标文件夹，须放在最后，可含空格，不加引号\r\n"
    "/LOG=\t日志文件：提示信息和写入的每个文件、注册表值、快捷方式（UTF-8）\r\n"
    "/?\t显示本说明\r\n\r\n"
    "退出代码：\r\n"
    "0\t安装成功\r\n"
    "1\t已取消或中途失败\r\n"
    "2\t安装程序已损坏\r\n"
    "3\t目标文件夹无效\r\n"
    "4\t未知的命令行选项";
inline constexpr char kLogNotWritten[] = "  提示：无法写入日志文件：";

}  // namespace zsetup::texts
