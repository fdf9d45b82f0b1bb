#include "core/ddc/eeprom_transfer.h"

#include "core/edid/hex.h"

#include <algorithm>

namespace pellam {

namespace {

// Marks the context busy for the life of a transfer.
class ContextClaim {
public:
    explicit ContextClaim(DdcContext& ddc)
        : m_ddc(ddc) {
        m_ddc.setTransferActive(true);
    }
    ~ContextClaim() { m_ddc.setTransferActive(false); }
    ContextClaim(const ContextClaim&) = delete;
    ContextClaim& operator=(const ContextClaim&) = delete;

private:
    DdcContext& m_ddc;
};

// What every transfer keeps: the context, the port name, the slave address
// and the write mode of the moment it was chosen.
class ContextTransfer : public EepromTransfer {
public:
    explicit ContextTransfer(DdcContext& ddc)
        : m_ddc(ddc)
        , m_claim(ddc)
        , m_portName(pellam::portName(ddc.settings().portType))
        , m_slaveAddress(static_cast<Byte>(ddc.settings().slaveAddress & 0xFE))
        , m_fastWrite(ddc.settings().fastWrite) {}

    std::string portName() const override { return m_portName; }
    Byte slaveAddress() const override { return m_slaveAddress; }
    bool fastWrite() const override { return m_fastWrite; }

protected:
    // One sequential read of the whole destination, reported as one step.
    template <typename Read>
    static TransferRun readAtOnce(std::span<Byte> destination, const TransferStep& step,
                                  Read read) {
        TransferRun run;
        if (destination.empty())
            return run;
        if (!read(destination)) {
            run.answered = false;
            return run;
        }
        run.done = destination.size();
        run.stopped = !step(0, destination.size());
        return run;
    }

    // Each item written, then the EEPROM polled until its write cycle is
    // over; a step after each.
    template <typename Item, typename Write, typename Poll>
    TransferRun writePolled(std::span<const Item> items, const TransferStep& step, Write write,
                            Poll poll) {
        TransferRun run;
        for (std::size_t k = 0; k < items.size(); ++k) {
            if (!write(items[k])) {
                run.answered = false;
                return run;
            }
            // Acknowledged in full: the EEPROM has it, whether or not it
            // comes back.
            run.done = k + 1;
            if (!pollForAcknowledge(m_ddc.clock(), poll)) {
                run.answered = false;
                run.timedOut = true;
                return run;
            }
            if (!step(k, 1)) {
                run.stopped = true;
                return run;
            }
        }
        return run;
    }

    DdcContext& m_ddc;

private:
    ContextClaim m_claim;
    std::string m_portName;
    Byte m_slaveAddress;
    bool m_fastWrite;
};

// LPT and COM: one bit-banged transaction per byte on the port opened at
// start-up; each includes its own settling or write-cycle wait.
class PortEepromTransfer final : public ContextTransfer {
public:
    using ContextTransfer::ContextTransfer;

    std::string open() override { return m_ddc.port().transferProblem(); }
    void close() override {}

    TransferRun readContent(std::span<Byte> destination, const TransferStep& step) override {
        TransferRun run;
        for (std::size_t i = 0; i < destination.size(); ++i) {
            const PortByteRead read = m_ddc.port().ReadByte(static_cast<int>(i));
            if (!read.acknowledged) {
                run.answered = false;
                return run;
            }
            destination[i] = read.value;
            run.done = i + 1;
            if (!step(i, 1)) {
                run.stopped = true;
                return run;
            }
        }
        return run;
    }

    TransferRun writeBytes(std::span<const AddressedByte> bytes,
                           const TransferStep& step) override {
        TransferRun run;
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            if (!m_ddc.port().WriteByte(bytes[k].address, bytes[k].value)) {
                run.answered = false;
                return run;
            }
            run.done = k + 1;
            if (!step(k, 1)) {
                run.stopped = true;
                return run;
            }
        }
        return run;
    }

