#include "ddc/mpsse_transport.h"
#include "ddc_test_support.h"

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
