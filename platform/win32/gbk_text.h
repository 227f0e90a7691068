// GBK (code page 936) <-> UTF-16, whatever the system's ANSI code page is.
#pragma once

#include <string>

namespace zsetup {

std::wstring GbkToWide(const std::string& gbk);
std::string WideToGbk(const std::wstring& wide);

}  // namespace zsetup
