// All the in-process stand-ins together, for native tests of the wizard.
#pragma once

#include <string>
#include <vector>

#include "platform/memory/memory_clock.h"
#include "platform/memory/memory_dialogs.h"
#include "platform/memory/memory_files.h"
#include "platform/memory/memory_network.h"
#include "platform/memory/memory_processes.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_resources.h"
#include "platform/memory/memory_shell.h"
#include "platform/platform.h"

namespace zsetup {

class MemoryPlatform {
public:
    explicit MemoryPlatform(std::vector<std::string> drives = {"C:"}) : files(std::move(drives)) {}
    // seam refers to the members: the object stays where it was made.
    MemoryPlatform(const MemoryPlatform&) = delete;
    MemoryPlatform& operator=(const MemoryPlatform&) = delete;

    MemoryRegistry registry;
    MemoryFiles files;
    MemoryProcesses processes;
    MemoryShell shell{files};  // links are files of the same file system
    MemoryDialogs dialogs;
    MemoryNetwork network;
    MemoryClock clock;
    MemoryResources resources;
    Platform seam{registry, files, processes, shell, dialogs, network, clock, resources};
};

}  // namespace zsetup
