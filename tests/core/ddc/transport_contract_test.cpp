// One contract for every way the editor reaches a sink's EEPROM: the
// bit-banged master on a parallel port's registers and on a serial port's
// modem lines, the MPSSE master on the USB adapter, and the graphics card's
// DDC controller through i2c-dev, each against the simulated EEPROM: the
// byte transfers, and the fast write's page write, acknowledge poll and
// sequential read.
#include "core/ddc/ddc_test_support.h"
#include "support/fake_sysfs.h"

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

using Image = std::array<Byte, 256>;

// Single-byte transactions through the port transport, as the transfers on
// LPT and COM ports make them.
template <std::int32_t PortType>
struct PortBackend {
    static void setUp(DdcContext& ddc) {
        ddc.settings().portType = PortType;
        ddc.settings().delayCount = 0;
        ddc.openPort([](const UserNotice&) {});
        ASSERT_TRUE(ddc.port().hasLines());
    }
    static bool read(DdcContext& ddc, Image& image) {
        bool acknowledged = true;
        for (int a = 0; a < 256; ++a) {
            const PortByteRead r = ddc.port().ReadByte(a);
            image[static_cast<std::size_t>(a)] = r.value;
            acknowledged &= r.acknowledged;
        }
        return acknowledged;
    }
    static bool write(DdcContext& ddc, const Image& image) {
        bool acknowledged = true;
        for (int a = 0; a < 256; ++a)
            acknowledged &= ddc.port().WriteByte(a, image[static_cast<std::size_t>(a)]);
        return acknowledged;
    }
    static bool begin(DdcContext&) { return true; }
    static void end(DdcContext&) {}
    static bool writePage(DdcContext& ddc, Byte address, std::span<const Byte> bytes) {
        return ddc.port().WritePage(address, bytes);
    }
    static bool pollAck(DdcContext& ddc) { return ddc.port().PollAck(); }
    static bool readSequential(DdcContext& ddc, Image& image) {
        return ddc.port().ReadSequential(0, image);
    }
};

// The USB transfers: open, clock from the delay count, two 128-byte reads or
// 256 one-byte writes each followed by the EEPROM's write-cycle wait, close.
struct UsbBackend {
    static void setUp(DdcContext& ddc) {
        ddc.settings().portType = kPortUsb;
        ddc.settings().delayCount = kDefaultUsbDelayCount;
    }
    static bool open(DdcContext& ddc) {
        ddc.usb().setDeviceAddress(static_cast<Byte>(ddc.settings().slaveAddress));
        ddc.usb().Open();
        return ddc.usb().status() == 0 && ddc.usb().SetClock(usbClockKHz(ddc.settings()));
    }
    static bool read(DdcContext& ddc, Image& image) {
        EXPECT_TRUE(open(ddc));
        bool acknowledged = true;
        for (std::size_t start : {0u, 128u}) {
            const Byte address[] = {static_cast<Byte>(start)};
            acknowledged &= ddc.usb().Read(address, std::span<Byte>(image).subspan(start, 128));
        }
        ddc.usb().Close();
        return acknowledged;
    }
    static bool write(DdcContext& ddc, const Image& image) {
        EXPECT_TRUE(open(ddc));
        bool acknowledged = true;
        for (std::size_t a = 0; a < 256; ++a) {
            const Byte address[] = {static_cast<Byte>(a)};
            acknowledged &= ddc.usb().Write(address, std::span<const Byte>(&image[a], 1));
            ddc.clock().sleepMilliseconds(5);
        }
        ddc.usb().Close();
        return acknowledged;
    }
    static bool begin(DdcContext& ddc) { return open(ddc); }
    static void end(DdcContext& ddc) { ddc.usb().Close(); }
    static bool writePage(DdcContext& ddc, Byte address, std::span<const Byte> bytes) {
        return ddc.usb().WritePage(address, bytes);
    }
    static bool pollAck(DdcContext& ddc) { return ddc.usb().PollAck(); }
    static bool readSequential(DdcContext& ddc, Image& image) {
        return ddc.usb().ReadSequential(0, image);
    }
};

