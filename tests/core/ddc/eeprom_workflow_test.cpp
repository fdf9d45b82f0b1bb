// The transfer workflow over each kind of transfer (bit-banged on a parallel
// and a serial port, MPSSE on the USB adapter) against the simulated EEPROM.
#include "core/ddc/eeprom_workflow.h"
#include "core/ddc/ddc_test_support.h"

#include <functional>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

EdidImage pattern() {
    EdidImage image;
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<Byte>(i * 37 + 11);
    return image;
}

std::vector<Byte> bytesOf(const EdidImage& image) {
    return {image.begin(), image.end()};
}

// Records what the workflow reports and can stop it or change the sink at a
// chosen moment.
struct Recorder final : TransferObserver {
    void phaseStarted(TransferPhase phase) override {
        phases.push_back(phase);
        if (onPhase)
            onPhase(phase);
    }
    void stepDone(TransferPhase phase, std::size_t address, std::span<const Byte> bytes) override {
        steps.push_back({phase, address, bytes.size()});
        if (onStep)
            onStep(phase, address);
    }
    bool stopRequested() override {
        return stopAfterSteps >= 0 && int(steps.size()) >= stopAfterSteps;
    }
    void verifyFailed(const VerifyMismatch& m) override { mismatches.push_back(m); }

    struct Step {
        TransferPhase phase;
        std::size_t address;
        std::size_t count;
    };
    std::vector<TransferPhase> phases;
    std::vector<Step> steps;
    std::vector<VerifyMismatch> mismatches;
    int stopAfterSteps = -1;
    std::function<void(TransferPhase)> onPhase;
    std::function<void(TransferPhase, std::size_t)> onStep;
};

class EepromWorkflowTest : public ::testing::TestWithParam<std::int32_t> {
protected:
    void SetUp() override {
        sim.context.settings() = {GetParam(), kDefaultBaseAddress, kDefaultSlaveAddress,
                                  GetParam() == kPortUsb ? kDefaultUsbDelayCount : 0};
        sim.context.openPort([](const UserNotice&) {});
    }
    SimulatedEeprom& eeprom() { return sim.hardware->eeprom; }
    bool usb() const { return GetParam() == kPortUsb; }
    std::size_t readStep() const { return usb() ? 128 : 1; }
    std::string sink() const { return "slave address A0h on " + std::string(portName(GetParam())); }

    std::unique_ptr<EepromTransfer> openTransfer() {
        TransferChoice choice = chooseEepromTransfer(sim.context);
        EXPECT_TRUE(choice.transfer) << choice.problem;
        EXPECT_EQ(choice.transfer->open(), "");
        return std::move(choice.transfer);
    }
    EepromReadResult read() { return readEeprom(*openTransfer(), observer); }
    EepromWriteResult write(const EdidImage& image) {
        return writeEeprom(*openTransfer(), image, observer);
    }

    DebugLogCapture log;
    SimulatedDdc sim;
    Recorder observer;
};

INSTANTIATE_TEST_SUITE_P(Ports, EepromWorkflowTest,
                         ::testing::Values(kPortLpt1, kPortCom1 + 2, kPortUsb),
                         [](const auto& info) { return std::string(portName(info.param)); });

TEST_P(EepromWorkflowTest, ReadsTheWholeEepromInTheTransportsSteps) {
    eeprom().memory() = pattern();
    const EepromReadResult result = read();
    EXPECT_EQ(result.status, EepromReadResult::Status::Complete);
    EXPECT_EQ(result.count, 256u);
    EXPECT_EQ(result.bytes, bytesOf(pattern()));
    ASSERT_EQ(observer.steps.size(), 256 / readStep());
    for (std::size_t k = 0; k < observer.steps.size(); ++k) {
        EXPECT_EQ(observer.steps[k].address, k * readStep());
        EXPECT_EQ(observer.steps[k].count, readStep());
    }
}

TEST_P(EepromWorkflowTest, ASinkThatStopsAnsweringEndsTheReadWhereItStopped) {
    eeprom().memory() = pattern();
    observer.onStep = [this](TransferPhase, std::size_t address) {
        if (address == 0)
            eeprom().present = false;
    };
    const EepromReadResult result = read();
    EXPECT_EQ(result.status, EepromReadResult::Status::NoAnswer);
    EXPECT_EQ(result.count, readStep());
    const std::string at = usb() ? "80" : "01";
    EXPECT_EQ(result.message,
              "The sink at " + sink() + " stopped answering at EEPROM address " + at + "h.");
}

TEST_P(EepromWorkflowTest, AnEepromThatLosesABitFailsAtThatByte) {
    // A cell that does not hold its bit: it reads back changed once written.
    observer.onPhase = [this](TransferPhase phase) {
        if (phase == TransferPhase::Verify)
            eeprom().memory()[0x42] ^= 0x10;
    };
    const EepromWriteResult result = write(pattern());
    EXPECT_EQ(result.status, EepromWriteResult::Status::Fail);
    EXPECT_EQ(*result.firstDifference,
              (VerifyMismatch{0x42, pattern()[0x42], Byte(pattern()[0x42] ^ 0x10)}));
    EXPECT_EQ(observer.mismatches, std::vector{*result.firstDifference});
    EXPECT_EQ(result.verified, 256u) << "the verify reads on to find every difference";
    EXPECT_EQ(result.differences, 1u);
    EXPECT_EQ(result.message,
              "Verify failed at EEPROM address 42h: wrote 95, read back 85. 1 byte differs (42h).");
}

