// The registry implementations the registry tests run against.
#pragma once

#include <vector>

#include "platform/memory/memory_registry.h"
#include "tests/support/backends.h"
#ifdef _WIN32
#include "platform/win32/win32_registry.h"
#endif

namespace zsetup::testing {

using RegistryBackend = Backend<Registry>;

inline std::vector<RegistryBackend> RegistryBackends() {
    std::vector<RegistryBackend> b = {{"memory", [] { return std::make_unique<MemoryRegistry>(); }}};
#ifdef _WIN32
    b.push_back({"win32", [] { return std::make_unique<Win32Registry>(); }});
#endif
    return b;
}

}  // namespace zsetup::testing
