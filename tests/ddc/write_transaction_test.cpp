// The write as a transaction, on every port type and in both write modes,
// against the simulated EEPROM: the backup before the first byte, the fast
// write's pages and polling, the verify, the refusal of a content that is no
// EDID, and what the user is told when something fails.
#include "ddc/eeprom_backup.h"
#include "ddc/eeprom_workflow.h"
#include "ddc_test_support.h"
#include "support/fake_sysfs.h"
#include "support/test_support.h"

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

namespace fs = std::filesystem;

EdidImage edid() {
    EdidImage image = hdmiDefaultImage();
    image[0x10] = 0x42;
    return image;
}

EdidImage bytesOf(const fs::path& file) {
    return imageFromBytes(readFile(file));
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct Mode {
    std::int32_t port;
    bool fast;
};

std::string modeName(const Mode& mode) {
    return std::string(portName(mode.port)) + (mode.fast ? "_fast" : "_default");
}

// Observes the transaction and checks the backup at the moment the write
// begins.
struct Watcher final : TransferObserver {
    void phaseStarted(TransferPhase phase) override {
        phases.push_back(phase);
        if (phase == TransferPhase::Write && onWrite)
            onWrite();
    }
    void stepDone(TransferPhase phase, std::size_t address, std::span<const Byte> bytes) override {
        steps.push_back({phase, address, bytes.size()});
        if (onStep)
            onStep(phase, address);
    }
    bool stopRequested() override { return stop; }

    struct Step {
        TransferPhase phase;
        std::size_t address;
        std::size_t count;
    };
    std::vector<TransferPhase> phases;
    std::vector<Step> steps;
    std::function<void()> onWrite;
    std::function<void(TransferPhase, std::size_t)> onStep;
    bool stop = false;

    std::size_t stepsIn(TransferPhase phase) const {
        return static_cast<std::size_t>(std::count_if(
            steps.begin(), steps.end(), [phase](const Step& s) { return s.phase == phase; }));
    }
};

class WriteTransaction {
public:
    explicit WriteTransaction(Mode mode) {
        sys.connectorOnBus("card0-HDMI-A-1", "connected", "", "i2c-5");
        sim.hardware->ddcBuses.sysRoot = sys.root();
        sim.context.settings() = {mode.port,
                                  kDefaultBaseAddress,
                                  kDefaultSlaveAddress,
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
        EXPECT_TRUE(choice.transfer) << choice.problem;
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
                         [](const auto& info) { return modeName(info.param); });

TEST_P(WriteTransactionTest, TheBackupHoldsThePreviousContentBeforeTheFirstByteIsWritten) {
    EdidImage previous = edid();
    previous[0x20] = 0x99;
    previous[0xF0] = 0x01;
    t.eeprom().memory() = previous;
    std::vector<fs::path> backupsAtWrite;
    int cyclesAtWrite = -1;
    t.watcher.onWrite = [&] {
        backupsAtWrite = t.dataHome.backupFiles();
        cyclesAtWrite = t.eeprom().writeCycles();
    };
    const EepromWriteResult result = t.write(edid());

    EXPECT_EQ(result.status, EepromWriteResult::Status::Pass) << result.message;
    EXPECT_EQ(cyclesAtWrite, 0);
    ASSERT_EQ(backupsAtWrite.size(), 1u) << "saved before the write began";
    EXPECT_EQ(bytesOf(backupsAtWrite[0]), previous);
    EXPECT_EQ(fs::file_size(backupsAtWrite[0]), 256u);
    EXPECT_EQ(result.backupPath, backupsAtWrite[0].string());
    const std::string name = backupsAtWrite[0].filename().string();
    const std::string port = GetParam().port == kPortDdc ? "card0-HDMI-A-1" : "";
    EXPECT_TRUE(name.starts_with(port.empty() ? std::string(portName(GetParam().port)) : port))
        << name;
    EXPECT_EQ(t.eeprom().memory(), edid());
    EXPECT_EQ(t.watcher.phases,
              (std::vector{TransferPhase::Backup, TransferPhase::Write, TransferPhase::Verify}));
    // The fast write: the two pages that differ; else all 256 bytes.
    EXPECT_EQ(t.eeprom().writeCycles(), fast() ? 2 : 256);
    EXPECT_EQ(result.fast, fast());
}

TEST_P(WriteTransactionTest, AWriteProtectedSinkFailsTheVerifyAndNamesTheBackup) {
    t.eeprom().memory() = edid();
    t.eeprom().memory()[0x08] = 0x11;
    for (std::size_t a = 0x30; a < 0x38; ++a)
        t.eeprom().memory()[a] = 0xEE;
    t.eeprom().writeProtected = true;
    const EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, EepromWriteResult::Status::Fail);
    EXPECT_EQ(result.differingAddresses.size(), 9u);
    EXPECT_TRUE(contains(result.message, "9 bytes differ (08h, 30h-37h).")) << result.message;
    ASSERT_EQ(t.dataHome.backupFiles().size(), 1u);
    EXPECT_TRUE(contains(result.message, "The sink's previous content is saved in " +
                                             t.dataHome.backupFiles()[0].string() + "."))
        << result.message;
}

TEST_P(WriteTransactionTest, ASinkThatDoesNotAnswerGetsNothingWrittenAndNoBackup) {
    t.eeprom().present = false;
    const EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, EepromWriteResult::Status::NoAnswer);
    EXPECT_EQ(result.endedIn, TransferPhase::Backup);
    EXPECT_TRUE(result.message.ends_with(" Nothing was written.")) << result.message;
    EXPECT_EQ(result.backupPath, "");
    EXPECT_TRUE(t.dataHome.backupFiles().empty());
}

TEST_P(WriteTransactionTest, ABackupThatCannotBeSavedStopsTheWrite) {
    t.eeprom().memory() = hdmiDefaultImage();
    // The backup folder's parent is a file.
    writeFile(t.dataHome.backups().parent_path(), "in the way");
    const EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, EepromWriteResult::Status::NotBackedUp);
    EXPECT_TRUE(result.message.starts_with("The backup of the sink's content could not be saved "
                                           "in " +
                                           t.dataHome.backups().string()))
        << result.message;
    EXPECT_TRUE(result.message.ends_with(" Nothing was written."));
    EXPECT_EQ(t.eeprom().writeCycles(), 0);
    EXPECT_EQ(t.eeprom().memory(), hdmiDefaultImage());
}

