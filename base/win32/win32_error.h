// A failed Win32 call as an exception whose text names what failed and the
// system's error code.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace zsetup {

inline std::runtime_error Win32Error(const std::string& what, DWORD code = GetLastError()) {
    return std::runtime_error(what + ", error " + std::to_string(code));
}

}  // namespace zsetup
