// The bit-banged I2C master on a PC port: single-byte EEPROM reads and writes
// clocked through a parallel port's registers or a serial port's modem lines.
// The port is chosen and opened once, at start-up, from the settings of that
// moment; the slave address and the delay count are read at every use.
#pragma once

#include "core/ddc/ddc_clock.h"
#include "core/ddc/eeprom_kind.h"
#include "core/ddc/i2c_settings.h"
#include "core/ddc/line_driver.h"
#include "core/ddc/user_notice.h"

#include <memory>
#include <span>
#include <string>

namespace pellam {

struct PortByteRead {
    Byte value = 0;
    // Every acknowledge slot of the transaction was acknowledged.
    bool acknowledged = false;
};

class PortTransport {
public:
    // Tries for the sink's acknowledge before a step is reported as failed.
    static constexpr int kAckTries = 501;
    // EEPROM write cycle (and settling time after a read).
    static constexpr std::uint32_t kTransactionSleepMs = 10;

    PortTransport(I2cSettings& settings, DdcClock& clock)
        : m_settings(settings)
        , m_clock(clock) {}
    ~PortTransport() { close(); }
    PortTransport(const PortTransport&) = delete;
    PortTransport& operator=(const PortTransport&) = delete;

    // Start-up: gains access to the port of the settings' port type and opens
    // it, then releases the bus. A parallel port that exists but may not be
    // used is reported to the user ("Cannot load driver!" and the reason); a
    // serial port reports "%s Opened!!!" or "%s Open fail!!!". USB and no
    // port type: nothing. Opening again closes the port first.
    void open(PortOpener& opener, const NoticeSink& notify);
    // Exit: releases the bus and gives the port back.
    void close();

    // Random read of one byte at an EEPROM address (0..255). A step without
    // acknowledge is logged and the transaction goes on; the byte is what was
    // clocked in.
    PortByteRead ReadByte(int address);
    // The same at a location: the block's slave address, and for an E-DDC
    // segment the segment pointer written first, joined by a repeated start.
    PortByteRead ReadByte(const EepromLocation& at);
    // Byte write at an EEPROM address, followed by the write-cycle wait.
    // Returns whether every step was acknowledged.
    bool WriteByte(int address, Byte value);
    bool WriteByte(const EepromLocation& at, Byte value);

    // The fast write's transactions: each acknowledge slot is clocked once,
    // with SDA released, and a missing acknowledge ends the transaction at
    // once with a stop. None waits for the write cycle; PollAck finds its
    // end.
    //
    // Page write: the bytes (at most one 8-byte page, not crossing it) at
    // an EEPROM address in one transaction. true when every byte was
    // acknowledged.
    bool WritePage(int address, std::span<const Byte> bytes);
    bool WritePage(const EepromLocation& at, std::span<const Byte> bytes);
    // One acknowledge poll: a start, the write address, a stop. true when the
    // EEPROM answered, that is when its write cycle is over.
    bool PollAck();
    // Sequential read: the start address, then destination.size() bytes in
    // one transaction, each acknowledged by the master but the last. false
    // when the sink did not acknowledge its address (the destination is then
    // left as it was).
    bool ReadSequential(int address, std::span<Byte> destination);
    bool ReadSequential(const EepromLocation& at, std::span<Byte> destination);

    // Every transaction first reads SDA, which the master has released: a
    // line that reads low then is held by something else (a stuck line, a
    // sink or adapter holding the bus), and nothing is sent. (SCL cannot be
    // read back on these ports.) Set by the last transaction that found it.
    bool lineFault() const { return m_lineFault; }
    // The message for the user about it.
    std::string lineProblem() const;

    // Empty when a transfer can run on the port type now chosen; otherwise the
    // message for the user (the port does not exist, may not be used, could
    // not be opened, or was chosen after start-up). USB and no port type give
    // an empty text: the caller handles them.
    std::string transferProblem() const;
    // The port type opened at start-up (kPortNone before, or when none).
    std::int32_t openedPortType() const { return m_openedType; }
    bool hasLines() const { return m_lines != nullptr; }

private:
    void SDA(bool level);
    void SCL(bool level);
    bool SDAin();
    void delayLoop() const;
    void Release();
    void Start();
    void Stop();
    bool GetAck();
    void Ack();
    void Nack();
    // Start, the slave address with the direction bit, one acknowledge slot.
    bool addressSink(bool reading);
    bool addressSink(Byte slave, bool reading);
    // Before the first start of a transaction: SDA reads high.
    bool linesIdle();
    // The fast transactions' start at a location: the segment pointer (E-DDC)
    // and a repeated start first, then the write address and the offset.
    bool addressLocation(const EepromLocation& at);
    void sendByte(Byte value);
    Byte receiveByte();
    // Calls GetAck until the sink acknowledges, at most kAckTries times; logs
    // "<operation>(first,second):GetAck(step) Error!" when it did not.
    bool waitForAck(const char* operation, int step, int first, int second);
    Byte slaveAddress() const { return static_cast<Byte>(m_settings.slaveAddress & 0xFE); }

    I2cSettings& m_settings;
    DdcClock& m_clock;
    std::unique_ptr<LineDriver> m_lines;
    std::int32_t m_openedType = kPortNone;
    std::string m_problem;
    bool m_lineFault = false;
};

} // namespace pellam
