#include "platform/win32/win32_processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "text/win32/wide_text.h"
#include "base/win32/unique_handle.h"
#include "platform/win32/program_path.h"

namespace zsetup {

std::vector<ProcessEntry> Win32Processes::Snapshot() {
    std::vector<ProcessEntry> processes;
    const UniqueHandle snapshot = AdoptFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        const WideString image(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH));
        processes.push_back({entry.th32ProcessID, WideToGbk(image)});
    }
    return processes;
}

bool Win32Processes::Terminate(std::uint32_t id, std::uint32_t exit_code) {
    const UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
    if (!process) return false;
    return TerminateProcess(process.get(), exit_code) != 0;
}

std::optional<std::uint32_t> Win32Processes::Launch(const std::string& program, const std::string& arguments) {
    // CreateProcess may write into the command line: a buffer of our own.
    WideString line = L"\"" + GbkToWide(program) + L"\"";
    if (!arguments.empty()) line += L" " + GbkToWide(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(GbkToWide(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return std::nullopt;
    const UniqueHandle process(info.hProcess), thread(info.hThread);
    return info.dwProcessId;
}

bool Win32Processes::WaitForExit(std::uint32_t id, std::uint32_t timeout_ms) {
    const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    if (!process) return true;  // gone already
    return WaitForSingleObject(process.get(), timeout_ms) == WAIT_OBJECT_0;
}

std::uint32_t Win32Processes::CurrentId() { return GetCurrentProcessId(); }

std::string Win32Processes::CurrentProgram() { return WideToGbk(ProgramPath()); }

}  // namespace zsetup
