// Message boxes for native tests: every box shown is recorded, and each is
// closed with the next button the test scripted. A box nobody scripted an
// answer for throws UnexpectedMessageBox, naming its text.
#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/dialogs.h"

namespace zsetup {

class UnexpectedMessageBox : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    std::uint32_t flags;
    bool confirmation = false;  // the close confirmation, not the system box
};

class MemoryDialogs : public Dialogs {
public:
    int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) override;
    // Recorded with the caption "Confirm" and confirmation set; answered from
    // the same queue.
    int Confirm(const std::string& text) override;

    // The next box still to come is closed with this button; while_shown runs
    // first, while the box is up, as what a real box's message loop lets in
    // (a close request) would.
    void Answer(int button, std::function<void()> while_shown = nullptr) {
        answers_.push_back({button, std::move(while_shown)});
    }
    // Every box shown, in order, the unexpected one included.
    const std::vector<ShownMessage>& Shown() const { return shown_; }

private:
    int NextAnswer();

    struct Answer_ {
        int button;
        std::function<void()> while_shown;
    };
    std::deque<Answer_> answers_;
    std::vector<ShownMessage> shown_;
};

}  // namespace zsetup
