// Reads a program's version information the way Windows programs do, through
// GetFileVersionInfoW and VerQueryValueW, and prints it in UTF-8, one item a
// line: the fixed file and product versions, the translations, then each
// string of each translation's table.
//   version_probe.exe FILE      exit 0, or 3 when the file has none
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string Dotted(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) + "." +
           std::to_string(LOWORD(low));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    if (size == 0) return 3;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(argv[1], 0, size, data.data())) return 3;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        return 4;
    std::printf("fixed %s %s\n", Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str(),
                Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());

    struct Translation {
        WORD language, code_page;
    }* translations = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length))
        return 4;
    const UINT count = length / sizeof *translations;
    for (UINT i = 0; i < count; ++i)
        std::printf("translation %04x %u\n", translations[i].language, translations[i].code_page);
    for (UINT i = 0; i < count; ++i) {
        wchar_t table[16];
        swprintf(table, 16, L"%04x%04x", translations[i].language, translations[i].code_page);
        for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                                    L"ProductName", L"ProductVersion"}) {
            const std::wstring path = std::wstring(L"\\StringFileInfo\\") + table + L"\\" + name;
            wchar_t* value = nullptr;
            if (!VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
                continue;
            std::printf("%s %s %s\n", Utf8(table).c_str(), Utf8(name).c_str(), Utf8(value).c_str());
        }
    }
    std::fflush(stdout);
    return 0;
}
