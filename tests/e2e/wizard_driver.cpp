// Drives a running wizard from outside, one command after another:
//   wizard_driver COMMAND [ARGS] [COMMAND [ARGS]]...
// Every wait polls with a generous timeout; every read prints one UTF-8 line
// (CR and LF written as \r and \n) so the calling script compares it.
// A failed command prints why and exits 1. "uninstaller" first drives the
// uninstaller's window instead of setup's.
#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "installer/main_form_description.h"
#include "base/win32/com.h"
#include "base/win32/unique_handle.h"
#include "tests/support/window_finder.h"
#include "text/win32/wide_text.h"
#include "ui/control_ids.h"
#include "ui/form_description.h"
#include "uninstall/uninstall_form_description.h"

namespace {

// "timeout SECONDS" raises it for a long run (thousands of files).
std::chrono::seconds wait_timeout(30);
constexpr auto kPoll = std::chrono::milliseconds(50);

using zsetup::Utf8ToWide;
using zsetup::WideToUtf8;
using zsetup::testing::WindowText;

void PrintLine(const std::wstring& w) {
    std::string out;
    for (char c : WideToUtf8(w)) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    std::printf("%s\n", out.c_str());
    std::fflush(stdout);
}

void WaitUntil(const std::function<bool()>& done, const std::string& what) {
    const auto end = std::chrono::steady_clock::now() + wait_timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return;
        std::this_thread::sleep_for(kPoll);
    }
    throw std::runtime_error("timed out waiting for " + what);
}

HWND WaitFor(const std::function<HWND()>& find, const std::string& what) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = find()) != nullptr; }, what);
    return found;
}

HWND Form() {
    return WaitFor([] { return FindWindowW(L"ZsetupForm", nullptr); }, "the wizard window");
}

// The program driven: its form and its pages in order.
struct Target {
    const zsetup::ui::FormDescription& (*description)();
    std::vector<std::string> pages;
};
const Target kSetup{&zsetup::TMAINFORM, {"Sheet0", "Sheet1", "Sheet2", "Sheet3", "Sheet4", "Sheet5"}};
const Target kUninstaller{&zsetup::UNINSTALLFORM, {"AskPage", "WorkPage", "DonePage"}};
const Target* target = &kSetup;

int IdOf(const std::string& name) {
    static std::map<const Target*, std::unique_ptr<zsetup::ui::Form>> forms;
    auto& form = forms[target];
    if (!form) form = zsetup::ui::BuildForm(target->description());
    return zsetup::ui::ControlId(*form, name);
}

// Controls sit at any depth (pages inside the page control): all descendants.
HWND Control(const std::string& name) {
    const int id = IdOf(name);
    // The form's window exists before its children do.
    return WaitFor([&] { return zsetup::testing::FindChildById(Form(), id); }, "control " + name);
}

// A message box or confirmation: a visible #32770. The wizard may ask before
// its window exists, so any process's box counts (tests run one at a time).
HWND Box() {
    return WaitFor([] { return zsetup::testing::FindVisibleDialog(); }, "a message box");
}

// The name of the control with the keyboard focus in the wizard's thread, or "(none)".
std::string FocusedControl() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(Form(), nullptr), &info) || !info.hwndFocus) return "(none)";
    static std::map<const Target*, std::unique_ptr<zsetup::ui::Form>> forms;
    auto& form = forms[target];
    if (!form) form = zsetup::ui::BuildForm(target->description());
    const int id = GetDlgCtrlID(info.hwndFocus);
    for (zsetup::ui::Widget* w : zsetup::ui::PreOrder(*form))
        if (w != form.get() && zsetup::ui::ControlId(*form, w->name()) == id) return w->name();
    return "(not a control)";
}

// A key pressed and released as a user's: through the system's input queue
// to the foreground window's focus. "shift+tab" holds Shift round it.
void PressKey(const std::string& name) {
    static const std::map<std::string, WORD> keys = {
        {"tab", VK_TAB}, {"enter", VK_RETURN}, {"esc", VK_ESCAPE}, {"space", VK_SPACE}};
    const bool shift = name.rfind("shift+", 0) == 0;
    const auto key = keys.find(shift ? name.substr(6) : name);
    if (key == keys.end()) throw std::invalid_argument("no key " + name);
    SetForegroundWindow(Form());
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    if (shift) add(VK_SHIFT, false);
    add(key->second, false);
    add(key->second, true);
    if (shift) add(VK_SHIFT, true);
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        throw std::runtime_error("SendInput refused the key " + name);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the wizard's turn
}

