// The waits of the DDC transports, behind one interface so that simulated
// hardware runs in simulated time and the tests never sleep.
#pragma once

#include <cstdint>

namespace pellam {

class DdcClock {
public:
    virtual ~DdcClock() = default;
    // A busy wait, independent of the system timer's resolution (the USB
    // transport's microsecond waits). 0 returns at once.
    virtual void waitMicroseconds(std::uint32_t microseconds) = 0;
    // A sleep that gives the processor away (EEPROM write-cycle waits).
    virtual void sleepMilliseconds(std::uint32_t milliseconds) = 0;
};

// Real time: the microsecond wait spins on std::chrono::steady_clock.
class SteadyDdcClock final : public DdcClock {
public:
    void waitMicroseconds(std::uint32_t microseconds) override;
    void sleepMilliseconds(std::uint32_t milliseconds) override;
};

// Simulated time for simulated hardware: every wait only moves the clock on.
class SimulatedClock final : public DdcClock {
public:
    void waitMicroseconds(std::uint32_t microseconds) override { m_now += microseconds; }
    void sleepMilliseconds(std::uint32_t milliseconds) override {
        m_now += std::uint64_t{milliseconds} * 1000;
    }
    std::uint64_t nowMicroseconds() const { return m_now; }

private:
    std::uint64_t m_now = 0;
};

} // namespace pellam
