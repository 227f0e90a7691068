// All the real implementations together, for the stub.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_shell.h"

namespace zsetup {

class Win32Platform {
public:
    Win32Platform() = default;
    // seam refers to the members: the object stays where it was made.
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Win32Registry registry;
    Win32Files files;
    Win32Processes processes;
    Win32Shell shell;
    Win32Dialogs dialogs;  // the application sets the owner window
    Win32Network network;
    Win32Clock clock;
    Win32Resources resources;
    Platform seam{registry, files, processes, shell, dialogs, network, clock, resources};
};

}  // namespace zsetup
