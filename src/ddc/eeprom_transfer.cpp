#include "ddc/eeprom_transfer.h"

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

// What every transfer keeps: the context, the port name and the slave
// address of the moment it was chosen.
class ContextTransfer : public EepromTransfer {
public:
    explicit ContextTransfer(DdcContext& ddc)
        : m_ddc(ddc)
        , m_claim(ddc)
        , m_portName(pellam::portName(ddc.settings().portType))
        , m_slaveAddress(static_cast<Byte>(ddc.settings().slaveAddress & 0xFE)) {}

    std::string portName() const override { return m_portName; }
    Byte slaveAddress() const override { return m_slaveAddress; }

protected:
    DdcContext& m_ddc;

private:
    ContextClaim m_claim;
    std::string m_portName;
    Byte m_slaveAddress;
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

private:
    bool m_open = false;
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
    return {nullptr, "Port type " + std::to_string(type) + " is not known. " + kMsgChoosePortType};
}

} // namespace pellam
