#include "core/ddc/simulated_devices.h"

#include "core/ddc/i2c_dev_device.h"
#include "core/ddc/mpsse_transport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace pellam {

namespace {

constexpr int kNotOpen = -1;

std::string callText(const char* format, unsigned first, unsigned second = 0) {
    char text[48];
    std::snprintf(text, sizeof text, format, first, second);
    return text;
}

} // namespace

SimulatedParallelPort::SimulatedParallelPort(SimulatedI2cBus& bus)
    : m_bus(bus)
    , m_master(bus.attachMaster()) {}

SimulatedParallelPort::~SimulatedParallelPort() {
    m_bus.drive(m_master, true, true);
}

void SimulatedParallelPort::writeData(Byte value) {
    m_sda = (value & 0x80) == 0;
    m_bus.drive(m_master, m_sda, m_scl);
}

void SimulatedParallelPort::writeControl(Byte value) {
    m_scl = (value & 0x08) != 0;
    m_bus.drive(m_master, m_sda, m_scl);
}

Byte SimulatedParallelPort::readStatus() {
    return m_bus.sda() ? 0x00 : 0x80;
}

SimulatedModemLines::SimulatedModemLines(SimulatedI2cBus& bus)
    : m_bus(bus)
    , m_master(bus.attachMaster()) {}

SimulatedModemLines::~SimulatedModemLines() {
    m_bus.drive(m_master, true, true);
}

void SimulatedModemLines::setDtr(bool on) {
    m_dtr = on;
    m_bus.drive(m_master, m_dtr, m_rts);
}

void SimulatedModemLines::setRts(bool on) {
    m_rts = on;
    m_bus.drive(m_master, m_dtr, m_rts);
}

SimulatedFt2232::SimulatedFt2232(SimulatedI2cBus& bus, SimulatedClock* clock)
    : m_bus(bus)
    , m_clock(clock)
    , m_master(bus.attachMaster()) {}

// Half a period of 6 MHz / (divisor + 1) is (divisor + 1) / 12 us.
void SimulatedFt2232::takeHalfPeriods(unsigned count) {
    if (!m_clock)
        return;
    m_pendingTwelfths += std::uint64_t{count} * (m_divisor + 1u);
    m_clock->waitMicroseconds(static_cast<std::uint32_t>(m_pendingTwelfths / 12));
    m_pendingTwelfths %= 12;
}

int SimulatedFt2232::open(const std::string& serial) {
    calls.push_back("open");
    if (!connected || m_unplugged) {
        m_detail = "No USB adapter 'Korvo USB Debug Tool' is connected (simulated).";
        return -3;
    }
    if (accessDenied) {
        m_detail = "No permission to use the USB device (simulated).";
        return -4;
    }
    const UsbAdapterChoice choice = chooseUsbAdapter(serials, serial);
    if (choice.index < 0) {
        m_detail = choice.problem + " (simulated)";
        return -3;
    }
    openedSerial = serials[static_cast<std::size_t>(choice.index)];
    m_detail.clear();
    m_open = true;
    return 0;
}

int SimulatedFt2232::setLatencyTimer(Byte milliseconds) {
    calls.push_back(callText("latency %u", milliseconds));
    return m_open ? 0 : kNotOpen;
}

int SimulatedFt2232::setBitMode(Byte mask, Byte mode) {
    calls.push_back(callText("bitmode %02X %02X", mask, mode));
    if (!m_open)
        return kNotOpen;
    m_mpsse = mode == 0x02;
    if (mode == 0x00)
        setPins(m_value, 0x00); // every pin an input again
    m_input.clear();
    return 0;
}

int SimulatedFt2232::write(std::span<const Byte> bytes, std::size_t& written) {
    calls.push_back(callText("write %u", static_cast<unsigned>(bytes.size())));
    writes.emplace_back(bytes.begin(), bytes.end());
    written = 0;
    if (m_unplugAt >= 0 && static_cast<int>(writes.size()) >= m_unplugAt && !m_unplugged) {
        // Gone: its pins float, the bus is left to the pull-ups.
        m_unplugged = true;
        m_open = false;
        setPins(m_value, 0x00);
        m_answers.clear();
    }
    if (m_unplugged)
        return -666; // libftdi1: USB device unavailable
    m_delaying = static_cast<int>(writes.size()) == m_delayedWrite;
    if (!m_delaying) {
        m_answers.insert(m_answers.end(), m_delayed.begin(), m_delayed.end());
        m_delayed.clear();
    }
    if (!m_open)
        return kNotOpen;
    written = bytes.size();
    if (m_mpsse) {
        m_input.insert(m_input.end(), bytes.begin(), bytes.end());
        execute();
    }
    return 0;
}

