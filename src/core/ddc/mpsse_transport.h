// The I2C bus master on the USB adapter: every bus action is an MPSSE command
// appended to a buffer that goes to the adapter in one write; every byte the
// master writes is followed by an acknowledge read that sends the buffer and
// waits 2 ms. The adapter is opened for each transfer and closed after it.
#pragma once

#include "core/ddc/ddc_clock.h"
#include "core/ddc/eeprom_kind.h"
#include "core/ddc/ftdi_device.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pellam {

// MPSSE commands (the FTDI MPSSE command set).
namespace mpsse {
inline constexpr Byte kSetLowBits = 0x80;      // value, direction
inline constexpr Byte kReadLowBits = 0x81;     //
inline constexpr Byte kLoopbackOff = 0x85;     //
inline constexpr Byte kSetDivisor = 0x86;      // low, high
inline constexpr Byte kSendImmediate = 0x87;   //
inline constexpr Byte kBytesOutFalling = 0x11; // length low, high, bytes (MSB first)
inline constexpr Byte kBytesInRising = 0x20;   // length low, high (MSB first)
inline constexpr Byte kBitsInRising = 0x22;    // bit count - 1
inline constexpr Byte kBitsOutFalling = 0x13;  // bit count - 1, byte (from bit 7)
} // namespace mpsse

// The clock divisor for a bus clock in kHz (6 MHz / (divisor + 1)).
constexpr std::uint16_t mpsseClockDivisor(std::uint32_t kHz) {
    return static_cast<std::uint16_t>(6000 / kHz - 1);
}

class MpsseTransport {
public:
    // Low-byte pins: bit 0 SCL (clock out), bit 1 SDA driven (data out),
    // bit 2 SDA sensed (data in, an input), bit 3 an output left alone.
    static constexpr Byte kGpioDirection = 0xFB;
    static constexpr std::uint32_t kAckWaitUs = 2000;
    static constexpr std::uint32_t kOpenWaitUs = 6000;
    static constexpr Byte kLatencyTimerMs = 16;
    // The fast sequences look for their answers this often.
    static constexpr std::uint32_t kAnswerPollUs = 100;
    // What the answers of a fast sequence may take beyond its bus time: the
    // USB round trip, with the adapter's latency timer, many times over.
    static constexpr std::uint32_t kAnswerSlackUs = 50'000;
    // The most answers one exchange of a fast sequence asks for.
    static constexpr std::size_t kAnswersPerExchange = 64;

    MpsseTransport(FtdiDevice& device, DdcClock& clock)
        : m_device(device)
        , m_clock(clock) {}

    // Opens the adapter (the one with that serial number; empty: the only
    // one connected) and puts it into MPSSE mode; status() is 0 on success.
    // On failure openErrorDetail() says why.
    void Open(const std::string& serial = {});
    void Close();
    // Bus clock in kHz, 1..6000; anything else is refused (false, nothing sent).
    bool SetClock(std::uint32_t kHz);
    // Random read: the sub-address bytes, then count = destination.size()
    // bytes. Returns whether the sink acknowledged every slot that can tell
    // (the adapter keeps driving a byte's last bit through its acknowledge
    // clock, so only slots after a byte ending in 1, such as the read
    // address, show a missing sink). When fewer bytes than asked for came
    // back, even after a last wait of kAnswerSlackUs, the read fails
    // (shortRead(); the rest of the destination is left as it was).
    bool Read(std::span<const Byte> address, std::span<Byte> destination);
    // Write of the source bytes at the sub-address, in one transaction.
    bool Write(std::span<const Byte> address, std::span<const Byte> source);

