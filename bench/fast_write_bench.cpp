// Times a full 256-byte EEPROM write with its verify on the simulated bus at
// 100 kHz, in simulated time: the default byte-by-byte USB sequence against
// the fast write (changed pages with acknowledge polling, one sequential
// verify read) on the USB adapter and on a DDC bus, beside the least time
// the bus itself needs. Every page differs from the sink's content, so all
// 32 are written.
//
// Usage: build/default/bench/fast-write-bench   (exit 1 when a fast write
// takes more than 1.5 times the bus minimum)
#include "core/ddc/ddc_context.h"
#include "core/ddc/eeprom_workflow.h"
#include "core/edid/edid_image.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace pellam;

namespace {

constexpr std::uint32_t kBusKHz = 100;
// A byte on the bus: eight data bits and the acknowledge.
constexpr double kByteUs = 9 * 1000.0 / kBusKHz;
// 32 page writes of 10 bytes (address, word address, 8 data) each followed
// by the EEPROM's 5 ms write cycle, and one sequential read of 259 bytes
// (address, word address, read address, 256 data).
constexpr double kMinimumUs = 32 * (10 * kByteUs + 5000) + 259 * kByteUs;

// The simulated time at the start of the write phase.
class WriteClock final : public TransferObserver {
public:
    explicit WriteClock(const SimulatedClock& clock)
        : m_clock(clock) {}
    void phaseStarted(TransferPhase phase) override {
        if (phase == TransferPhase::Write)
            writeStart = m_clock.nowMicroseconds();
    }
    std::uint64_t writeStart = 0;

private:
    const SimulatedClock& m_clock;
};

struct Timing {
    double withBackupUs = 0; // the whole transaction
    double writeVerifyUs = 0;
    bool passed = false;
};

Timing timeWrite(std::int32_t port, bool fast, const std::filesystem::path& backups) {
    auto owned = std::make_unique<SimulatedHardware>();
    SimulatedHardware& hw = *owned;
    const EdidImage image = hdmiDefaultImage();
    for (std::size_t i = 0; i < image.size(); ++i)
        hw.eeprom.memory()[i] = static_cast<Byte>(~image[i]);
    hw.ddcBuses.busClockKHz = kBusKHz;
    SimulatedConnectorTree tree("card0-HDMI-A-1");
    hw.ddcBuses.sysRoot = tree.root();

    DdcContext ddc(std::move(owned));
    // USB: delay count / 25 = 100 kHz.
    ddc.settings() = {port,         kDefaultBaseAddress, kDefaultSlaveAddress,
                      kBusKHz * 25, "card0-HDMI-A-1",    fast};
    TransferChoice choice = chooseEepromTransfer(ddc);
    Timing timing;
    if (!choice.transfer || !choice.transfer->open().empty())
        return timing;
    WriteTransactionOptions options;
    options.backupDirectory = backups;
    // The complemented content has no EDID header.
    options.confirmOverwrite = [](const std::string&) { return true; };
    WriteClock observer(hw.simulatedClock);
    const std::uint64_t start = hw.simulatedClock.nowMicroseconds();
    const EepromWriteResult result =
        writeEepromTransaction(*choice.transfer, image, observer, options);
    const std::uint64_t end = hw.simulatedClock.nowMicroseconds();
    timing.withBackupUs = static_cast<double>(end - start);
    timing.writeVerifyUs = static_cast<double>(end - observer.writeStart);
    timing.passed = result.status == EepromWriteResult::Status::Pass &&
                    (!result.fast || result.pagesWritten == 32);
    return timing;
}

} // namespace

int main() {
    char pattern[] = "/tmp/pellam-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::filesystem::path backups = pattern;

    struct Row {
        const char* name;
        std::int32_t port;
        bool fast;
    };
    const Row rows[] = {
        {"USB, default (byte by byte)", kPortUsb, false},
        {"USB, fast write", kPortUsb, true},
        {"DDC (i2c-dev), fast write", kPortDdc, true},
    };
    std::printf("Full 256-byte write and verify on the simulated bus at %u kHz (simulated "
                "time)\n",
                kBusKHz);
    std::printf("Bus minimum (32 page writes of 10 bytes with a 5 ms write cycle, one 259-byte "
                "read): %.1f ms\n\n",
                kMinimumUs / 1000);
    std::printf("%-30s %22s %26s\n", "", "write+verify", "with the backup read");
    int status = 0;
    for (const Row& row : rows) {
        const Timing t = timeWrite(row.port, row.fast, backups);
        std::printf("%-30s %9.1f ms (%5.2f x) %13.1f ms (%5.2f x)%s\n", row.name,
                    t.writeVerifyUs / 1000, t.writeVerifyUs / kMinimumUs, t.withBackupUs / 1000,
                    t.withBackupUs / kMinimumUs, t.passed ? "" : "  (did not pass)");
        if (!t.passed || (row.fast && t.withBackupUs > 1.5 * kMinimumUs))
            status = 1;
    }
    std::printf("\nThe fast write must stay within 1.5 x the minimum (%.1f ms), backup read "
                "included: %s\n",
                1.5 * kMinimumUs / 1000, status == 0 ? "it does" : "IT DOES NOT");
    std::error_code ec;
    std::filesystem::remove_all(backups, ec);
    return status;
}
