// The running program's named RT_RCDATA resources (SETUPINI, SETUPPACK).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zsetup {

struct ByteView {
    const std::uint8_t* data;
    std::size_t size;
};

class Resources {
public:
    virtual ~Resources() = default;
    // A copy of the resource's bytes; nothing when the module has no
    // resource of that name. Names ignore letter case, as Windows does.
    virtual std::optional<std::vector<std::uint8_t>> RcData(const std::string& name) = 0;
    // The resource's bytes where they lie, valid for the program's life (no
    // copy of a payload of any size); nothing when there is no such resource.
    virtual std::optional<ByteView> RcDataView(const std::string& name) = 0;
};

}  // namespace zsetup
