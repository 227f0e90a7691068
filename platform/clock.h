// Waiting, as the wizard does it: blocking the calling thread; the time
// since some fixed point, for spacing out repaints; and today's date.
#pragma once

#include <cstdint>
#include <string>

namespace zsetup {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Monotonic milliseconds; only differences mean anything.
    virtual std::uint64_t Milliseconds() = 0;
    // The local date as yyyymmdd.
    virtual std::string Today() = 0;
};

}  // namespace zsetup
