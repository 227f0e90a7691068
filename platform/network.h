// The system's view of the network connection.
#pragma once

#include <cstdint>
#include <optional>

namespace zsetup {

// Connection flags, as WinINet numbers them.
inline constexpr std::uint32_t kInternetConnectionModem = 0x01;
inline constexpr std::uint32_t kInternetConnectionLan = 0x02;
inline constexpr std::uint32_t kInternetConnectionProxy = 0x04;
inline constexpr std::uint32_t kInternetConnectionConfigured = 0x40;

class Network {
public:
    virtual ~Network() = default;
    // The connection flags; nothing when the system reports no connection.
    virtual std::optional<std::uint32_t> ConnectedState() = 0;
};

}  // namespace zsetup
