// Sleeping the calling thread, the tick count and the local date, through kernel32.
#pragma once

#include "platform/clock.h"

namespace zsetup {

class Win32Clock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
    std::uint64_t Milliseconds() override;
    std::string Today() override;
};

}  // namespace zsetup
