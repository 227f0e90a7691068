// A clock for native tests: sleeping only adds up the time asked for.
#pragma once

#include "platform/clock.h"

namespace zsetup {

class MemoryClock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override { slept_ += milliseconds; }
    std::uint64_t Slept() const { return slept_; }

private:
    std::uint64_t slept_ = 0;
};

}  // namespace zsetup