int SimulatedFt2232::receiveQueue(std::size_t& count) {
    if (m_unplugged) {
        count = 0;
        calls.push_back("queue failed");
        return -4;
    }
    count = m_answers.size();
    calls.push_back(callText("queue %u", static_cast<unsigned>(count)));
    return m_open ? 0 : kNotOpen;
}

int SimulatedFt2232::read(std::span<Byte> buffer, std::size_t& count) {
    count = std::min(buffer.size(), m_answers.size());
    for (std::size_t i = 0; i < count; ++i) {
        buffer[i] = m_answers.front();
        m_answers.pop_front();
    }
    calls.push_back(callText("read %u", static_cast<unsigned>(count)));
    return m_open ? 0 : kNotOpen;
}

int SimulatedFt2232::close() {
    calls.push_back("close");
    if (!m_open)
        return kNotOpen;
    m_open = false;
    m_mpsse = false;
    setPins(m_value, 0x00);
    m_answers.clear();
    m_delayed.clear();
    return 0;
}

void SimulatedFt2232::answer(Byte value) {
    if (m_delaying)
        m_delayed.push_back(value);
    else
        m_answers.push_back(value);
}

void SimulatedFt2232::setPins(Byte value, Byte direction) {
    m_value = value;
    m_direction = direction;
    drivePins();
}

// A pin that is not an output leaves its line to the pull-up.
void SimulatedFt2232::drivePins() {
    const bool scl = !getBit(m_direction, 0) || getBit(m_value, 0);
    const bool sda = !getBit(m_direction, 1) || getBit(m_value, 1);
    m_bus.drive(m_master, sda, scl);
}

// One clock with data changing while the clock is low: data, rise, fall.
void SimulatedFt2232::clockOut(bool bit) {
    takeHalfPeriods(2);
    m_value = setBit(m_value, 1, bit);
    drivePins();
    m_value = setBit(m_value, 0, true);
    drivePins();
    m_value = setBit(m_value, 0, false);
    drivePins();
}

// One clock sampling the data-in pin after the rising edge.
bool SimulatedFt2232::clockIn() {
    takeHalfPeriods(2);
    m_value = setBit(m_value, 0, true);
    drivePins();
    const bool bit = m_bus.sda();
    m_value = setBit(m_value, 0, false);
    drivePins();
    return bit;
}

void SimulatedFt2232::execute() {
    std::size_t pos = 0;
    while (pos < m_input.size()) {
        const Byte op = m_input[pos];
        const std::size_t available = m_input.size() - pos;
        std::size_t length = 0;
        switch (op) {
        case mpsse::kReadLowBits:
        case mpsse::kLoopbackOff:
        case mpsse::kSendImmediate:
            length = 1;
            break;
        case mpsse::kBitsInRising:
            length = 2;
            break;
        case mpsse::kSetLowBits:
        case mpsse::kSetDivisor:
        case mpsse::kBytesInRising:
        case mpsse::kBitsOutFalling:
            length = 3;
            break;
        case mpsse::kBytesOutFalling:
            length = available < 3 ? 3 : 3 + 1 + (m_input[pos + 1] | (m_input[pos + 2] << 8));
            break;
        default:
            answer(0xFA);
            answer(op);
            ++pos;
            continue;
        }
        if (available < length)
            break;
        const Byte* args = m_input.data() + pos + 1;
        switch (op) {
        case mpsse::kSetLowBits:
            takeHalfPeriods(1);
            setPins(args[0], args[1]);
            break;
        case mpsse::kReadLowBits: {
            Byte pins = static_cast<Byte>(m_value | ~m_direction);
            pins = setBit(pins, 0, m_bus.scl());
            pins = setBit(pins, 2, m_bus.sda());
            answer(pins);
            break;
        }
        case mpsse::kSetDivisor:
            m_divisor = static_cast<std::uint16_t>(args[0] | (args[1] << 8));
            break;
        case mpsse::kBytesOutFalling:
            for (std::size_t i = 3; i < length; ++i)
                for (int bit = 7; bit >= 0; --bit)
                    clockOut(getBit(m_input[pos + i], static_cast<unsigned>(bit)));
            break;
        case mpsse::kBytesInRising:
            for (int n = 0; n <= (args[0] | (args[1] << 8)); ++n) {
                Byte value = 0;
                for (int bit = 0; bit < 8; ++bit)
                    value = static_cast<Byte>((value << 1) | (clockIn() ? 1 : 0));
                if (m_lose > 0)
                    --m_lose;
                else
                    answer(value);
            }
            break;
        case mpsse::kBitsInRising: {
            // Bits come in at bit 0 and move up.
            Byte value = 0;
            for (int bit = 0; bit <= (args[0] & 7); ++bit)
                value = static_cast<Byte>((value << 1) | (clockIn() ? 1 : 0));
            answer(value);
            break;
        }
        case mpsse::kBitsOutFalling:
            for (int bit = 0; bit <= (args[0] & 7); ++bit)
                clockOut(getBit(args[1], static_cast<unsigned>(7 - bit)));
            break;
        default: // loopback off, send immediate: nothing on the bus
            break;
        }
        pos += length;
    }
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<std::ptrdiff_t>(pos));
}

