// The real registry through the W functions, converting GBK explicitly.
#pragma once

#include "platform/registry.h"

namespace zsetup {

class Win32Registry : public Registry {
public:
    std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& path, bool create,
                                         std::uint32_t access) override;
    bool DeleteKey(RegRoot root, const std::string& path) override;
};

}  // namespace zsetup
