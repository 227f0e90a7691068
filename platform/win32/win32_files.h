// The real file system through the W functions, converting GBK explicitly.
#pragma once

#include "platform/files.h"

namespace zsetup {

class Win32Files : public Files {
public:
    std::optional<std::uint32_t> Attributes(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    std::uint32_t SetCurrentDir(const std::string& path) override;
    std::string CurrentDir() override;
};

}  // namespace zsetup
