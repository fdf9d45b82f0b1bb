#include "core/ddc/port_devices.h"
#include "core/ddc/port_transport.h"
#include "core/ddc/ddc_test_support.h"
#include "support/test_support.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

// Lines that record every change and answer reads from a script: the sink
// pulls SDA low from read number `ackFromRead` on (never when negative).
class ScriptedLines final : public LineDriver {
public:
    explicit ScriptedLines(std::vector<std::string>& ops, int ackFromRead)
        : m_ops(ops)
        , m_ackFromRead(ackFromRead) {}
    void setSda(bool level) override { m_ops.push_back(level ? "SDA1" : "SDA0"); }
    void setScl(bool level) override { m_ops.push_back(level ? "SCL1" : "SCL0"); }
    bool sdaIn() override {
        m_ops.push_back("in");
        return m_ackFromRead < 0 || ++m_reads < m_ackFromRead;
    }

private:
    std::vector<std::string>& m_ops;
    int m_ackFromRead;
    int m_reads = 0;
};

// Hands out whatever lines the test prepared, for parallel and serial ports.
class FixedOpener final : public PortOpener {
public:
    std::function<LineOpenResult()> open;
    LineOpenResult openParallel(std::int32_t, std::uint32_t) override { return open(); }
    LineOpenResult openSerial(std::int32_t) override { return open(); }
};

struct PortFixture {
    explicit PortFixture(std::int32_t portType = kPortLpt1) { settings.portType = portType; }
    void open(std::function<LineOpenResult()> lines) {
        opener.open = std::move(lines);
        port.open(opener, [this](const UserNotice& n) { notices.push_back(n); });
    }
    void openScripted(int ackFromRead) {
        open([this, ackFromRead] {
            LineOpenResult result;
            result.driver = std::make_unique<ScriptedLines>(ops, ackFromRead);
            return result;
        });
        ops.clear();
        log.lines.clear();
    }

    // Declared before the port, which still changes lines when it goes.
    DebugLogCapture log;
    std::vector<std::string> ops;
    std::vector<UserNotice> notices;
    I2cSettings settings{kPortLpt1, kDefaultBaseAddress, kDefaultSlaveAddress, 0};
    SimulatedClock clock;
    FixedOpener opener;
    PortTransport port{settings, clock};
};

long count(const std::vector<std::string>& ops, const char* op) {
    return std::count(ops.begin(), ops.end(), op);
}

TEST(PortTransport, MissingSinkGivesEachStepsDiagnosticAndTheTransactionRunsToItsEnd) {
    struct Case {
        bool write;
        std::vector<std::string> lines;
        long reads; // the line check, 501 per acknowledge wait, 8 for the byte read
    };
    const Case cases[] = {
        {false,
         {"ReadByte(2C,00):GetAck(0) Error!", "ReadByte(2C,00):GetAck(1) Error!",
          "ReadByte(2C,00):GetAck(2) Error!"},
         1 + 3 * 501 + 8},
        {true,
         {"WriteByte(2C,5A):GetAck(1) Error!", "WriteByte(2C,5A):GetAck(2) Error!",
          "WriteByte(2C,5A):GetAck(3) Error!"},
         1 + 3 * 501},
    };
    for (const Case& c : cases) {
        PortFixture f;
        f.openScripted(-1);
        const std::uint64_t before = f.clock.nowMicroseconds();
        bool acknowledged = true;
        if (c.write) {
            acknowledged = f.port.WriteByte(0x2C, 0x5A);
        } else {
            const PortByteRead r = f.port.ReadByte(0x2C);
            EXPECT_EQ(r.value, 0xFF);
            acknowledged = r.acknowledged;
        }
        EXPECT_FALSE(acknowledged);
        EXPECT_EQ(f.log.lines, c.lines);
        EXPECT_EQ(count(f.ops, "in"), c.reads);
        // Ends with a stop and the 10 ms wait.
        const std::vector<std::string> tail(f.ops.end() - 3, f.ops.end());
        EXPECT_EQ(tail, (std::vector<std::string>{"SDA0", "SCL1", "SDA1"}));
        EXPECT_EQ(f.clock.nowMicroseconds() - before, 10000u);
    }
}

TEST(PortTransport, AStepIsReportedWhen500AcknowledgeReadsFailed) {
    struct Case {
        int ackFromRead;
        bool reported;
        bool acknowledged;
    };
    // The first read of SDA is the check that the line is free; the
    // acknowledge reads follow it.
    for (const Case c : {Case{501, false, true}, Case{502, true, true}, Case{503, true, false}}) {
        PortFixture f;
        f.openScripted(c.ackFromRead);
        const bool acknowledged = f.port.WriteByte(0x00, 0x00);
        EXPECT_EQ(f.log.contains("WriteByte(00,00):GetAck(1) Error!"), c.reported) << c.ackFromRead;
        EXPECT_EQ(acknowledged, c.acknowledged) << c.ackFromRead;
    }
}

TEST(PortTransport, ParallelPortOpeningReportsItsRegisters) {
    for (const auto& [base, line] :
         {std::pair{0x378u, "DO=0x0378, CO=0x037A, DI=0x0379, CI=0x0379"},
          std::pair{0x278u, "DO=0x0278, CO=0x027A, DI=0x0279, CI=0x0279"}}) {
        SimulatedDdc sim;
        DebugLogCapture log;
        sim.context.settings().baseAddress = base;
        sim.context.openPort([](const UserNotice&) {});
        EXPECT_TRUE(log.contains(line)) << line;
        EXPECT_EQ(portReportLine(base), line);
    }
}

