// The example product's "\uninstall.exe": removes what the installer wrote
// for it (the uninstall entry and the Start-menu group are named after the
// product) after asking, and says which folder to delete by hand, since a
// program cannot delete its own folder while it runs.
#include <windows.h>

#include <string>

namespace {

const wchar_t kProduct[] = L"演示软件";
const wchar_t kCaption[] = L"卸载演示软件";

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (MessageBoxW(nullptr, L"要卸载演示软件吗？", kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 1;
    const std::wstring uninstall =
        std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProduct;
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, uninstall.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\DemoStudio\\演示软件");
    const std::wstring message = L"演示软件的登记信息已删除。\r\n请手动删除文件夹：\r\n" + ProgramFolder();
    MessageBoxW(nullptr, message.c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
}
