// Sleeping the calling thread through kernel32.
#pragma once

#include "platform/clock.h"

namespace zsetup {

class Win32Clock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace zsetup