TEST(PortTransport, StartUpMessagesAndTransferProblemsByPortType) {
    struct Case {
        std::int32_t portType;
        bool portsPresent;
        std::vector<std::string> notices; // icon:title:text
        std::string problemStart;         // empty: transfers can run
    };
    const Case cases[] = {
        {kPortLpt1, true, {}, ""},
        {kPortLpt2, false, {}, "There is no LPT2 port on this computer"},
        {kPortCom1 + 1, true, {"info:Dialog:COM2 Opened!!!"}, ""},
        {kPortCom8, false, {"error:Dialog:COM8 Open fail!!!"}, "COM8 could not be opened: "},
        {kPortUsb, false, {}, ""},
        {kPortNone, false, {}, ""},
    };
    for (const Case& c : cases) {
        SimulatedDdc sim;
        DebugLogCapture log;
        sim.hardware->hasParallelPorts = c.portsPresent;
        sim.hardware->hasSerialPorts = c.portsPresent;
        sim.context.settings().portType = c.portType;
        std::vector<std::string> notices;
        sim.context.openPort([&](const UserNotice& n) {
            const char* icon = n.icon == UserNotice::Icon::Information ? "info"
                               : n.icon == UserNotice::Icon::Error     ? "error"
                                                                       : "none";
            notices.push_back(std::string(icon) + ":" + n.title + ":" + n.text);
        });
        EXPECT_EQ(notices, c.notices) << c.portType;
        const std::string problem = sim.context.port().transferProblem();
        EXPECT_EQ(problem.substr(0, c.problemStart.size()), c.problemStart) << c.portType;
        EXPECT_EQ(problem.empty(), c.problemStart.empty()) << problem;
    }
}

TEST(PortTransport, APortChosenAfterStartUpIsUsedFromTheNextStart) {
    SimulatedDdc sim;
    sim.context.settings().portType = kPortUsb;
    sim.context.openPort([](const UserNotice&) {});
    sim.context.settings().portType = kPortLpt1;
    EXPECT_EQ(sim.context.port().transferProblem(),
              "LPT1 is opened when Pellam starts: restart Pellam to use it.");
}

TEST(PortDevices, ParallelPortThatIsMissingOrUnusable) {
    TempDir dir;
    writeFile(dir.path() / "parport0", ""); // a file, not a port: PPCLAIM fails
    const PortDevicePaths paths{(dir.path() / "parport").string(), "", false};
    DebugLogCapture log;

    const LineOpenResult missing = openParallelPort(1, 0x378, paths);
    EXPECT_FALSE(missing.driver);
    EXPECT_FALSE(missing.refused) << "no port: nothing to tell the user at start-up";

    const LineOpenResult unusable = openParallelPort(0, 0x378, paths);
    EXPECT_FALSE(unusable.driver);
    EXPECT_TRUE(unusable.refused);
    EXPECT_EQ(unusable.reason, (dir.path() / "parport0").string() +
                                   ": the port cannot be claimed: Inappropriate ioctl for device");

    PortFixture f;
    f.open([&] { return openParallelPort(0, 0x378, paths); });
    ASSERT_EQ(f.notices.size(), 1u);
    EXPECT_EQ(f.notices[0].text, "Cannot load driver!\n" + unusable.reason);
    EXPECT_EQ(f.port.transferProblem(), "LPT1 cannot be used: " + unusable.reason);
}

// A pseudo-terminal opens like a serial port but has no modem lines.
TEST(PortDevices, SerialPortWithoutModemLinesReadsNothingAndSaysSo) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string path = ptsname(master);

    PortFixture f(kPortCom1);
    f.open([&] { return openSerialDevice(path); });
    ASSERT_EQ(f.notices.size(), 1u);
    EXPECT_EQ(f.notices[0].text, "COM1 Opened!!!");
    EXPECT_TRUE(f.port.transferProblem().empty());

    const PortByteRead r = f.port.ReadByte(0x10);
    EXPECT_EQ(r.value, 0xFF);
    EXPECT_FALSE(r.acknowledged);
    // Each failing ioctl is logged once, not on every line change.
    const std::string why = " failed: Inappropriate ioctl for device";
    const std::vector<std::string> expected = {
        "serial: " + path + " opened",      path + ": TIOCMBIS" + why,
        path + ": TIOCMGET" + why,          path + ": TIOCMBIC" + why,
        "ReadByte(10,00):GetAck(0) Error!", "ReadByte(10,00):GetAck(1) Error!",
        "ReadByte(10,00):GetAck(2) Error!"};
    EXPECT_EQ(f.log.lines, expected);
    f.port.close();
    close(master);

    PortFixture missing(kPortCom1 + 2);
    missing.open([] { return openSerialDevice("/nonexistent/ttyS2"); });
    ASSERT_EQ(missing.notices.size(), 1u);
    EXPECT_EQ(missing.notices[0].text, "COM3 Open fail!!!");
    EXPECT_EQ(missing.notices[0].icon, UserNotice::Icon::Error);
    EXPECT_EQ(missing.port.transferProblem(),
              "COM3 could not be opened: /nonexistent/ttyS2: No such file or directory");
}

} // namespace
} // namespace pellam::test
