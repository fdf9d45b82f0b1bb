#include "ddc/ddc_clock.h"

#include <chrono>
#include <thread>

namespace pellam {

void SteadyDdcClock::waitMicroseconds(std::uint32_t microseconds) {
    if (microseconds == 0)
        return;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point target = Clock::now() + std::chrono::microseconds(microseconds);
    while (Clock::now() < target) {
    }
}

void SteadyDdcClock::sleepMilliseconds(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace pellam