// The fast write's transactions on the DDC bus, where the controller
// records every message.
class FastWriteOnDdc : public ::testing::Test {
protected:
    WriteTransaction t{{kPortDdc, true}};
    const std::vector<std::vector<SimulatedI2cDevBuses::Message>>& transactions() {
        return t.sim.hardware->ddcBuses.transactions;
    }
};

TEST_F(FastWriteOnDdc, OnlyTheChangedPagesArePolledThroughTheirWriteCycleThenOneReadVerifies) {
    const EdidImage image = edid();
    EdidImage previous = image;
    previous[0x09] ^= 1;    // page 08h
    previous[0x7F] ^= 1;    // page 78h
    previous[0x80] ^= 0xFF; // page 80h
    t.eeprom().memory() = previous;
    const EepromWriteResult result = t.write(image);
    EXPECT_EQ(result.status, EepromWriteResult::Status::Pass) << result.message;
    EXPECT_EQ(result.pagesChanged, 3u);
    EXPECT_EQ(result.pagesWritten, 3u);
    EXPECT_EQ(t.eeprom().memory(), image);

    // The backup read, then per page: its write and the polls (one-byte
    // reads) that fail until the cycle is over, then the verify.
    std::vector<Byte> pagesWritten;
    std::size_t polls = 0;
    for (std::size_t i = 1; i + 1 < transactions().size(); ++i) {
        const auto& tr = transactions()[i];
        ASSERT_EQ(tr.size(), 1u);
        if (!tr[0].read) {
            ASSERT_EQ(tr[0].data.size(), 9u) << "a whole page";
            pagesWritten.push_back(tr[0].data[0]);
        } else {
            EXPECT_EQ(tr[0].address, 0x50);
            ++polls;
        }
    }
    EXPECT_EQ(pagesWritten, (std::vector<Byte>{0x08, 0x78, 0x80}));
    // 5 ms of write cycle; a poll takes 110 us on the bus (200 us once
    // answered) and the next follows 50 us later.
    EXPECT_GE(polls, 3 * 20u);
    EXPECT_LE(polls, 3 * 33u);
    for (const auto* read : {&transactions().front(), &transactions().back()}) {
        ASSERT_EQ(read->size(), 2u);
        EXPECT_EQ((*read)[1].data.size(), 256u) << "all 256 bytes in one sequential read";
    }
    EXPECT_EQ(t.watcher.stepsIn(TransferPhase::Verify), 1u);
    EXPECT_EQ(t.watcher.stepsIn(TransferPhase::Write), 3u);
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
        // Every page differs (and there is no EDID header either).
        EdidImage previous = edid();
        for (Byte& b : previous)
            b = static_cast<Byte>(~b);
        t.eeprom().memory() = previous;
        t.options.confirmOverwrite = [](const std::string&) { return true; };
        const std::uint64_t start = t.now();
        const EepromWriteResult result = t.write(edid());
        const std::uint64_t took = t.now() - start;
        ASSERT_EQ(result.status, EepromWriteResult::Status::Pass);
        EXPECT_EQ(result.pagesWritten, 32u);
        EXPECT_LE(took, kMinimumUs * 3 / 2) << "backup read, write and verify took " << took;
        EXPECT_GE(took, kMinimumUs) << "faster than the bus can be";
    }
}