    TransferRun readSequential(std::span<Byte> destination, const TransferStep& step) override {
        return readAtOnce(destination, step,
                          [this](std::span<Byte> d) { return m_ddc.port().ReadSequential(0, d); });
    }

    TransferRun writePages(std::span<const EepromPage> pages, const TransferStep& step) override {
        return writePolled(
            pages, step,
            [this](const EepromPage& p) { return m_ddc.port().WritePage(p.address, p.bytes); },
            [this] { return m_ddc.port().PollAck(); });
    }
};

// USB: the adapter is opened for the transfer; reads go in 128-byte blocks,
// writes one byte per transaction followed by the EEPROM's write cycle.
class UsbEepromTransfer final : public ContextTransfer {
public:
    static constexpr std::size_t kReadBlock = 128;
    static constexpr std::uint32_t kWriteCycleMs = 5;
    // After the last write, before the EEPROM is read back.
    static constexpr std::uint32_t kSettleMs = 100;

    using ContextTransfer::ContextTransfer;
    ~UsbEepromTransfer() override { close(); }

    std::string open() override {
        MpsseTransport& usb = m_ddc.usb();
        usb.setDeviceAddress(slaveAddress());
        usb.Open();
        if (usb.status() != 0)
            return usbOpenErrorMessage(usb);
        m_open = true;
        usb.SetClock(usbClockKHz(m_ddc.settings()));
        return {};
    }

    void close() override {
        if (!m_open)
            return;
        m_ddc.usb().Close();
        m_open = false;
    }

    TransferRun readContent(std::span<Byte> destination, const TransferStep& step) override {
        TransferRun run;
        for (std::size_t start = 0; start < destination.size(); start += kReadBlock) {
            const std::size_t count = std::min(kReadBlock, destination.size() - start);
            const Byte address[] = {static_cast<Byte>(start)};
            if (!m_ddc.usb().Read(address, destination.subspan(start, count))) {
                run.answered = false;
                return run;
            }
            run.done = start + count;
            if (!step(start, count)) {
                run.stopped = true;
                return run;
            }
        }
        return run;
    }

    TransferRun writeBytes(std::span<const AddressedByte> bytes,
                           const TransferStep& step) override {
        TransferRun run;
        // The adapter drives the last bit of each byte through its
        // acknowledge clock, so a write (A0h, an even address, an even value)
        // can look acknowledged by nobody. A one-byte read first, whose
        // address A1h ends in 1, finds out whether a sink is there.
        Byte probe[1];
        if (!bytes.empty() && !m_ddc.usb().Read({}, probe)) {
            run.answered = false;
            return run;
        }
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            const Byte address[] = {bytes[k].address};
            const bool acknowledged =
                m_ddc.usb().Write(address, std::span<const Byte>(&bytes[k].value, 1));
            m_ddc.clock().sleepMilliseconds(kWriteCycleMs);
            if (!acknowledged) {
                run.answered = false;
                return run;
            }
            run.done = k + 1;
            if (!step(k, 1)) {
                run.stopped = true;
                return run;
            }
        }
        if (!bytes.empty())
            m_ddc.clock().sleepMilliseconds(kSettleMs);
        return run;
    }

    TransferRun readSequential(std::span<Byte> destination, const TransferStep& step) override {
        return readAtOnce(destination, step,
                          [this](std::span<Byte> d) { return m_ddc.usb().ReadSequential(0, d); });
    }

    // The page writes release SDA before each acknowledge slot, so a missing
    // sink shows at once: no probe read is needed.
    TransferRun writePages(std::span<const EepromPage> pages, const TransferStep& step) override {
        return writePolled(
            pages, step,
            [this](const EepromPage& p) { return m_ddc.usb().WritePage(p.address, p.bytes); },
            [this] { return m_ddc.usb().PollAck(); });
    }

private:
    bool m_open = false;
};

