#include "platform/win32/win32_processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "text/win32/wide_text.h"
#include "base/win32/unique_handle.h"

namespace zsetup {

std::vector<ProcessEntry> Win32Processes::Snapshot() {
    std::vector<ProcessEntry> processes;
    const UniqueHandle snapshot = AdoptFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        const std::wstring image(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH));
        processes.push_back({entry.th32ProcessID, WideToGbk(image)});
    }
    return processes;
}

bool Win32Processes::Terminate(std::uint32_t id, std::uint32_t exit_code) {
    const UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
    if (!process) return false;
    return TerminateProcess(process.get(), exit_code) != 0;
}

}  // namespace zsetup
