// A connection state set by the test; it counts the queries made.
#pragma once

#include "platform/network.h"

namespace zsetup {

class MemoryNetwork : public Network {
public:
    std::optional<std::uint32_t> ConnectedState() override {
        ++queries_;
        return state_;
    }

    // Nothing means offline, which is also where it starts.
    void SetConnectedState(std::optional<std::uint32_t> flags) { state_ = flags; }
    int Queries() const { return queries_; }

private:
    std::optional<std::uint32_t> state_;
    int queries_ = 0;
};

}  // namespace zsetup
