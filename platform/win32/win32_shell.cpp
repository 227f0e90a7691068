#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "text/win32/wide_text.h"
#include "base/win32/com.h"

namespace zsetup {

namespace {

struct PidlFreer {
    void operator()(ITEMIDLIST* p) const { CoTaskMemFree(p); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlFreer>;

// "0x%08lX", without the C library's printf, which would bring its
// floating-point formatting into the stub for this one line.
std::string Hex(HRESULT hr) {
    static const char kDigits[] = "0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(hr);
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(bits >> shift) & 15];
    return text;
}

}  // namespace

std::string Win32Shell::BrowseForFolder(int csidl_root, const std::string& title) {
    const HWND owner = GetActiveWindow();
    ITEMIDLIST* root_raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, csidl_root, &root_raw))) return {};
    const UniquePidl root(root_raw);

    const WideString wide_title = GbkToWide(title);
    wchar_t display_name[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = root.get();
    info.pszDisplayName = display_name;
    info.lpszTitle = wide_title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const UniquePidl chosen(SHBrowseForFolderW(&info));

    wchar_t path[MAX_PATH] = {};
    if (!chosen || !SHGetPathFromIDListW(chosen.get(), path)) return {};
    return WideToGbk(path);
}

bool Win32Shell::Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& directory, int show) {
    const WideString wide_parameters = GbkToWide(parameters);
    const WideString wide_directory = GbkToWide(directory);
    const HINSTANCE result = ShellExecuteW(nullptr, GbkToWide(verb).c_str(), GbkToWide(file).c_str(),
                                           parameters.empty() ? nullptr : wide_parameters.c_str(),
                                           directory.empty() ? nullptr : wide_directory.c_str(), show);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32Shell::SaveLink(const std::string& link_file, const ShellLink& link) {
    const ComApartment com;
    if (!com.ok()) return;

    IUnknown* object_raw = nullptr;
    const HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                             IID_IUnknown, reinterpret_cast<void**>(&object_raw));
    if (FAILED(created)) throw ShellLinkError("Cannot create the shell link object (error " + Hex(created) + ")");
    const ComPtr<IUnknown> object(object_raw);

    const ComPtr<IShellLinkW> shell_link = QueryComInterface<IShellLinkW>(object.get(), IID_IShellLinkW);
    if (!shell_link) throw ShellLinkError("The shell link object offers no IShellLinkW interface");
    // A missing target is fine (S_FALSE); like the other setters its result does not matter.
    shell_link->SetPath(GbkToWide(link.target).c_str());
    shell_link->SetArguments(GbkToWide(link.arguments).c_str());
    shell_link->SetIconLocation(GbkToWide(link.icon_path).c_str(), link.icon_index);
    shell_link->SetWorkingDirectory(GbkToWide(link.working_directory).c_str());

    const ComPtr<IPersistFile> file = QueryComInterface<IPersistFile>(object.get(), IID_IPersistFile);
    if (!file) throw ShellLinkError("The shell link object offers no IPersistFile interface");
    file->Save(GbkToWide(link_file).c_str(), FALSE);
}

std::string Win32Shell::ProgramFilesFolder() {
    // Windows answers for the caller's width: a 32-bit program under WOW64 gets the (x86) folder.
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return WideToGbk(path);
}

// A user name GBK lacks (Korean, Thai) leaves the folder without a GBK form:
// its short name stands in where the volume keeps one, else none is proposed.
std::string Win32Shell::UserProgramsFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    if (auto gbk = FromWideExact(path, kCodePageGbk)) return *gbk + "\\Programs";
    wchar_t short_path[MAX_PATH + 1];
    const DWORD n = GetShortPathNameW(path, short_path, MAX_PATH + 1);
    if (n > 0 && n <= MAX_PATH)
        if (auto gbk = FromWideExact(WideString(short_path, n), kCodePageGbk)) return *gbk + "\\Programs";
    return {};
}

}  // namespace zsetup
