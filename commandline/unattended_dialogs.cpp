#include "commandline/unattended_dialogs.h"

namespace zsetup {

int LoggedDialogs::ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) {
    log_.Message(text);
    return shown_.ShowMessage(text, caption, flags);
}

int LoggedDialogs::Ask(Question question, const std::string& text, const std::string& caption, std::uint32_t flags) {
    log_.Message(text);
    return shown_.Ask(question, text, caption, flags);
}

int LoggedDialogs::Confirm(const std::string& text) {
    log_.Message(text);
    return shown_.Confirm(text);
}

int SilentDialogs::ShowMessage(const std::string& text, const std::string&, std::uint32_t flags) {
    if (flags & kMbYesNo) throw UnansweredQuestion("a question without a name in an unattended run: " + text);
    return kIdOk;
}

int SilentDialogs::Ask(Question question, const std::string& text, const std::string&, std::uint32_t) {
    const auto it = answers_.find(question.name);
    if (it == answers_.end())
        throw UnansweredQuestion(std::string("no answer for an unattended run to \"") + question.name + "\": " + text);
    return it->second;
}

int SilentDialogs::Confirm(const std::string& text) {
    throw UnansweredQuestion("the close confirmation in an unattended run: " + text);
}

}  // namespace zsetup
