// Stands in for the browser and the file manager: appends its command line,
// in UTF-8, to commands.txt beside itself and ends.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

int main() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log(path, n);
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"commands.txt";

    const wchar_t* line = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8.data(), size, nullptr, nullptr);
    utf8.back() = '\n';

    const std::unique_ptr<FILE, decltype(&std::fclose)> file(_wfopen(log.c_str(), L"ab"), &std::fclose);
    if (!file || std::fwrite(utf8.data(), 1, utf8.size(), file.get()) != utf8.size()) return 1;
    return 0;
}
