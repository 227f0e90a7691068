#include "platform/memory/memory_processes.h"

#include <algorithm>

namespace zsetup {

std::uint32_t MemoryProcesses::Start(const std::string& image, bool openable) {
    // Windows process ids are multiples of four.
    const std::uint32_t id = next_id_;
    next_id_ += 4;
    running_.push_back({{id, image}, openable});
    return id;
}

std::vector<ProcessEntry> MemoryProcesses::Snapshot() {
    std::vector<ProcessEntry> entries;
    for (const Process& p : running_) entries.push_back(p.entry);
    return entries;
}

bool MemoryProcesses::Terminate(std::uint32_t id, std::uint32_t exit_code) {
    const auto it = std::find_if(running_.begin(), running_.end(), [id](const Process& p) { return p.entry.id == id; });
    if (it == running_.end() || !it->openable) return false;
    running_.erase(it);
    terminations_.push_back({id, exit_code});
    return true;
}

}  // namespace zsetup
