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
// Wine reports a machine with a network interface as connected by LAN; it
// reports offline only to a wineserver started without a network.
TEST(Win32Network, ReportsTheMachinesLan) {
    const auto state = Win32Network().ConnectedState();
    ASSERT_TRUE(state.has_value());
    EXPECT_TRUE(*state & kInternetConnectionLan) << *state;
}
#endif

}  // namespace
}  // namespace zsetup
