// The wizard's own texts. This folder is compiled with -fexec-charset=GBK:
// every narrow literal here is GBK bytes, as the record's texts are.
#pragma once

namespace zsetup::texts {

inline constexpr char kCaption[] = " ZANTO";
inline constexpr char kAlreadyInstalled[] = "   Zoraq提示：Zoraq软件已经安装,覆盖原来以前的吗？        ";
inline constexpr char kChecksumMismatch[] = "   Zoraq提示：文件资源校核不完整,继续吗？      ";
inline constexpr char kTitleSuffix[] = " 安装向导";   // application title: name + this
inline constexpr char kCaptionSuffix[] = "安装向导";  // window caption: name + this
inline constexpr char kBadPackage[] = "  提示：安装程序已损坏，无法继续安装：\r\n";

// Sheet0Show.
inline constexpr char kSheet0Title[] = "Zoraq安装程序";
inline constexpr char kSheet0SubtitleHead[] = "本安装程序将";
inline constexpr char kSheet0SubtitleTail[] = "软件安装到您的计算机上";

}  // namespace zsetup::texts
