// The faults a production line meets, each on the simulated devices: the
// EEPROM's content afterwards and what the user is told. EEPROMs of every
// size (a 24C01 that wraps, a 24C04 with its block addresses, E-DDC sinks
// with their segment pointer), slow write cycles, lines held low, an
// adapter unplugged, bus errors, short reads, internal panels.
#include "core/ddc/ddc_test_support.h"
#include "core/edid/edid_bytes.h"
#include "core/edid/hex.h"
#include "core/ddc/eeprom_workflow.h"
#include "support/fake_sysfs.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

using Status = EepromWriteResult::Status;

// A sound EDID of `blocks` blocks: block 0 of the HDMI default image, then
// CTA-861 blocks with a pattern, every checksum right.
std::vector<Byte> edidOf(std::size_t blocks) {
    std::vector<Byte> bytes(blocks * kBlockSize);
    const EdidImage& base = hdmiDefaultImage();
    std::copy_n(base.begin(), std::min<std::size_t>(256, bytes.size()), bytes.begin());
    for (std::size_t i = 256; i < bytes.size(); ++i)
        bytes[i] = static_cast<Byte>(i * 7 + i / 256);
    for (std::size_t k = 1; k < blocks; ++k) {
        bytes[k * kBlockSize] = 0x02;
        bytes[k * kBlockSize + 1] = 0x03;
    }
    bytes[kExtensionCountOffset] = static_cast<Byte>(blocks - 1);
    applyBlockChecksums(bytes, true);
    return bytes;
}

struct Sink {
    std::int32_t port;
    bool fast;
    EepromKind kind;
};

std::string nameOf(const Sink& s) {
    std::string kind(eepromKindName(s.kind));
    std::erase(kind, '/');
    std::erase(kind, '-');
    return std::string(portName(s.port)) + (s.fast ? "_fast_" : "_default_") + kind;
}

// A sink of a kind on simulated hardware, the DDC port behind the
// connector card0-HDMI-A-1 of a fake sysfs tree.
struct Rig {
    explicit Rig(Sink sink, std::string connector = "card0-HDMI-A-1") {
        sys.connectorOnBus(connector, "connected", "", "i2c-5");
        sim.hardware->ddcBuses.sysRoot = sys.root();
        sim.hardware->eeprom.setKind(sink.kind, 1024);
        I2cSettings& settings = sim.context.settings();
        settings = {sink.port, kDefaultBaseAddress, 0xA0,
                    sink.port == kPortUsb ? 2500u : 0u, connector, sink.fast};
        settings.eeprom = sink.kind;
        sim.context.openPort([](const UserNotice&) {});
        options.backupDirectory = dataHome.backups();
    }
    SimulatedEeprom& eeprom() { return sim.hardware->eeprom; }

    EepromWriteResult write(std::span<const Byte> image) {
        TransferChoice choice = chooseEepromTransfer(sim.context);
        EXPECT_EQ(choice.transfer->open(), "");
        return writeEepromTransaction(*choice.transfer, image, observer, options);
    }
    EepromReadResult read(std::optional<std::size_t> length = std::nullopt) {
        TransferChoice choice = chooseEepromTransfer(sim.context);
        EXPECT_EQ(choice.transfer->open(), "");
        return readEeprom(*choice.transfer, observer, length);
    }
    // The backup's bytes.
    std::string backup() {
        const auto files = dataHome.backupFiles();
        return files.size() == 1 ? readFile(files[0]) : std::string("(no single backup)");
    }

    ScopedDataHome dataHome;
    FakeSysfs sys;
    SimulatedDdc sim;
    TransferObserver observer;
    WriteTransactionOptions options;
};

std::string text(std::span<const Byte> bytes) {
    return {bytes.begin(), bytes.end()};
}

// Larger images on every transport: a 24C04's second block at A2h, an
// E-DDC sink's segment 1 behind its segment pointer, which a stop resets,
// so each access to it joins the pointer by a repeated start.
class LargeEeprom : public ::testing::TestWithParam<Sink> {};