// What a screen reader reads of a control, through Active Accessibility from
// this other process: "role|states|name|value".
std::string AccessibleSummary(const std::string& name) {
    const zsetup::ComApartment com;
    IAccessible* raw = nullptr;
    const HRESULT found =
        AccessibleObjectFromWindow(Control(name), OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&raw));
    const zsetup::ComPtr<IAccessible> object(raw);
    if (FAILED(found) || !object) throw std::runtime_error("no accessible object for " + name);
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const auto text = [](HRESULT hr, BSTR b) {
        std::wstring s = SUCCEEDED(hr) && b ? std::wstring(b) : std::wstring();
        if (b) SysFreeString(b);
        return WideToUtf8(s);
    };
    BSTR b = nullptr;
    HRESULT hr = object->get_accName(self, &b);
    const std::string accessible_name = text(hr, b);
    b = nullptr;
    hr = object->get_accValue(self, &b);
    const std::string value = text(hr, b);
    VARIANT role, state;
    static const std::map<LONG, const char*> roles = {{ROLE_SYSTEM_PUSHBUTTON, "push button"},
                                                      {ROLE_SYSTEM_CHECKBUTTON, "check box"},
                                                      {ROLE_SYSTEM_LINK, "link"},
                                                      {ROLE_SYSTEM_STATICTEXT, "static text"},
                                                      {ROLE_SYSTEM_TEXT, "editable text"},
                                                      {ROLE_SYSTEM_PROGRESSBAR, "progress bar"},
                                                      {ROLE_SYSTEM_GRAPHIC, "graphic"},
                                                      {ROLE_SYSTEM_SEPARATOR, "separator"}};
    std::string out = "?";
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4 && roles.count(role.lVal))
        out = roles.at(role.lVal);
    out += "|";
    if (object->get_accState(self, &state) == S_OK && state.vt == VT_I4) {
        static const std::pair<LONG, const char*> states[] = {
            {STATE_SYSTEM_FOCUSED, "focused"},     {STATE_SYSTEM_FOCUSABLE, "focusable"},
            {STATE_SYSTEM_CHECKED, "checked"},     {STATE_SYSTEM_UNAVAILABLE, "unavailable"},
            {STATE_SYSTEM_INVISIBLE, "invisible"}, {STATE_SYSTEM_LINKED, "linked"}};
        std::string words;
        for (const auto& [bit, word] : states)
            if (state.lVal & bit) words += (words.empty() ? "" : ",") + std::string(word);
        out += words;
    }
    return out + "|" + accessible_name + "|" + value;
}

int ProcessCount(const std::string& image) {
    const auto wanted = Utf8ToWide(image);
    const zsetup::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) throw std::runtime_error("no process snapshot");
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (wanted == entry.szExeFile) ++count;
    return count;
}

int VisiblePage() {
    for (std::size_t page = 0; page < target->pages.size(); ++page)
        if (IsWindowVisible(Control(target->pages[page]))) return static_cast<int>(page);
    return -1;
}

struct Command {
    int arity;
    std::function<void(const std::vector<std::string>&)> run;
};

