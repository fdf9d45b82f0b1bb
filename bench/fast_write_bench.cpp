// Times full EEPROM writes with their verify on the simulated bus at
// 100 kHz, in simulated time: for 256 bytes the default byte-by-byte USB
// sequence against the fast write (changed pages with acknowledge polling,
// one sequential verify read per 256 bytes) on the USB adapter and on a DDC
// bus, and for 512 bytes the fast write over E-DDC (segment 1 behind its
// segment pointer) and to a 24C04 on the USB adapter (block 1 at A2h),
// each beside the least time the bus itself needs. Every page differs from
// the sink's content, so all are written.
//
// Usage: build/default/bench/fast-write-bench   (exit 1 when a fast write
// takes more than 1.5 times the bus minimum)
#include "core/ddc/ddc_context.h"
#include "core/ddc/eeprom_workflow.h"
#include "core/edid/edid_bytes.h"
#include "core/edid/edid_image.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace pellam;

namespace {

constexpr std::uint32_t kBusKHz = 100;
// A byte on the bus: eight data bits and the acknowledge.
constexpr double kByteUs = 9 * 1000.0 / kBusKHz;

// Per 256 bytes: 32 page writes of 10 bytes (address, word address, 8 data)
// each followed by the EEPROM's 5 ms write cycle, and one sequential read of
// 259 bytes (address, word address, read address, 256 data); an E-DDC
// segment after the first adds the segment pointer's 2 bytes to each.
double minimumUs(std::size_t length, bool segmented) {
    double total = 0;
    for (std::size_t chunk = 0; chunk < length / 256; ++chunk) {
        const double pointer = segmented && chunk > 0 ? 2 : 0;
        total += 32 * ((10 + pointer) * kByteUs + 5000) + (259 + pointer) * kByteUs;
    }
    return total;
}

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

// An EDID of that many bytes: the HDMI default image, then CTA-861 blocks,
// every checksum right.
std::vector<Byte> edidOf(std::size_t length) {
    std::vector<Byte> bytes(length, 0);
    const EdidImage& base = hdmiDefaultImage();
    std::copy_n(base.begin(), std::min<std::size_t>(base.size(), length), bytes.begin());
    for (std::size_t k = 2; k < length / 128; ++k) {
        bytes[k * 128] = 0x02;
        bytes[k * 128 + 1] = 0x03;
        bytes[k * 128 + 2] = 0x04;
    }
    bytes[126] = static_cast<Byte>(length / 128 - 1);
    applyBlockChecksums(bytes, true);
    return bytes;
}

Timing timeWrite(std::int32_t port, bool fast, EepromKind kind, std::size_t length,
                 const std::filesystem::path& backups) {
    auto owned = std::make_unique<SimulatedHardware>();
    SimulatedHardware& hw = *owned;
    hw.eeprom.setKind(kind, length);
    const std::vector<Byte> image = edidOf(length);
    for (std::size_t i = 0; i < image.size(); ++i)
        hw.eeprom.memory()[i] = static_cast<Byte>(~image[i]);
    hw.ddcBuses.busClockKHz = kBusKHz;
    SimulatedConnectorTree tree("card0-HDMI-A-1");
    hw.ddcBuses.sysRoot = tree.root();

    DdcContext ddc(std::move(owned));
    // USB: delay count / 25 = 100 kHz.
    ddc.settings() = {port,         kDefaultBaseAddress, kDefaultSlaveAddress,
                      kBusKHz * 25, "card0-HDMI-A-1",    fast};
    ddc.settings().eeprom = kind;
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
                    (!result.fast || result.pagesWritten == length / 8);
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
        EepromKind kind;
        std::size_t length;
    };
    const Row rows[] = {
        {"256 B, USB, default (byte by byte)", kPortUsb, false, EepromKind::C02, 256},
        {"256 B, USB, fast write", kPortUsb, true, EepromKind::C02, 256},
        {"256 B, DDC (i2c-dev), fast write", kPortDdc, true, EepromKind::C02, 256},
        {"512 B, DDC, E-DDC, fast write", kPortDdc, true, EepromKind::EDdc, 512},
        {"512 B, USB, 24C04, fast write", kPortUsb, true, EepromKind::C04, 512},
    };
    std::printf("Full writes and verifies on the simulated bus at %u kHz (simulated time)\n",
                kBusKHz);
    std::printf("Bus minimum per 256 bytes: 32 page writes of 10 bytes with a 5 ms write cycle, "
                "one 259-byte read (%.1f ms); an E-DDC segment after the first adds its pointer's "
                "2 bytes to each\n\n",
                minimumUs(256, false) / 1000);
    std::printf("%-36s %10s %22s %26s\n", "", "minimum", "write+verify", "with the backup read");
    int status = 0;
    for (const Row& row : rows) {
        const double minimum = minimumUs(row.length, row.kind == EepromKind::EDdc);
        const Timing t = timeWrite(row.port, row.fast, row.kind, row.length, backups);
        std::printf("%-36s %7.1f ms %9.1f ms (%5.2f x) %13.1f ms (%5.2f x)%s\n", row.name,
                    minimum / 1000, t.writeVerifyUs / 1000, t.writeVerifyUs / minimum,
                    t.withBackupUs / 1000, t.withBackupUs / minimum,
                    t.passed ? "" : "  (did not pass)");
        if (!t.passed || (row.fast && t.withBackupUs > 1.5 * minimum))
            status = 1;
    }
    std::printf("\nEvery fast write must stay within 1.5 x its minimum, backup read included: %s\n",
                status == 0 ? "it does" : "IT DOES NOT");
    std::error_code ec;
    std::filesystem::remove_all(backups, ec);
    return status;
}