TEST_P(EepromWorkflowTest, AStopRequestEndsTheTransferBeforeTheNextByte) {
    eeprom().memory() = pattern();
    observer.stopAfterSteps = 1;
    const EepromReadResult read = this->read();
    EXPECT_EQ(read.status, EepromReadResult::Status::Stopped);
    EXPECT_EQ(read.count, readStep());

    // Stopped in the write: neither more bytes nor a verify.
    observer = {};
    observer.stopAfterSteps = 10;
    const EdidImage image{};
    const EepromWriteResult write = this->write(image);
    EXPECT_EQ(write.status, EepromWriteResult::Status::Stopped);
    EXPECT_EQ(write.written, 10u);
    EXPECT_EQ(write.endedIn, TransferPhase::Write);
    EXPECT_EQ(eeprom().writeCycles(), 10);
    EXPECT_EQ(observer.phases, std::vector{TransferPhase::Write});
}

TEST(EepromTransferChoice, RefusesWithoutAPortTypeAnUnknownOneOrWhileAnotherRuns) {
    SimulatedDdc sim;
    sim.context.settings().portType = kPortNone;
    EXPECT_EQ(chooseEepromTransfer(sim.context).problem,
              "Please Choose A PortType In [I2C Setting] First!");
    sim.context.settings().portType = 12;
    EXPECT_EQ(chooseEepromTransfer(sim.context).problem,
              "Port type 12 is not known. Please Choose A PortType In [I2C Setting] First!");

    sim.context.settings().portType = kPortUsb;
    {
        const TransferChoice first = chooseEepromTransfer(sim.context);
        ASSERT_TRUE(first.transfer);
        const TransferChoice second = chooseEepromTransfer(sim.context);
        EXPECT_FALSE(second.transfer);
        EXPECT_EQ(second.problem, "Another EEPROM transfer is still running.");
    }
    EXPECT_TRUE(chooseEepromTransfer(sim.context).transfer) << "free again once the first went";
}

TEST(EepromTransferChoice, OpenSaysWhyATransportCannotBeUsed) {
    SimulatedDdc sim;
    sim.context.settings().portType = kPortUsb;
    sim.hardware->ft2232.connected = false;
    TransferChoice usb = chooseEepromTransfer(sim.context);
    EXPECT_TRUE(usb.transfer->open().starts_with("'Korvo USB Debug Tool A' DEVICE OPEN ERROR!"));
    usb.transfer.reset();

    // A port chosen after start-up is opened only at the next start.
    sim.context.settings().portType = kPortLpt2;
    EXPECT_EQ(chooseEepromTransfer(sim.context).transfer->open(),
              "LPT2 is opened when Pellam starts: restart Pellam to use it.");
}

TEST(EepromTransferChoice, TheUsbAdapterIsOpenOnlyWhileATransferIsOpen) {
    SimulatedDdc sim;
    sim.context.settings().portType = kPortUsb;
    sim.context.settings().delayCount = 2500;
    {
        TransferChoice choice = chooseEepromTransfer(sim.context);
        EXPECT_EQ(choice.transfer->open(), "");
        EXPECT_TRUE(sim.context.usb().isOpen());
        EXPECT_EQ(sim.hardware->ft2232.clockDivisor(), mpsseClockDivisor(100));
    }
    EXPECT_FALSE(sim.context.usb().isOpen()) << "closed with the transfer";
}

TEST(OpenTransfer, OpensFromTheSettingsAndClosesOnEveryPath) {
    SimulatedDdc sim;
    sim.context.settings().portType = kPortNone;
    EXPECT_EQ(OpenTransfer(sim.context).problem(), kMsgChoosePortType);

    sim.context.settings().portType = kPortUsb;
    sim.hardware->ft2232.connected = false;
    {
        const OpenTransfer failed(sim.context);
        EXPECT_FALSE(failed.ready());
        EXPECT_TRUE(failed.problem().starts_with("'Korvo USB Debug Tool A' DEVICE OPEN ERROR!"));
    }
    sim.hardware->ft2232.connected = true;
    {
        OpenTransfer open(sim.context);
        ASSERT_TRUE(open.ready()) << open.problem();
        EXPECT_FALSE(open.pausable());
        EXPECT_EQ(open.sink(), "slave address A0h on USB");
        EXPECT_TRUE(sim.context.usb().isOpen());
        EXPECT_EQ(OpenTransfer(sim.context).problem(), "Another EEPROM transfer is still running.");
        open.close();
        EXPECT_FALSE(sim.context.usb().isOpen());
        EXPECT_EQ(open.sink(), "slave address A0h on USB") << "still named after closing";
    }
    EXPECT_FALSE(sim.context.transferActive());
    {
        const OpenTransfer leftOpen(sim.context);
        EXPECT_TRUE(sim.context.usb().isOpen());
    }
    EXPECT_FALSE(sim.context.usb().isOpen()) << "closed when it went";
    EXPECT_FALSE(sim.context.transferActive());

    sim.context.settings().portType = kPortLpt1;
    sim.context.openPort([](const UserNotice&) {});
    const OpenTransfer port(sim.context);
    ASSERT_TRUE(port.ready()) << port.problem();
    EXPECT_TRUE(port.pausable());
}

TEST(EepromWorkflowText, ProgressIsTheBytesDoneAsAPercentageOfThePhase) {
    struct Case {
        std::size_t done, total;
        const char* text;
    };
    const Case cases[] = {{0, 256, "  0%"},   {2, 256, "  0%"},   {3, 256, "  1%"},
                          {128, 256, " 50%"}, {255, 256, " 99%"}, {256, 256, "100%"},
                          {256, 512, " 50%"}, {900, 512, "100%"}, {0, 0, "  0%"}};
    for (const Case& c : cases)
        EXPECT_EQ(progressPercentText(c.done, c.total), c.text) << c.done << "/" << c.total;
}

} // namespace
} // namespace pellam::test