INSTANTIATE_TEST_SUITE_P(
    Sinks, LargeEeprom,
    ::testing::Values(Sink{kPortLpt1, false, EepromKind::C04}, Sink{kPortLpt1, true, EepromKind::C04},
                      Sink{kPortUsb, false, EepromKind::C04}, Sink{kPortUsb, true, EepromKind::C04},
                      Sink{kPortLpt1, false, EepromKind::EDdc}, Sink{kPortLpt1, true, EepromKind::EDdc},
                      Sink{kPortUsb, true, EepromKind::EDdc}, Sink{kPortDdc, true, EepromKind::EDdc},
                      Sink{kPortDdc, true, EepromKind::C04}),
    [](const auto& info) { return nameOf(info.param); });

TEST_P(LargeEeprom, A512ByteEdidIsWrittenVerifiedAndReadBackWhole) {
    Rig rig(GetParam());
    rig.options.confirmOverwrite = [](const std::string&) { return true; }; // blank
    const std::vector<Byte> image = edidOf(4);
    const std::vector<Byte> before(rig.eeprom().memory().first(512));
    const EepromWriteResult result = rig.write(image);
    ASSERT_EQ(result.status, Status::Pass) << result.message;
    EXPECT_EQ(rig.eeprom().memory().first(512), image);
    EXPECT_EQ(result.verified, 512u);
    EXPECT_EQ(rig.backup(), text(before)) << "the backup covers the whole image";
    EXPECT_EQ(rig.eeprom().segmentPointer(), 0) << "reset by the last stop";

    const EepromReadResult read = rig.read();
    EXPECT_EQ(read.status, EepromReadResult::Status::Complete) << read.message;
    EXPECT_EQ(read.bytes, image) << "the four blocks byte 126 declares";
}

TEST(LargeEepromOnTheDdcBus, SegmentOneIsReachedInOneTransactionWithItsPointer) {
    Rig rig({kPortDdc, true, EepromKind::EDdc});
    const std::vector<Byte> image = edidOf(4);
    rig.eeprom().memory() = image;
    rig.sim.hardware->ddcBuses.transactions.clear();
    const EepromReadResult read = rig.read(512);
    ASSERT_EQ(read.status, EepromReadResult::Status::Complete);
    EXPECT_EQ(read.bytes, image);
    const auto& transactions = rig.sim.hardware->ddcBuses.transactions;
    ASSERT_EQ(transactions.size(), 2u);
    EXPECT_EQ(transactions[0].size(), 2u) << "segment 0: offset and read, no pointer";
    ASSERT_EQ(transactions[1].size(), 3u);
    EXPECT_EQ(transactions[1][0], (SimulatedI2cDevBuses::Message{0x30, false, {0x01}}));
    EXPECT_EQ(transactions[1][1], (SimulatedI2cDevBuses::Message{0x50, false, {0x00}}));
    EXPECT_EQ(transactions[1][2].data.size(), 256u);
}

TEST(LargeEeprom, AnImageLargerThanTheEepromIsRefusedBeforeTheSinkIsTouched) {
    Rig rig({kPortUsb, false, EepromKind::C02});
    rig.eeprom().memory() = hdmiDefaultImage();
    const EepromWriteResult result = rig.write(edidOf(4));
    EXPECT_EQ(result.status, Status::Refused);
    EXPECT_EQ(result.message, capacityProblem(EepromKind::C02, 512));
    EXPECT_NE(result.message.find("a 24C02 EEPROM holds 256"), std::string::npos);
    EXPECT_EQ(rig.eeprom().memory(), hdmiDefaultImage());
    EXPECT_TRUE(rig.dataHome.backupFiles().empty());
    EXPECT_TRUE(rig.sim.hardware->ft2232.writes.size() <= 2) << "opened, nothing sent to the sink";
}

// A 24C01 ignores the word address's top bit: bytes written at 80h-FFh land
// on 00h-7Fh. A 128-byte image is written as 128 bytes, never padded.
TEST(SmallEeprom, A24C01TakesExactlyA128ByteImage) {
    for (const Sink sink : {Sink{kPortLpt1, false, EepromKind::C01}, Sink{kPortUsb, false, EepromKind::C01},
                            Sink{kPortUsb, true, EepromKind::C01}}) {
        SCOPED_TRACE(nameOf(sink));
        Rig rig(sink);
        const std::vector<Byte> image = edidOf(1);
        const EepromWriteResult result = rig.write(image);
        ASSERT_EQ(result.status, Status::Pass) << result.message;
        EXPECT_EQ(rig.eeprom().memory(), image);
        EXPECT_EQ(result.length, 128u);
    }
    // What a padded write did: the second half wraps over the first.
    Rig rig({kPortLpt1, false, EepromKind::C01});
    std::vector<Byte> padded = edidOf(1);
    padded.resize(256, 0x00);
    TransferChoice choice = chooseEepromTransfer(rig.sim.context);
    ASSERT_EQ(choice.transfer->open(), "");
    TransferObserver none;
    const EepromWriteResult wrapped = writeEeprom(*choice.transfer, padded, none);
    EXPECT_EQ(std::count(rig.eeprom().memory().begin(), rig.eeprom().memory().end(), 0x00), 128);
    EXPECT_NE(wrapped.status, Status::Pass);
}