const std::map<std::string, Command>& Commands() {
    // clang-format off
    static const std::map<std::string, Command> table = {
        {"uninstaller", {0, [](auto&) { target = &kUninstaller; }}},
        {"timeout", {1, [](auto& a) { wait_timeout = std::chrono::seconds(std::stoi(a[0])); }}},
        {"wait-window", {0, [](auto&) { Form(); }}},
        // Seconds on a steady clock: two of them in one run time what lies between.
        {"clock", {0, [](auto&) {
             std::printf("%.3f\n", std::chrono::duration<double>(
                                       std::chrono::steady_clock::now().time_since_epoch()).count());
         }}},
        {"caption", {0, [](auto&) { PrintLine(WindowText(Form())); }}},
        {"client-size", {0, [](auto&) {
             RECT r{};
             GetClientRect(Form(), &r);
             std::printf("%ldx%ld\n", r.right - r.left, r.bottom - r.top);
         }}},
        {"region", {0, [](auto&) {
             const std::unique_ptr<std::remove_pointer_t<HRGN>, decltype(&DeleteObject)> rgn(
                 CreateRectRgn(0, 0, 0, 0), &DeleteObject);
             const int kind = GetWindowRgn(Form(), rgn.get());
             std::printf("%s\n", kind == COMPLEXREGION ? "complex" : kind == SIMPLEREGION ? "simple" : "none");
         }}},
        {"text", {1, [](auto& a) { PrintLine(WindowText(Control(a[0]))); }}},
        {"key", {1, [](auto& a) { PressKey(a[0]); }}},
        {"focus", {0, [](auto&) { std::printf("%s\n", FocusedControl().c_str()); }}},
        {"accessible", {1, [](auto& a) { std::printf("%s\n", AccessibleSummary(a[0]).c_str()); }}},
        {"expect-page", {1, [](auto& a) {
             const int want = std::stoi(a[0]);
             WaitUntil([&] { return VisiblePage() == want; }, "page " + a[0]);
         }}},
        // Posted, not sent: a handler that opens a modal box would block the driver.
        {"press", {1, [](auto& a) { PostMessageW(Control(a[0]), BM_CLICK, 0, 0); }}},
        {"set", {2, [](auto& a) {
             const auto w = Utf8ToWide(a[1]);
             SendMessageW(Control(a[0]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
         }}},
        // Polls until exactly N processes have that image name.
        {"wait-processes", {2, [](auto& a) {
             const int want = std::stoi(a[1]);
             WaitUntil([&] { return ProcessCount(a[0]) == want; }, a[1] + " processes " + a[0]);
         }}},
        {"processes", {1, [](auto& a) { std::printf("%d\n", ProcessCount(a[0])); }}},
        // Pages a multi-line box down once and prints its first visible line:
        // more than 0 only when its text is longer than the box.
        {"scroll", {1, [](auto& a) {
             SendMessageW(Control(a[0]), WM_VSCROLL, SB_PAGEDOWN, 0);
             std::printf("%ld\n", static_cast<long>(SendMessageW(Control(a[0]), EM_GETFIRSTVISIBLELINE, 0, 0)));
         }}},
        // Ends a wizard left running by a failed test; no wizard is no error.
        {"end", {0, [](auto&) {
             HWND form = FindWindowW(L"ZsetupForm", nullptr);
             if (!form) return;
             DWORD pid = 0;
             GetWindowThreadProcessId(form, &pid);
             const zsetup::UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
             if (!process || !TerminateProcess(process.get(), 1))
                 throw std::runtime_error("cannot end the wizard's process");
         }}},
        {"close", {0, [](auto&) { PostMessageW(Form(), WM_CLOSE, 0, 0); }}},
        {"wait-box", {0, [](auto&) { Box(); }}},
        // Prints the caption, then the text, then presses the button with that ID.
        {"answer", {1, [](auto& a) {
             HWND box = Box();
             PrintLine(WindowText(box));
             PrintLine(WindowText(GetDlgItem(box, 65535)));
             HWND button = GetDlgItem(box, std::stoi(a[0]));
             if (!button) throw std::runtime_error("the box has no button " + a[0]);
             // The box's own command, not a click: a click posted while the box is still
             // settling can be dropped. Repeated until the box is gone.
             const int id = std::stoi(a[0]);
             WaitUntil([&] {
                 if (!IsWindow(box) || !IsWindowVisible(box)) return true;
                 PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                 std::this_thread::sleep_for(std::chrono::milliseconds(200));
                 return !IsWindow(box) || !IsWindowVisible(box);
             }, "the box to close");
         }}},
    };
    // clang-format on
    return table;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(WideToUtf8(argv[i]));
    try {
        for (std::size_t i = 0; i < args.size();) {
            auto it = Commands().find(args[i]);
            if (it == Commands().end()) throw std::invalid_argument("unknown command " + args[i]);
            const std::size_t arity = it->second.arity;
            if (i + 1 + arity > args.size()) throw std::invalid_argument(args[i] + " needs arguments");
            it->second.run(std::vector<std::string>(args.begin() + i + 1, args.begin() + i + 1 + arity));
            i += 1 + arity;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "wizard_driver: %s\n", e.what());
        return 1;
    }
    return 0;
}