namespace {

class SimulatedI2cDevAdapter final : public I2cAdapter {
public:
    explicit SimulatedI2cDevAdapter(SimulatedI2cDevBuses& buses)
        : m_buses(buses) {}
    int transfer(std::span<I2cMessage> messages) override { return m_buses.transfer(messages); }

private:
    SimulatedI2cDevBuses& m_buses;
};

} // namespace

I2cAdapterOpenResult SimulatedI2cDevBuses::open(const std::string& devicePath) {
    opened.push_back(devicePath);
    I2cAdapterOpenResult result;
    if (openError != 0)
        result.error = openError;
    else
        result.adapter = std::make_unique<SimulatedI2cDevAdapter>(*this);
    return result;
}

void SimulatedI2cDevBuses::clockBits(unsigned bits) {
    m_clock.waitMicroseconds(bits * 1000 / busClockKHz);
}

int SimulatedI2cDevBuses::transfer(std::span<I2cMessage> messages) {
    auto& recorded = transactions.emplace_back();
    for (const I2cMessage& m : messages)
        recorded.push_back(
            {m.address, m.read,
             m.read ? std::vector<Byte>() : std::vector<Byte>(m.data.begin(), m.data.end())});
    if (const int invalid = checkTransaction(messages))
        return invalid;
    if (transferError != 0 && transactions.size() > failFrom)
        return transferError;
    // A byte and its acknowledge: nine clocks; a start or a stop: about one.
    constexpr unsigned kByteBits = 9;
    int result = 0;
    for (std::size_t i = 0; i < messages.size() && result == 0; ++i) {
        I2cMessage& m = messages[i];
        clockBits(1);
        m_eeprom.controllerStart();
        clockBits(kByteBits);
        if (!m_eeprom.controllerWrite(static_cast<Byte>(m.address << 1 | (m.read ? 1 : 0)))) {
            result = ENXIO;
            break;
        }
        for (Byte& b : m.data) {
            clockBits(kByteBits);
            if (m.read) {
                b = m_eeprom.controllerRead();
            } else if (!m_eeprom.controllerWrite(b)) {
                result = EREMOTEIO;
                break;
            }
        }
        if (m.read)
            recorded[i].data.assign(m.data.begin(), m.data.end());
    }
    clockBits(1);
    m_eeprom.controllerStop();
    return result;
}

SimulatedConnectorTree::SimulatedConnectorTree(const std::string& connector,
                                               std::span<const Byte> edid) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / "pellam-sysfs-XXXXXX").string();
    if (ec || !mkdtemp(pattern.data()))
        return;
    const fs::path root = pattern;
    const fs::path bus = root / "devices" / "i2c-5";
    const fs::path dir = root / "class" / "drm" / connector;
    fs::create_directories(bus, ec);
    fs::create_directories(dir, ec);
    std::ofstream(dir / "status") << "connected\n";
    std::ofstream(dir / "edid", std::ios::binary)
        .write(reinterpret_cast<const char*>(edid.data()),
               static_cast<std::streamsize>(edid.size()));
    fs::create_directory_symlink(bus, dir / "ddc", ec);
    m_root = root;
    if (ec) {
        fs::remove_all(root, ec);
        m_root.clear();
    }
}

SimulatedConnectorTree::~SimulatedConnectorTree() {
    std::error_code ec;
    if (!m_root.empty())
        std::filesystem::remove_all(m_root, ec);
}

} // namespace pellam