// DDC: the display connector's own bus through i2c-dev, opened for the
// transfer. Reads are one sequential transaction; every write is followed by
// acknowledge polling, and writes are always page writes of the changed
// pages (the bus has no slow mode to keep).
class I2cDevEepromTransfer final : public ContextTransfer {
public:
    explicit I2cDevEepromTransfer(DdcContext& ddc)
        : ContextTransfer(ddc)
        , m_connector(ddc.settings().ddcConnector) {}
    ~I2cDevEepromTransfer() override { close(); }

    std::string portName() const override {
        return m_connector.empty() ? ContextTransfer::portName() : m_connector;
    }
    bool fastWrite() const override { return true; }
    bool guardsNonEdidContent() const override { return true; }

    std::string open() override {
        if (!m_ddc.i2cDev().Open())
            return m_ddc.i2cDev().problem();
        return {};
    }
    void close() override { m_ddc.i2cDev().Close(); }

    TransferRun readContent(std::span<Byte> destination, const TransferStep& step) override {
        return readSequential(destination, step);
    }

    TransferRun readSequential(std::span<Byte> destination, const TransferStep& step) override {
        I2cDevTransport& bus = m_ddc.i2cDev();
        TransferRun run = readAtOnce(destination, step, [&bus](std::span<Byte> d) {
            const Byte start[] = {0x00};
            return bus.Read(start, d);
        });
        return withProblem(run);
    }

    TransferRun writeBytes(std::span<const AddressedByte> bytes,
                           const TransferStep& step) override {
        I2cDevTransport& bus = m_ddc.i2cDev();
        return withProblem(writePolled(
            bytes, step,
            [&bus](const AddressedByte& b) {
                const Byte address[] = {b.address};
                return bus.Write(address, std::span<const Byte>(&b.value, 1));
            },
            [&bus] { return bus.PollAck(); }));
    }

    TransferRun writePages(std::span<const EepromPage> pages, const TransferStep& step) override {
        I2cDevTransport& bus = m_ddc.i2cDev();
        return withProblem(writePolled(
            pages, step, [&bus](const EepromPage& p) { return bus.WritePage(p.address, p.bytes); },
            [&bus] { return bus.PollAck(); }));
    }

private:
    // A refused write or a controller fault says more than "no answer".
    TransferRun withProblem(TransferRun run) const {
        const I2cDevTransport& bus = m_ddc.i2cDev();
        if (!run.answered && !run.timedOut && !bus.noAcknowledge())
            run.problem = bus.problem();
        return run;
    }

    std::string m_connector;
};

} // namespace

TransferChoice chooseEepromTransfer(DdcContext& ddc) {
    const std::int32_t type = ddc.settings().portType;
    if (type == kPortNone)
        return {nullptr, kMsgChoosePortType};
    if (ddc.transferActive())
        return {nullptr, "Another EEPROM transfer is still running."};
    if (type == kPortUsb)
        return {std::make_unique<UsbEepromTransfer>(ddc), {}};
    if (isParallelPort(type) || isSerialPort(type))
        return {std::make_unique<PortEepromTransfer>(ddc), {}};
    if (type == kPortDdc)
        return {std::make_unique<I2cDevEepromTransfer>(ddc), {}};
    return {nullptr, "Port type " + std::to_string(type) + " is not known. " + kMsgChoosePortType};
}

OpenTransfer::OpenTransfer(DdcContext& ddc) {
    const std::int32_t type = ddc.settings().portType;
    m_pausable = isParallelPort(type) || isSerialPort(type);
    TransferChoice choice = chooseEepromTransfer(ddc);
    m_problem = choice.problem;
    if (choice.transfer)
        m_problem = choice.transfer->open();
    if (m_problem.empty())
        m_transfer = std::move(choice.transfer);
}

OpenTransfer::~OpenTransfer() {
    close();
}

void OpenTransfer::close() {
    if (m_transfer && !m_closed)
        m_transfer->close();
    m_closed = true;
}

std::string sinkText(const EepromTransfer& transfer) {
    return "slave address " + hexByteH(transfer.slaveAddress()) + " on " + transfer.portName();
}

} // namespace pellam
