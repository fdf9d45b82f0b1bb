// Drives the write transaction against a simulated EEPROM with faults the
// input chooses (slow write cycles, write protection, a weak cell, a sink
// that goes away, a line held low between transactions, an adapter
// unplugged, lost USB answers, DDC bus errors, a stop request) on the
// parallel port, the USB adapter and the DDC bus, for EEPROMs of every
// size. Whatever happens, two things must hold: a write reports PASS only
// if the EEPROM then holds the image, and a backup, when one is saved,
// holds exactly what the EEPROM held before the write.
#include "core/ddc/ddc_context.h"
#include "core/ddc/eeprom_workflow.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace pellam;

namespace {

// Takes the input a byte at a time; zeros once it runs out.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size) {}
    Byte next() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::size_t below(std::size_t limit) { return limit == 0 ? 0 : next() % limit; }
    bool chance(unsigned outOf) { return below(outOf) == 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

const std::filesystem::path& backupFolder() {
    static const std::filesystem::path folder = [] {
        char pattern[] = "/tmp/pellam-fuzz-backups-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// Stops after a chosen step, or holds a line low from a chosen step on (the
// line goes at a transaction's boundary, where the transports look).
class Faults final : public TransferObserver {
public:
    void stepDone(TransferPhase, std::size_t, std::span<const Byte>) override {
        ++m_steps;
        if (m_steps == stuckAt && bus)
            bus->setStuck(stuckSda, !stuckSda);
    }
    bool stopRequested() override { return stopAt != 0 && m_steps >= stopAt; }

    std::size_t stopAt = 0;
    std::size_t stuckAt = 0;
    bool stuckSda = true;
    SimulatedI2cBus* bus = nullptr;

private:
    std::size_t m_steps = 0;
};

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    static const std::int32_t kPorts[] = {kPortLpt1, kPortUsb, kPortDdc};
    const std::int32_t port = kPorts[in.below(3)];
    const bool fast = in.chance(2);
    static const EepromKind kKinds[] = {EepromKind::C01, EepromKind::C02, EepromKind::C04,
                                        EepromKind::EDdc};
    const EepromKind kind = kKinds[in.below(4)];
    // Up to 512 bytes, in whole blocks mostly.
    const std::size_t capacity = std::min<std::size_t>(eepromCapacity(kind), 512);
    std::size_t length = (1 + in.below(capacity / 128)) * 128;
    if (in.chance(8))
        length -= in.below(127);

    auto owned = std::make_unique<SimulatedHardware>();
    SimulatedHardware& hw = *owned;
    hw.eeprom.setKind(kind, 512);
    // The content before: an EDID-like start and bytes from the input.
    for (std::size_t i = 0; i < hw.eeprom.memory().size(); ++i)
        hw.eeprom.memory()[i] = in.chance(3) ? static_cast<Byte>(i * 31) : in.next();
    std::vector<Byte> image(length);
    for (std::size_t i = 0; i < length; ++i)
        image[i] = in.chance(4) ? hw.eeprom.memory()[i] : in.next();

    const char tree[] = "card0-HDMI-A-1";
    SimulatedConnectorTree connector(tree);
    hw.ddcBuses.sysRoot = connector.root();
    if (in.chance(3))
        hw.eeprom.writeCycleUs = 1000 + static_cast<std::uint32_t>(in.below(25)) * 1000;
    hw.eeprom.writeProtected = in.chance(6);
    hw.eeprom.segmentResetByStop = !in.chance(4);
    if (in.chance(4))
        hw.eeprom.answersLeft = static_cast<std::int64_t>(in.below(2000));
    if (in.chance(5)) {
        hw.eeprom.weakCell = in.below(length);
        hw.eeprom.weakBits = static_cast<Byte>(1u << in.below(8));
    }
    if (in.chance(5))
        hw.ft2232.unplugAtWrite(1 + static_cast<int>(in.below(3000)));
    if (in.chance(5))
        hw.ft2232.loseAnswers(1 + in.below(4));
    if (in.chance(4)) {
        static const int kErrors[] = {ENODEV, ETIMEDOUT, EIO, ENXIO};
        hw.ddcBuses.transferError = kErrors[in.below(4)];
        hw.ddcBuses.failFrom = in.below(200);
    }
    Faults faults;
    if (in.chance(4))
        faults.stopAt = 1 + in.below(600);
    if (in.chance(5)) {
        faults.stuckAt = 1 + in.below(600);
        faults.stuckSda = in.chance(2);
        faults.bus = &hw.bus;
    }

    const std::vector<Byte> before(hw.eeprom.memory().begin(), hw.eeprom.memory().end());
    DdcContext ddc(std::move(owned));
    ddc.settings() = {port, kDefaultBaseAddress, kDefaultSlaveAddress, 2500, tree, fast};
    ddc.settings().eeprom = kind;
    ddc.openPort([](const UserNotice&) {});
    OpenTransfer open(ddc);
    const auto& memory = hw.eeprom.memory();
    if (!open.ready()) {
        // An adapter unplugged while it opens: nothing may have been sent.
        if (!std::equal(before.begin(), before.end(), memory.begin()))
            std::abort();
        return 0;
    }
    WriteTransactionOptions options;
    options.backupDirectory = backupFolder();
    options.confirmImage = [](const std::string&) { return true; };
    options.confirmOverwrite = [](const std::string&) { return true; };
    const EepromWriteResult result =
        writeEepromTransaction(open.transfer(), image, faults, options);
    open.close();

    if (result.status == EepromWriteResult::Status::Pass &&
        !std::equal(image.begin(), image.end(), memory.begin())) {
        std::fprintf(stderr, "PASS reported, but the EEPROM does not hold the image\n");
        std::abort();
    }
    if (!result.backupPath.empty()) {
        const std::string saved = fileBytes(result.backupPath);
        std::filesystem::remove(result.backupPath);
        if (saved != std::string(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(length))) {
            std::fprintf(stderr, "the backup differs from the content before the write\n");
            std::abort();
        }
    }
    if (result.written == 0 && result.endedIn == TransferPhase::Backup &&
        !std::equal(before.begin(), before.end(), memory.begin())) {
        std::fprintf(stderr, "nothing was reported written, but the EEPROM changed\n");
        std::abort();
    }
    return 0;
}
