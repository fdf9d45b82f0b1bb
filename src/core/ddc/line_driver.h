// The three lines of a bit-banged I2C bus (SDA out, SCL out, SDA in) and the
// two ways a PC port carries them: the parallel port's registers and a serial
// port's modem-control lines. Levels are bus levels: true is high (released).
#pragma once

#include "core/edid/bits.h"

#include <memory>
#include <string>

namespace pellam {

class LineDriver {
public:
    virtual ~LineDriver() = default;
    virtual void setSda(bool level) = 0;
    virtual void setScl(bool level) = 0;
    virtual bool sdaIn() = 0;
};

// The three registers of a PC parallel port the bus uses.
class ParallelPortRegisters {
public:
    virtual ~ParallelPortRegisters() = default;
    virtual void writeData(Byte value) = 0;    // base
    virtual void writeControl(Byte value) = 0; // base + 2
    virtual Byte readStatus() = 0;             // base + 1
};

// SDA out on data bit 7 through an inverting driver (level 1 writes 0x00,
// level 0 writes 0x80), SCL out on the control register (level 1 writes
// 0x08, level 0 writes 0x00), SDA in on status bit 7, which the port inverts
// (the line is high when the bit is clear). A register write writes the whole
// byte.
class ParallelPortLines final : public LineDriver {
public:
    explicit ParallelPortLines(std::unique_ptr<ParallelPortRegisters> registers)
        : m_registers(std::move(registers)) {}
    void setSda(bool level) override { m_registers->writeData(level ? 0x00 : 0x80); }
    void setScl(bool level) override { m_registers->writeControl(level ? 0x08 : 0x00); }
    bool sdaIn() override { return (m_registers->readStatus() & 0x80) == 0; }

private:
    std::unique_ptr<ParallelPortRegisters> m_registers;
};

// The modem-control lines of a serial port.
class ModemControlLines {
public:
    virtual ~ModemControlLines() = default;
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
    virtual bool dsrOn() = 0;
};

// SDA out on DTR, SCL out on RTS, SDA in on DSR (the line is high when DSR
// is off).
class SerialPortLines final : public LineDriver {
public:
    explicit SerialPortLines(std::unique_ptr<ModemControlLines> modem)
        : m_modem(std::move(modem)) {}
    void setSda(bool level) override { m_modem->setDtr(level); }
    void setScl(bool level) override { m_modem->setRts(level); }
    bool sdaIn() override { return !m_modem->dsrOn(); }

private:
    std::unique_ptr<ModemControlLines> m_modem;
};

// What opening a port gave: the lines, or why there are none.
struct LineOpenResult {
    std::unique_ptr<LineDriver> driver;
    // The port exists but this process may not use it (the user is told at
    // start-up); false when the port is simply not there.
    bool refused = false;
    // The device and the system's reason, for the user, when driver is null.
    std::string reason;
};

// Opens the ports of one kind of hardware, real or simulated. portType is a
// port type index (0/1 parallel, 3..10 serial).
class PortOpener {
public:
    virtual ~PortOpener() = default;
    virtual LineOpenResult openParallel(std::int32_t portType, std::uint32_t baseAddress) = 0;
    virtual LineOpenResult openSerial(std::int32_t portType) = 0;
};

} // namespace pellam
