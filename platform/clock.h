// Waiting, as the wizard does it: blocking the calling thread.
#pragma once

#include <cstdint>

namespace zsetup {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace zsetup