// A write to a 24C02 of a 128-byte image leaves its second half alone.
TEST(SmallEeprom, A128ByteImageLeavesTheRestOfA24C02AsItWas) {
    Rig rig({kPortUsb, false, EepromKind::C02});
    const EdidImage previous = hdmiDefaultImage();
    rig.eeprom().memory() = previous;
    std::vector<Byte> image = edidOf(1);
    image[0x10] = 0x77;
    applyBlockChecksums(image, true);
    ASSERT_EQ(rig.write(image).status, Status::Pass);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.eeprom().memory().begin()));
    EXPECT_TRUE(std::equal(previous.begin() + 128, previous.end(), rig.eeprom().memory().begin() + 128));
    EXPECT_EQ(rig.backup().size(), 128u);
}

// A part whose write cycle is longer than the default write's fixed wait:
// acknowledge polling waits for it.
TEST(SlowEeprom, ATenMillisecondWriteCycleIsWaitedFor) {
    for (const Sink sink : {Sink{kPortUsb, false, EepromKind::C02}, Sink{kPortUsb, true, EepromKind::C02},
                            Sink{kPortLpt1, false, EepromKind::C02}, Sink{kPortDdc, true, EepromKind::EDdc}}) {
        SCOPED_TRACE(nameOf(sink));
        Rig rig(sink);
        rig.eeprom().memory() = hdmiDefaultImage();
        rig.eeprom().writeCycleUs = 10'000;
        std::vector<Byte> image(hdmiDefaultImage().begin(), hdmiDefaultImage().end());
        for (std::size_t i = 0x10; i < 0x30; ++i)
            image[i] = static_cast<Byte>(~image[i]);
        applyBlockChecksums(image, true);
        const EepromWriteResult result = rig.write(image);
        EXPECT_EQ(result.status, Status::Pass) << result.message;
        EXPECT_EQ(rig.eeprom().memory().first(256), image);
    }
}

// Lines held low before a start: nothing is sent, nothing is taken for a
// backup, the message names the line.
TEST(StuckBus, ALineHeldLowStopsTheTransferBeforeItsFirstStart) {
    struct Case {
        std::int32_t port;
        bool sda, scl;
        const char* says;
    };
    const Case cases[] = {
        {kPortLpt1, true, false, "SDA reads low on LPT1 before a start"},
        {kPortCom1, true, false, "SDA reads low on COM1 before a start"},
        {kPortUsb, true, false, "SDA reads low on the USB adapter before a start"},
        {kPortUsb, false, true, "SCL reads low on the USB adapter before a start"},
    };
    for (const Case& c : cases) {
        for (const bool fast : {false, true}) {
            SCOPED_TRACE(std::string(c.says) + (fast ? " (fast)" : ""));
            Rig rig({c.port, fast, EepromKind::C02});
            rig.eeprom().memory() = hdmiDefaultImage();
            rig.sim.hardware->bus.setStuck(c.sda, c.scl);
            const EepromWriteResult result = rig.write(edidOf(2));
            EXPECT_EQ(result.status, Status::NoAnswer);
            EXPECT_TRUE(result.message.starts_with(c.says)) << result.message;
            EXPECT_TRUE(result.message.ends_with("Nothing was written.")) << result.message;
            EXPECT_TRUE(rig.dataHome.backupFiles().empty());
            EXPECT_EQ(rig.eeprom().memory(), hdmiDefaultImage());
            EXPECT_EQ(rig.eeprom().writeCycles(), 0);

            const EepromReadResult read = rig.read();
            EXPECT_EQ(read.status, EepromReadResult::Status::NoAnswer);
            EXPECT_TRUE(read.message.starts_with(c.says)) << read.message;
        }
    }
}

