// The DDC port type's transport beyond the shared contract: the I2C_RDWR
// transactions it sends, the buses it refuses, the writes it refuses, and
// what the user is told when a bus cannot be used. No real bus is opened:
// the simulated controller stands behind the adapter interface, and the
// system backend is only pointed at plain files.
#include "core/ddc/i2c_dev_device.h"
#include "core/ddc/ddc_test_support.h"
#include "core/edid/edid_image.h"
#include "support/fake_sysfs.h"

#include <fcntl.h>
#include <filesystem>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

namespace fs = std::filesystem;
using Message = SimulatedI2cDevBuses::Message;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class I2cDevTransportTest : public ::testing::Test {
protected:
    I2cDevTransportTest() {
        sys.connectorOnBus("card0-HDMI-A-1", "connected", "", "i2c-5");
        buses().sysRoot = sys.root();
        settings().portType = kPortDdc;
        settings().ddcConnector = "card0-HDMI-A-1";
        for (std::size_t i = 0; i < 256; ++i)
            eeprom().memory()[i] = static_cast<Byte>(255 - i);
    }
    I2cSettings& settings() { return sim.context.settings(); }
    I2cDevTransport& transport() { return sim.context.i2cDev(); }
    SimulatedI2cDevBuses& buses() { return sim.hardware->ddcBuses; }
    SimulatedEeprom& eeprom() { return sim.hardware->eeprom; }
    std::uint64_t now() const { return sim.hardware->simulatedClock.nowMicroseconds(); }

    DebugLogCapture log;
    FakeSysfs sys;
    SimulatedDdc sim;
};

TEST_F(I2cDevTransportTest, ReadIsOneCombinedTransactionAtTheBusClock) {
    ASSERT_TRUE(transport().Open());
    EXPECT_EQ(buses().opened, std::vector<std::string>{"/dev/i2c-5"});
    EXPECT_EQ(transport().devicePath(), "/dev/i2c-5");

    std::array<Byte, 256> image{};
    const Byte start[] = {0x00};
    const std::uint64_t before = now();
    ASSERT_TRUE(transport().Read(start, image));
    EXPECT_EQ(image, eeprom().memory());
    ASSERT_EQ(buses().transactions.size(), 1u);
    const auto& t = buses().transactions[0];
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (Message{0x50, false, {0x00}}));
    EXPECT_EQ(t[1].address, 0x50);
    EXPECT_TRUE(t[1].read);
    EXPECT_EQ(t[1].data.size(), 256u);
    // Two starts and a stop, 259 bytes of nine clocks each, at 100 kHz.
    EXPECT_EQ(now() - before, (3 + 259 * 9) * 10u);

    // Block 1 alone; the address counter rolls over at 256.
    std::array<Byte, 4> tail{};
    const Byte at254[] = {0xFE};
    ASSERT_TRUE(transport().Read(at254, tail));
    EXPECT_EQ(tail, (std::array<Byte, 4>{0x01, 0x00, 0xFF, 0xFE}));
    EXPECT_EQ(buses().transactions.back()[0].data, std::vector<Byte>{0xFE});
}

TEST_F(I2cDevTransportTest, WritesAreOneMessageOfAddressAndBytes) {
    ASSERT_TRUE(transport().Open());
    const Byte at0x13[] = {0x13};
    const Byte value[] = {0x5A};
    ASSERT_TRUE(transport().Write(at0x13, value));
    EXPECT_EQ(buses().transactions.back(), (std::vector<Message>{{0x50, false, {0x13, 0x5A}}}));
    EXPECT_EQ(eeprom().memory()[0x13], 0x5A);

    // The EEPROM is busy for its write cycle and does not answer.
    std::array<Byte, 1> read{};
    EXPECT_FALSE(transport().Read(at0x13, read));
    EXPECT_TRUE(transport().noAcknowledge());
    sim.context.clock().sleepMilliseconds(I2cDevTransport::kWriteCycleMs);

    const std::array<Byte, 8> page = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(transport().WritePage(0x18, page));
    EXPECT_EQ(buses().transactions.back(),
              (std::vector<Message>{{0x50, false, {0x18, 1, 2, 3, 4, 5, 6, 7, 8}}}));
    EXPECT_TRUE(std::equal(page.begin(), page.end(), eeprom().memory().begin() + 0x18));
    EXPECT_EQ(eeprom().memory()[0x20], 0xDF) << "the next page is untouched";
    EXPECT_EQ(eeprom().writeCycles(), 2);
}

