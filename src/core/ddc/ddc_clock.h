// The waits of the DDC transports, behind one interface so that simulated
// hardware runs in simulated time and the tests never sleep.
#pragma once

#include <cstdint>
#include <functional>

namespace pellam {

class DdcClock {
public:
    virtual ~DdcClock() = default;
    // A busy wait, independent of the system timer's resolution (the USB
    // transport's microsecond waits). 0 returns at once.
    virtual void waitMicroseconds(std::uint32_t microseconds) = 0;
    // A sleep that gives the processor away (EEPROM write-cycle waits).
    virtual void sleepMilliseconds(std::uint32_t milliseconds) = 0;
    // A monotonic time in microseconds, for bounding waits.
    virtual std::uint64_t nowMicroseconds() const = 0;
};

// Real time: the microsecond wait spins on std::chrono::steady_clock.
class SteadyDdcClock final : public DdcClock {
public:
    void waitMicroseconds(std::uint32_t microseconds) override;
    void sleepMilliseconds(std::uint32_t milliseconds) override;
    std::uint64_t nowMicroseconds() const override;
};

// Simulated time for simulated hardware: every wait only moves the clock on
// (paced: and also takes that long in real time, so that a simulated
// transfer can be interrupted part way).
class SimulatedClock final : public DdcClock {
public:
    void waitMicroseconds(std::uint32_t microseconds) override { advance(microseconds); }
    void sleepMilliseconds(std::uint32_t milliseconds) override {
        advance(std::uint64_t{milliseconds} * 1000);
    }
    std::uint64_t nowMicroseconds() const override { return m_now; }
    bool paced = false;

private:
    void advance(std::uint64_t microseconds);
    std::uint64_t m_now = 0;
    std::uint64_t m_unslept = 0;
};

// Acknowledge polling: an EEPROM does not answer its address while it
// stores a page, so the end of its write cycle is found by addressing it
// again until it acknowledges, rather than by waiting the data sheet's worst
// case. The 24C02's cycle is at most 5 ms; 20 ms bounds a part that never
// comes back.
inline constexpr std::uint32_t kAckPollLimitUs = 20'000;
// Between two attempts, so that the bound is reached even where an attempt
// takes no time.
inline constexpr std::uint32_t kAckPollIntervalUs = 50;

// Calls attempt until it returns true (the sink acknowledged) or the limit
// has passed since the first attempt; returns whether it did.
bool pollForAcknowledge(DdcClock& clock, const std::function<bool()>& attempt,
                        std::uint32_t limitUs = kAckPollLimitUs);

// One poll's answer: the sink acknowledged, it did not (still busy), or the
// transport itself failed (an adapter gone, a bus error), which no further
// poll mends.
enum class PollResult { Answered, Busy, Failed };
enum class PollOutcome { Answered, TimedOut, Failed };
// As pollForAcknowledge, ending at once on a failed attempt.
PollOutcome pollUntilAnswered(DdcClock& clock, const std::function<PollResult()>& attempt,
                              std::uint32_t limitUs = kAckPollLimitUs);

} // namespace pellam
