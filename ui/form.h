// The top-level window: its widgets, the application's title, the close
// request and termination, the window shape, and a window procedure that an
// attached object (the drop shadow) can replace and later restore.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/widget.h"

namespace zsetup::ui {

// A message as the window receives it; the result as Windows expects it.
struct Message {
    unsigned id;
    std::uintptr_t wparam;
    std::intptr_t lparam;
};
using WindowProc = std::function<std::intptr_t(const Message&)>;

struct RoundedRegion {
    int left, top, right, bottom, ellipse_width, ellipse_height;
};

class Form : public Widget {
public:
    explicit Form(std::string name) : Widget(Kind::Form, std::move(name), nullptr) {}

    // The task-bar text.
    const std::string& application_title() const { return application_title_; }
    void SetApplicationTitle(std::string title);

    // A close request from outside the wizard's buttons: asks on_close_query
    // (which gets a flag that arrives true), then terminates when allowed.
    std::function<void(bool& can_close)> on_close_query;
    void RequestClose();
    // Ends the program once the running handler returns; no further close query.
    void Terminate();
    bool terminated() const { return terminated_; }

    // The keys a dialog answers: Enter presses the first of the default
    // buttons the user can reach when the focus is on no button or link; Esc
    // the first cancel button, or asks to close when there is none.
    void SetKeyButtons(std::vector<std::string> default_buttons, std::vector<std::string> cancel_buttons) {
        default_buttons_ = std::move(default_buttons);
        cancel_buttons_ = std::move(cancel_buttons);
    }
    const std::vector<std::string>& default_buttons() const { return default_buttons_; }
    const std::vector<std::string>& cancel_buttons() const { return cancel_buttons_; }

    const RoundedRegion* region() const { return has_region_ ? &region_ : nullptr; }
    void SetRegion(const RoundedRegion& r);

    // The window procedure every message goes through. Whoever replaces it
    // keeps the one it found and calls it for what it does not handle.
    const WindowProc& window_proc() const { return window_proc_; }
    void SetWindowProc(WindowProc proc) { window_proc_ = std::move(proc); }

private:
    std::string application_title_;
    bool terminated_ = false;
    bool has_region_ = false;
    RoundedRegion region_{};
    WindowProc window_proc_;
    std::vector<std::string> default_buttons_, cancel_buttons_;
};

}  // namespace zsetup::ui
