// The RT_RCDATA resources of the program's own executable.
#pragma once

#include "platform/resources.h"

namespace zsetup {

class Win32Resources : public Resources {
public:
    std::optional<std::vector<std::uint8_t>> RcData(const std::string& name) override;
    std::optional<ByteView> RcDataView(const std::string& name) override;
};

}  // namespace zsetup
