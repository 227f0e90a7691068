// Message boxes: the stand-in shows what the real box shows and answers as a
// pressed button would. Under Wine a driver thread finds the real box,
// reads it and presses the button.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/memory/memory_dialogs.h"
#include "tests/support/backends.h"
#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <set>
#include <thread>

#include "text/win32/wide_text.h"
#include "platform/win32/win32_dialogs.h"
#include "tests/support/window_finder.h"
#endif

namespace zsetup {
namespace {

const std::string kCaption = " ZANTO";
const std::string kAlreadyInstalled =
    "   Zoraq\xcc\xe1\xca\xbe\xa3\xbaZoraq\xc8\xed\xbc\xfe\xd2\xd1\xbe\xad\xb0\xb2\xd7\xb0,"
    "\xb8\xb2\xb8\xc7\xd4\xad\xc0\xb4\xd2\xd4\xc7\xb0\xb5\xc4\xc2\xf0\xa3\xbf        ";
const std::string kFileFailed =
    "\xb0\xb2\xd7\xb0\xcf\xc2\xc1\xd0\xce\xc4\xbc\xfe\xca\xb1\xb7\xa2\xc9\xfa\xb4\xed\xce\xf3\xa3\xac\r\n"
    "\xbd\xa8\xd2\xe9\xd6\xd8\xd0\xc2\xc6\xf4\xb6\xaf\xba\xf3\xd4\xd9\xb4\xce\xb0\xb2\xd7\xb0!\r\n"
    "C:\\\xb3\xcc\xd0\xf2\\a.dll";

struct SeenBox {
    std::string text;
    std::string caption;
};

// Shows boxes through one implementation and closes each with a button.
class BoxHarness {
public:
    virtual ~BoxHarness() = default;
    virtual Dialogs& dialogs() = 0;
    // The next box shown is closed with this button.
    virtual void PressNext(int button) = 0;
    // What the box that was just closed showed.
    virtual SeenBox Seen() = 0;
};

class MemoryHarness : public BoxHarness {
public:
    Dialogs& dialogs() override { return memory_; }
    void PressNext(int button) override { memory_.Answer(button); }
    SeenBox Seen() override { return {memory_.Shown().back().text, memory_.Shown().back().caption}; }

private:
    MemoryDialogs memory_;
};

#ifdef _WIN32
std::string WindowText(HWND window) { return WideToGbk(testing::WindowText(window)); }

// A message box is a visible #32770 window of this process.
HWND FindMessageBox() { return testing::FindVisibleDialog(testing::OfThisProcess); }

// Waits on its own thread for the box, reads it and posts a click to the
// button: the box's thread is blocked inside MessageBoxW meanwhile.
class BoxDriver {
public:
    struct Seen {
        bool found = false;
        std::string text;
        std::string caption;
        std::set<int> buttons;
        HWND owner = nullptr;
        bool owner_enabled = true;
        std::vector<WideString> labels;  // of Yes and No
        bool yes_is_default = false;
    };

    // Presses the button, or with a key posts that key to the Yes button
    // (where the focus starts) for the dialog manager to act on.
    explicit BoxDriver(int press, UINT key = 0) : thread_([this, press, key] { Run(press, key); }) {}
    ~BoxDriver() { Finish(); }
    BoxDriver(const BoxDriver&) = delete;
    BoxDriver& operator=(const BoxDriver&) = delete;

