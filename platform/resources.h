// The running program's named RT_RCDATA resources (SETUPINI, SETUPPACK).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zsetup {

class Resources {
public:
    virtual ~Resources() = default;
    // A copy of the resource's bytes; nothing when the module has no
    // resource of that name. Names ignore letter case, as Windows does.
    virtual std::optional<std::vector<std::uint8_t>> RcData(const std::string& name) = 0;
};

}  // namespace zsetup
