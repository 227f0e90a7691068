#include "package/setup_config.h"

#include <cstring>

namespace zsetup {

SetupConfig SetupConfig::Zero() {
    SetupConfig c;
    std::memset(&c, 0, sizeof c);
    return c;
}

SetupConfig SetupConfig::FromBytes(const std::uint8_t* data, std::size_t size) {
    SetupConfig c = Zero();
    if (size > 0) std::memcpy(&c, data, size < kSize ? size : kSize);
    return c;
}

std::vector<std::uint8_t> SetupConfig::ToBytes() const {
    const auto* p = reinterpret_cast<const std::uint8_t*>(this);
    return std::vector<std::uint8_t>(p, p + kSize);
}

}  // namespace zsetup
