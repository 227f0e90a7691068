// The running program's own file, as Windows started it.
#pragma once

#include <windows.h>

#include <string>

#include "base/win32/wide_string.h"

namespace zsetup {

inline WideString ProgramPath() {
    WideString path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace zsetup