TEST_F(I2cDevTransportTest, RefusedWritesSendNothing) {
    ASSERT_TRUE(transport().Open());
    const auto before = eeprom().memory();
    const std::array<Byte, 8> page{};
    struct Case {
        std::uint32_t slave;
        Byte address;
        std::size_t count;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {0xA2, 0x00, 1, EPERM,
         "writes only the EDID EEPROM at slave address A0h; the write at A2h"},
        {0x6E, 0x10, 1, EPERM, "the write at 6Eh on /dev/i2c-5 (card0-HDMI-A-1) was refused"},
        {0x60, 0x00, 1, EPERM, "at 60h"},
        {0xA0, 0x06, 3, EINVAL, "A write of 3 bytes at 06h would cross an 8-byte EEPROM page"},
        {0xA0, 0x01, 8, EINVAL, "8 bytes at 01h"},
    };
    for (const Case& c : cases) {
        settings().slaveAddress = c.slave;
        const Byte address[] = {c.address};
        EXPECT_FALSE(transport().Write(address, std::span(page).first(c.count)));
        EXPECT_EQ(transport().status(), c.status) << c.says;
        EXPECT_TRUE(contains(transport().problem(), c.says)) << transport().problem();
    }
    settings().slaveAddress = 0xA0;
    EXPECT_FALSE(transport().WritePage(0x04, page));
    EXPECT_EQ(transport().status(), EINVAL);
    EXPECT_TRUE(buses().transactions.empty());
    EXPECT_EQ(eeprom().memory(), before);

    // Reading elsewhere is allowed; bit 0 of the setting is the direction.
    settings().slaveAddress = 0xA1;
    const Byte address[] = {0x07};
    const Byte value[] = {0x77};
    EXPECT_TRUE(transport().Write(address, value));
    settings().slaveAddress = 0xA2;
    std::array<Byte, 2> read{};
    EXPECT_FALSE(transport().Read(address, read)) << "nobody at A2h";
    EXPECT_EQ(buses().transactions.back()[0].address, 0x51);
}

TEST_F(I2cDevTransportTest, OnlyABusAConnectorLinksIsOpened) {
    sys.adapter("i2c-0"); // the SMBus adapter, with the memory modules' SPD EEPROMs
    sys.connector("card0-eDP-1", "connected");
    const fs::path dangling = sys.connector("card0-HDMI-A-2", "disconnected");
    fs::create_symlink(sys.device / "i2c-9", dangling / "ddc");
    struct Case {
        std::string connector;
        const char* says;
    };
    const Case cases[] = {
        {"", "No display connector is chosen for the DDC port"},
        {"card0-DP-3", "There is no display connector card0-DP-3 on this computer."},
        {"card0-eDP-1", "card0-eDP-1 has no DDC bus of its own"},
        {"card0-HDMI-A-2", "card0-HDMI-A-2 has no DDC bus of its own"},
        {"i2c-0", "There is no display connector i2c-0"},
        {"card0-HDMI-A-1/../../i2c-0", "There is no display connector"},
    };
    for (const Case& c : cases) {
        settings().ddcConnector = c.connector;
        EXPECT_FALSE(transport().Open()) << c.connector;
        EXPECT_FALSE(transport().isOpen());
        EXPECT_EQ(transport().status(), ENODEV);
        EXPECT_TRUE(contains(transport().problem(), c.says)) << transport().problem();
    }
    EXPECT_TRUE(buses().opened.empty());

    // Not open: nothing goes out.
    std::array<Byte, 1> read{};
    const Byte address[] = {0};
    EXPECT_FALSE(transport().Read(address, read));
    EXPECT_EQ(transport().status(), EBADF);
    EXPECT_TRUE(buses().transactions.empty());
}

TEST_F(I2cDevTransportTest, TheBusIsLookedUpAtEachOpen) {
    ASSERT_TRUE(transport().Open());
    // After a reboot the same connector's DDC lines are another bus.
    const fs::path connector = sys.device / "drm" / "card0" / "card0-HDMI-A-1";
    fs::remove(connector / "ddc");
    fs::create_symlink(sys.adapter("i2c-8"), connector / "ddc");
    ASSERT_TRUE(transport().Open());
    EXPECT_EQ(buses().opened, (std::vector<std::string>{"/dev/i2c-5", "/dev/i2c-8"}));
    EXPECT_EQ(transport().connectorName(), "card0-HDMI-A-1");
    transport().Close();
    EXPECT_FALSE(transport().isOpen());
    EXPECT_EQ(transport().devicePath(), "");
}

TEST_F(I2cDevTransportTest, AnOpenFailureTellsWhatToDo) {
    struct Case {
        int error;
        std::vector<std::string> says;
    };
    const std::string bus = "/dev/i2c-5 (the DDC bus of card0-HDMI-A-1)";
    const Case cases[] = {
        {ENOENT, {bus + " does not exist", "sudo modprobe i2c-dev", "pellam-i2c-dev.conf"}},
        {EACCES,
         {"No permission to use " + bus, "i2c group", "sudo usermod -aG i2c $USER"}},
        {EPERM, {"No permission to use " + bus}},
        {EOPNOTSUPP, {bus + " cannot be used: its controller does no plain I2C transfers."}},
        {EBUSY, {bus + " could not be opened: Device or resource busy."}},
    };
    for (const Case& c : cases) {
        buses().openError = c.error;
        EXPECT_FALSE(transport().Open());
        EXPECT_EQ(transport().status(), c.error);
        for (const std::string& part : c.says)
            EXPECT_TRUE(contains(transport().problem(), part)) << transport().problem();
    }
}