    // The fast write's sequences. Their commands go to the adapter in few
    // writes, and the answers are collected as soon as they arrive (within
    // kAnswerSlackUs beyond the bus time) instead of after a fixed wait per
    // byte. Before each
    // acknowledge slot of a byte the master sent, SDA is released, so the
    // slot shows the sink's answer whatever the byte's last bit was.
    //
    // Page write: the bytes (at most one 8-byte page) at a one-byte
    // sub-address. true when every byte was acknowledged. The EEPROM's write
    // cycle follows; PollAck finds its end.
    bool WritePage(Byte address, std::span<const Byte> bytes);
    // One acknowledge poll: a start, the read address (device address | 1),
    // one byte read without acknowledge, a stop. The read address is used
    // because it ends in 1, so its slot shows a busy EEPROM even on a
    // sequence without the release; the byte read completes the transaction
    // cleanly. true when the EEPROM answered (its write cycle is over).
    bool PollAck();
    // Sequential read of destination.size() bytes (1..256) from a one-byte
    // sub-address in one transaction, sent in exchanges of at most
    // kAnswersPerExchange answers. false when a slot was not acknowledged
    // (the transaction then ends at once and the destination reads FFh) or
    // the answers did not all arrive (missing bytes read FFh).
    bool ReadSequential(Byte address, std::span<Byte> destination);

    // Reads the pins in an exchange of its own: the lines the master has
    // released must read high before it starts a transaction. false: a line
    // reads low (lineFault()) or the adapter did not answer; problem() says
    // which.
    bool CheckLines();

    // 8-bit I2C write address; the caller sets it before each command.
    void setDeviceAddress(Byte address) { m_deviceAddress = address; }
    // E-DDC: the segment written to the segment pointer (60h) after each
    // transaction's start, followed by a repeated start; none: not written.
    // The caller sets it before each command.
    void setSegment(std::optional<Byte> segment) { m_segment = segment; }
    Byte deviceAddress() const { return m_deviceAddress; }
    // Result of the last library call that stores it; 0 = success.
    int status() const { return m_status; }
    bool isOpen() const { return m_open; }
    std::string openErrorDetail() const { return m_device.openErrorDetail(); }
    // The adapter refused a write or a read of its own (unplugged, or its
    // USB connection failed): every later command fails at once until the
    // next Open.
    bool adapterLost() const { return m_lost; }
    // The last read brought fewer bytes than it asked for.
    bool shortRead() const { return m_shortRead; }
    // A line read low in the last CheckLines.
    bool lineFault() const { return m_lineFault; }
    // What went wrong beyond a missing acknowledge, for the user; empty
    // when nothing did.
    const std::string& problem() const { return m_problem; }

private:
    void append(std::initializer_list<Byte> bytes);
    void SCL(bool level);
    void SDA(bool level);
    void Start();
    // The start of a transaction: for an E-DDC segment, the segment pointer
    // first and a repeated start. Returns false when a byte of the pointer
    // was not acknowledged.
    bool StartAt();
    void QueueStartAt();
    void Stop();
    void Flush();
    void adapterFailed(int status, const char* call);
    void Drain();
    bool AckRead();
    bool WriteByte(Byte value);
    void ReadByte(bool ack);
    // The fast sequences' byte out: the byte, SDA released, the acknowledge
    // bit clocked in (collected later).
    void QueueByteOut(Byte value);
    // Sends the queued commands with a send-immediate and collects the
    // answers the sequence produces. false when not all arrived in time
    // (the rest read FFh).
    bool SendAndCollect(std::span<Byte> answers, std::size_t clockedBits);

    FtdiDevice& m_device;
    DdcClock& m_clock;
    int m_status = 0;
    Byte m_gpioDirection = 0;
    Byte m_deviceAddress = 0xA0;
    std::uint32_t m_clockKHz = 96;
    Byte m_gpioValue = 0;
    std::vector<Byte> m_commands;
    std::array<Byte, 256> m_received{};
    std::size_t m_bytesRead = 0;
    std::size_t m_receiveQueue = 0;
    bool m_open = false;
    std::optional<Byte> m_segment;
    bool m_lost = false;
    bool m_shortRead = false;
    bool m_lineFault = false;
    std::string m_problem;
};

// The message for a failed open: the adapter's open error and, when known,
// the reason on a second line.
std::string usbOpenErrorMessage(const MpsseTransport& transport);

} // namespace pellam
