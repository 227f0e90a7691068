#include "platform/win32/win32_clock.h"

#include <windows.h>

#include <cstdio>

namespace zsetup {

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint64_t Win32Clock::Milliseconds() { return GetTickCount64(); }

std::string Win32Clock::Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u", static_cast<unsigned>(now.wYear),
                  static_cast<unsigned>(now.wMonth), static_cast<unsigned>(now.wDay));
    return date;
}

}  // namespace zsetup
