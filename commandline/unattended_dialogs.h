// The message boxes of a program started from a command line. LoggedDialogs
// writes every box's text into the run's log before the box it decorates
// shows it. SilentDialogs (/S) shows nothing: a box that only says something
// is taken as read, and a named question takes the answer the program gave
// for it, whatever its words. A question without a name or an answer is a
// fault of the program.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include "platform/dialogs.h"
#include "commandline/run_log.h"

namespace zsetup {

class LoggedDialogs : public Dialogs {
public:
    LoggedDialogs(Dialogs& shown, RunLog& log) : shown_(shown), log_(log) {}
    int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) override;
    int Ask(Question question, const std::string& text, const std::string& caption, std::uint32_t flags) override;
    int Confirm(const std::string& text) override;

private:
    Dialogs& shown_;
    RunLog& log_;
};

class UnansweredQuestion : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

class SilentDialogs : public Dialogs {
public:
    // The answer (kIdYes or kIdNo) to each question, by its name.
    explicit SilentDialogs(std::map<std::string, int> answers) : answers_(std::move(answers)) {}
    int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t flags) override;
    int Ask(Question question, const std::string& text, const std::string& caption, std::uint32_t flags) override;
    int Confirm(const std::string& text) override;

private:
    std::map<std::string, int> answers_;
};

}  // namespace zsetup
