// In-process stand-in for the running processes: started by the test, listed
// in the order started, ended by Terminate unless marked as not openable (as
// a process of another user is).
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

    // The new process's id.
    std::uint32_t Start(const std::string& image, bool openable = true);

    std::vector<ProcessEntry> Snapshot() override;
    bool Terminate(std::uint32_t id, std::uint32_t exit_code) override;

    // Every successful termination, in order.
    const std::vector<Termination>& Terminations() const { return terminations_; }

private:
    struct Process {
        ProcessEntry entry;
        bool openable;
    };
    std::vector<Process> running_;
    std::vector<Termination> terminations_;
    std::uint32_t next_id_ = 100;
};

}  // namespace zsetup
