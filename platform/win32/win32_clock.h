// Sleeping the calling thread and the tick count, through kernel32.
#pragma once

#include "platform/clock.h"

namespace zsetup {

class Win32Clock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
    std::uint64_t Milliseconds() override;
};

}  // namespace zsetup
