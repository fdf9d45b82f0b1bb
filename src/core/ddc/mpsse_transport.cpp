#include "core/ddc/mpsse_transport.h"

#include <algorithm>
#include <cstdio>

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

bool MpsseTransport::StartAt() {
    Start();
    if (!m_segment)
        return true;
    bool acknowledged = WriteByte(kSegmentPointerAddress);
    acknowledged &= WriteByte(*m_segment);
    Start();
    return acknowledged;
}

void MpsseTransport::QueueStartAt() {
    Start();
    if (!m_segment)
        return;
    QueueByteOut(kSegmentPointerAddress);
    QueueByteOut(*m_segment);
    Start();
}

void MpsseTransport::adapterFailed(int status, const char* call) {
    if (m_lost)
        return;
    m_lost = true;
    m_status = status != 0 ? status : -1;
    char text[256];
    std::snprintf(text, sizeof text,
                  "The USB adapter '%s' stopped answering (its %s failed with status %d): it "
                  "was unplugged or its USB connection failed.",
                  kUsbAdapterDescription, call, m_status);
    m_problem = text;
}

// A write the adapter did not take in full means the commands never reached
// the bus: the adapter is lost, not the sink.
void MpsseTransport::Flush() {
    if (m_lost) {
        m_commands.clear();
        return;
    }
    std::size_t written = 0;
    const int status = m_device.write(m_commands, written);
    if (status != 0 || written != m_commands.size())
        adapterFailed(status, "write");
    m_commands.clear();
}

// Reads whatever the adapter has sent back. m_bytesRead counts this drain's
// bytes only, so a drain that finds nothing copies nothing.
void MpsseTransport::Drain() {
    m_bytesRead = 0;
    if (m_lost)
        return;
    m_status = m_device.receiveQueue(m_receiveQueue);
    if (m_status != 0) {
        adapterFailed(m_status, "read");
        return;
    }
    if (m_receiveQueue == 0)
        return;
    const std::size_t wanted = std::min(m_receiveQueue, m_received.size());
    const int read = m_device.read(std::span<Byte>(m_received.data(), wanted), m_bytesRead);
    if (read != 0) {
        adapterFailed(read, "read");
        return;
    }
    m_status = m_device.receiveQueue(m_receiveQueue);
}

// The acknowledge bit arrives as bit 0 of one byte; 0 is an acknowledge.
bool MpsseTransport::AckRead() {
    append({mpsse::kBitsInRising, 0x00, mpsse::kSendImmediate});
    Flush();
    m_clock.waitMicroseconds(kAckWaitUs);
    Drain();
    return !m_lost && m_bytesRead > 0 && (m_received[m_bytesRead - 1] & 0x01) == 0;
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

void MpsseTransport::Open(const std::string& serial) {
    m_commands.clear();
    m_lost = false;
    m_shortRead = false;
    m_lineFault = false;
    m_problem.clear();
    m_segment.reset();
    m_gpioDirection = kGpioDirection;
    m_status = m_device.open(serial);
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
    m_shortRead = false;
    bool acknowledged = StartAt();
    acknowledged &= WriteByte(m_deviceAddress);
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
    // Bytes still on their way get one more wait; bytes that never come
    // fail the read rather than leave stale ones in the destination.
    const std::uint64_t start = m_clock.nowMicroseconds();
    while (copied < count && !m_lost && m_clock.nowMicroseconds() - start < kAnswerSlackUs) {
        m_clock.waitMicroseconds(kAnswerPollUs);
        Drain();
        const std::size_t take = std::min(count - copied, m_bytesRead);
        std::copy_n(m_received.begin(), take, destination.begin() + copied);
        copied += take;
    }
    if (m_lost)
        return false;
    if (copied < count) {
        m_shortRead = true;
        m_problem = "The USB adapter '" + std::string(kUsbAdapterDescription) + "' delivered " +
                    std::to_string(copied) + " of the " + std::to_string(count) +
                    " bytes read: the read is incomplete.";
        return false;
    }
    return acknowledged;
}

bool MpsseTransport::Write(std::span<const Byte> address, std::span<const Byte> source) {
    bool acknowledged = StartAt();
    acknowledged &= WriteByte(m_deviceAddress);
    for (Byte b : address)
        acknowledged &= WriteByte(b);
    for (Byte b : source)
        acknowledged &= WriteByte(b);
    Stop();
    append({mpsse::kSendImmediate});
    Flush();
    return acknowledged && !m_lost;
}

bool MpsseTransport::CheckLines() {
    m_lineFault = false;
    append({mpsse::kReadLowBits});
    std::array<Byte, 1> pins{};
    if (!SendAndCollect(pins, 0)) {
        if (!m_lost)
            m_problem = "The USB adapter '" + std::string(kUsbAdapterDescription) +
                        "' did not report its pins.";
        return false;
    }
    const bool scl = getBit(pins[0], 0);
    const bool sda = getBit(pins[0], 2);
    if (scl && sda)
        return true;
    m_lineFault = true;
    const std::string lines = !scl && !sda ? "SDA and SCL read" : !scl ? "SCL reads" : "SDA reads";
    m_problem = lines + " low on the USB adapter before a start although it released them: a "
                        "stuck line, or a sink holding the bus. Nothing was sent.";
    return false;
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
        if (m_lost) {
            std::fill(answers.begin() + static_cast<std::ptrdiff_t>(got), answers.end(),
                      Byte{0xFF});
            return false;
        }
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
        if (m_status != 0)
            adapterFailed(m_status, "read");
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
    QueueStartAt();
    QueueByteOut(m_deviceAddress);
    QueueByteOut(address);
    for (Byte b : bytes)
        QueueByteOut(b);
    Stop();
    std::vector<Byte> acks((m_segment ? 4 : 2) + bytes.size());
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
    QueueStartAt();
    QueueByteOut(m_deviceAddress);
    QueueByteOut(address);
    Start();
    QueueByteOut(static_cast<Byte>(m_deviceAddress | 1));
    std::array<Byte, 5> ackSlots{};
    const std::span<Byte> acks = std::span(ackSlots).first(m_segment ? 5 : 3);
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

UsbAdapterChoice chooseUsbAdapter(const std::vector<std::string>& serials,
                                  const std::string& wanted) {
    UsbAdapterChoice choice;
    const std::string name = std::string("USB adapter '") + kUsbAdapterDescription + "'";
    std::string present;
    for (const std::string& serial : serials)
        present += (present.empty() ? "" : ", ") + (serial.empty() ? "(no serial)" : serial);
    if (serials.empty()) {
        choice.problem = "No " + name + " is connected.";
        return choice;
    }
    if (!wanted.empty()) {
        for (std::size_t i = 0; i < serials.size(); ++i)
            if (serials[i] == wanted)
                choice.index = static_cast<int>(i);
        if (choice.index < 0)
            choice.problem = "No " + name + " with serial number " + wanted +
                             " is connected; connected: " + present + ".";
        return choice;
    }
    if (serials.size() > 1) {
        choice.problem = std::to_string(serials.size()) + " adapters '" +
                         kUsbAdapterDescription + "' are connected (serial numbers " + present +
                         "): choose one by its serial number in the I2C settings (pellam-cli: "
                         "--usb-serial).";
        return choice;
    }
    choice.index = 0;
    return choice;
}

std::string usbOpenErrorMessage(const MpsseTransport& transport) {
    std::string message = std::string("'") + kUsbAdapterDescription + "' DEVICE OPEN ERROR!";
    const std::string detail = transport.openErrorDetail();
    if (!detail.empty())
        message += "\n" + detail;
    return message;
}

} // namespace pellam
