#include "commandline/unattended_dialogs.h"

namespace zsetup {

int LoggedDialogs::ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) {
    log_.Message(text);
    return shown_.ShowMessage(text, caption, flags);
}

int LoggedDialogs::Confirm(const std::string& text) {
    log_.Message(text);
    return shown_.Confirm(text);
}

int SilentDialogs::ShowMessage(const std::string& text, const std::string&, std::uint32_t flags) {
    return flags & kMbYesNo ? AnswerTo(text) : kIdOk;
}

int SilentDialogs::Confirm(const std::string& text) { return AnswerTo(text); }

int SilentDialogs::AnswerTo(const std::string& text) const {
    const auto it = answers_.find(text);
    if (it == answers_.end()) throw UnansweredQuestion("no answer for an unattended run to: " + text);
    return it->second;
}

}  // namespace zsetup