    // Call once the box has returned.
    const Seen& Finish() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    void Run(int press, UINT key) {
        HWND box = nullptr;
        while (!done_ && !(box = FindMessageBox())) Sleep(50);
        if (!box) return;
        seen_.found = true;
        seen_.text = WindowText(GetDlgItem(box, 0xFFFF));
        seen_.caption = WindowText(box);
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
            if (GetDlgItem(box, id)) seen_.buttons.insert(id);
        seen_.owner = GetWindow(box, GW_OWNER);
        seen_.owner_enabled = seen_.owner && IsWindowEnabled(seen_.owner);
        for (int id : {IDYES, IDNO}) {
            wchar_t label[16] = {};
            if (GetDlgItem(box, id)) GetWindowTextW(GetDlgItem(box, id), label, 16);
            seen_.labels.push_back(label);
        }
        seen_.yes_is_default = (GetWindowLongW(GetDlgItem(box, IDYES), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
        if (key) PostMessageW(GetDlgItem(box, IDYES), WM_KEYDOWN, key, 0);
        else PostMessageW(GetDlgItem(box, press), BM_CLICK, 0, 0);
    }

    std::atomic<bool> done_{false};
    Seen seen_;
    std::thread thread_;
};

class Win32Harness : public BoxHarness {
public:
    Dialogs& dialogs() override { return win32_; }
    void PressNext(int button) override { driver_ = std::make_unique<BoxDriver>(button); }
    SeenBox Seen() override {
        const BoxDriver::Seen& seen = driver_->Finish();
        EXPECT_TRUE(seen.found);
        return {seen.text, seen.caption};
    }

private:
    Win32Dialogs win32_;
    std::unique_ptr<BoxDriver> driver_;
};
#endif

std::vector<testing::Backend<BoxHarness>> Backends() {
    std::vector<testing::Backend<BoxHarness>> b = {{"memory", [] { return std::make_unique<MemoryHarness>(); }}};
#ifdef _WIN32
    b.push_back({"win32", [] { return std::make_unique<Win32Harness>(); }});
#endif
    return b;
}

class DialogsContract : public ::testing::TestWithParam<testing::Backend<BoxHarness>> {};

TEST_P(DialogsContract, ABoxShowsItsGbkTextAndGivesThePressedButton) {
    struct Case {
        std::string text;
        std::uint32_t flags;
        int press;
    };
    const Case cases[] = {
        {kAlreadyInstalled, kMbYesNo | kMbIconQuestion, kIdYes},
        {kAlreadyInstalled, kMbYesNo | kMbIconQuestion, kIdNo},
        {kFileFailed, kMbOk | kMbIconInformation, kIdOk},
        {"Stream read error", kMbOk | kMbIconError, kIdOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " / " + std::to_string(c.press));
        auto harness = GetParam().make();
        harness->PressNext(c.press);
        EXPECT_EQ(harness->dialogs().ShowMessage(c.text, kCaption, c.flags), c.press);
        const SeenBox seen = harness->Seen();
        EXPECT_EQ(seen.text, c.text);
        EXPECT_EQ(seen.caption, kCaption);
    }
}

TEST_P(DialogsContract, TheConfirmationAsksWithYesAndNo) {
    for (int press : {kIdYes, kIdNo}) {
        auto harness = GetParam().make();
        harness->PressNext(press);
        EXPECT_EQ(harness->dialogs().Confirm(kFileFailed), press);
        const SeenBox seen = harness->Seen();
        EXPECT_EQ(seen.text, kFileFailed);
        EXPECT_EQ(seen.caption, "Confirm");
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, DialogsContract, ::testing::ValuesIn(Backends()), testing::BackendName<BoxHarness>);

TEST(MemoryDialogs, AnswersInOrderAndRefusesAnUnscriptedBox) {
    MemoryDialogs dialogs;
    dialogs.Answer(kIdNo);
    dialogs.Answer(kIdOk);
    EXPECT_EQ(dialogs.ShowMessage("first", kCaption, kMbYesNo | kMbIconQuestion), kIdNo);
    EXPECT_EQ(dialogs.ShowMessage("second", kCaption, kMbOk | kMbIconWarning), kIdOk);
    EXPECT_THROW(dialogs.ShowMessage("third", kCaption, kMbOk), UnexpectedMessageBox);
    ASSERT_EQ(dialogs.Shown().size(), 3u);
    EXPECT_EQ(dialogs.Shown()[0].flags, kMbYesNo | kMbIconQuestion);
    EXPECT_EQ(dialogs.Shown()[1].flags, kMbOk | kMbIconWarning);
    EXPECT_EQ(dialogs.Shown()[2].text, "third");
}

#ifdef _WIN32
struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};

TEST(Win32Dialogs, TheButtonsFollowTheFlagsAndTheOwnerWaitsBehindTheBox) {
    std::unique_ptr<HWND__, WindowDestroyer> owner(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0,
                                                                   100, 100, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(owner);
    Win32Dialogs dialogs;
    dialogs.SetOwner(owner.get());
    struct Case {
        std::uint32_t flags;
        int press;
        std::set<int> buttons;
    };
    for (const Case& c :
         {Case{kMbYesNo | kMbIconQuestion, kIdNo, {IDYES, IDNO}}, Case{kMbOk | kMbIconWarning, kIdOk, {IDOK}}}) {
        SCOPED_TRACE(c.flags);
        BoxDriver driver(c.press);
        EXPECT_EQ(dialogs.ShowMessage("owned", kCaption, c.flags), c.press);
        const BoxDriver::Seen& seen = driver.Finish();
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.owner, owner.get());
        EXPECT_FALSE(seen.owner_enabled);
        EXPECT_TRUE(IsWindowEnabled(owner.get()));
    }
}

// Our own dialog: "&Yes" the default, Enter answers Yes, Escape No.
TEST(Win32Dialogs, TheConfirmationAnswersTheKeysAsUsersExpect) {
    std::unique_ptr<HWND__, WindowDestroyer> owner(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0,
                                                                   100, 100, nullptr, nullptr, nullptr, nullptr));
    Win32Dialogs dialogs;
    dialogs.SetOwner(owner.get());
    for (const auto& [key, answer] : {std::pair<UINT, int>{VK_RETURN, kIdYes}, {VK_ESCAPE, kIdNo}}) {
        SCOPED_TRACE(key);
        BoxDriver driver(0, key);
        EXPECT_EQ(dialogs.Confirm("sure?"), answer);
        const BoxDriver::Seen& seen = driver.Finish();
        EXPECT_EQ(seen.labels, (std::vector<WideString>{L"&Yes", L"&No"}));
        EXPECT_TRUE(seen.yes_is_default);
        EXPECT_EQ(seen.owner, owner.get());
        EXPECT_FALSE(seen.owner_enabled);
    }
}
#endif

}  // namespace
}  // namespace zsetup
