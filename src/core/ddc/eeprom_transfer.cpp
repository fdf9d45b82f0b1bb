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

// What every transfer keeps: the context, the port name, the slave address,
// the EEPROM and the write mode of the moment it was chosen.
class ContextTransfer : public EepromTransfer {
public:
    explicit ContextTransfer(DdcContext& ddc)
        : m_ddc(ddc)
        , m_claim(ddc)
        , m_portName(pellam::portName(ddc.settings().portType))
        , m_slaveAddress(static_cast<Byte>(ddc.settings().slaveAddress & 0xFE))
        , m_kind(ddc.settings().eepromKind())
        , m_fastWrite(ddc.settings().fastWrite) {}

    std::string portName() const override { return m_portName; }
    Byte slaveAddress() const override { return m_slaveAddress; }
    EepromKind eepromKind() const override { return m_kind; }
    bool fastWrite() const override { return m_fastWrite; }

protected:
    EepromLocation at(std::size_t address) const {
        return eepromLocation(m_kind, m_slaveAddress, address);
    }
    // The transport's account of its last failure when it was more than a
    // missing acknowledge; empty otherwise.
    virtual std::string problemNow() const = 0;

    // Sequential reads of the destination, one for each 256 bytes (a block
    // or segment), each reported as one step.
    template <typename Read>
    TransferRun readInChunks(std::size_t start, std::span<Byte> destination,
                             const TransferStep& step, Read read) {
        TransferRun run;
        for (std::size_t first = 0; first < destination.size();) {
            const std::size_t address = start + first;
            const std::size_t count = std::min(destination.size() - first,
                                               kEepromChunkSize - address % kEepromChunkSize);
            if (!read(at(address), destination.subspan(first, count))) {
                run.answered = false;
                run.problem = problemNow();
                return run;
            }
            run.done = first + count;
            if (!step(first, count)) {
                run.stopped = true;
                return run;
            }
            first += count;
        }
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
                run.problem = problemNow();
                return run;
            }
            // Acknowledged in full: the EEPROM has it, whether or not it
            // comes back.
            run.done = k + 1;
            const PollOutcome outcome = pollUntilAnswered(m_ddc.clock(), poll);
            if (outcome != PollOutcome::Answered) {
                run.answered = false;
                run.timedOut = outcome == PollOutcome::TimedOut;
                if (!run.timedOut)
                    run.problem = problemNow();
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
    EepromKind m_kind;
    bool m_fastWrite;
};

// LPT and COM: one bit-banged transaction per byte on the port opened at
// start-up; each includes its own settling or write-cycle wait. Every
// transaction first checks that SDA is free.
class PortEepromTransfer final : public ContextTransfer {
public:
    using ContextTransfer::ContextTransfer;

    std::string open() override { return m_ddc.port().transferProblem(); }
    void close() override {}

