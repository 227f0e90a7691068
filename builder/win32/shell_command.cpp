// The signing command on the Windows builder: through cmd.exe, as a Windows
// user writes it (signtool sign ... {file}), its output turned into UTF-8.
#include <windows.h>

#include <string>

#include "base/win32/unique_handle.h"
#include "base/win32/win32_error.h"
#include "builder/input_error.h"
#include "builder/shell_command.h"
#include "text/utf8.h"
#include "text/win32/wide_text.h"

namespace zsetup {
namespace {

// cmd.exe from System32, never one that lies beside the builder or on the PATH.
WideString CommandInterpreter() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) throw Win32Error("Cannot run cmd.exe: no system folder");
    return WideString(folder, length) + L"\\cmd.exe";
}

// cmd.exe and most console tools write into a pipe in the OEM code page (936
// on a Chinese Windows); the builder speaks UTF-8. What already is UTF-8 stays.
std::string AsUtf8(const std::string& bytes) {
    if (bytes.empty() || DecodeUtf8(bytes)) return bytes;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, nullptr, 0);
    WideString wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, wide.data(), length);
    return WideToUtf8(std::wstring_view(wide.data(), wide.size()));
}

}  // namespace

CommandOutcome RunShellCommand(const std::string& command_line) {
    const WideString program = CommandInterpreter();
    // /d: none of the user's AutoRun commands first; /s /c: the command is
    // what lies between the outer quotes, exactly as written.
    WideString line = L"\"" + program + L"\" /d /s /c \"" + Utf8ToWide(command_line) + L"\"";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherited, 0)) throw Win32Error("Cannot run cmd.exe: CreatePipe");
    UniqueHandle reading(read_end), writing(write_end);
    if (!SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0))
        throw Win32Error("Cannot run cmd.exe: SetHandleInformation");
    UniqueHandle nothing = AdoptFileHandle(
        CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr));
    if (!nothing) throw Win32Error("Cannot run cmd.exe: cannot open NUL");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing.get();
    startup.hStdOutput = writing.get();  // both streams into the one pipe, in the order written
    startup.hStdError = writing.get();
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started))
        throw Win32Error("Cannot run cmd.exe");
    const UniqueHandle process(started.hProcess), thread(started.hThread);
    writing.reset();  // the command holds the only writing end: the reads end with it
    nothing.reset();

    CommandOutcome outcome;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reading.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        KeepCommandOutput(outcome.output, buffer, got);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code)) throw Win32Error("Cannot read cmd.exe's exit code");
    outcome.exit_code = static_cast<int>(code);
    outcome.output = AsUtf8(outcome.output);
    return outcome;
}

std::string ShellQuoted(const std::filesystem::path& path) {
    const std::string utf8 = path.u8string();
    // No Windows name holds a double quote; cmd.exe would expand %NAME% even between quotes.
    if (utf8.find_first_of("\"%") != std::string::npos)
        throw InputError("\"" + utf8 + "\" holds a % or a double quote, which cmd.exe cannot be given safely; " +
                         "set TEMP to a folder without them");
    return "\"" + utf8 + "\"";
}

}  // namespace zsetup
