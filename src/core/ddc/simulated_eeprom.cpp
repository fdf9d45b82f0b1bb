#include "core/ddc/simulated_eeprom.h"

namespace pellam {

void SimulatedEeprom::onLines(bool scl, bool sda) {
    const bool wasScl = m_scl;
    const bool wasSda = m_sda;
    m_scl = scl;
    m_sda = sda;
    if (!present)
        return;
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
// the write cycle.
void SimulatedEeprom::beginTransaction() {
    m_expect = Expect::DeviceAddress;
    m_reading = false;
    m_pageData.clear();
}

void SimulatedEeprom::endTransaction() {
    if (!m_reading && m_expect == Expect::Data && !m_pageData.empty() && !writeProtected) {
        const Byte page = static_cast<Byte>(m_pageStart & ~(kPageSize - 1));
        for (std::size_t i = 0; i < m_pageData.size(); ++i)
            m_memory[page | ((m_pageStart + i) & (kPageSize - 1))] = m_pageData[i];
        m_address = static_cast<Byte>(page | ((m_pageStart + m_pageData.size()) & (kPageSize - 1)));
        m_busyUntil = m_clock.nowMicroseconds() + writeCycleUs;
        ++m_writeCycles;
    }
    m_pageData.clear();
    m_expect = Expect::DeviceAddress;
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

bool SimulatedEeprom::byteReceived(Byte value) {
    switch (m_expect) {
    case Expect::DeviceAddress:
        if ((value & 0xFE) != deviceAddress || m_clock.nowMicroseconds() < m_busyUntil)
            return false;
        m_reading = (value & 1) != 0;
        if (!m_reading)
            m_expect = Expect::WordAddress;
        return true;
    case Expect::WordAddress:
        m_address = value;
        m_pageStart = value;
        m_pageData.clear();
        m_expect = Expect::Data;
        return true;
    case Expect::Data:
        m_pageData.push_back(value);
        return true;
    }
    return false;
}

// The byte at the address counter, which moves on (rolling over at 256).
Byte SimulatedEeprom::nextByte() {
    const Byte value = m_memory[m_address];
    m_address = static_cast<Byte>(m_address + 1);
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
    if (m_slave.pullsSdaLow())
        return false;
    for (const Drive& d : m_masters)
        if (!d.sda)
            return false;
    return true;
}

bool SimulatedI2cBus::scl() const {
    for (const Drive& d : m_masters)
        if (!d.scl)
            return false;
    return true;
}

void SimulatedI2cBus::update() {
    m_slave.onLines(scl(), sda());
}

} // namespace pellam
