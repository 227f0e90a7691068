#include "platform/memory/memory_processes.h"

#include <algorithm>

#include "text/gbk.h"

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

void MemoryProcesses::End(std::uint32_t id) {
    running_.erase(
        std::remove_if(running_.begin(), running_.end(), [id](const Process& p) { return p.entry.id == id; }),
        running_.end());
}

std::optional<std::uint32_t> MemoryProcesses::Launch(const std::string& program, const std::string& arguments) {
    const std::size_t slash = FindLastSeparator(program);
    const std::uint32_t id = Start(slash == std::string::npos ? program : program.substr(slash + 1));
    launched_.push_back({id, program, arguments});
    return id;
}

bool MemoryProcesses::WaitForExit(std::uint32_t id, std::uint32_t) {
    return std::none_of(running_.begin(), running_.end(), [id](const Process& p) { return p.entry.id == id; });
}

}  // namespace zsetup
