// A clock for native tests: sleeping only adds up the time asked for, and
// time passes only when a test moves it on (or a sleep does).
#pragma once

#include <string>
#include <utility>

#include "platform/clock.h"

namespace zsetup {

class MemoryClock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override {
        slept_ += milliseconds;
        now_ += milliseconds;
    }
    std::uint64_t Milliseconds() override {
        now_ += step_;
        return now_;
    }
    std::string Today() override { return today_; }
    void SetToday(std::string date) { today_ = std::move(date); }
    std::uint64_t Slept() const { return slept_; }
    // Each reading of the time moves it on by this much.
    void SetStep(std::uint64_t milliseconds) { step_ = milliseconds; }

private:
    std::uint64_t slept_ = 0;
    std::uint64_t now_ = 0;
    std::uint64_t step_ = 0;
    std::string today_ = "20261211";
};

}  // namespace zsetup
