// The Win32 adapters convert GBK themselves, so Chinese text comes out right
// whatever the system's ANSI code page; this program also runs under English.
#include "platform/win32/gbk_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace zsetup {
namespace {

TEST(AnsiCodePage, IsTheOneTheRunAskedFor) {
    const char* locale = std::getenv("ZSETUP_WINE_LOCALE");
    const std::string asked = locale ? locale : "zh_CN.UTF-8";
    EXPECT_EQ(GetACP(), asked.rfind("en_US", 0) == 0 ? 1252u : 936u) << asked;
}

TEST(GbkText, ConvertsWithCodePage936Itself) {
    const std::string gbk = "C:\\\xb3\xcc\xd0\xf2\\\x95\x5c.exe";  // "C:\程序\" and a character whose trail byte is '\'
    const std::wstring wide = L"C:\\\u7a0b\u5e8f\\\u661e.exe";
    EXPECT_EQ(GbkToWide(gbk), wide);
    EXPECT_EQ(WideToGbk(wide), gbk);
    EXPECT_EQ(GbkToWide(""), L"");
}

}  // namespace
}  // namespace zsetup
