#include "core/ddc/simulated_eeprom.h"

namespace pellam {

void SimulatedEeprom::setKind(EepromKind kind, std::size_t eddcSize) {
    m_kind = kind;
    m_memory.resize(kind == EepromKind::EDdc ? std::max<std::size_t>(eddcSize, 256)
                                             : eepromCapacity(kind));
    m_address = 0;
    m_segment = 0;
    m_pageData.clear();
}

std::size_t SimulatedEeprom::pageSize() const {
    // 24C01 and 24C02: 8-byte pages; the larger parts 16 (their data sheets).
    return m_kind == EepromKind::C01 || m_kind == EepromKind::C02 ? 8 : 16;
}

std::size_t SimulatedEeprom::following(std::size_t address) const {
    switch (m_kind) {
    case EepromKind::C01:
        return (address + 1) & 0x7F;
    case EepromKind::C02:
        return (address + 1) & 0xFF;
    case EepromKind::EDdc:
        // Within the segment.
        return ((address & ~std::size_t{0xFF}) | ((address + 1) & 0xFF)) % m_memory.size();
    default:
        // The whole memory rolls over.
        return (address + 1) % m_memory.size();
    }
}

void SimulatedEeprom::onLines(bool scl, bool sda) {
    const bool wasScl = m_scl;
    const bool wasSda = m_sda;
    m_scl = scl;
    m_sda = sda;
    if (!present) {
        m_pullSda = false;
        return;
    }
    if (wasScl && scl) {
        // SDA changing while SCL is high: start (falling) or stop (rising).
        if (wasSda && !sda)
            start();
        else if (!wasSda && sda)
            stop();
    } else if (!wasScl && scl) {
        risingEdge(sda);
    } else if (wasScl && !scl) {
        fallingEdge();
    }
}

void SimulatedEeprom::start() {
    beginTransaction();
    m_phase = Phase::Receive;
    m_bits = 0;
    m_shift = 0;
    m_pullSda = false;
}

void SimulatedEeprom::stop() {
    endTransaction();
    m_phase = Phase::Idle;
    m_pullSda = false;
}

// A repeated start abandons bytes latched for a write: only a stop starts
// the write cycle. The segment pointer is kept.
void SimulatedEeprom::beginTransaction() {
    m_expect = Expect::DeviceAddress;
    m_reading = false;
    m_pageData.clear();
}

void SimulatedEeprom::endTransaction() {
    if (!m_reading && m_expect == Expect::Data && !m_pageData.empty() && !writeProtected) {
        const std::size_t size = pageSize();
        const std::size_t page = m_pageStart & ~(size - 1);
        for (std::size_t i = 0; i < m_pageData.size(); ++i) {
            const std::size_t at = (page | ((m_pageStart + i) & (size - 1))) % m_memory.size();
            m_memory[at] =
                static_cast<Byte>(m_pageData[i] ^ (at == weakCell ? weakBits : Byte{0}));
        }
        m_address = page | ((m_pageStart + m_pageData.size()) & (size - 1));
        m_busyUntil = m_clock.nowMicroseconds() + writeCycleUs;
        ++m_writeCycles;
    }
    m_pageData.clear();
    m_expect = Expect::DeviceAddress;
    if (segmentResetByStop)
        m_segment = 0;
}

void SimulatedEeprom::controllerStart() {
    if (!present)
        return;
    beginTransaction();
    m_controllerSelected = true;
}

bool SimulatedEeprom::controllerWrite(Byte value) {
    if (!present || !m_controllerSelected)
        return false;
    m_controllerSelected = byteReceived(value);
    return m_controllerSelected;
}

Byte SimulatedEeprom::controllerRead() {
    if (!present || !m_controllerSelected || !m_reading)
        return 0xFF; // nobody drives the bus
    return nextByte();
}

void SimulatedEeprom::controllerStop() {
    if (!present)
        return;
    endTransaction();
    m_controllerSelected = false;
}

void SimulatedEeprom::risingEdge(bool sda) {
    if (m_phase == Phase::Receive && m_bits < 8) {
        m_shift = static_cast<Byte>((m_shift << 1) | (sda ? 1 : 0));
        ++m_bits;
    } else if (m_phase == Phase::AckIn) {
        m_masterAck = !sda;
    }
}

void SimulatedEeprom::fallingEdge() {
    switch (m_phase) {
    case Phase::Idle:
        break;
    case Phase::Receive:
        if (m_bits == 8) {
            if (byteReceived(m_shift)) {
                m_pullSda = true;
                m_phase = Phase::AckOut;
            } else {
                m_phase = Phase::Idle;
            }
        }
        break;
    case Phase::AckOut:
        m_pullSda = false;
        if (m_reading) {
            sendNextByte();
        } else {
            m_phase = Phase::Receive;
            m_bits = 0;
            m_shift = 0;
        }
        break;
    case Phase::Send:
        if (m_bits < 8) {
            m_pullSda = !getBit(m_shift, static_cast<unsigned>(7 - m_bits));
            ++m_bits;
        } else {
            m_pullSda = false;
            m_phase = Phase::AckIn;
        }
        break;
    case Phase::AckIn:
        if (m_masterAck) {
            sendNextByte();
        } else {
            m_phase = Phase::Idle;
            m_pullSda = false;
        }
        break;
    }
}

// Counts down the bytes left before the device goes; false once it is gone.
bool SimulatedEeprom::accept() {
    if (answersLeft == 0) {
        present = false;
        m_pullSda = false;
        m_phase = Phase::Idle;
        return false;
    }
    if (answersLeft > 0)
        --answersLeft;
    return true;
}

bool SimulatedEeprom::byteReceived(Byte value) {
    switch (m_expect) {
    case Expect::DeviceAddress: {
        if (m_kind == EepromKind::EDdc && value == kSegmentPointerAddress) {
            m_expect = Expect::Segment;
            return accept();
        }
        const Byte mask = blockSelectMask(m_kind);
        if ((value & 0xFE & ~mask) != (deviceAddress & ~mask) ||
            m_clock.nowMicroseconds() < m_busyUntil)
            return false;
        if (!accept())
            return false;
        m_block = (value & mask) >> 1;
        m_reading = (value & 1) != 0;
        if (!m_reading)
            m_expect = Expect::WordAddress;
        else if (mask != 0)
            m_address = (m_block * 256 + (m_address & 0xFF)) % m_memory.size();
        return true;
    }
    case Expect::Segment:
        m_segment = value;
        // A repeated start and the device address follow.
        m_expect = Expect::DeviceAddress;
        return accept();
    case Expect::WordAddress: {
        if (!accept())
            return false;
        const std::size_t word = m_kind == EepromKind::C01 ? (value & 0x7F) : value;
        const std::size_t chunk = m_kind == EepromKind::EDdc ? m_segment : m_block;
        m_address = (chunk * 256 + word) % m_memory.size();
        m_pageStart = m_address;
        m_pageData.clear();
        m_expect = Expect::Data;
        return true;
    }
    case Expect::Data:
        if (!accept())
            return false;
        m_pageData.push_back(value);
        return true;
    }
    return false;
}

// The byte at the address counter, which moves on (rolling over as the
// kind does).
Byte SimulatedEeprom::nextByte() {
    const Byte value = m_memory[m_address % m_memory.size()];
    m_address = following(m_address);
    return value;
}

// Puts out bit 7 of the next byte.
void SimulatedEeprom::sendNextByte() {
    m_shift = nextByte();
    m_phase = Phase::Send;
    m_pullSda = !getBit(m_shift, 7);
    m_bits = 1;
}

int SimulatedI2cBus::attachMaster() {
    m_masters.push_back({});
    return static_cast<int>(m_masters.size()) - 1;
}

void SimulatedI2cBus::drive(int master, bool sda, bool scl) {
    Drive& d = m_masters[static_cast<std::size_t>(master)];
    if (d.scl && !scl) {
        d.scl = false;
        update();
    }
    if (d.sda != sda) {
        d.sda = sda;
        update();
    }
    if (d.scl != scl) {
        d.scl = scl;
        update();
    }
}

bool SimulatedI2cBus::sda() const {
    if (m_sdaStuck || m_slave.pullsSdaLow())
        return false;
    for (const Drive& d : m_masters)
        if (!d.sda)
            return false;
    return true;
}

bool SimulatedI2cBus::scl() const {
    if (m_sclStuck)
        return false;
    for (const Drive& d : m_masters)
        if (!d.scl)
            return false;
    return true;
}

void SimulatedI2cBus::setStuck(bool sdaLow, bool sclLow) {
    m_sdaStuck = sdaLow;
    m_sclStuck = sclLow;
    update();
}

void SimulatedI2cBus::update() {
    m_slave.onLines(scl(), sda());
}

} // namespace pellam
