#include "ddc/mpsse_transport.h"

#include <algorithm>

namespace pellam {

void MpsseTransport::append(std::initializer_list<Byte> bytes) {
    m_commands.insert(m_commands.end(), bytes);
}

void MpsseTransport::SCL(bool level) {
    m_gpioValue = setBit(m_gpioValue, 0, level);
    append({mpsse::kSetLowBits, m_gpioValue, m_gpioDirection});
}

void MpsseTransport::SDA(bool level) {
    m_gpioValue = setBit(m_gpioValue, 1, level);
    append({mpsse::kSetLowBits, m_gpioValue, m_gpioDirection});
}

void MpsseTransport::Start() {
    SDA(true);
    SCL(true);
    SDA(true);
    SCL(true);
    SDA(false);
    SCL(false);
}

void MpsseTransport::Stop() {
    SDA(false);
    SCL(true);
    SDA(true);
}

void MpsseTransport::Flush() {
    std::size_t written = 0;
    m_device.write(m_commands, written);
    m_commands.clear();
}

// Reads whatever the adapter has sent back. m_bytesRead counts this drain's
// bytes only, so a drain that finds nothing copies nothing.
void MpsseTransport::Drain() {
    m_bytesRead = 0;
    m_status = m_device.receiveQueue(m_receiveQueue);
    if (m_receiveQueue == 0)
        return;
    const std::size_t wanted = std::min(m_receiveQueue, m_received.size());
    m_device.read(std::span<Byte>(m_received.data(), wanted), m_bytesRead);
    m_status = m_device.receiveQueue(m_receiveQueue);
}

// The acknowledge bit arrives as bit 0 of one byte; 0 is an acknowledge.
bool MpsseTransport::AckRead() {
    append({mpsse::kBitsInRising, 0x00, mpsse::kSendImmediate});
    Flush();
    m_clock.waitMicroseconds(kAckWaitUs);
    Drain();
    return m_bytesRead > 0 && (m_received[m_bytesRead - 1] & 0x01) == 0;
}

bool MpsseTransport::WriteByte(Byte value) {
    append({mpsse::kBytesOutFalling, 0x00, 0x00, value});
    return AckRead();
}

void MpsseTransport::ReadByte(bool ack) {
    append({mpsse::kBytesInRising, 0x00, 0x00});
    if (ack) {
        append({mpsse::kBitsOutFalling, 0x00, 0x00});
        SDA(false);
        SDA(true);
    } else {
        append({mpsse::kBitsOutFalling, 0x00, 0xFF});
        SDA(true);
    }
}

void MpsseTransport::Open() {
    m_commands.clear();
    m_gpioDirection = kGpioDirection;
    m_status = m_device.open();
    if (m_status != 0)
        return;
    m_open = true;
    m_status = m_device.setLatencyTimer(kLatencyTimerMs);
    m_status = m_device.setBitMode(0x00, 0x00);
    m_status = m_device.setBitMode(0x00, 0x02);
    append({mpsse::kReadLowBits, mpsse::kSendImmediate});
    Flush();
    m_clock.waitMicroseconds(kOpenWaitUs);
    Drain();
    if (m_receiveQueue > 0) {
        const std::size_t wanted = std::min(m_receiveQueue, m_received.size());
        std::size_t got = 0;
        m_device.read(std::span<Byte>(m_received.data(), wanted), got);
        if (got > 0)
            m_gpioValue = m_received[0];
    }
}

void MpsseTransport::Close() {
    m_status = m_device.close();
    m_open = false;
}

bool MpsseTransport::SetClock(std::uint32_t kHz) {
    if (kHz < 1 || kHz > 6000)
        return false;
    const std::uint16_t divisor = mpsseClockDivisor(kHz);
    append({mpsse::kLoopbackOff, mpsse::kSetDivisor, static_cast<Byte>(divisor & 0xFF),
            static_cast<Byte>(divisor >> 8)});
    Flush();
    return true;
}

bool MpsseTransport::Read(std::span<const Byte> address, std::span<Byte> destination) {
    Start();
    bool acknowledged = WriteByte(m_deviceAddress);
    for (Byte b : address)
        acknowledged &= WriteByte(b);
    Start();
    acknowledged &= WriteByte(static_cast<Byte>(m_deviceAddress | 1));
    std::size_t copied = 0;
    const std::size_t count = destination.size();
    for (std::size_t j = 0; j < count; ++j) {
        ReadByte(j + 1 < count);
        append({mpsse::kSendImmediate});
        Flush();
        m_clock.waitMicroseconds(kAckWaitUs);
        Drain();
        // A late drain may bring more bytes than are missing; never more
        // than the destination holds.
        const std::size_t take = std::min(count - copied, m_bytesRead);
        std::copy_n(m_received.begin(), take, destination.begin() + copied);
        copied += take;
    }
    Stop();
    append({mpsse::kSendImmediate});
    Flush();
    return acknowledged;
}

bool MpsseTransport::Write(std::span<const Byte> address, std::span<const Byte> source) {
    Start();
    bool acknowledged = WriteByte(m_deviceAddress);
    for (Byte b : address)
        acknowledged &= WriteByte(b);
    for (Byte b : source)
        acknowledged &= WriteByte(b);
    Stop();
    append({mpsse::kSendImmediate});
    Flush();
    return acknowledged;
}

std::string usbOpenErrorMessage(const MpsseTransport& transport) {
    std::string message = std::string("'") + kUsbAdapterDescription + "' DEVICE OPEN ERROR!";
    const std::string detail = transport.openErrorDetail();
    if (!detail.empty())
        message += "\n" + detail;
    return message;
}

} // namespace pellam
