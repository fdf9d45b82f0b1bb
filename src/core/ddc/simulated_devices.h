// Simulated port hardware on a SimulatedI2cBus: a parallel port's registers,
// a serial port's modem lines and an FT2232 in MPSSE mode. Each is wired the
// way the real adapter circuits are, so the transports drive them exactly as
// they drive the real ports. And a graphics card's DDC controller as i2c-dev
// offers it, on the same EEPROM.
#pragma once

#include "core/ddc/ftdi_device.h"
#include "core/ddc/i2c_adapter.h"
#include "core/ddc/line_driver.h"
#include "core/ddc/simulated_eeprom.h"

#include <deque>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pellam {

// Data bit 7 drives SDA through an inverter, control bit 3 is SCL, status
// bit 7 reads SDA inverted (as the port's BUSY input is).
class SimulatedParallelPort final : public ParallelPortRegisters {
public:
    explicit SimulatedParallelPort(SimulatedI2cBus& bus);
    ~SimulatedParallelPort() override;
    SimulatedParallelPort(const SimulatedParallelPort&) = delete;
    SimulatedParallelPort& operator=(const SimulatedParallelPort&) = delete;

    void writeData(Byte value) override;
    void writeControl(Byte value) override;
    Byte readStatus() override;

private:
    SimulatedI2cBus& m_bus;
    int m_master;
    bool m_sda = true;
    bool m_scl = true;
};

// DTR drives SDA, RTS drives SCL, DSR is on while SDA is low.
class SimulatedModemLines final : public ModemControlLines {
public:
    explicit SimulatedModemLines(SimulatedI2cBus& bus);
    ~SimulatedModemLines() override;
    SimulatedModemLines(const SimulatedModemLines&) = delete;
    SimulatedModemLines& operator=(const SimulatedModemLines&) = delete;

    void setDtr(bool on) override;
    void setRts(bool on) override;
    bool dsrOn() override { return !m_bus.sda(); }

private:
    SimulatedI2cBus& m_bus;
    int m_master;
    bool m_dtr = true;
    bool m_rts = true;
};

// An FT2232 channel A in MPSSE mode: interprets the commands 0x80, 0x81,
// 0x85, 0x86, 0x87, 0x11, 0x20, 0x22 and 0x13 and clocks them onto the bus
// (SCL on pin 0, data out on pin 1, data in on pin 2, which is wired to SDA;
// the data-out pin drives SDA through the adapter's open-drain circuit).
// Unknown commands are answered with FAh and the command, as the chip does.
// With a clock, the bus takes its time: a clocked bit one period of the
// clock the divisor sets (6 MHz / (divisor + 1)), a change of the pins half
// a period. It records every call and every write for tests.
class SimulatedFt2232 final : public FtdiDevice {
public:
    explicit SimulatedFt2232(SimulatedI2cBus& bus, SimulatedClock* clock = nullptr);

    bool connected = true;
    bool accessDenied = false;
    // The serial numbers of the adapters connected (all simulated by this
    // one); open() picks one as the real adapter would.
    std::vector<std::string> serials = {"KV000001"};
    std::string openedSerial;

    int open(const std::string& serial) override;
    int setLatencyTimer(Byte milliseconds) override;
    int setBitMode(Byte mask, Byte mode) override;
    int write(std::span<const Byte> bytes, std::size_t& written) override;
    int receiveQueue(std::size_t& count) override;
    int read(std::span<Byte> buffer, std::size_t& count) override;
    int close() override;
    std::string openErrorDetail() const override { return m_detail; }

