// The write as a transaction, on every port type and in both write modes,
// against the simulated EEPROM: the backup before the first byte, the fast
// write's pages and polling, the verify, and what the user is told when
// something fails.
#include "core/ddc/eeprom_backup.h"
#include "core/ddc/eeprom_workflow.h"
#include "core/ddc/ddc_test_support.h"
#include "support/fake_sysfs.h"
#include "support/test_support.h"

#include <functional>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

using Status = EepromWriteResult::Status;

// A sound EDID (its checksums right), which the write takes without asking.
EdidImage edid() {
    EdidImage image = hdmiDefaultImage();
    image[0x10] = 0x42;
    ApplyAutoChecksums(image, true);
    return image;
}

// edid() with every byte, and so every page, different.
EdidImage complement() {
    EdidImage image = edid();
    for (Byte& b : image)
        b = static_cast<Byte>(~b);
    return image;
}

struct Mode {
    std::int32_t port;
    bool fast;
};

// Counts the steps of each phase, runs hooks at the write's start and after
// each step, and stops when told.
struct Watcher final : TransferObserver {
    void phaseStarted(TransferPhase phase) override {
        phases.push_back(phase);
        if (phase == TransferPhase::Write && onWrite)
            onWrite();
    }
    void stepDone(TransferPhase phase, std::size_t address, std::span<const Byte>) override {
        ++steps[static_cast<int>(phase)];
        if (phase == TransferPhase::Write && address == stopAfterWriteAt)
            stop = true;
    }
    bool stopRequested() override { return stop; }

    std::vector<TransferPhase> phases;
    std::array<int, 4> steps{};
    std::function<void()> onWrite;
    std::size_t stopAfterWriteAt = 256;
    bool stop = false;
};

// A sink on simulated hardware at 100 kHz, on the DDC port type behind the
// connector card0-HDMI-A-1 of a fake sysfs tree.
struct WriteTransaction {
    explicit WriteTransaction(Mode mode) {
        sys.connectorOnBus("card0-HDMI-A-1", "connected", "", "i2c-5");
        sim.hardware->ddcBuses.sysRoot = sys.root();
        sim.context.settings() = {mode.port,
                                  kDefaultBaseAddress,
                                  0xA0,
                                  mode.port == kPortUsb ? 2500u : 0u,
                                  "card0-HDMI-A-1",
                                  mode.fast};
        sim.context.openPort([](const UserNotice&) {});
        options.backupDirectory = dataHome.backups();
    }
    SimulatedEeprom& eeprom() { return sim.hardware->eeprom; }
    std::uint64_t now() const { return sim.hardware->simulatedClock.nowMicroseconds(); }

    EepromWriteResult write(const EdidImage& image) {
        TransferChoice choice = chooseEepromTransfer(sim.context);
        EXPECT_EQ(choice.transfer->open(), "");
        return writeEepromTransaction(*choice.transfer, image, watcher, options);
    }

    ScopedDataHome dataHome;
    FakeSysfs sys;
    SimulatedDdc sim;
    Watcher watcher;
    WriteTransactionOptions options;
};

class WriteTransactionTest : public ::testing::TestWithParam<Mode> {
protected:
    WriteTransaction t{GetParam()};
    bool fast() const { return GetParam().fast || GetParam().port == kPortDdc; }
};

INSTANTIATE_TEST_SUITE_P(Modes, WriteTransactionTest,
                         ::testing::Values(Mode{kPortLpt1, false}, Mode{kPortLpt1, true},
                                           Mode{kPortCom1 + 2, false}, Mode{kPortUsb, false},
                                           Mode{kPortUsb, true}, Mode{kPortDdc, true}),
                         [](const auto& info) {
                             return std::string(portName(info.param.port)) +
                                    (info.param.fast ? "_fast" : "_default");
                         });

