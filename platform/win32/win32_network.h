// The connection state as WinINet reports it. WinINet is no KnownDLL, so it
// is loaded from System32 when asked, never imported: an import would be
// looked for beside setup.exe first.
#pragma once

#include <string>
#include <utility>

#include "base/win32/wide_string.h"
#include "platform/network.h"

namespace zsetup {

class Win32Network : public Network {
public:
    // The library that answers; tests name one that is missing or lacks the function.
    explicit Win32Network(WideString library = L"wininet.dll") : library_(std::move(library)) {}

    // Offline also when the library or its InternetGetConnectedState cannot be had.
    std::optional<std::uint32_t> ConnectedState() override;

private:
    WideString library_;
};

}  // namespace zsetup
