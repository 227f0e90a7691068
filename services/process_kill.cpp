#include "services/process_kill.h"

namespace zsetup {

void KillProcessByName(Processes& processes, const std::string& image) {
    for (const ProcessEntry& entry : processes.Snapshot())
        if (entry.image == image) processes.Terminate(entry.id, 0xFFFFFFFFu);
}

}  // namespace zsetup
