// Waiting, as the wizard does it: blocking the calling thread; and the time
// since some fixed point, for spacing out repaints.
#pragma once

#include <cstdint>

namespace zsetup {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Monotonic milliseconds; only differences mean anything.
    virtual std::uint64_t Milliseconds() = 0;
};

}  // namespace zsetup
