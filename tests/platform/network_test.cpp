// The connection state.
#include <gtest/gtest.h>

#include "platform/memory/memory_network.h"
#ifdef _WIN32
#include "platform/win32/win32_network.h"
#endif

namespace zsetup {
namespace {

TEST(MemoryNetwork, StartsOfflineAndCountsEveryQuery) {
    MemoryNetwork network;
    EXPECT_FALSE(network.ConnectedState().has_value());
    network.SetConnectedState(kInternetConnectionLan | kInternetConnectionProxy);
    EXPECT_EQ(network.ConnectedState(), kInternetConnectionLan | kInternetConnectionProxy);
    EXPECT_EQ(network.Queries(), 2);
}

#ifdef _WIN32
// WinINet is loaded from System32 when asked; a library that is not there,
// or lacks the function, means offline. Wine reports a machine with a
// network interface as connected by LAN, and offline only to a wineserver
// started without a network.
TEST(Win32Network, AsksWinInetAndIsOfflineWithoutIt) {
    struct Case {
        const char* label;
        const wchar_t* library;
        bool connected;
    };
    const Case cases[] = {
        {"WinINet", L"wininet.dll", true},
        {"no such library", L"zsetup_no_such_library.dll", false},
        {"a library without the function", L"version.dll", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto state = Win32Network(c.library).ConnectedState();
        ASSERT_EQ(state.has_value(), c.connected);
        if (c.connected) {
            EXPECT_TRUE(*state & kInternetConnectionLan) << *state;
        }
    }
}
#endif

}  // namespace
}  // namespace zsetup
