// The RT_RCDATA resources of the program's own executable.
#pragma once

#include "platform/resources.h"

namespace zsetup {

class Win32Resources : public Resources {
public:
    std::optional<std::vector<std::uint8_t>> RcData(const std::string& name) override;
    std::unique_ptr<ByteSource> RcDataInPlace(const std::string& name) override;
    // Pages of the image once touched stay in the process's memory (its
    // working set), so a payload read there costs as much memory as it is
    // large; read through the file it costs one buffer.
    std::unique_ptr<ByteSource> RcDataFromFile(const std::string& name) override;
    std::string ProgramManifest() override;
};

}  // namespace zsetup
