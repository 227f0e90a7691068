// A program that imports non-KnownDLLs the ordinary way: WinINet and what it
// imports (mpr), version.dll, comctl32. What the stub must never do: the
// import check names all four, and under Wine, DLLs planted beside it under
// the first two names are loaded.
#include <windows.h>
#include <commctrl.h>
#include <winnetwk.h>
#include <wininet.h>

int main(int argc, char**) {
    // Never true: the calls are there only to be imported.
    if (argc > 1000) {
        DWORD flags = 0;
        InternetGetConnectedState(&flags, 0);
        WNetGetConnectionW(L"", nullptr, &flags);
        GetFileVersionInfoSizeW(L"", nullptr);
        InitCommonControls();
    }
    return 0;
}
