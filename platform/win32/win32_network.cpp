#include "platform/win32/win32_network.h"

#include <windows.h>
#include <wininet.h>

#include "base/win32/system_dlls.h"

namespace zsetup {

std::optional<std::uint32_t> Win32Network::ConnectedState() {
    // <wininet.h> only declares it here: nothing links against WinINet.
    using GetConnectedState = decltype(&InternetGetConnectedState);
    const UniqueModule wininet = LoadSystemDll(library_.c_str());
    if (!wininet) return std::nullopt;
    const auto get_state = ModuleFunction<GetConnectedState>(wininet.get(), "InternetGetConnectedState");
    if (!get_state) return std::nullopt;
    DWORD flags = 0;
    if (!get_state(&flags, 0)) return std::nullopt;
    return flags;
}

}  // namespace zsetup
