// Where an error a handler lets through stops: shown in an error box with
// the application title as caption, and the window stays where it was.
// Handlers run inside one another (a click performs another click, a page
// change runs the page's show handler): only the outermost shows it.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "platform/dialogs.h"
#include "ui/form.h"

namespace zsetup {

// The text a user sees for an error: out of memory said in words, not as
// "std::bad_alloc".
std::string UserTextOf(const std::exception& error);

class HandlerBoundary {
public:
    HandlerBoundary(Dialogs& dialogs, const ui::Form& form) : dialogs_(dialogs), form_(form) {}

    std::function<void()> Wrap(std::function<void()> handler);
    // Runs a step as a handler runs: true when it completed, false when an
    // error ended it (and was said).
    bool Run(const std::function<void()>& step);
    template <typename Owner>
    std::function<void()> Wrap(Owner* owner, void (Owner::*handler)()) {
        return Wrap([owner, handler] { (owner->*handler)(); });
    }

private:
    Dialogs& dialogs_;
    const ui::Form& form_;
    int depth_ = 0;
};

}  // namespace zsetup
