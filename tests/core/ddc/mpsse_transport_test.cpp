#include "core/ddc/mpsse_transport.h"
#include "core/ddc/ddc_test_support.h"

#include <functional>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

using Bytes = std::vector<Byte>;

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// One 0x80 command per line change; the GPIO value starts at 0 and only the
// I2C commands change bits 0 (SCL) and 1 (SDA).
Bytes gpio(std::initializer_list<Byte> values) {
    Bytes bytes;
    for (Byte v : values)
        bytes.insert(bytes.end(), {0x80, v, 0xFB});
    return bytes;
}
const Bytes kStart = gpio({0x02, 0x03, 0x03, 0x03, 0x01, 0x00});
const Bytes kStop = gpio({0x00, 0x01, 0x03});
const Bytes kAckRead = {0x22, 0x00, 0x87};
Bytes writeByte(Byte b) {
    return concat({{0x11, 0x00, 0x00, b}, kAckRead});
}

class MpsseTransportTest : public ::testing::Test {
protected:
    SimulatedHardware hw;
    MpsseTransport usb{hw.ft2232, hw.simulatedClock};
};

TEST_F(MpsseTransportTest, SetClockSendsTheDivisorForSixMegahertzOverKPlusOne) {
    struct Case {
        std::uint32_t kHz;
        Bytes sent; // empty: refused
    };
    const Case cases[] = {
        {100, {0x85, 0x86, 0x3B, 0x00}},
        {96, {0x85, 0x86, 0x3D, 0x00}},
        {6000, {0x85, 0x86, 0x00, 0x00}},
        {1, {0x85, 0x86, 0x6F, 0x17}},
        {0, {}},
        {6001, {}},
    };
    usb.Open();
    for (const Case& c : cases) {
        hw.ft2232.writes.clear();
        EXPECT_EQ(usb.SetClock(c.kHz), !c.sent.empty()) << c.kHz;
        const std::vector<Bytes> expected =
            c.sent.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{c.sent};
        EXPECT_EQ(hw.ft2232.writes, expected) << c.kHz << " kHz";
    }
}

TEST_F(MpsseTransportTest, OpenSetsUpTheAdapterInOrderAndCloseEnds) {
    usb.Open();
    usb.Close();
    const std::vector<std::string> calls = {"open",          "latency 16", "bitmode 00 00",
                                            "bitmode 00 02", "write 2",    "queue 1",
                                            "read 1",        "queue 0",    "close"};
    EXPECT_EQ(hw.ft2232.calls, calls);
    EXPECT_EQ(hw.ft2232.writes, (std::vector<Bytes>{{0x81, 0x87}}));
    EXPECT_EQ(usb.status(), 0);
    EXPECT_FALSE(usb.isOpen());
}

TEST_F(MpsseTransportTest, OpenFailureStopsAfterTheOpenCallAndSaysWhy) {
    hw.ft2232.connected = false;
    usb.Open();
    EXPECT_NE(usb.status(), 0);
    EXPECT_EQ(hw.ft2232.calls, std::vector<std::string>{"open"});
    const std::string message = usbOpenErrorMessage(usb);
    EXPECT_EQ(message.substr(0, message.find('\n')), "'Korvo USB Debug Tool A' DEVICE OPEN ERROR!");
    EXPECT_NE(message.find("is connected"), std::string::npos) << message;
}

TEST_F(MpsseTransportTest, ReadOf128BytesSendsTheExactCommandStream) {
    usb.Open();
    hw.ft2232.writes.clear();
    std::array<Byte, 128> data{};
    const Byte address[] = {0x00};
    usb.Read(address, data);

    std::vector<Bytes> expected = {
        concat({kStart, writeByte(0xA0)}),
        writeByte(0x00),
        concat({kStart, writeByte(0xA1)}),
    };
    const Bytes readWithAck =
        concat({{0x20, 0x00, 0x00, 0x13, 0x00, 0x00}, gpio({0x00, 0x02}), {0x87}});
    const Bytes lastRead = concat({{0x20, 0x00, 0x00, 0x13, 0x00, 0xFF}, gpio({0x02}), {0x87}});
    for (int j = 0; j < 127; ++j)
        expected.push_back(readWithAck);
    expected.push_back(lastRead);
    expected.push_back(concat({kStop, {0x87}}));
    EXPECT_EQ(hw.ft2232.writes, expected);
}

// The fast write's sequences: every byte the master sends is followed by
// SDA released (0x80 with bit 1 set) before its acknowledge slot, nothing
// waits between bytes, and each write ends with a send-immediate.
Bytes byteOut(Byte b) {
    return concat({{0x11, 0x00, 0x00, b}, gpio({0x02}), {0x22, 0x00}});
}

