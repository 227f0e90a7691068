// The uninstaller's own texts. This folder is compiled with
// -fexec-charset=GBK: every narrow literal here is GBK bytes.
#pragma once

namespace zsetup::uninstall_texts {

inline constexpr char kCaptionSuffix[] = "卸载向导";  // window caption: name + this
inline constexpr char kTitleSuffix[] = " 卸载向导";   // task-bar title: name + this

inline constexpr char kAskTitle[] = "卸载程序";
inline constexpr char kAskSubtitleHead[] = "本程序将从您的计算机上删除";
inline constexpr char kWhatGoes[] =
    "软件的全部文件、桌面和开始菜单中的快捷方式以及注册信息。您自己放进该文件夹的文件会保留。";
inline constexpr char kUninstall[] = "卸载";
inline constexpr char kCancel[] = "取消";
inline constexpr char kFinish[] = "完成";

inline constexpr char kWorkTitle[] = "正在卸载...";
inline constexpr char kWorkSubtitle[] = "正在删除文件、快捷方式和注册信息";
inline constexpr char kRemovingFiles[] = "正在删除文件...";
inline constexpr char kRemovingLinks[] = "正在删除快捷方式...";
inline constexpr char kRemovingRegistry[] = "正在删除注册信息...";

inline constexpr char kDoneTitle[] = "卸载完毕";
inline constexpr char kDoneSubtitleHead[] = "已经从您的计算机上删除";
inline constexpr char kAllGone[] = "软件已完全删除。";
inline constexpr char kLeftHead[] = "下列内容没有删除：";
inline constexpr char kAtRestart[] = "（重新启动计算机后删除）";
inline constexpr char kKept[] = "（文件夹中有您自己的文件，已保留）";
inline constexpr char kFailed[] = "（无法删除）";
// A junction or symbolic link where the install made a folder: what it leads to may be anyone's.
inline constexpr char kLinkKept[] = "（这是一个链接，未进入，已保留）";

inline constexpr char kNotInstalled[] = "  提示：没有找到安装记录，这个软件可能已经卸载。  ";
inline constexpr char kBadRecord[] = "  提示：安装记录已损坏，无法卸载：\r\n";

// The command line.
inline constexpr char kHelp[] =
    "用法：uninstall.exe [/S]\r\n\r\n"
    "/S\t静默卸载，不显示任何窗口\r\n"
    "/?\t显示本说明\r\n\r\n"
    "退出代码：\r\n"
    "0\t已全部删除\r\n"
    "1\t已取消或有内容未能删除\r\n"
    "2\t没有找到安装记录或记录已损坏\r\n"
    "4\t未知的命令行选项";

}  // namespace zsetup::uninstall_texts