    TransferRun readContent(std::size_t start, std::span<Byte> destination,
                            const TransferStep& step) override {
        TransferRun run;
        for (std::size_t i = 0; i < destination.size(); ++i) {
            const PortByteRead read = m_ddc.port().ReadByte(at(start + i));
            if (!read.acknowledged) {
                run.answered = false;
                run.problem = problemNow();
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
            if (!m_ddc.port().WriteByte(at(bytes[k].address), bytes[k].value)) {
                run.answered = false;
                run.problem = problemNow();
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

    TransferRun readSequential(std::size_t start, std::span<Byte> destination,
                               const TransferStep& step) override {
        return readInChunks(start, destination, step,
                            [this](const EepromLocation& where, std::span<Byte> d) {
                                return m_ddc.port().ReadSequential(where, d);
                            });
    }

    TransferRun writePages(std::span<const EepromPage> pages, const TransferStep& step) override {
        PortTransport& port = m_ddc.port();
        return writePolled(
            pages, step,
            [this, &port](const EepromPage& p) { return port.WritePage(at(p.address), p.data()); },
            [&port] {
                if (port.PollAck())
                    return PollResult::Answered;
                return port.lineFault() ? PollResult::Failed : PollResult::Busy;
            });
    }

protected:
    std::string problemNow() const override {
        return m_ddc.port().lineFault() ? m_ddc.port().lineProblem() : std::string();
    }
};

// USB: the adapter is opened for the transfer; reads go in 128-byte blocks,
// writes one byte per transaction followed by the EEPROM's write cycle and
// acknowledge polling. Before each transaction the adapter reads its pins:
// both lines must be free.
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
        usb.Open(m_ddc.settings().usbSerial);
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

    TransferRun readContent(std::size_t start, std::span<Byte> destination,
                            const TransferStep& step) override {
        TransferRun run;
        for (std::size_t first = 0; first < destination.size(); first += kReadBlock) {
            const std::size_t count = std::min(kReadBlock, destination.size() - first);
            const EepromLocation where = at(start + first);
            const Byte address[] = {where.offset};
            if (!prepare(where) || !m_ddc.usb().Read(address, destination.subspan(first, count))) {
                run.answered = false;
                run.problem = problemNow();
                return run;
            }
            run.done = first + count;
            if (!step(first, count)) {
                run.stopped = true;
                return run;
            }
        }
        return run;
    }

    TransferRun writeBytes(std::span<const AddressedByte> bytes,
                           const TransferStep& step) override {
        TransferRun run;
        MpsseTransport& usb = m_ddc.usb();
        // The adapter drives the last bit of each byte through its
        // acknowledge clock, so a write (A0h, an even address, an even value)
        // can look acknowledged by nobody. A one-byte read first, whose
        // address A1h ends in 1, finds out whether a sink is there.
        Byte probe[1];
        if (!bytes.empty() && (!prepare(at(bytes[0].address)) || !usb.Read({}, probe))) {
            run.answered = false;
            run.problem = problemNow();
            return run;
        }
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            const EepromLocation where = at(bytes[k].address);
            const Byte address[] = {where.offset};
            if (!prepare(where)) {
                run.answered = false;
                run.problem = problemNow();
                return run;
            }
            const bool acknowledged = usb.Write(address, std::span<const Byte>(&bytes[k].value, 1));
            m_ddc.clock().sleepMilliseconds(kWriteCycleMs);
            if (!acknowledged) {
                run.answered = false;
                run.problem = problemNow();
                return run;
            }
            run.done = k + 1;
            // A part whose write cycle is longer than the wait is still busy:
            // it is polled until it answers, within the polling limit.
            const PollOutcome outcome = pollUntilAnswered(m_ddc.clock(), [this] { return poll(); });
            if (outcome != PollOutcome::Answered) {
                run.answered = false;
                run.timedOut = outcome == PollOutcome::TimedOut;
                if (!run.timedOut)
                    run.problem = problemNow();
                return run;
            }
            if (!step(k, 1)) {
                run.stopped = true;
                return run;
            }
        }
        if (!bytes.empty())
            m_ddc.clock().sleepMilliseconds(kSettleMs);
        return run;
    }

    TransferRun readSequential(std::size_t start, std::span<Byte> destination,
                               const TransferStep& step) override {
        return readInChunks(start, destination, step,
                            [this](const EepromLocation& where, std::span<Byte> d) {
                                return prepare(where) && m_ddc.usb().ReadSequential(where.offset, d);
                            });
    }

    // The page writes release SDA before each acknowledge slot, so a missing
    // sink shows at once: no probe read is needed.
    TransferRun writePages(std::span<const EepromPage> pages, const TransferStep& step) override {
        return writePolled(
            pages, step,
            [this](const EepromPage& p) {
                const EepromLocation where = at(p.address);
                return prepare(where) && m_ddc.usb().WritePage(where.offset, p.data());
            },
            [this] { return poll(); });
    }

protected:
    std::string problemNow() const override { return m_ddc.usb().problem(); }

private:
    // The block's device address and the segment for the next transaction,
    // and the lines checked.
    bool prepare(const EepromLocation& where) {
        MpsseTransport& usb = m_ddc.usb();
        usb.setDeviceAddress(where.slave);
        usb.setSegment(where.segment);
        return usb.CheckLines();
    }
    PollResult poll() {
        MpsseTransport& usb = m_ddc.usb();
        usb.setSegment(std::nullopt);
        if (usb.PollAck())
            return PollResult::Answered;
        return usb.adapterLost() ? PollResult::Failed : PollResult::Busy;
    }

    bool m_open = false;
};

// DDC: the display connector's own bus through i2c-dev, opened for the
// transfer. Reads are one sequential transaction per block or segment;
// every write is followed by acknowledge polling, and writes are always page
// writes of the changed pages (the bus has no slow mode to keep).
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
    std::string writeRefusal() const override {
        const I2cDevTransport& bus = m_ddc.i2cDev();
        return bus.internalPanel() ? bus.internalPanelRefusal() : std::string();
    }

    std::string open() override {
        if (!m_ddc.i2cDev().Open())
            return m_ddc.i2cDev().problem();
        return {};
    }
    void close() override { m_ddc.i2cDev().Close(); }

    TransferRun readContent(std::size_t start, std::span<Byte> destination,
                            const TransferStep& step) override {
        return readSequential(start, destination, step);
    }

    TransferRun readSequential(std::size_t start, std::span<Byte> destination,
                               const TransferStep& step) override {
        I2cDevTransport& bus = m_ddc.i2cDev();
        return readInChunks(
            start, destination, step,
            [&bus](const EepromLocation& where, std::span<Byte> d) { return bus.Read(where, d); });
    }

    TransferRun writeBytes(std::span<const AddressedByte> bytes,
                           const TransferStep& step) override {
        I2cDevTransport& bus = m_ddc.i2cDev();
        return writePolled(
            bytes, step,
            [this, &bus](const AddressedByte& b) {
                return bus.Write(at(b.address), std::span<const Byte>(&b.value, 1));
            },
            [this] { return poll(); });
    }

    TransferRun writePages(std::span<const EepromPage> pages, const TransferStep& step) override {
        I2cDevTransport& bus = m_ddc.i2cDev();
        return writePolled(
            pages, step,
            [this, &bus](const EepromPage& p) { return bus.WritePage(at(p.address), p.data()); },
            [this] { return poll(); });
    }

protected:
    // A refused write or a controller fault says more than "no answer".
    std::string problemNow() const override {
        const I2cDevTransport& bus = m_ddc.i2cDev();
        return bus.noAcknowledge() ? std::string() : bus.problem();
    }

private:
    PollResult poll() {
        I2cDevTransport& bus = m_ddc.i2cDev();
        if (bus.PollAck())
            return PollResult::Answered;
        return bus.noAcknowledge() ? PollResult::Busy : PollResult::Failed;
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
