// Running processes through the Tool Help snapshot; image names as GBK.
#pragma once

#include "platform/processes.h"

namespace zsetup {

class Win32Processes : public Processes {
public:
    std::vector<ProcessEntry> Snapshot() override;
    bool Terminate(std::uint32_t id, std::uint32_t exit_code) override;
    std::optional<std::uint32_t> Launch(const std::string& program, const std::string& arguments) override;
    bool WaitForExit(std::uint32_t id, std::uint32_t timeout_ms) override;
    std::uint32_t CurrentId() override;
    std::string CurrentProgram() override;
};

}  // namespace zsetup
