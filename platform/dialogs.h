// The system message box as the wizard reaches it. Texts are GBK; the
// implementation converts them itself.
#pragma once

#include <cstdint>
#include <string>

namespace zsetup {

// Message box flags, as Windows numbers them.
inline constexpr std::uint32_t kMbOk = 0x00;
inline constexpr std::uint32_t kMbYesNo = 0x04;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;

// The button that closed a box, as Windows numbers them.
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// A yes/no question named for what it asks, apart from its words (which a
// maker's profile may change): a run without a window answers it by name.
struct Question {
    const char* name;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows the box modally and gives the button that closed it; 0 when the
    // box could not be shown.
    virtual int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) = 0;
    // A named question (flags with kMbYesNo): the same box, unless the
    // dialogs answer it themselves.
    virtual int Ask(Question question, const std::string& text, const std::string& caption, std::uint32_t flags) {
        (void)question;
        return ShowMessage(text, caption, flags);
    }
    // The close confirmation, a dialog of the program's own rather than the
    // system box: question icon, caption "Confirm", buttons "&Yes" (the
    // default) and "&No"; Escape or closing it answers No. Gives kIdYes or kIdNo.
    virtual int Confirm(const std::string& text) = 0;
};

}  // namespace zsetup
