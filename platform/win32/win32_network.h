// The connection state as WinINet reports it. WinINet is no KnownDLL, so it
// is loaded from System32 when asked, never imported: an import would be
// looked for beside setup.exe first.
#pragma once

#include <string>
#include <utility>

#include "platform/network.h"

namespace zsetup {

class Win32Network : public Network {
public:
    // The library that answers; tests name one that is missing or lacks the function.
    explicit Win32Network(std::wstring library = L"wininet.dll") : library_(std::move(library)) {}

    // Offline also when the library or its InternetGetConnectedState cannot be had.
    std::optional<std::uint32_t> ConnectedState() override;

private:
    std::wstring library_;
};

}  // namespace zsetup
