// In-process stand-in for the running processes: started by the test, listed
// in the order started, ended by Terminate unless marked as not openable (as
// a process of another user is). Launch records the request and lists the
// program as running; a process runs until it is ended (End or Terminate).
#pragma once

#include <string>
#include <vector>

#include "platform/processes.h"

namespace zsetup {

class MemoryProcesses : public Processes {
public:
    struct Termination {
        std::uint32_t id;
        std::uint32_t exit_code;
    };

    struct Launched {
        std::uint32_t id;
        std::string program;
        std::string arguments;
    };

    // The new process's id.
    std::uint32_t Start(const std::string& image, bool openable = true);
    void End(std::uint32_t id);
    // What CurrentProgram gives; CurrentId is 4.
    void SetCurrentProgram(std::string path) { current_program_ = std::move(path); }

    std::vector<ProcessEntry> Snapshot() override;
    bool Terminate(std::uint32_t id, std::uint32_t exit_code) override;
    std::optional<std::uint32_t> Launch(const std::string& program, const std::string& arguments) override;
    bool WaitForExit(std::uint32_t id, std::uint32_t timeout_ms) override;
    std::uint32_t CurrentId() override { return 4; }
    std::string CurrentProgram() override { return current_program_; }

    const std::vector<Launched>& LaunchRequests() const { return launched_; }

    // Every successful termination, in order.
    const std::vector<Termination>& Terminations() const { return terminations_; }

private:
    struct Process {
        ProcessEntry entry;
        bool openable;
    };
    std::vector<Process> running_;
    std::vector<Termination> terminations_;
    std::vector<Launched> launched_;
    std::string current_program_ = "C:\\setup.exe";
    std::uint32_t next_id_ = 100;
};

}  // namespace zsetup