TEST_F(FastWriteOnDdc, AContentThatIsNoEdidIsOverwrittenOnlyWhenConfirmed) {
    t.eeprom().memory().fill(0xFF); // blank, or someone else's memory
    std::vector<std::string> questions;
    bool answer = false;
    t.options.confirmOverwrite = [&](const std::string& question) {
        questions.push_back(question);
        return answer;
    };
    EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, EepromWriteResult::Status::Refused);
    EXPECT_EQ(result.message,
              "The EEPROM at slave address A0h on card0-HDMI-A-1 does not hold an EDID: it "
              "starts with FF FF FF FF FF FF FF FF, not with the EDID header 00 FF FF FF FF FF "
              "FF 00. Nothing was written.");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].ends_with("It may belong to another device. Overwrite it?"));
    EXPECT_EQ(t.eeprom().writeCycles(), 0);
    EXPECT_TRUE(t.dataHome.backupFiles().empty());

    answer = true;
    result = t.write(edid());
    EXPECT_EQ(result.status, EepromWriteResult::Status::Pass) << result.message;
    EXPECT_EQ(t.eeprom().memory(), edid());
    EXPECT_EQ(questions.size(), 2u);

    // Without anybody to ask: refused.
    t.eeprom().memory().fill(0x00);
    t.options.confirmOverwrite = nullptr;
    EXPECT_EQ(t.write(edid()).status, EepromWriteResult::Status::Refused);
    EXPECT_EQ(t.eeprom().memory()[0x08], 0x00);
}

TEST(WriteTransactionGuard, OnlyTheDdcBusAsksAboutAContentThatIsNoEdid) {
    for (const std::int32_t port : {kPortLpt1, kPortUsb}) {
        WriteTransaction t{{port, true}};
        bool asked = false;
        t.options.confirmOverwrite = [&](const std::string&) { return asked = true; };
        EXPECT_EQ(t.write(edid()).status, EepromWriteResult::Status::Pass) << portName(port);
        EXPECT_FALSE(asked) << "a blank EEPROM on a programmer is the usual case";
    }
}

TEST(WriteTransactionFast, AnEepromThatStaysBusyEndsTheWriteAtThatPage) {
    WriteTransaction t{{kPortUsb, true}};
    t.eeprom().memory() = hdmiDefaultImage();
    t.eeprom().writeCycleUs = 30'000;
    EdidImage image = hdmiDefaultImage();
    image[0x21] = 0x00;
    image[0x41] = 0x00;
    const EepromWriteResult result = t.write(image);
    EXPECT_EQ(result.status, EepromWriteResult::Status::NoAnswer);
    EXPECT_EQ(result.pagesWritten, 1u);
    EXPECT_EQ(result.message,
              "The sink at slave address A0h on USB took the page at 20h but did not answer "
              "again within 20 ms. 1 page was written.\nThe sink's previous content is saved in " +
                  t.dataHome.backupFiles().at(0).string() + ".");
    EXPECT_EQ(t.eeprom().writeCycles(), 1) << "no second page";
}

