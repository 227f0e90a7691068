#include "tests/support/child_process.h"

#include <stdexcept>

#include "text/win32/wide_text.h"

namespace zsetup::testing {

namespace {

// The build gives the idle program's location as a Unix path, seen through Wine's Z: drive.
WideString IdleProgram() {
    WideString path = L"Z:" + GbkToWide(ZSETUP_IDLE_PROGRAM);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

}  // namespace

void CopyIdleProgram(const std::string& path) {
    if (!CopyFileW(IdleProgram().c_str(), GbkToWide(path).c_str(), TRUE) && GetLastError() != ERROR_FILE_EXISTS)
        throw std::runtime_error("cannot copy the idle program to " + path);
}

ChildProcess::ChildProcess(const std::string& path) {
    CopyIdleProgram(path);
    const WideString wide = GbkToWide(path);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    WideString command = L"\"" + wide + L"\"";
    if (!CreateProcessW(wide.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        throw std::runtime_error("cannot start " + path);
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (Running()) TerminateProcess(process_.get(), 0);
    WaitForSingleObject(process_.get(), 30000);
}

bool ChildProcess::Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::uint32_t ChildProcess::WaitExitCode() const {
    if (WaitForSingleObject(process_.get(), 30000) != WAIT_OBJECT_0)
        throw std::runtime_error("the process did not end");
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

}  // namespace zsetup::testing
