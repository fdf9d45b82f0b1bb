#include "core/ddc/mpsse_transport.h"

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
    m_clockKHz = kHz;
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

void MpsseTransport::QueueByteOut(Byte value) {
    append({mpsse::kBytesOutFalling, 0x00, 0x00, value});
    SDA(true);
    append({mpsse::kBitsInRising, 0x00});
}

bool MpsseTransport::SendAndCollect(std::span<Byte> answers, std::size_t clockedBits) {
    // Whatever an earlier sequence left behind would be taken for these
    // answers.
    Drain();
    append({mpsse::kSendImmediate});
    Flush();
    const std::uint64_t limit = kAnswerSlackUs + clockedBits * 1000 / m_clockKHz;
    const std::uint64_t start = m_clock.nowMicroseconds();
    std::size_t got = 0;
    while (got < answers.size()) {
        std::size_t queued = 0;
        m_status = m_device.receiveQueue(queued);
        if (m_status == 0 && queued > 0) {
            std::size_t read = 0;
            m_status =
                m_device.read(answers.subspan(got, std::min(queued, answers.size() - got)), read);
            got += read;
            if (read > 0)
                continue;
        }
        if (m_status != 0 || m_clock.nowMicroseconds() - start >= limit) {
            std::fill(answers.begin() + static_cast<std::ptrdiff_t>(got), answers.end(),
                      Byte{0xFF});
            return false;
        }
        m_clock.waitMicroseconds(kAnswerPollUs);
    }
    return true;
}

namespace {

// The acknowledge bit arrives as bit 0 of its answer; 0 is an acknowledge.
bool allAcknowledged(std::span<const Byte> ackBits) {
    return std::all_of(ackBits.begin(), ackBits.end(), [](Byte b) { return (b & 0x01) == 0; });
}

// A byte and its acknowledge slot; a start or stop counted as one clock.
constexpr std::size_t kBitsPerByte = 9;

} // namespace

bool MpsseTransport::WritePage(Byte address, std::span<const Byte> bytes) {
    // A page and its addresses: well within what the adapter holds.
    Start();
    QueueByteOut(m_deviceAddress);
    QueueByteOut(address);
    for (Byte b : bytes)
        QueueByteOut(b);
    Stop();
    std::vector<Byte> acks(2 + bytes.size());
    const bool arrived = SendAndCollect(acks, acks.size() * kBitsPerByte + 2);
    return arrived && allAcknowledged(acks);
}

bool MpsseTransport::PollAck() {
    Start();
    QueueByteOut(static_cast<Byte>(m_deviceAddress | 1));
    ReadByte(false);
    Stop();
    std::array<Byte, 2> answers{};
    const bool arrived = SendAndCollect(answers, 2 * kBitsPerByte + 2);
    return arrived && (answers[0] & 0x01) == 0;
}

bool MpsseTransport::ReadSequential(Byte address, std::span<Byte> destination) {
    if (destination.empty())
        return true;
    Start();
    QueueByteOut(m_deviceAddress);
    QueueByteOut(address);
    Start();
    QueueByteOut(static_cast<Byte>(m_deviceAddress | 1));
    std::array<Byte, 3> acks{};
    if (!SendAndCollect(acks, acks.size() * kBitsPerByte + 2) || !allAcknowledged(acks)) {
        Stop();
        append({mpsse::kSendImmediate});
        Flush();
        std::fill(destination.begin(), destination.end(), Byte{0xFF});
        return false;
    }
    // The bytes in parts, each collected before the next is sent: the
    // adapter holds only so many answers for the host (128 bytes on the
    // full-speed chip) and stops clocking when they are not taken. The
    // transaction goes on across the parts; the bus just waits between them.
    bool arrived = true;
    for (std::size_t first = 0; first < destination.size(); first += kAnswersPerExchange) {
        const std::size_t count = std::min(kAnswersPerExchange, destination.size() - first);
        for (std::size_t j = first; j < first + count; ++j)
            ReadByte(j + 1 < destination.size());
        if (first + count == destination.size())
            Stop();
        arrived &= SendAndCollect(destination.subspan(first, count), count * kBitsPerByte + 1);
    }
    return arrived;
}

std::string usbOpenErrorMessage(const MpsseTransport& transport) {
    std::string message = std::string("'") + kUsbAdapterDescription + "' DEVICE OPEN ERROR!";
    const std::string detail = transport.openErrorDetail();
    if (!detail.empty())
        message += "\n" + detail;
    return message;
}

} // namespace pellam
