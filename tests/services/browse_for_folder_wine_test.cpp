// The real folder picker, closed by a second thread that presses its buttons
// the way a user would.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

#include "base/win32/com.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "services/shell_folders.h"
#include "tests/support/window_finder.h"
#include "ui/win32/gdi_handles.h"

namespace zsetup {
namespace {

using ui::UniqueWindow;

// Waits (up to 30 s) for a picker owned by the window and posts a click on
// the button: a sent click would wait for the modal loop it ends.
class PickerDriver {
public:
    PickerDriver(HWND owner, int button) : thread_([this, owner, button] { Run(owner, button); }) {}
    ~PickerDriver() { Finish(); }
    PickerDriver(const PickerDriver&) = delete;
    PickerDriver& operator=(const PickerDriver&) = delete;
    // Waits for the thread; whether it found the picker and clicked.
    bool Pressed() {
        Finish();
        return pressed_;
    }

private:
    void Finish() {
        if (thread_.joinable()) thread_.join();
    }
    void Run(HWND owner, int button) {
        for (int i = 0; i < 600 && !pressed_; ++i) {
            const HWND picker =
                testing::FindVisibleDialog([owner](HWND window) { return GetWindow(window, GW_OWNER) == owner; });
            if (picker) pressed_ = PostMessageW(GetDlgItem(picker, button), BM_CLICK, 0, 0) != 0;
            else Sleep(50);
        }
    }
    std::atomic<bool> pressed_{false};
    std::thread thread_;
};

class FolderPickerOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(com.ok());
        owner.reset(CreateWindowExW(0, L"STATIC", L"zsetup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 200, nullptr,
                                    nullptr, nullptr, nullptr));
        ASSERT_TRUE(owner);
        SetForegroundWindow(owner.get());
        ASSERT_EQ(GetActiveWindow(), owner.get());
    }
    void TearDown() override { owner.reset(); }
    const ComApartment com;  // the picker needs it, as the stub's UI thread has it
    UniqueWindow owner;
    Win32Shell shell;
};

TEST_F(FolderPickerOnWindows, CancelGivesNothingAndOkGivesTheDesktopFolder) {
    Win32Registry registry;
    ASSERT_NE(GetDesktopDir(registry), "");
    const struct {
        int button;
        std::string chosen;
    } cases[] = {
        {IDCANCEL, ""}, {IDOK, GetDesktopDir(registry)},  // the initial selection is the root, the Desktop
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        PickerDriver driver(owner.get(), c.button);
        // "选择安装目标文件夹", as the wizard asks
        const std::string chosen = shell.BrowseForFolder(
            kCsidlDesktop, "\xd1\xa1\xd4\xf1\xb0\xb2\xd7\xb0\xc4\xbf\xb1\xea\xce\xc4\xbc\xfe\xbc\xd0");
        EXPECT_TRUE(driver.Pressed());
        EXPECT_EQ(chosen, c.chosen);
    }
}

}  // namespace
}  // namespace zsetup
