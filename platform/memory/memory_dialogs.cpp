#include "platform/memory/memory_dialogs.h"

namespace zsetup {

int MemoryDialogs::ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) {
    shown_.push_back({text, caption, flags, false});
    return NextAnswer();
}

int MemoryDialogs::Confirm(const std::string& text) {
    shown_.push_back({text, "Confirm", kMbYesNo | kMbIconQuestion, true});
    return NextAnswer();
}

int MemoryDialogs::NextAnswer() {
    const ShownMessage& box = shown_.back();
    if (answers_.empty())
        throw UnexpectedMessageBox("a message box with no scripted answer: caption \"" + box.caption + "\", text \"" +
                                   box.text + "\"");
    const auto answer = std::move(answers_.front());
    answers_.pop_front();
    if (answer.while_shown) answer.while_shown();
    return answer.button;
}

}  // namespace zsetup