TEST(MpsseFastSequences, TheExactCommandsInTheirWrites) {
    const Bytes readWithAck = concat({{0x20, 0x00, 0x00, 0x13, 0x00, 0x00}, gpio({0x00, 0x02})});
    const Bytes lastRead = concat({{0x20, 0x00, 0x00, 0x13, 0x00, 0xFF}, gpio({0x02})});
    Bytes pageBytes = concat({kStart, byteOut(0xA0), byteOut(0x10)});
    for (Byte b = 1; b <= 8; ++b)
        pageBytes = concat({pageBytes, byteOut(b)});
    struct Case {
        const char* name;
        std::function<bool(MpsseTransport&)> run;
        std::vector<Bytes> sent;
    };
    const std::array<Byte, 8> page = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    std::array<Byte, 3> three{};
    const Case cases[] = {
        {"page write at 10h",
         [&](MpsseTransport& usb) { return usb.WritePage(0x10, page); },
         {concat({pageBytes, kStop, {0x87}})}},
        // The read address, whose slot shows a busy EEPROM, then one byte
        // without acknowledge, so the transaction ends cleanly.
        {"acknowledge poll",
         [](MpsseTransport& usb) { return usb.PollAck(); },
         {concat({kStart, byteOut(0xA1), lastRead, kStop, {0x87}})}},
        // The addresses, then the bytes once they were acknowledged.
        {"sequential read of 3 at 20h",
         [&](MpsseTransport& usb) { return usb.ReadSequential(0x20, three); },
         {concat({kStart, byteOut(0xA0), byteOut(0x20), kStart, byteOut(0xA1), {0x87}}),
          concat({readWithAck, readWithAck, lastRead, kStop, {0x87}})}},
    };
    for (const Case& c : cases) {
        SimulatedHardware hw;
        hw.eeprom.memory()[0x21] = 0x5A;
        MpsseTransport usb{hw.ft2232, hw.simulatedClock};
        usb.Open();
        hw.ft2232.writes.clear();
        EXPECT_TRUE(c.run(usb)) << c.name;
        EXPECT_EQ(hw.ft2232.writes, c.sent) << c.name;
    }
    EXPECT_EQ(three, (std::array<Byte, 3>{0xFF, 0x5A, 0xFF}));
}

TEST(MpsseFastSequences, AnswersAreAwaitedOnlyAsLongAsTheyTake) {
    SimulatedHardware hw;
    MpsseTransport usb{hw.ft2232, hw.simulatedClock};
    usb.Open();
    usb.SetClock(100);
    hw.ft2232.writes.clear();
    std::array<Byte, 256> all{};
    const std::uint64_t before = hw.simulatedClock.nowMicroseconds();
    ASSERT_TRUE(usb.ReadSequential(0x00, all));
    // At 100 kHz each of the 259 bytes takes about ten clocks of 10 us; no
    // 2 ms wait per byte as the block read has.
    const std::uint64_t took = hw.simulatedClock.nowMicroseconds() - before;
    EXPECT_GT(took, 259 * 9 * 10u);
    EXPECT_LT(took, 259 * 11 * 10u);
    // The answers are taken in parts the adapter can hold.
    EXPECT_EQ(hw.ft2232.writes.size(), 1 + 256 / MpsseTransport::kAnswersPerExchange);

    // Answers that never come end the wait at its limit, the missing bytes FFh.
    hw.ft2232.delayAnswersOfWrite(2);
    std::array<Byte, 2> two = {0x11, 0x22};
    EXPECT_FALSE(usb.ReadSequential(0x00, two));
    EXPECT_EQ(two, (std::array<Byte, 2>{0xFF, 0xFF}));
}

TEST(MpsseTransport, LateAnswersNeverRunPastTheDestination) {
    struct Case {
        const char* late;
        int delayedWrite; // counted from the first write of the read
        std::array<Byte, 4> expected;
    };
    // When the read address's acknowledge comes late, the drains run one
    // byte behind and the first data drain brings two bytes. When a data
    // byte comes late, that drain brings nothing and the next one two.
    const Case cases[] = {
        {"read address acknowledge", 3, {0x00, 0x10, 0x11, 0x12}},
        {"first data byte", 4, {0x10, 0x11, 0x12, 0x13}},
    };
    for (const Case& c : cases) {
        SimulatedHardware hw;
        MpsseTransport usb{hw.ft2232, hw.simulatedClock};
        for (Byte i = 0; i < 8; ++i)
            hw.eeprom.memory()[i] = static_cast<Byte>(0x10 + i);
        usb.Open();
        hw.ft2232.delayAnswersOfWrite(c.delayedWrite);
        std::array<Byte, 8> buffer;
        buffer.fill(0x5A);
        const Byte address[] = {0x00};
        usb.Read(address, std::span<Byte>(buffer).subspan(2, 4));
        const std::array<Byte, 8> expected = {
            0x5A, 0x5A, c.expected[0], c.expected[1], c.expected[2], c.expected[3], 0x5A, 0x5A};
        EXPECT_EQ(buffer, expected) << c.late;
    }
}

} // namespace
} // namespace pellam::test