TEST(WriteTransactionFast, APauseStopsBetweenPages) {
    WriteTransaction t{{kPortLpt1, true}};
    EdidImage previous = edid();
    for (Byte& b : previous)
        b = static_cast<Byte>(~b);
    t.eeprom().memory() = previous;
    t.watcher.onStep = [&](TransferPhase phase, std::size_t address) {
        if (phase == TransferPhase::Write && address == 0x18)
            t.watcher.stop = true;
    };
    const EepromWriteResult result = t.write(edid());
    EXPECT_EQ(result.status, EepromWriteResult::Status::Stopped);
    EXPECT_EQ(result.pagesWritten, 4u);
    EXPECT_EQ(t.eeprom().writeCycles(), 4);
    EXPECT_TRUE(contains(result.message, "previous content is saved in")) << result.message;
}

// The default write keeps the bus traffic it always had: after the backup
// read, the USB adapter sees exactly the writes of a plain write and verify
// after a read.
TEST(WriteTransactionDefault, TheUsbWriteSequenceIsUnchangedAfterTheBackupRead) {
    const auto writesOfWrite = [](bool transaction) {
        WriteTransaction t{{kPortUsb, false}};
        t.eeprom().memory() = hdmiDefaultImage();
        std::size_t firstOfWrite = 0;
        auto& writes = t.sim.hardware->ft2232.writes;
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
        EXPECT_EQ(status, EepromWriteResult::Status::Pass);
        return std::vector<std::vector<Byte>>(writes.begin() + firstOfWrite, writes.end());
    };
    const auto plain = writesOfWrite(false);
    EXPECT_GT(plain.size(), 256u * 3);
    EXPECT_EQ(writesOfWrite(true), plain);
}

TEST(EepromBackup, NamesAreThePortAndTheTimeAndNeverReplaceAFile) {
    ScopedDataHome home;
    EXPECT_EQ(defaultBackupDirectory(), home.backups());
    const std::array<Byte, 4> bytes = {1, 2, 3, 4};
    const std::time_t when = 1'700'000'000;
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const BackupSave first = saveEepromBackup(home.backups(), "card0-HDMI-A-1", bytes, when);
    const BackupSave second = saveEepromBackup(home.backups(), "card0-HDMI-A-1", bytes, when);
    EXPECT_EQ(first.path, home.backups() / ("card0-HDMI-A-1-" + std::string(stamp) + ".bin"));
    EXPECT_EQ(second.path, home.backups() / ("card0-HDMI-A-1-" + std::string(stamp) + "-2.bin"));
    EXPECT_EQ(readFile(first.path), std::string("\x01\x02\x03\x04"));
    EXPECT_EQ(home.backupFiles().size(), 2u) << "no temporary file left behind";

    const std::pair<const char*, const char*> names[] = {
        {"USB", "USB"},     {"card1-DP-2", "card1-DP-2"},
        {"a/b c", "a_b_c"}, {"..", "_.."},
        {"", "sink"},       {"/", "sink"},
    };
    for (const auto& [port, part] : names)
        EXPECT_EQ(backupNamePart(port), part) << port;
}

TEST(EepromBackup, TheUsersDataFolderFollowsXdgDataHome) {
    const std::optional<std::string> previous =
        std::getenv("XDG_DATA_HOME") ? std::optional<std::string>(std::getenv("XDG_DATA_HOME"))
                                     : std::nullopt;
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/";
    const std::pair<const char*, std::string> cases[] = {
        {"/data", "/data/pellam/backups"},
        {"relative", home + "/.local/share/pellam/backups"},
        {"", home + "/.local/share/pellam/backups"},
    };
    for (const auto& [value, expected] : cases) {
        setenv("XDG_DATA_HOME", value, 1);
        EXPECT_EQ(defaultBackupDirectory().string(), expected) << value;
    }
    if (previous)
        setenv("XDG_DATA_HOME", previous->c_str(), 1);
}

TEST(EepromWorkflowText, DifferingAddressesAreListedAsRanges) {
    const std::pair<std::vector<std::size_t>, const char*> cases[] = {
        {{0x42}, "42h"},
        {{0x08, 0x30, 0x31, 0x32, 0xFF}, "08h, 30h-32h, FFh"},
        {{0, 2, 4, 6}, "00h, 02h, 04h, 06h"},
    };
    for (const auto& [addresses, text] : cases)
        EXPECT_EQ(addressRangesText(addresses), text);
    std::vector<std::size_t> every;
    for (std::size_t a = 0; a < 256; a += 2)
        every.push_back(a);
    EXPECT_EQ(addressRangesText(every, 3), "00h, 02h, 04h, ...");
    EXPECT_EQ(addressRangesText({}), "");
}

} // namespace
} // namespace pellam::test
