// When a long loop that blocks the message loop repaints its progress: when
// the percentage changes, or once the last repaint is kInterval old. Painting
// a page synchronously for every file is what a run of many small files
// spent its time on; a label that lags by 30 ms is never seen.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace zsetup {

class RepaintPacer {
public:
    static constexpr std::uint64_t kInterval = 30;  // milliseconds

    explicit RepaintPacer(Clock& clock) : clock_(clock) {}

    // Whether to repaint now, at this percentage; the first call always is.
    bool Due(int percent) {
        const std::uint64_t now = clock_.Milliseconds();
        if (painted_ && percent == percent_ && now - last_ < kInterval) return false;
        painted_ = true;
        percent_ = percent;
        last_ = now;
        return true;
    }

private:
    Clock& clock_;
    bool painted_ = false;
    int percent_ = 0;
    std::uint64_t last_ = 0;
};

}  // namespace zsetup
