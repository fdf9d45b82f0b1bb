// Simulated hardware for tests and `--simulate`: an I2C bus with open-drain
// lines and a serial EEPROM of any 24Cxx kind (or an E-DDC sink) on it,
// modelled at the level of the line changes, so every transfer is checked
// down to its start, stop and acknowledge conditions. Masters that work in
// whole bytes (an I2C controller behind the kernel's i2c-dev) reach the same
// device through its byte-level side.
#pragma once

#include "core/ddc/ddc_clock.h"
#include "core/ddc/eeprom_kind.h"
#include "core/edid/bits.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace pellam {

// The EEPROM's cells. Assigning bytes puts them at the start; cells past
// their end become blank (FFh), cells past the capacity are not taken.
class EepromMemory {
public:
    using value_type = Byte;
    using iterator = std::vector<Byte>::iterator;
    using const_iterator = std::vector<Byte>::const_iterator;

    explicit EepromMemory(std::size_t size = 256)
        : m_bytes(size, 0xFF) {}

    template <typename Range>
    EepromMemory& operator=(const Range& bytes) {
        assign(std::span<const Byte>(std::data(bytes), std::size(bytes)));
        return *this;
    }
    void assign(std::span<const Byte> bytes) {
        const std::size_t n = std::min(bytes.size(), m_bytes.size());
        std::copy_n(bytes.begin(), n, m_bytes.begin());
        std::fill(m_bytes.begin() + static_cast<std::ptrdiff_t>(n), m_bytes.end(), Byte{0xFF});
    }
    void resize(std::size_t size) { m_bytes.assign(size, 0xFF); }

    std::size_t size() const { return m_bytes.size(); }
    Byte& operator[](std::size_t i) { return m_bytes[i]; }
    Byte operator[](std::size_t i) const { return m_bytes[i]; }
    auto begin() { return m_bytes.begin(); }
    auto end() { return m_bytes.end(); }
    auto begin() const { return m_bytes.begin(); }
    auto end() const { return m_bytes.end(); }
    const Byte* data() const { return m_bytes.data(); }
    void fill(Byte value) { std::fill(m_bytes.begin(), m_bytes.end(), value); }
    const std::vector<Byte>& bytes() const { return m_bytes; }
    // The first n cells.
    std::vector<Byte> first(std::size_t n) const {
        return {m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(std::min(n, size()))};
    }

    bool operator==(const EepromMemory&) const = default;
    template <std::size_t N>
    friend bool operator==(const EepromMemory& memory, const std::array<Byte, N>& bytes) {
        return std::equal(memory.begin(), memory.end(), bytes.begin(), bytes.end());
    }
    friend bool operator==(const EepromMemory& memory, const std::vector<Byte>& bytes) {
        return memory.m_bytes == bytes;
    }

private:
    std::vector<Byte> m_bytes;
};

// A serial EEPROM as an I2C slave: device address A0h (with the block bits
// of a 24C04 ... 24C16), random and sequential reads, byte and page writes
// (rolling over within the page), each written at the stop and followed by
// a write cycle during which the device does not acknowledge its address.
// A 24C01 ignores the top bit of its word address. An E-DDC sink answers
// its segment pointer at 60h. Faults are switched on by their fields.
class SimulatedEeprom {
public:
    explicit SimulatedEeprom(const SimulatedClock& clock)
        : m_clock(clock) {}

    // Makes the device that kind of EEPROM, blank; an E-DDC sink holds
    // eddcSize bytes (up to its 32 KiB).
    void setKind(EepromKind kind, std::size_t eddcSize = 512);
    EepromKind kind() const { return m_kind; }

    EepromMemory& memory() { return m_memory; }
    const EepromMemory& memory() const { return m_memory; }

    // A missing sink never drives the bus.
    bool present = true;
    // Acknowledges writes and keeps its contents (the WP pin held high).
    bool writeProtected = false;
    Byte deviceAddress = 0xA0;
    std::uint32_t writeCycleUs = 5000;
    // E-DDC: a stop resets the segment pointer to 0.
    bool segmentResetByStop = true;
    // Bytes the device acknowledges before it goes (as a sink unplugged
    // part way); negative: never.
    std::int64_t answersLeft = -1;
    // A cell that does not hold some bits: a commit to it stores the value
    // with these bits flipped.
    std::size_t weakCell = std::numeric_limits<std::size_t>::max();
    Byte weakBits = 0;

    // The bus levels after a change; the device reacts to edges.
    void onLines(bool scl, bool sda);
    // The device holds SDA low.
    bool pullsSdaLow() const { return m_pullSda; }

    // Completed writes (each stop that committed bytes), for tests.
    int writeCycles() const { return m_writeCycles; }
    // The segment pointer now.
    Byte segmentPointer() const { return m_segment; }

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
    enum class Expect { DeviceAddress, Segment, WordAddress, Data };

    void start();
    void stop();
    void risingEdge(bool sda);
    void fallingEdge();
    // The byte-level protocol both sides share.
    void beginTransaction();
    void endTransaction();
    bool byteReceived(Byte value);
    bool accept();
    Byte nextByte();
    void sendNextByte();
    std::size_t pageSize() const;
    // The next address of a sequential read after `address`.
    std::size_t following(std::size_t address) const;

    const SimulatedClock& m_clock;
    EepromKind m_kind = EepromKind::C02;
    EepromMemory m_memory{256};
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
    std::size_t m_address = 0; // the address counter
    std::size_t m_block = 0;   // of the device address last taken
    Byte m_segment = 0;
    std::vector<Byte> m_pageData;
    std::size_t m_pageStart = 0;
    bool m_controllerSelected = false;
};

// Open-drain SDA and SCL shared by any number of masters and one slave: a
// line is high unless someone pulls it low, or it is stuck low (a short, a
// sink that holds the bus).
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
    // Faults: a line held low whatever the masters do.
    void setStuck(bool sdaLow, bool sclLow);

private:
    void update();
    struct Drive {
        bool sda = true;
        bool scl = true;
    };
    SimulatedEeprom& m_slave;
    std::vector<Drive> m_masters;
    bool m_sdaStuck = false;
    bool m_sclStuck = false;
};

} // namespace pellam
