#include "platform/win32/win32_dialogs.h"

#include <windows.h>

#include "text/win32/wide_text.h"

namespace zsetup {

int Win32Dialogs::ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) {
    return MessageBoxW(static_cast<HWND>(owner_), GbkToWide(text).c_str(), GbkToWide(caption).c_str(), flags);
}

}  // namespace zsetup
