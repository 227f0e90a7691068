// Everything the wizard reaches the OS through, handed to it at construction.
#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/network.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell.h"

namespace zsetup {

struct Platform {
    Registry& registry;
    Files& files;
    Processes& processes;
    Shell& shell;
    Dialogs& dialogs;
    Network& network;
    Clock& clock;
    Resources& resources;
};

}  // namespace zsetup
