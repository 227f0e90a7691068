// Processes as the programs reach them: a snapshot of ids and image names,
// termination by id, starting a program, waiting for one to end, and this
// process itself.
#pragma once

#include <cstdint>
#include <optional>
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

    // Starts the program (GBK path) with the arguments as the rest of its
    // command line and does not wait; its id, or nothing when it cannot start.
    virtual std::optional<std::uint32_t> Launch(const std::string& program, const std::string& arguments) = 0;
    // True once the process has ended (or when there is no such process);
    // false when it still runs after timeout_ms.
    virtual bool WaitForExit(std::uint32_t id, std::uint32_t timeout_ms) = 0;
    virtual std::uint32_t CurrentId() = 0;
    // The running program's own path, GBK.
    virtual std::string CurrentProgram() = 0;
};

}  // namespace zsetup
