// The registry implementations a contract test runs against: the memory
// stand-in everywhere, the real registry too under Wine.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <chrono>
#include <string>
#include <vector>

#include "platform/memory/memory_registry.h"
#ifdef _WIN32
#include "platform/win32/win32_registry.h"
#endif

namespace zsetup::testing {

struct RegistryBackend {
    std::string name;
    std::function<std::unique_ptr<Registry>()> make;
};

inline std::vector<RegistryBackend> RegistryBackends() {
    std::vector<RegistryBackend> b = {{"memory", [] { return std::make_unique<MemoryRegistry>(); }}};
#ifdef _WIN32
    b.push_back({"win32", [] { return std::make_unique<Win32Registry>(); }});
#endif
    return b;
}

// Runs of one program (Chinese and English locale) share a prefix: keep their keys apart.
inline const std::string& RunToken() {
    static const std::string token =
        std::to_string(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    return token;
}

inline void PrintTo(const RegistryBackend& b, std::ostream* os) { *os << b.name; }

inline std::string BackendName(const ::testing::TestParamInfo<RegistryBackend>& info) { return info.param.name; }

}  // namespace zsetup::testing