// A read of nothing but 00h or FFh is no EDID, whatever else it seems.
TEST(BlankContent, IsReportedAndNotTakenForAnEdid) {
    for (const Byte fill : {Byte{0x00}, Byte{0xFF}}) {
        Rig rig({kPortUsb, false, EepromKind::C02});
        rig.eeprom().memory().fill(fill);
        const EepromReadResult read = rig.read();
        EXPECT_EQ(read.status, EepromReadResult::Status::NoContent);
        EXPECT_EQ(read.message, "The EEPROM at slave address A0h on USB holds no EDID content "
                                "(blank EEPROM, no sink, or a stuck line): all 256 bytes read " +
                                    hexByteH(fill) + ".");
        // Written over, the backup says what it holds.
        const EepromWriteResult write = rig.write(edidOf(2));
        EXPECT_EQ(write.status, Status::Pass);
        EXPECT_NE(write.backupNote.find(kMsgNoEdidContent), std::string::npos) << write.backupNote;
    }
}

// Read what byte 126 declares, and say so when the EEPROM holds less.
TEST(DeclaredRead, FollowsByte126UpToTheCapacity) {
    struct Case {
        std::size_t blocks;
        EepromKind kind;
        std::size_t read;
        bool noted;
    };
    const Case cases[] = {{1, EepromKind::C02, 128, false},
                          {2, EepromKind::C02, 256, false},
                          {4, EepromKind::C02, 256, true},
                          {4, EepromKind::C04, 512, false},
                          {8, EepromKind::EDdc, 1024, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.blocks) + " blocks on " + std::string(eepromKindName(c.kind)));
        Rig rig({kPortLpt1, false, c.kind});
        const std::vector<Byte> image = edidOf(c.blocks);
        rig.eeprom().memory() = image;
        const EepromReadResult read = rig.read();
        EXPECT_EQ(read.status, EepromReadResult::Status::Complete);
        EXPECT_EQ(read.count, c.read);
        EXPECT_EQ(read.bytes, std::vector<Byte>(image.begin(), image.begin() + c.read));
        EXPECT_EQ(!read.note.empty(), c.noted) << read.note;
    }
}

// Calls atWrite when the write phase starts (after the backup was read).
struct WhenWriting final : TransferObserver {
    std::function<void()> atWrite;
    void phaseStarted(TransferPhase p) override {
        if (p == TransferPhase::Write)
            atWrite();
    }
};

// The USB adapter unplugged part way through a write: its own message, not
// the sink's; the EEPROM holds the bytes written before and the old ones
// after; the backup is named.
TEST(AdapterLost, AnUnpluggedAdapterIsNamedAndTheEepromIsConsistent) {
    for (const bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "fast" : "default");
        Rig rig({kPortUsb, fast, EepromKind::C02});
        const EdidImage previous = hdmiDefaultImage();
        rig.eeprom().memory() = previous;
        std::vector<Byte> image(256);
        for (std::size_t i = 0; i < 256; ++i)
            image[i] = static_cast<Byte>(~previous[i]);
        rig.options.confirmImage = [](const std::string&) { return true; };
        WhenWriting unplug;
        unplug.atWrite = [&] { rig.sim.hardware->ft2232.unplugAtWrite(fast ? 40 : 100); };
        TransferChoice choice = chooseEepromTransfer(rig.sim.context);
        ASSERT_EQ(choice.transfer->open(), "");
        const EepromWriteResult result =
            writeEepromTransaction(*choice.transfer, image, unplug, rig.options);
        EXPECT_EQ(result.status, Status::NoAnswer);
        EXPECT_TRUE(result.message.starts_with("The USB adapter 'Korvo USB Debug Tool A' stopped "
                                               "answering"))
            << result.message;
        EXPECT_EQ(result.message.find("sink"), result.message.find("The sink's previous content") + 4)
            << "the sink is named only with its backup";
        ASSERT_GT(result.written, 0u);
        const auto& memory = rig.eeprom().memory();
        for (std::size_t a = 0; a < 256; ++a)
            ASSERT_EQ(memory[a], a < result.written ? image[a] : previous[a]) << a;
        EXPECT_EQ(rig.backup(), text(previous));
    }
}

