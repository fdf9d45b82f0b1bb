#include "core/ddc/ddc_clock.h"

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

std::uint64_t SteadyDdcClock::nowMicroseconds() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void SimulatedClock::advance(std::uint64_t microseconds) {
    m_now += microseconds;
    if (!paced)
        return;
    m_unslept += microseconds;
    if (m_unslept >= 1000) {
        std::this_thread::sleep_for(std::chrono::microseconds(m_unslept));
        m_unslept = 0;
    }
}

bool pollForAcknowledge(DdcClock& clock, const std::function<bool()>& attempt,
                        std::uint32_t limitUs) {
    const std::uint64_t start = clock.nowMicroseconds();
    for (;;) {
        if (attempt())
            return true;
        if (clock.nowMicroseconds() - start >= limitUs)
            return false;
        clock.waitMicroseconds(kAckPollIntervalUs);
    }
}

PollOutcome pollUntilAnswered(DdcClock& clock, const std::function<PollResult()>& attempt,
                              std::uint32_t limitUs) {
    const std::uint64_t start = clock.nowMicroseconds();
    for (;;) {
        const PollResult result = attempt();
        if (result == PollResult::Answered)
            return PollOutcome::Answered;
        if (result == PollResult::Failed)
            return PollOutcome::Failed;
        if (clock.nowMicroseconds() - start >= limitUs)
            return PollOutcome::TimedOut;
        clock.waitMicroseconds(kAckPollIntervalUs);
    }
}

} // namespace pellam
