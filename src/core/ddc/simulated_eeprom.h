// Simulated hardware for tests and `--simulate`: an I2C bus with open-drain
// lines and a 24C02-class EEPROM on it, modelled at the level of the line
// changes, so every transfer is checked down to its start, stop and
// acknowledge conditions. Masters that work in whole bytes (an I2C
// controller behind the kernel's i2c-dev) reach the same device through its
// byte-level side.
#pragma once

#include "core/ddc/ddc_clock.h"
#include "core/edid/bits.h"

#include <array>
#include <cstdint>
#include <vector>

namespace pellam {

// A 256-byte serial EEPROM (24C02 class) as an I2C slave: device address A0h,
// random and sequential reads (the address rolls over at 256), byte and
// 8-byte page writes (rolling over within the page), each written at the stop
// and followed by a write cycle during which the device does not acknowledge
// its address.
class SimulatedEeprom {
public:
    static constexpr std::size_t kSize = 256;
    static constexpr std::size_t kPageSize = 8;

    explicit SimulatedEeprom(const SimulatedClock& clock)
        : m_clock(clock) {
        m_memory.fill(0xFF);
    }

    std::array<Byte, kSize>& memory() { return m_memory; }
    const std::array<Byte, kSize>& memory() const { return m_memory; }

    // A missing sink never drives the bus.
    bool present = true;
    // Acknowledges writes and keeps its contents.
    bool writeProtected = false;
    Byte deviceAddress = 0xA0;
    std::uint32_t writeCycleUs = 5000;

    // The bus levels after a change; the device reacts to edges.
    void onLines(bool scl, bool sda);
    // The device holds SDA low.
    bool pullsSdaLow() const { return m_pullSda; }

    // Completed writes (each stop that committed bytes), for tests.
    int writeCycles() const { return m_writeCycles; }

    // The device as a controller that moves whole bytes sees it: a start (or
    // repeated start), a byte written with the device's acknowledge in
    // return, a byte read from the address counter (the controller
    // acknowledges every byte but the last), a stop. The same protocol state
    // as the line model: a write is committed at the stop, and the device
    // does not acknowledge its address during the write cycle. After a byte
    // it did not acknowledge the device ignores the bus until the next start.
    void controllerStart();
    bool controllerWrite(Byte value);
    Byte controllerRead();
    void controllerStop();

private:
    enum class Phase { Idle, Receive, AckOut, Send, AckIn };
    enum class Expect { DeviceAddress, WordAddress, Data };

    void start();
    void stop();
    void risingEdge(bool sda);
    void fallingEdge();
    // The byte-level protocol both sides share.
    void beginTransaction();
    void endTransaction();
    bool byteReceived(Byte value);
    Byte nextByte();
    void sendNextByte();

    const SimulatedClock& m_clock;
    std::array<Byte, kSize> m_memory{};
    std::uint64_t m_busyUntil = 0;
    int m_writeCycles = 0;

    bool m_scl = true;
    bool m_sda = true;
    bool m_pullSda = false;
    Phase m_phase = Phase::Idle;
    Expect m_expect = Expect::DeviceAddress;
    bool m_reading = false;
    int m_bits = 0;
    Byte m_shift = 0;
    bool m_masterAck = false;
    Byte m_address = 0; // the address counter
    std::vector<Byte> m_pageData;
    Byte m_pageStart = 0;
    bool m_controllerSelected = false;
};

// Open-drain SDA and SCL shared by any number of masters and one slave: a
// line is high unless someone pulls it low.
class SimulatedI2cBus {
public:
    explicit SimulatedI2cBus(SimulatedEeprom& slave)
        : m_slave(slave) {}

    // A new master, with both lines released.
    int attachMaster();
    // A master's drive of both lines. When both change, SCL low goes first
    // and SCL high last, so that no false start or stop appears.
    void drive(int master, bool sda, bool scl);
    bool sda() const;
    bool scl() const;

private:
    void update();
    struct Drive {
        bool sda = true;
        bool scl = true;
    };
    SimulatedEeprom& m_slave;
    std::vector<Drive> m_masters;
};

} // namespace pellam