// The adapter lost at every point of a write, up to its very last poll:
// each ends in PASS with the image or in the adapter's message, and the
// EEPROM holds the image's bytes up to what the result counts as written.
TEST(AdapterLost, AtEveryPointOfTheWriteTheResultMatchesTheEeprom) {
    for (const bool fast : {false, true}) {
        const EdidImage previous = hdmiDefaultImage();
        std::vector<Byte> image(128);
        for (std::size_t i = 0; i < image.size(); ++i)
            image[i] = static_cast<Byte>(~previous[i]);
        bool passed = false;
        for (int at = 1; !passed && at < 4000; at += fast ? 1 : 7) {
            SCOPED_TRACE((fast ? "fast, unplugged at write " : "unplugged at write ") +
                         std::to_string(at));
            Rig rig({kPortUsb, fast, EepromKind::C02});
            rig.eeprom().memory() = previous;
            rig.options.confirmImage = [](const std::string&) { return true; };
            WhenWriting unplug;
            unplug.atWrite = [&] { rig.sim.hardware->ft2232.unplugAtWrite(at); };
            TransferChoice choice = chooseEepromTransfer(rig.sim.context);
            ASSERT_EQ(choice.transfer->open(), "");
            const EepromWriteResult result =
                writeEepromTransaction(*choice.transfer, image, unplug, rig.options);
            const auto& memory = rig.eeprom().memory();
            if (result.status == Status::Pass) {
                passed = true;
                EXPECT_TRUE(std::equal(image.begin(), image.end(), memory.begin()));
                continue;
            }
            ASSERT_EQ(result.status, Status::NoAnswer);
            EXPECT_NE(result.message.find("The USB adapter 'Korvo USB Debug Tool A' stopped"),
                      std::string::npos)
                << result.message;
            for (std::size_t a = 0; a < result.written; ++a)
                ASSERT_EQ(memory[a], image[a]) << a;
        }
        EXPECT_TRUE(passed) << "the write never ran to its end";
    }
}

// A read that brings fewer bytes than it asked for fails, whatever the
// acknowledges said.
TEST(AdapterLost, AShortUsbReadFailsTheRead) {
    SimulatedHardware hw;
    MpsseTransport usb{hw.ft2232, hw.simulatedClock};
    for (std::size_t i = 0; i < 8; ++i)
        hw.eeprom.memory()[i] = static_cast<Byte>(0x10 + i);
    usb.Open();
    // Every acknowledge arrives; two of the data bytes do not.
    hw.ft2232.loseAnswers(2);
    std::array<Byte, 8> buffer{};
    const Byte address[] = {0x00};
    EXPECT_FALSE(usb.Read(address, std::span(buffer).first(6)));
    EXPECT_TRUE(usb.shortRead());
    EXPECT_EQ(usb.problem(), "The USB adapter 'Korvo USB Debug Tool A' delivered 4 of the 6 "
                             "bytes read: the read is incomplete.");

    Rig rig({kPortUsb, false, EepromKind::C02});
    rig.eeprom().memory() = hdmiDefaultImage();
    TransferChoice choice = chooseEepromTransfer(rig.sim.context);
    ASSERT_EQ(choice.transfer->open(), "");
    rig.sim.hardware->ft2232.loseAnswers(200);
    TransferObserver none;
    const EepromReadResult read = readEeprom(*choice.transfer, none);
    EXPECT_EQ(read.status, EepromReadResult::Status::NoAnswer);
    EXPECT_NE(read.message.find("the read is incomplete"), std::string::npos) << read.message;
}