// The DDC port type: the connector's bus opened for each transfer, one
// sequential read of 256 bytes, 256 byte writes each followed by the write
// cycle.
struct I2cDevBackend {
    FakeSysfs sys;
    void setUp(DdcContext& ddc) {
        sys.connectorOnBus("card0-HDMI-A-1", "connected", "", "i2c-5");
        static_cast<SimulatedHardware&>(ddc.hardware()).ddcBuses.sysRoot = sys.root();
        ddc.settings().portType = kPortDdc;
        ddc.settings().ddcConnector = "card0-HDMI-A-1";
    }
    static bool read(DdcContext& ddc, Image& image) {
        EXPECT_TRUE(ddc.i2cDev().Open()) << ddc.i2cDev().problem();
        const Byte address[] = {0};
        const bool acknowledged = ddc.i2cDev().Read(address, image);
        ddc.i2cDev().Close();
        return acknowledged;
    }
    static bool write(DdcContext& ddc, const Image& image) {
        EXPECT_TRUE(ddc.i2cDev().Open()) << ddc.i2cDev().problem();
        bool acknowledged = true;
        for (std::size_t a = 0; a < 256; ++a) {
            const Byte address[] = {static_cast<Byte>(a)};
            acknowledged &= ddc.i2cDev().Write(address, std::span<const Byte>(&image[a], 1));
            ddc.clock().sleepMilliseconds(I2cDevTransport::kWriteCycleMs);
        }
        ddc.i2cDev().Close();
        return acknowledged;
    }
    static bool begin(DdcContext& ddc) { return ddc.i2cDev().Open(); }
    static void end(DdcContext& ddc) { ddc.i2cDev().Close(); }
    static bool writePage(DdcContext& ddc, Byte address, std::span<const Byte> bytes) {
        return ddc.i2cDev().WritePage(address, bytes.first<8>());
    }
    static bool pollAck(DdcContext& ddc) { return ddc.i2cDev().PollAck(); }
    static bool readSequential(DdcContext& ddc, Image& image) {
        const Byte start[] = {0x00};
        return ddc.i2cDev().Read(start, image);
    }
};

template <typename Backend>
class TransportContract : public ::testing::Test {
protected:
    void SetUp() override { backend.setUp(sim.context); }
    SimulatedEeprom& eeprom() { return sim.hardware->eeprom; }
    bool read(Image& image) { return backend.read(sim.context, image); }
    bool write(const Image& image) { return backend.write(sim.context, image); }
    std::uint64_t now() const { return sim.hardware->simulatedClock.nowMicroseconds(); }

    // The fast write of the image: every page, each followed by polling.
    // Returns the pages that were acknowledged and then answered a poll.
    int writeAllPages(const Image& image) {
        int done = 0;
        for (std::size_t at = 0; at < image.size(); at += 8) {
            DdcContext& ddc = sim.context;
            if (!backend.writePage(ddc, static_cast<Byte>(at), std::span(image).subspan(at, 8)) ||
                !pollForAcknowledge(ddc.clock(), [&] { return backend.pollAck(ddc); }))
                break;
            ++done;
        }
        return done;
    }

    static Image pattern() {
        Image image;
        for (std::size_t i = 0; i < image.size(); ++i)
            image[i] = static_cast<Byte>(i * 37 + 11);
        return image;
    }

    DebugLogCapture log;
    SimulatedDdc sim;
    Backend backend;
};

using Backends = ::testing::Types<PortBackend<kPortLpt1>, PortBackend<kPortLpt2>,
                                  PortBackend<kPortCom1>, UsbBackend, I2cDevBackend>;
TYPED_TEST_SUITE(TransportContract, Backends);

