#include "core/ddc/port_transport.h"

#include "core/edid/debug_log.h"

namespace pellam {

void PortTransport::open(PortOpener& opener, const NoticeSink& notify) {
    close();
    const std::int32_t type = m_settings.portType;
    m_openedType = type;
    m_problem.clear();
    const std::string name(portName(type));
    if (isParallelPort(type)) {
        LineOpenResult result = opener.openParallel(type, m_settings.baseAddress);
        if (!result.driver && result.refused) {
            const std::string text = "Cannot load driver!\n" + result.reason;
            notify({UserNotice::Icon::None, {}, text});
            m_problem = name + " cannot be used: " + result.reason;
        } else if (!result.driver) {
            m_problem = "There is no " + name + " port on this computer (" + result.reason + ").";
        }
        m_lines = std::move(result.driver);
        debugLog("%s", portReportLine(m_settings.baseAddress).c_str());
    } else if (isSerialPort(type)) {
        LineOpenResult result = opener.openSerial(type);
        if (result.driver) {
            notify({UserNotice::Icon::Information, "Dialog", name + " Opened!!!"});
        } else {
            notify({UserNotice::Icon::Error, "Dialog", name + " Open fail!!!"});
            m_problem = name + " could not be opened: " + result.reason;
        }
        m_lines = std::move(result.driver);
    }
    if (m_lines)
        Release();
}

void PortTransport::close() {
    if (!m_lines)
        return;
    Release();
    m_lines.reset();
}

std::string PortTransport::transferProblem() const {
    const std::int32_t type = m_settings.portType;
    if (!isParallelPort(type) && !isSerialPort(type))
        return {};
    if (type != m_openedType)
        return std::string(portName(type)) +
               " is opened when Pellam starts: restart Pellam to use it.";
    return m_lines ? std::string() : m_problem;
}

void PortTransport::delayLoop() const {
    // Empty iterations that read the delay count again each time, so a
    // change of the setting takes effect at once and the loop is not
    // optimised away. 64-bit, so that the largest count still ends.
    const volatile std::uint32_t& count = m_settings.delayCount;
    for (std::uint64_t i = 0; i <= count; ++i) {
    }
}

void PortTransport::SDA(bool level) {
    if (m_lines)
        m_lines->setSda(level);
    delayLoop();
}

void PortTransport::SCL(bool level) {
    if (m_lines)
        m_lines->setScl(level);
    delayLoop();
}

bool PortTransport::SDAin() {
    const bool level = m_lines ? m_lines->sdaIn() : true;
    delayLoop();
    return level;
}

void PortTransport::Release() {
    SDA(true);
    SCL(true);
}

void PortTransport::Start() {
    SDA(true);
    SCL(true);
    SDA(false);
    SCL(false);
}

void PortTransport::Stop() {
    SDA(false);
    SCL(true);
    SDA(true);
}

// true: no acknowledge (the line stayed high).
bool PortTransport::GetAck() {
    SDA(true);
    SCL(true);
    const bool level = SDAin();
    SCL(false);
    return level;
}

// The master's acknowledge of a byte read; SDA is released afterwards for
// the next byte.
void PortTransport::Ack() {
    SDA(false);
    SCL(true);
    SCL(false);
    SDA(true);
}

void PortTransport::Nack() {
    SDA(true);
    SCL(true);
    SCL(false);
}

void PortTransport::sendByte(Byte value) {
    for (int bit = 7; bit >= 0; --bit) {
        SDA(getBit(value, static_cast<unsigned>(bit)));
        SCL(true);
        SCL(false);
    }
    delayLoop();
}

Byte PortTransport::receiveByte() {
    Byte value = 0;
    for (int bit = 7; bit >= 0; --bit) {
        SCL(true);
        value = setBit(value, static_cast<unsigned>(bit), SDAin());
        SCL(false);
    }
    return value;
}

bool PortTransport::waitForAck(const char* operation, int step, int first, int second) {
    int missing = 0;
    bool acknowledged = false;
    for (int i = 0; i < kAckTries && !acknowledged; ++i) {
        if (GetAck())
            ++missing;
        else
            acknowledged = true;
    }
    if (missing >= kAckTries - 1)
        debugLog("%s(%02X,%02X):GetAck(%d) Error!", operation, first, second, step);
    return acknowledged;
}

bool PortTransport::linesIdle() {
    m_lineFault = m_lines && !m_lines->sdaIn();
    if (m_lineFault)
        debugLog("%s: SDA reads low before a start", std::string(portName(m_openedType)).c_str());
    return !m_lineFault;
}

std::string PortTransport::lineProblem() const {
    return "SDA reads low on " + std::string(portName(m_openedType)) +
           " before a start although Pellam released it: a stuck line, or a sink or adapter "
           "holding the bus. Nothing was sent.";
}

PortByteRead PortTransport::ReadByte(int address) {
    return ReadByte(EepromLocation{slaveAddress(), std::nullopt, static_cast<Byte>(address)});
}

PortByteRead PortTransport::ReadByte(const EepromLocation& at) {
    PortByteRead result;
    const int address = at.offset;
    if (!linesIdle())
        return result;
    const Byte slave = static_cast<Byte>(at.slave & 0xFE);
    Start();
    bool acknowledged = true;
    if (at.segment) {
        sendByte(kSegmentPointerAddress);
        acknowledged &= waitForAck("ReadByte", 10, address, *at.segment);
        sendByte(*at.segment);
        acknowledged &= waitForAck("ReadByte", 11, address, *at.segment);
        Start();
    }
    sendByte(slave);
    acknowledged &= waitForAck("ReadByte", 0, address, 0);
    sendByte(static_cast<Byte>(address));
    acknowledged &= waitForAck("ReadByte", 1, address, 0);
    Start();
    sendByte(static_cast<Byte>(slave | 1));
    acknowledged &= waitForAck("ReadByte", 2, address, 0);
    result.value = receiveByte();
    Nack();
    Stop();
    m_clock.sleepMilliseconds(kTransactionSleepMs);
    result.acknowledged = acknowledged;
    return result;
}

bool PortTransport::WriteByte(int address, Byte value) {
    return WriteByte(EepromLocation{slaveAddress(), std::nullopt, static_cast<Byte>(address)},
                     value);
}

bool PortTransport::WriteByte(const EepromLocation& at, Byte value) {
    const int address = at.offset;
    if (!linesIdle())
        return false;
    Start();
    bool acknowledged = true;
    if (at.segment) {
        sendByte(kSegmentPointerAddress);
        acknowledged &= waitForAck("WriteByte", 10, address, value);
        sendByte(*at.segment);
        acknowledged &= waitForAck("WriteByte", 11, address, value);
        Start();
    }
    sendByte(static_cast<Byte>(at.slave & 0xFE));
    acknowledged &= waitForAck("WriteByte", 1, address, value);
    sendByte(static_cast<Byte>(address));
    acknowledged &= waitForAck("WriteByte", 2, address, value);
    sendByte(value);
    acknowledged &= waitForAck("WriteByte", 3, address, value);
    Stop();
    m_clock.sleepMilliseconds(kTransactionSleepMs);
    return acknowledged;
}

bool PortTransport::addressSink(bool reading) {
    return addressSink(slaveAddress(), reading);
}

bool PortTransport::addressSink(Byte slave, bool reading) {
    Start();
    sendByte(static_cast<Byte>((slave & 0xFE) | (reading ? 1 : 0)));
    return !GetAck();
}

bool PortTransport::addressLocation(const EepromLocation& at) {
    bool acknowledged = true;
    if (at.segment) {
        acknowledged = addressSink(kSegmentPointerAddress, false);
        if (acknowledged) {
            sendByte(*at.segment);
            acknowledged = !GetAck();
        }
    }
    if (acknowledged)
        acknowledged = addressSink(at.slave, false);
    if (acknowledged) {
        sendByte(at.offset);
        acknowledged = !GetAck();
    }
    return acknowledged;
}

bool PortTransport::WritePage(int address, std::span<const Byte> bytes) {
    return WritePage(EepromLocation{slaveAddress(), std::nullopt, static_cast<Byte>(address)},
                     bytes);
}

bool PortTransport::WritePage(const EepromLocation& at, std::span<const Byte> bytes) {
    if (!linesIdle())
        return false;
    bool acknowledged = addressLocation(at);
    for (std::size_t i = 0; acknowledged && i < bytes.size(); ++i) {
        sendByte(bytes[i]);
        acknowledged = !GetAck();
    }
    Stop();
    if (!acknowledged)
        debugLog("WritePage(%02X,%zu): no acknowledge", at.offset, bytes.size());
    return acknowledged;
}

bool PortTransport::PollAck() {
    if (!linesIdle())
        return false;
    const bool acknowledged = addressSink(false);
    Stop();
    return acknowledged;
}

bool PortTransport::ReadSequential(int address, std::span<Byte> destination) {
    return ReadSequential(EepromLocation{slaveAddress(), std::nullopt, static_cast<Byte>(address)},
                          destination);
}

bool PortTransport::ReadSequential(const EepromLocation& at, std::span<Byte> destination) {
    if (destination.empty())
        return true;
    if (!linesIdle())
        return false;
    bool acknowledged = addressLocation(at);
    if (acknowledged)
        acknowledged = addressSink(at.slave, true);
    if (!acknowledged) {
        Stop();
        debugLog("ReadSequential(%02X,%zu): no acknowledge", at.offset, destination.size());
        return false;
    }
    for (std::size_t i = 0; i < destination.size(); ++i) {
        destination[i] = receiveByte();
        if (i + 1 < destination.size())
            Ack();
        else
            Nack();
    }
    Stop();
    return true;
}

} // namespace pellam
