#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace zsetup {

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint64_t Win32Clock::Milliseconds() { return GetTickCount64(); }

}  // namespace zsetup