TEST_F(I2cDevTransportTest, TransferFailuresNameTheBusAndTheReason) {
    ASSERT_TRUE(transport().Open());
    struct Case {
        int error;
        bool noAcknowledge;
        std::string says;
    };
    const Case cases[] = {
        {ENXIO, true,
         "No acknowledge from the sink at slave address A0h on /dev/i2c-5 (card0-HDMI-A-1)."},
        {EREMOTEIO, true, "No acknowledge from the sink at slave address A0h"},
        {EIO, false,
         "The I2C controller of /dev/i2c-5 (card0-HDMI-A-1) reported an I/O error (EIO) during a "
         "read at slave address A0h"},
        {ETIMEDOUT, false,
         "A read at slave address A0h on /dev/i2c-5 (card0-HDMI-A-1) timed out in the graphics "
         "driver's controller (ETIMEDOUT)"},
        {ENODEV, false, "/dev/i2c-5 (card0-HDMI-A-1) went away during the transfer (ENODEV)"},
        {EBUSY, false, "A read at slave address A0h on /dev/i2c-5 (card0-HDMI-A-1) failed: Device "
                       "or resource busy."},
    };
    for (const Case& c : cases) {
        buses().transferError = c.error;
        std::array<Byte, 4> read{1, 2, 3, 4};
        const Byte address[] = {0};
        EXPECT_FALSE(transport().Read(address, read));
        EXPECT_EQ(read, (std::array<Byte, 4>{0xFF, 0xFF, 0xFF, 0xFF})) << "what an idle bus reads";
        EXPECT_EQ(transport().noAcknowledge(), c.noAcknowledge) << c.says;
        EXPECT_TRUE(contains(transport().problem(), c.says)) << transport().problem();
    }
    EXPECT_FALSE(log.lines.empty());

    // The next transfer that works clears the report.
    buses().transferError = 0;
    std::array<Byte, 1> read{};
    const Byte address[] = {0};
    EXPECT_TRUE(transport().Read(address, read));
    EXPECT_EQ(transport().status(), 0);
    EXPECT_EQ(transport().problem(), "");
}

TEST(I2cDevMessages, KernelLayoutOfACombinedRead) {
    Byte address[] = {0x80};
    std::array<Byte, 128> block{};
    I2cMessage messages[] = {{0x50, false, address}, {0x50, true, block}};
    const auto msgs = kernelMessages(messages);
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].addr, 0x50);
    EXPECT_EQ(msgs[0].flags, 0);
    EXPECT_EQ(msgs[0].len, 1);
    EXPECT_EQ(msgs[0].buf, address);
    EXPECT_EQ(msgs[1].addr, 0x50);
    EXPECT_EQ(msgs[1].flags, I2C_M_RD);
    EXPECT_EQ(msgs[1].len, 128);
    EXPECT_EQ(msgs[1].buf, block.data());

    // What one request can carry.
    EXPECT_EQ(checkTransaction(messages), 0);
    std::vector<Byte> huge(kI2cMaxMessageLength + 1);
    I2cMessage tooLong[] = {{0x50, true, huge}};
    I2cMessage tenBit[] = {{0x150, true, block}};
    std::vector<I2cMessage> tooMany(kI2cMaxMessages + 1, I2cMessage{0x50, true, block});
    EXPECT_EQ(checkTransaction(tooLong), EINVAL);
    EXPECT_EQ(checkTransaction(tenBit), EINVAL);
    EXPECT_EQ(checkTransaction(tooMany), EINVAL);
    EXPECT_EQ(checkTransaction({}), EINVAL);
}

// The system backend on plain files: it opens nothing that is not an I2C
// adapter.
TEST(I2cDevMessages, SystemBackendRefusesWhatIsNoAdapter) {
    TempDir dir;
    writeFile(dir.path() / "i2c-3", "");
    SystemI2cBuses buses;
    EXPECT_EQ(buses.sysfsRoot(), "/sys");
    const auto missing = buses.open((dir.path() / "i2c-4").string());
    EXPECT_FALSE(missing.adapter);
    EXPECT_EQ(missing.error, ENOENT);
    const auto plainFile = buses.open((dir.path() / "i2c-3").string());
    EXPECT_FALSE(plainFile.adapter);
    EXPECT_EQ(plainFile.error, ENOTTY);
}

TEST(I2cDevMessages, LooksLikeEdidByTheHeaderOnly) {
    const std::vector<Byte> header = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::vector<Byte> image(hdmiDefaultImage().begin(), hdmiDefaultImage().end());
    EXPECT_TRUE(looksLikeEdid(image));
    EXPECT_TRUE(looksLikeEdid(header));
    EXPECT_FALSE(looksLikeEdid(std::span(header).first(7)));
    EXPECT_FALSE(looksLikeEdid(std::vector<Byte>(256, 0xFF))) << "a blank EEPROM";
    image[7] = 0x01;
    EXPECT_FALSE(looksLikeEdid(image));
    image[7] = 0x00;
    image[0] = 0x01;
    EXPECT_FALSE(looksLikeEdid(image));
}

} // namespace
} // namespace pellam::test