TEST_P(WriteTransactionTest, TheBackupHoldsThePreviousContentBeforeTheFirstByteIsWritten) {
    EdidImage previous = edid();
    previous[0x20] = 0x99;
    previous[0xF0] = 0x01;
    t.eeprom().memory() = previous;
    std::vector<std::filesystem::path> backupsAtWrite;
    int cyclesAtWrite = -1;
    t.watcher.onWrite = [&] {
        backupsAtWrite = t.dataHome.backupFiles();
        cyclesAtWrite = t.eeprom().writeCycles();
    };
    const EepromWriteResult result = t.write(edid());

    EXPECT_EQ(result.status, Status::Pass) << result.message;
    EXPECT_EQ(cyclesAtWrite, 0);
    ASSERT_EQ(backupsAtWrite.size(), 1u) << "saved before the write began";
    EXPECT_EQ(readFile(backupsAtWrite[0]), std::string(previous.begin(), previous.end()));
    EXPECT_EQ(result.backupPath, backupsAtWrite[0].string());
    const std::string name = GetParam().port == kPortDdc ? "card0-HDMI-A-1-" : "";
    EXPECT_TRUE(backupsAtWrite[0].filename().string().starts_with(
        name.empty() ? std::string(portName(GetParam().port)) + "-" : name));
    EXPECT_EQ(t.eeprom().memory(), edid());
    EXPECT_EQ(t.watcher.phases,
              (std::vector{TransferPhase::Backup, TransferPhase::Write, TransferPhase::Verify}));
    // The fast write: the two pages that differ; else all 256 bytes.
    EXPECT_EQ(t.eeprom().writeCycles(), fast() ? 2 : 256);
}

TEST_P(WriteTransactionTest, AWriteProtectedSinkFailsTheVerifyNamingTheAddressesAndTheBackup) {
    t.eeprom().memory() = edid();
    t.eeprom().memory()[0x08] = 0x11;
    for (std::size_t a = 0x30; a < 0x38; ++a)
        t.eeprom().memory()[a] = 0xEE;
    t.eeprom().writeProtected = true;
    const EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, Status::Fail);
    ASSERT_EQ(t.dataHome.backupFiles().size(), 1u);
    // It kept its old bytes everywhere: the message names write protection.
    EXPECT_TRUE(result.writeProtected);
    EXPECT_TRUE(result.message.ends_with(
        "9 bytes differ (08h, 30h-37h). The EEPROM still holds its previous bytes at every "
        "differing address: it is write-protected (its WP pin held high, or a sink that protects "
        "its EDID).\nThe sink's previous content is saved in " +
        t.dataHome.backupFiles()[0].string() + "."))
        << result.message;
    EXPECT_EQ(t.eeprom().memory()[0x08], 0x11);
}

TEST(WriteTransaction, ABackupThatCannotBeSavedStopsTheWrite) {
    WriteTransaction t{{kPortUsb, true}};
    t.eeprom().memory() = hdmiDefaultImage();
    writeFile(t.dataHome.backups().parent_path(), "a file where the folder would be");
    const EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, Status::NotBackedUp);
    EXPECT_TRUE(result.message.starts_with("The backup of the sink's content could not be saved "
                                           "in " +
                                           t.dataHome.backups().string()));
    EXPECT_TRUE(result.message.ends_with(" Nothing was written."));
    EXPECT_EQ(t.eeprom().writeCycles(), 0);
}

TEST(WriteTransaction, OnlyTheDdcBusAsksAboutAContentThatIsNoEdid) {
    for (const std::int32_t port : {kPortLpt1, kPortUsb}) {
        WriteTransaction t{{port, true}}; // the EEPROM is blank
        bool asked = false;
        t.options.confirmOverwrite = [&](const std::string&) { return asked = true; };
        EXPECT_EQ(t.write(edid()).status, Status::Pass) << portName(port);
        EXPECT_FALSE(asked) << "a blank EEPROM on a programmer is the usual case";
    }
}