TYPED_TEST(TransportContract, ReadsAll256Bytes) {
    this->eeprom().memory() = this->pattern();
    Image read{};
    EXPECT_TRUE(this->read(read));
    EXPECT_EQ(read, this->pattern());
}

TYPED_TEST(TransportContract, WritesAll256BytesAndReadsThemBack) {
    EXPECT_TRUE(this->write(this->pattern()));
    EXPECT_EQ(this->eeprom().memory(), this->pattern());
    EXPECT_EQ(this->eeprom().writeCycles(), 256);
    Image read{};
    EXPECT_TRUE(this->read(read));
    EXPECT_EQ(read, this->pattern());
}

TYPED_TEST(TransportContract, AbsentSinkIsReportedAsNotAcknowledging) {
    this->eeprom().present = false;
    Image read{};
    EXPECT_FALSE(this->read(read));
    Image released;
    released.fill(0xFF);
    EXPECT_EQ(read, released);
    EXPECT_FALSE(this->write(this->pattern()));
}

TYPED_TEST(TransportContract, WriteProtectedSinkAcknowledgesButKeepsItsBytes) {
    this->eeprom().writeProtected = true;
    const auto before = this->eeprom().memory();
    EXPECT_TRUE(this->write(this->pattern()));
    Image read{};
    EXPECT_TRUE(this->read(read));
    EXPECT_NE(read, this->pattern());
    EXPECT_EQ(read, before);
}

TYPED_TEST(TransportContract, PageWritesPolledThroughTheirWriteCycleThenOneSequentialRead) {
    ASSERT_TRUE(this->backend.begin(this->sim.context));
    const std::uint64_t start = this->now();
    EXPECT_EQ(this->writeAllPages(this->pattern()), 32);
    // Each poll sees the 5 ms write cycle, and its end soon after.
    const std::uint64_t perPage = (this->now() - start) / 32;
    EXPECT_GE(perPage, 5000u);
    EXPECT_LT(perPage, 6500u);
    EXPECT_EQ(this->eeprom().writeCycles(), 32) << "one write cycle per page";
    EXPECT_EQ(this->eeprom().memory(), this->pattern());
    Image read{};
    EXPECT_TRUE(this->backend.readSequential(this->sim.context, read));
    EXPECT_EQ(read, this->pattern());
    this->backend.end(this->sim.context);
}

TYPED_TEST(TransportContract, FastTransfersShowAMissingSink) {
    this->eeprom().present = false;
    ASSERT_TRUE(this->backend.begin(this->sim.context));
    // Even bytes: on the USB adapter the slots after them show a missing
    // sink only because the page write releases SDA first.
    const std::array<Byte, 8> even = {0x00, 0x02, 0x04, 0x06, 0x08, 0x0A, 0x0C, 0x0E};
    EXPECT_FALSE(this->backend.writePage(this->sim.context, 0x00, even));
    EXPECT_FALSE(this->backend.pollAck(this->sim.context));
    const std::uint64_t start = this->now();
    EXPECT_FALSE(pollForAcknowledge(this->sim.context.clock(),
                                    [&] { return this->backend.pollAck(this->sim.context); }));
    EXPECT_GE(this->now() - start, kAckPollLimitUs) << "polled up to the limit";
    EXPECT_LT(this->now() - start, kAckPollLimitUs + 1000) << "and no longer";
    Image read{};
    EXPECT_FALSE(this->backend.readSequential(this->sim.context, read));
    this->backend.end(this->sim.context);
}

TYPED_TEST(TransportContract, UsesTheSlaveAddressOfTheSettings) {
    this->eeprom().deviceAddress = 0xA2;
    this->eeprom().memory() = this->pattern();
    Image read{};
    EXPECT_FALSE(this->read(read)) << "nobody answers at A0";
    this->sim.context.settings().slaveAddress = 0xA2;
    EXPECT_TRUE(this->read(read));
    EXPECT_EQ(read, this->pattern());
}

} // namespace
} // namespace pellam::test
