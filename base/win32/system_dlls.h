// DLLs from System32 only. The installer runs elevated from a download
// folder, which Windows would otherwise search before System32: a DLL planted
// there under a system DLL's name would run with administrator rights.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "base/win32/wide_string.h"

namespace zsetup {

struct ModuleFreer {
    void operator()(HMODULE m) const { FreeLibrary(m); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

// Windows 7 without KB2533623 has neither SetDefaultDllDirectories nor the
// LOAD_LIBRARY_SEARCH_* flags; the function's presence tells which.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
    // Through a plain function pointer: GCC warns on a direct cast from FARPROC.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

inline SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
    return ModuleFunction<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"),
                                                            "SetDefaultDllDirectories");
}

// Every later load in the process, the system DLLs' own dependencies and
// delay loads included, searches System32 only. Call it first thing in a
// program's entry. Without the update only the current folder can be taken
// out of the search; returns whether System32 alone is searched.
inline bool SearchSystem32Only() {
    if (const auto set_default = FindSetDefaultDllDirectories()) {
        return set_default(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    }
    SetDllDirectoryW(L"");
    return false;
}

// The named DLL from System32, or null when it is not there.
inline UniqueModule LoadSystemDll(const wchar_t* name) {
    if (FindSetDefaultDllDirectories())
        return UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    // Without the flags: the full path, its dependencies searched from there.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const WideString path = WideString(folder, length) + L"\\" + name;
    return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace zsetup