// The fast write's transactions on the DDC bus, whose controller records
// every message: the backup read, per changed page its write and the polls
// (one-byte reads) that fail until the write cycle is over, the verify.
TEST(WriteTransactionFast, OnlyTheChangedPagesArePolledThroughTheirWriteCycleThenOneReadVerifies) {
    WriteTransaction t{{kPortDdc, true}};
    EdidImage previous = edid();
    previous[0x09] ^= 1;    // page 08h
    previous[0x7F] ^= 1;    // page 78h
    previous[0x80] ^= 0xFF; // page 80h
    t.eeprom().memory() = previous;
    const EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, Status::Pass) << result.message;
    EXPECT_EQ(result.pagesWritten, 3u);
    EXPECT_EQ(t.eeprom().memory(), edid());

    const auto& transactions = t.sim.hardware->ddcBuses.transactions;
    std::vector<Byte> pages;
    std::size_t polls = 0;
    for (std::size_t i = 1; i + 1 < transactions.size(); ++i) {
        ASSERT_EQ(transactions[i].size(), 1u);
        const auto& m = transactions[i][0];
        if (m.read)
            ++polls;
        else if (m.data.size() == 9)
            pages.push_back(m.data[0]);
    }
    EXPECT_EQ(pages, (std::vector<Byte>{0x08, 0x78, 0x80}));
    // 5 ms of write cycle; a poll takes 110 us on the bus (200 us once
    // answered) and the next follows 50 us later.
    EXPECT_GE(polls, 3 * 20u);
    EXPECT_LE(polls, 3 * 33u);
    for (const auto& read : {transactions.front(), transactions.back()})
        EXPECT_EQ(read.at(1).data.size(), 256u) << "all 256 bytes in one sequential read";
    EXPECT_EQ(t.watcher.steps[static_cast<int>(TransferPhase::Verify)], 1);
}

// Simulated time is deterministic, so the fast write's speed is a fact to
// check: at 100 kHz, on the DDC bus and on the USB adapter.
TEST(WriteTransactionFast, AFullWriteTakesAtMostHalfAgainTheBusMinimum) {
    // 32 page writes of 10 bytes (9 clocks each at 100 kHz) with their 5 ms
    // write cycle, and one read of 259 bytes: the bus can do no better.
    constexpr std::uint64_t kMinimumUs = 32 * (10 * 9 * 10 + 5000) + 259 * 9 * 10;
    for (const std::int32_t port : {kPortDdc, kPortUsb}) {
        SCOPED_TRACE(portName(port));
        WriteTransaction t{{port, true}};
        t.eeprom().memory() = complement();
        t.options.confirmOverwrite = [](const std::string&) { return true; }; // no header
        const std::uint64_t start = t.now();
        const EepromWriteResult result = t.write(edid());
        const std::uint64_t took = t.now() - start;
        ASSERT_EQ(result.status, Status::Pass);
        EXPECT_EQ(result.pagesWritten, 32u);
        EXPECT_LE(took, kMinimumUs * 3 / 2) << "backup read, write and verify took " << took;
        EXPECT_GE(took, kMinimumUs) << "faster than the bus can be";
    }
}

TEST(WriteTransactionFast, AnEepromThatStaysBusyEndsTheWriteAtThatPage) {
    WriteTransaction t{{kPortUsb, true}};
    t.eeprom().memory() = hdmiDefaultImage();
    t.eeprom().writeCycleUs = 30'000;
    EdidImage image = hdmiDefaultImage();
    image[0x21] = image[0x41] = 0x00;
    ApplyAutoChecksums(image, true);
    const EepromWriteResult result = t.write(image);
    EXPECT_EQ(result.status, Status::NoAnswer);
    EXPECT_EQ(result.message,
              "The sink at slave address A0h on USB took the page at 20h but did not answer "
              "again within 20 ms. 1 page was written (8 of the image's 256 bytes).\nThe sink's "
              "previous content is saved in " +
                  t.dataHome.backupFiles().at(0).string() + ".");
    EXPECT_EQ(t.eeprom().writeCycles(), 1) << "no second page";
}

