// A DLL planted under a system DLL's name (wininet.dll, version.dll ...):
// when a process loads it, it leaves NAME.dll.loaded beside itself, holding
// the path of the program that loaded it. It exports nothing.
#include <windows.h>

#include <string>

#include "base/win32/unique_handle.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return TRUE;
    const zsetup::UniqueHandle marker = zsetup::AdoptFileHandle(CreateFileW(
        (std::wstring(path, n) + L".loaded").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    DWORD written = 0;
    if (marker) WriteFile(marker.get(), program, length * sizeof(wchar_t), &written, nullptr);
    // Loaded anyway: the marker is the evidence, not a failed start.
    return TRUE;
}
