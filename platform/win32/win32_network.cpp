#include "platform/win32/win32_network.h"

#include <windows.h>
#include <wininet.h>

namespace zsetup {

std::optional<std::uint32_t> Win32Network::ConnectedState() {
    DWORD flags = 0;
    if (!InternetGetConnectedState(&flags, 0)) return std::nullopt;
    return flags;
}

}  // namespace zsetup
