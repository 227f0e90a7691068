// The close confirmation: a modal Yes/No dialog of our own, built from
// an in-memory template so the dialog manager gives Enter (Yes, the default
// button), Escape (No) and Tab for free.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "text/win32/wide_text.h"
#include "platform/win32/win32_dialogs.h"

namespace zsetup {
namespace {

class DialogTemplate {
public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const WideString& s) {
        for (wchar_t c : s) Word(static_cast<WORD>(c));
        Word(0);
    }
    void AlignDword() {
        if (words_.size() % 2) Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD class_atom, const WideString& text) {
        AlignDword();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
        Word(id);
        Word(0xFFFF);
        Word(class_atom);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kStatic = 0x0082;
constexpr WORD kIconId = 100;
constexpr WORD kTextId = 0xFFFF;  // as in a message box: drivers read it there

INT_PTR CALLBACK ConfirmProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageW(dialog, kIconId, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(32514))), 0);  // IDI_QUESTION
        return TRUE;  // focus to the default button, Yes
    case WM_COMMAND:
        // Escape arrives as IDCANCEL: it answers No, as closing the box does.
        if (LOWORD(wparam) == IDYES || LOWORD(wparam) == IDNO || LOWORD(wparam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wparam) == IDYES ? IDYES : IDNO);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

int Win32Dialogs::Confirm(const std::string& text) {
    DialogTemplate t;
    t.Dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.Dword(0);
    t.Word(4);  // items
    for (short v : {0, 0, 280, 92}) t.Word(static_cast<WORD>(v));
    t.Word(0);  // no menu
    t.Word(0);  // the standard dialog class
    t.Text(L"Confirm");
    t.Word(9);
    t.Text(L"MS Shell Dlg");
    t.Item(SS_ICON, 10, 10, 21, 20, kIconId, kStatic, L"");
    t.Item(SS_LEFT, 40, 10, 230, 52, kTextId, kStatic, GbkToWide(text));
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 164, 70, 50, 14, IDYES, kButton, L"&Yes");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 222, 70, 50, 14, IDNO, kButton, L"&No");
    const INT_PTR answer =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), static_cast<HWND>(owner_), ConfirmProc, 0);
    return answer == IDYES ? kIdYes : kIdNo;
}

}  // namespace zsetup
