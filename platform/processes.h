// Running processes as the wizard reaches them: a snapshot of ids and image
// names, and termination by id.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zsetup {

struct ProcessEntry {
    std::uint32_t id;
    // The executable's file name without its folder, GBK.
    std::string image;
};

class Processes {
public:
    virtual ~Processes() = default;
    // Every process running now; empty when no snapshot can be taken.
    virtual std::vector<ProcessEntry> Snapshot() = 0;
    // Asks the process to end with the exit code and does not wait for it.
    // False when the process cannot be opened for termination.
    virtual bool Terminate(std::uint32_t id, std::uint32_t exit_code) = 0;
};

}  // namespace zsetup
