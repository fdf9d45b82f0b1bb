// Shared by the DDC tests: the debug log captured for a test, and a DDC
// context on simulated hardware.
#pragma once

#include "core/ddc/ddc_context.h"
#include "core/edid/debug_log.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace pellam::test {

// Keeps every debug line written while it lives.
class DebugLogCapture {
public:
    DebugLogCapture()
        : m_old(setDebugLogSink([this](std::string_view line) { lines.emplace_back(line); })) {}
    ~DebugLogCapture() { setDebugLogSink(m_old); }
    DebugLogCapture(const DebugLogCapture&) = delete;
    DebugLogCapture& operator=(const DebugLogCapture&) = delete;

    bool contains(std::string_view line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::vector<std::string> lines;

private:
    DebugLogSink m_old;
};

// A context on simulated hardware, with the hardware kept at hand.
struct SimulatedDdc {
    SimulatedDdc()
        : hardware(new SimulatedHardware)
        , context(std::unique_ptr<DdcHardware>(hardware)) {}

    SimulatedHardware* hardware;
    DdcContext context;
};

} // namespace pellam::test