    // Each call as text: "open", "latency 16", "bitmode 00 02", "write 2",
    // "queue 1", "read 1", "close".
    std::vector<std::string> calls;
    // The bytes of each write, in order.
    std::vector<std::vector<Byte>> writes;
    // The answers to the n-th write from now (1 = the next) arrive only with
    // the write after it, as a slow USB round trip would deliver them.
    void delayAnswersOfWrite(int n) { m_delayedWrite = static_cast<int>(writes.size()) + n; }
    // The adapter is unplugged at the n-th write from now (1 = the next):
    // that write and every call after it fail, as libftdi1's do, and its
    // pins no longer drive the bus.
    void unplugAtWrite(int n) { m_unplugAt = static_cast<int>(writes.size()) + n; }
    // The next n bytes the adapter clocks in from the bus (command 20h) are
    // lost on their way to the host.
    void loseAnswers(std::size_t n) { m_lose = n; }
    std::uint16_t clockDivisor() const { return m_divisor; }

private:
    void execute();
    void setPins(Byte value, Byte direction);
    void drivePins();
    void clockOut(bool bit);
    bool clockIn();
    void answer(Byte value);
    // Moves the clock on by that many half periods of the bus clock.
    void takeHalfPeriods(unsigned count);

    SimulatedI2cBus& m_bus;
    SimulatedClock* m_clock;
    // Bus time not yet given to the clock, in twelfths of a microsecond.
    std::uint64_t m_pendingTwelfths = 0;
    int m_master;
    bool m_open = false;
    bool m_mpsse = false;
    Byte m_value = 0xFF;
    Byte m_direction = 0x00;
    std::uint16_t m_divisor = 0;
    std::vector<Byte> m_input;
    std::deque<Byte> m_answers;
    std::vector<Byte> m_delayed;
    int m_delayedWrite = -1;
    bool m_delaying = false;
    int m_unplugAt = -1;
    bool m_unplugged = false;
    std::size_t m_lose = 0;
    std::string m_detail;
};

// The I2C buses of a graphics card as i2c-dev offers them: every device
// path opens a controller that carries out I2C_RDWR transactions on the
// simulated EEPROM the way the kernel's controller drivers do (a start per
// message, a repeated start between them, one stop at the end; ENXIO when the
// address is not acknowledged, EREMOTEIO when a written byte is not), at the
// bus clock, in simulated time. It records what it is asked for, for tests.
class SimulatedI2cDevBuses final : public I2cBusAccess {
public:
    SimulatedI2cDevBuses(SimulatedEeprom& eeprom, SimulatedClock& clock)
        : m_eeprom(eeprom)
        , m_clock(clock) {}

    std::filesystem::path sysfsRoot() const override { return sysRoot; }
    I2cAdapterOpenResult open(const std::string& devicePath) override;

    // Where the connectors are described (a fake tree in tests).
    std::filesystem::path sysRoot = "/sys";
    // errno value every open fails with; 0: opens.
    int openError = 0;
    // errno value transfers fail with, before anything reaches the bus,
    // from the transaction numbered failFrom on (counted from 0 over every
    // transaction asked for); 0: transfers are carried out.
    int transferError = 0;
    std::size_t failFrom = 0;
    std::uint32_t busClockKHz = 100;

    struct Message {
        std::uint16_t address;
        bool read;
        std::vector<Byte> data; // written, or read (as many as were asked for)
        bool operator==(const Message&) const = default;
    };
    // The devices opened, and every transaction asked for, in order.
    std::vector<std::string> opened;
    std::vector<std::vector<Message>> transactions;

    // One I2C_RDWR request on the EEPROM; 0 or an errno value.
    int transfer(std::span<I2cMessage> messages);

private:
    void clockBits(unsigned bits);

    SimulatedEeprom& m_eeprom;
    SimulatedClock& m_clock;
};

// A sysfs tree with one connected display connector whose DDC lines are the
// bus i2c-5, in a fresh temporary folder removed with the object: the
// connector a simulated DDC transfer uses when no tree is given.
class SimulatedConnectorTree {
public:
    explicit SimulatedConnectorTree(const std::string& connector, std::span<const Byte> edid = {});
    ~SimulatedConnectorTree();
    SimulatedConnectorTree(const SimulatedConnectorTree&) = delete;
    SimulatedConnectorTree& operator=(const SimulatedConnectorTree&) = delete;

    // Empty when the tree could not be made.
    const std::filesystem::path& root() const { return m_root; }

private:
    std::filesystem::path m_root;
};

} // namespace pellam
