// The Win32 adapters convert GBK themselves, so Chinese text comes out right
// whatever the system's ANSI code page; this program also runs under English.
#include "text/win32/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zsetup {
namespace {

TEST(WideText, ConvertsWithCodePage936Itself) {
    const std::string gbk = "C:\\\xb3\xcc\xd0\xf2\\\x95\x5c.exe";  // "C:\程序\" and a character whose trail byte is '\'
    const WideString wide = L"C:\\\u7a0b\u5e8f\\\u661e.exe";
    EXPECT_EQ(GbkToWide(gbk), wide);
    EXPECT_EQ(WideToGbk(wide), gbk);
    EXPECT_EQ(GbkToWide(""), L"");
    EXPECT_EQ(WideToUtf8(wide), "C:\\\xe7\xa8\x8b\xe5\xba\x8f\\\xe6\x98\x9e.exe");
}

TEST(WideText, ExactConversionsRefuseWhatHasNoForm) {
    EXPECT_EQ(ToWideExact("\xe6\x98\x9e", kCodePageUtf8), WideString(L"\u661e"));
    EXPECT_FALSE(ToWideExact("bad \xff", kCodePageUtf8));
    EXPECT_FALSE(FromWideExact(L"\U0001F600", kCodePageGbk));
    EXPECT_EQ(FromWideExact(L"\u661e", kCodePageGbk), std::string("\x95\x5c"));
}

}  // namespace
}  // namespace zsetup