// The DDC bus's own errors, part way through a write, each in its words;
// none is taken for an EEPROM that did not answer in time.
TEST(DdcBusErrors, EachErrorIsNamedAndEndsTheWriteAtOnce) {
    struct Case {
        int error;
        const char* says;
    };
    const Case cases[] = {
        {ENODEV, "went away during the transfer (ENODEV)"},
        {ETIMEDOUT, "timed out in the graphics driver's controller (ETIMEDOUT)"},
        {EIO, "reported an I/O error (EIO)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Rig rig({kPortDdc, true, EepromKind::EDdc});
        const EdidImage previous = hdmiDefaultImage();
        rig.eeprom().memory() = previous;
        std::vector<Byte> image(256);
        for (std::size_t i = 0; i < 256; ++i)
            image[i] = static_cast<Byte>(~previous[i]);
        rig.options.confirmImage = [](const std::string&) { return true; };
        rig.options.confirmOverwrite = [](const std::string&) { return true; };
        // The backup read, three pages and their polls go through.
        rig.sim.hardware->ddcBuses.transferError = c.error;
        rig.sim.hardware->ddcBuses.failFrom = 60;
        const EepromWriteResult result = rig.write(image);
        EXPECT_EQ(result.status, Status::NoAnswer);
        EXPECT_NE(result.message.find(c.says), std::string::npos) << result.message;
        EXPECT_EQ(result.message.find("within 20 ms"), std::string::npos) << result.message;
        const auto& memory = rig.eeprom().memory();
        for (std::size_t a = 0; a < 256; ++a)
            ASSERT_EQ(memory[a], a < result.written ? image[a] : previous[a]) << a;
        EXPECT_NE(result.message.find(rig.dataHome.backupFiles().at(0).string()), std::string::npos);
    }
}

TEST(InternalPanel, IsReadButNeverWritten) {
    Rig rig({kPortDdc, true, EepromKind::EDdc}, "card0-eDP-1");
    rig.eeprom().memory() = hdmiDefaultImage();
    EXPECT_EQ(rig.read().status, EepromReadResult::Status::Complete);
    std::vector<Byte> image = edidOf(2);
    const EepromWriteResult result = rig.write(image);
    EXPECT_EQ(result.status, Status::Refused);
    EXPECT_EQ(result.message, "card0-eDP-1 is an internal panel (eDP, LVDS or DSI): its EDID "
                              "belongs to the panel, and its bus may be the panel's own. Pellam "
                              "reads it but never writes it. Nothing was written.");
    EXPECT_TRUE(std::equal(hdmiDefaultImage().begin(), hdmiDefaultImage().end(),
                           rig.eeprom().memory().begin()));
    for (const auto& [name, internal] :
         {std::pair{"card0-eDP-1", true}, {"card1-LVDS-1", true}, {"card0-DSI-2", true},
          {"card0-HDMI-A-1", false}, {"card0-DP-1", false}})
        EXPECT_EQ(isInternalPanel(name), internal) << name;
}

TEST(UsbAdapters, SeveralAreToldApartByTheirSerialNumbers) {
    struct Case {
        std::vector<std::string> present;
        std::string wanted;
        int index;
        const char* says;
    };
    const Case cases[] = {
        {{"A1"}, "", 0, ""},
        {{"A1", "B2"}, "B2", 1, ""},
        {{"A1", "B2"}, "",  -1,
         "2 adapters 'Korvo USB Debug Tool A' are connected (serial numbers A1, B2): choose one "
         "by its serial number in the I2C settings (pellam-cli: --usb-serial)."},
        {{"A1"}, "C3", -1,
         "No USB adapter 'Korvo USB Debug Tool A' with serial number C3 is connected; connected: "
         "A1."},
        {{}, "", -1, "No USB adapter 'Korvo USB Debug Tool A' is connected."},
    };
    for (const Case& c : cases) {
        const UsbAdapterChoice choice = chooseUsbAdapter(c.present, c.wanted);
        EXPECT_EQ(choice.index, c.index) << c.wanted;
        EXPECT_EQ(choice.problem, c.says);
    }
    // The transfer opens the one the settings name.
    SimulatedDdc sim;
    sim.hardware->ft2232.serials = {"A1", "B2"};
    sim.context.settings().portType = kPortUsb;
    EXPECT_NE(OpenTransfer(sim.context).problem().find("serial numbers A1, B2"), std::string::npos);
    sim.context.settings().usbSerial = "B2";
    EXPECT_TRUE(OpenTransfer(sim.context).ready());
    EXPECT_EQ(sim.hardware->ft2232.openedSerial, "B2");
}

TEST(DdcConnector, WithoutAnyConnectorTheMessageSaysThereIsNone) {
    SimulatedDdc sim;
    FakeSysfs sys;
    sim.hardware->ddcBuses.sysRoot = sys.root();
    sim.context.settings().portType = kPortDdc;
    EXPECT_EQ(OpenTransfer(sim.context).problem(),
              "This computer has no display connector with a DDC bus of its own: the DDC port "
              "type cannot be used here.");
    sys.connectorOnBus("card0-DP-1", "connected", "", "i2c-3");
    EXPECT_EQ(OpenTransfer(sim.context).problem(),
              "No display connector is chosen for the DDC port: choose one under \"配置 > I2C "
              "设置\".");
}

} // namespace
} // namespace pellam::test
