// The connection state as WinINet reports it.
#pragma once

#include "platform/network.h"

namespace zsetup {

class Win32Network : public Network {
public:
    std::optional<std::uint32_t> ConnectedState() override;
};

}  // namespace zsetup
