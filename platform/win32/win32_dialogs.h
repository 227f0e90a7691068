// The system message box through MessageBoxW, converting GBK explicitly.
#pragma once

#include "platform/dialogs.h"

namespace zsetup {

class Win32Dialogs : public Dialogs {
public:
    // The window (an HWND) that owns, and is disabled under, every box from
    // now on; null for none.
    void SetOwner(void* window) { owner_ = window; }

    int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) override;
    int Confirm(const std::string& text) override;

private:
    void* owner_ = nullptr;
};

}  // namespace zsetup