TEST(WriteTransactionFast, APauseStopsAfterTheCurrentPage) {
    WriteTransaction t{{kPortLpt1, true}};
    t.eeprom().memory() = complement();
    t.watcher.stopAfterWriteAt = 0x18;
    const EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, Status::Stopped);
    EXPECT_EQ(t.eeprom().writeCycles(), 4);
    EXPECT_EQ(result.message, "The write was stopped. 4 pages were written (32 of the image's 256 "
                              "bytes). The EEPROM holds part of the image.\nThe sink's previous "
                              "content is saved in " +
                                  t.dataHome.backupFiles().at(0).string() + ".");
}

// The default write keeps the bus traffic it always had: after the backup
// read, the USB adapter sees exactly the writes of a read, then a write and
// verify, as the editor made them before writes were transactions.
TEST(WriteTransactionDefault, TheUsbWriteSequenceIsUnchangedAfterTheBackupRead) {
    const auto writesOfWrite = [](bool transaction) {
        WriteTransaction t{{kPortUsb, false}};
        t.eeprom().memory() = hdmiDefaultImage();
        auto& writes = t.sim.hardware->ft2232.writes;
        std::size_t firstOfWrite = 0;
        t.watcher.onWrite = [&] { firstOfWrite = writes.size(); };
        TransferChoice choice = chooseEepromTransfer(t.sim.context);
        EXPECT_EQ(choice.transfer->open(), "");
        if (!transaction) {
            EXPECT_EQ(readEeprom(*choice.transfer, t.watcher).count, 256u);
        }
        const auto status =
            transaction
                ? writeEepromTransaction(*choice.transfer, edid(), t.watcher, t.options).status
                : writeEeprom(*choice.transfer, edid(), t.watcher).status;
        EXPECT_EQ(status, Status::Pass);
        return std::vector<std::vector<Byte>>(writes.begin() + firstOfWrite, writes.end());
    };
    const auto plain = writesOfWrite(false);
    EXPECT_GT(plain.size(), 256u * 3);
    EXPECT_EQ(writesOfWrite(true), plain);
}

TEST(EepromBackup, NamesArePortAndTimeNeverReplacingAFileInTheUsersDataFolder) {
    ScopedDataHome home;
    EXPECT_EQ(defaultBackupDirectory(), home.backups());
    const std::array<Byte, 4> bytes = {1, 2, 3, 4};
    const std::time_t when = 1'700'000'000;
    char stamp[32];
    std::tm local{};
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", localtime_r(&when, &local));
    const BackupSave first = saveEepromBackup(home.backups(), "card0-HDMI-A-1", bytes, when);
    const BackupSave second = saveEepromBackup(home.backups(), "card0-HDMI-A-1", bytes, when);
    EXPECT_EQ(first.path, home.backups() / ("card0-HDMI-A-1-" + std::string(stamp) + ".bin"));
    EXPECT_EQ(second.path, home.backups() / ("card0-HDMI-A-1-" + std::string(stamp) + "-2.bin"));
    EXPECT_EQ(readFile(first.path), std::string("\x01\x02\x03\x04"));
    EXPECT_EQ(home.backupFiles().size(), 2u) << "no temporary file left behind";
    for (const auto& [port, part] : {std::pair{"a/b c", "a_b_c"}, {"..", "_.."}, {"", "sink"}})
        EXPECT_EQ(backupNamePart(port), part) << port;

    // Without XDG_DATA_HOME (or with a relative one): ~/.local/share.
    setenv("XDG_DATA_HOME", "relative", 1);
    const char* userHome = std::getenv("HOME");
    EXPECT_EQ(defaultBackupDirectory(),
              std::filesystem::path(userHome ? userHome : "/") / ".local/share/pellam/backups");
}

} // namespace
} // namespace pellam::test
