// pellam-cli read and write against the simulated EEPROM (--simulate).
#include "core/edid/edid_image.h"
#include "support/cli_runner.h"
#include "support/fake_sysfs.h"
#include "support/test_support.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::CliRun;
using test::readFile;
using test::runCli;
using test::TempDir;
using test::writeFile;

std::string blank() {
    return std::string(256, '\xFF');
}

// An image's 256 bytes, as a raw binary file or the EEPROM holds them.
std::string bytesOf(const EdidImage& image) {
    return std::string(image.begin(), image.end());
}

// The EEPROM that holds a file of that length: the default 24C02 up to 256
// bytes, a 24C04 or 24C08 beyond.
std::vector<std::string> eepromFor(std::size_t length) {
    if (length <= 256)
        return {};
    return {"--eeprom", length <= 512 ? "24C04" : "24C08"};
}

std::vector<std::string> args(std::vector<std::string> head, const std::vector<std::string>& more,
                              std::vector<std::string> tail) {
    head.insert(head.end(), more.begin(), more.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// A spread of the corpus (EDIDs of 128 bytes and more), each on another port type.
std::vector<std::pair<std::filesystem::path, std::string>> corpusSample() {
    const char* ports[] = {"LPT1", "usb", "COM2", "lpt2"};
    std::vector<std::pair<std::filesystem::path, std::string>> sample;
    const auto files = test::corpusFiles();
    for (std::size_t i = 0; i < files.size(); i += 23)
        sample.emplace_back(files[i], ports[sample.size() % 4]);
    return sample;
}

TEST(CliTransfer, ReadGivesTheSimulatedEepromByteForByte) {
    TempDir dir;
    const auto sample = corpusSample();
    ASSERT_GE(sample.size(), 8u);
    for (const auto& [file, port] : sample) {
        SCOPED_TRACE(file.filename().string() + " on " + port);
        // The blocks byte 126 declares, which the corpus files hold.
        const std::size_t length = readFile(file).size();
        const std::string out = dir.file("read.bin");
        const CliRun run = runCli(args({"read", "--port", port}, eepromFor(length),
                                       {"--simulate", file.string(), out}));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readFile(out), readFile(file));
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << "one summary line";
    }
}

TEST(CliTransfer, WriteLeavesTheInputsBytesInTheSimulatedEeprom) {
    TempDir dir;
    writeFile(dir.file("blank.bin"), blank());
    for (const auto& [file, port] : corpusSample()) {
        SCOPED_TRACE(file.filename().string() + " on " + port);
        const std::string held = dir.file("held.bin");
        std::filesystem::remove(held);
        const std::string bytes = readFile(file);
        if (bytes.size() > 256) {
            // Never cut to fit a 24C02: nothing is written.
            const CliRun refused = runCli({"write", "--port", port, "--simulate",
                                           dir.file("blank.bin"), "--sim-out", held, file.string()});
            EXPECT_EQ(refused.status, 2);
            EXPECT_NE(refused.err.find("a 24C02 EEPROM holds 256"), std::string::npos)
                << refused.err;
            EXPECT_FALSE(std::filesystem::exists(held));
        }
        const CliRun run =
            runCli(args({"write", "--port", port}, eepromFor(bytes.size()),
                        {"--simulate", dir.file("blank.bin"), "--sim-out", held, file.string()}));
        ASSERT_EQ(run.status, 0) << run.err;
        // Exactly the file's bytes; what lies beyond stays blank.
        std::string expected = bytes;
        expected.resize(std::max<std::size_t>(bytes.size(), 256), '\xFF');
        EXPECT_EQ(readFile(held).substr(0, expected.size()), expected);
        EXPECT_TRUE(run.out.starts_with("backup: ")) << run.out;
        EXPECT_NE(run.out.find("\nwrite: PASS"), std::string::npos) << run.out;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);
    }
}

TEST(CliTransfer, DefaultsAreLpt1AtSlaveA0) {
    TempDir dir;
    writeFile(dir.file("sink.bin"), bytesOf(hdmiDefaultImage()));
    const CliRun run = runCli({"read", "--simulate", dir.file("sink.bin"), dir.file("out.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read: 256 bytes (2 blocks: base, CTA-861) from slave address A0h on LPT1 "
                       "(simulated) saved to " +
                           dir.file("out.txt") + "\n");
    const std::string text = readFile(dir.file("out.txt"));
    EXPECT_EQ(text.size(), 800u);
    EXPECT_EQ(text.substr(0, 50),
              "00\tFF\tFF\tFF\tFF\tFF\tFF\t00\t2E\t56\t30\t00\t01\t00\t00\t00\t\r\n");
    EXPECT_EQ(text.substr(15 * 50),
              "00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t68\t\r\n");
}

TEST(CliTransfer, AMissingSinkIsAnAccessErrorAndNothingIsWritten) {
    TempDir dir;
    const std::string sink = dir.file("sink.bin");
    writeFile(sink, bytesOf(hdmiDefaultImage()));
    for (const char* port : {"LPT1", "USB"}) {
        SCOPED_TRACE(port);
        // Nobody answers at A2.
        const std::string out = dir.file("out.bin");
        CliRun run = runCli({"read", "--port", port, "--slave", "0xA2", "--simulate", sink, out});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "pellam-cli: No answer from the sink at slave address A2h on " +
                               std::string(port) + ".\n");
        EXPECT_FALSE(std::filesystem::exists(out));

        writeFile(dir.file("blank.bin"), blank());
        run = runCli({"write", "--port", port, "--slave", "a2", "--simulate", dir.file("blank.bin"),
                      "--sim-out", dir.file("held.bin"), sink});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "pellam-cli: No answer from the sink at slave address A2h on " +
                               std::string(port) + ". Nothing was written.\n");
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(readFile(dir.file("held.bin")), blank());
    }
}

TEST(CliTransfer, UsageErrorsExitWith2BeforeAnyTransfer) {
    TempDir dir;
    const std::string in = dir.file("in.bin");
    writeFile(in, bytesOf(hdmiDefaultImage()));
    writeFile(dir.file("junk.bin"), std::string(256, '\x01'));
    writeFile(dir.file("junk.txt"), "00\n");
    struct Case {
        std::vector<std::string> args;
        std::string message; // the first line on standard error
    };
    const Case cases[] = {
        {{"read", "--bogus", "x.bin"}, "pellam-cli: unknown option '--bogus' for read"},
        {{"read", "--port", "LPT3", "x.bin"},
         "pellam-cli: unknown port type 'LPT3' (LPT1, LPT2, USB, COM1 ... COM8, DDC)"},
        {{"read", "--port", "DDC", "x.bin"},
         "pellam-cli: --port DDC needs --connector NAME (pellam-cli displays lists the "
         "connectors)"},
        {{"read", "--connector", "card0-DP-1", "x.bin"},
         "pellam-cli: --connector goes with --port DDC"},
        {{"read", "--port", "ddc", "--connector", "../i2c-0", "x.bin"},
         "pellam-cli: --connector takes a connector name such as card0-HDMI-A-1, not '../i2c-0'"},
        {{"read", "--fast", "x.bin"}, "pellam-cli: unknown option '--fast' for read"},
        {{"restore", "--simulate", in, in + ".missing"},
         "pellam-cli: \"" + in + ".missing\" is no backup: there is no such file"},
        {{"restore", "--simulate", in, dir.path().string()},
         "pellam-cli: \"" + dir.path().string() +
             "\" is no backup: it is a folder; name one of the .bin files in it"},
        {{"restore", "--simulate", in, dir.file("junk.txt")},
         "pellam-cli: \"" + dir.file("junk.txt") +
             "\" is a text file, not a raw backup: nothing was written; --force restores it all "
             "the same."},
        {{"read", "--slave", "A1", "x.bin"},
         "pellam-cli: --slave takes an even 8-bit I2C address in hex, such as A0, not 'A1'"},
        {{"read", "--simulate", in, "x.ddc"},
         "pellam-cli: cannot write \"x.ddc\": use .bin or .dat for raw binary, .txt for hex text"},
        {{"write", "--sim-out", "y.bin", in}, "pellam-cli: --sim-out needs --simulate"},
        {{"write", "--simulate", in, dir.file("junk.bin")},
         "pellam-cli: " + dir.file("junk.bin") + " is no sound EDID:"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.message);
        EXPECT_EQ(run.out, "");
    }
}

// PELLAM_SYSFS_ROOT for the life of the object.
class SysfsRootVariable {
public:
    explicit SysfsRootVariable(const std::string& root) {
        setenv("PELLAM_SYSFS_ROOT", root.c_str(), 1);
    }
    ~SysfsRootVariable() { unsetenv("PELLAM_SYSFS_ROOT"); }
};

TEST(CliTransfer, TheDdcPortReadsAndWritesTheConnectorsBus) {
    TempDir dir;
    test::ScopedDataHome dataHome;
    const EdidImage edid = hdmiDefaultImage();
    writeFile(dir.file("sink.bin"), bytesOf(edid));
    EdidImage edited = edid;
    edited[0x10] = 0x33;
    ApplyAutoChecksums(edited, true);
    writeFile(dir.file("edited.bin"), bytesOf(edited));

    // A simulated connector of its own: card0-HDMI-A-1 unless named.
    CliRun run =
        runCli({"read", "--port", "DDC", "--simulate", dir.file("sink.bin"), dir.file("out.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read: 256 bytes (2 blocks: base, CTA-861) from slave address A0h on "
                       "card0-HDMI-A-1 (simulated) saved to " +
                           dir.file("out.bin") + "\n");
    EXPECT_EQ(readFile(dir.file("out.bin")), bytesOf(edid));

    // The connectors of a fake sysfs tree: the DDC bus a connector links.
    test::FakeSysfs sys;
    sys.connectorOnBus("card1-DP-2", "connected", "", "i2c-7");
    const SysfsRootVariable variable(sys.root().string());
    run = runCli({"write", "--port", "ddc", "--connector", "card1-DP-2", "--simulate",
                  dir.file("sink.bin"), "--sim-out", dir.file("held.bin"), dir.file("edited.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(dataHome.backupFiles().size(), 1u);
    const std::string backup = dataHome.backupFiles()[0].string();
    EXPECT_TRUE(dataHome.backupFiles()[0].filename().string().starts_with("card1-DP-2-"));
    EXPECT_EQ(run.out, "backup: " + backup +
                           "\nwrite: PASS, 2 of 32 pages differed and were written to slave "
                           "address A0h on card1-DP-2 (simulated), all 256 bytes verified\n");
    EXPECT_EQ(readFile(backup), bytesOf(edid));
    EXPECT_EQ(readFile(dir.file("held.bin")), bytesOf(edited));
}

TEST(CliTransfer, TheDdcPortOverwritesAContentThatIsNoEdidOnlyWithForce) {
    TempDir dir;
    test::ScopedDataHome dataHome;
    writeFile(dir.file("blank.bin"), blank());
    writeFile(dir.file("in.bin"), bytesOf(hdmiDefaultImage()));
    const std::vector<std::string> args = {"write",
                                           "--port",
                                           "DDC",
                                           "--simulate",
                                           dir.file("blank.bin"),
                                           "--sim-out",
                                           dir.file("held.bin"),
                                           dir.file("in.bin")};
    CliRun run = runCli(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "pellam-cli: The EEPROM at slave address A0h on card0-HDMI-A-1 does not "
                       "hold an EDID: it starts with FF FF FF FF FF FF FF FF, not with the EDID "
                       "header 00 FF FF FF FF FF FF 00. Nothing was written.\n"
                       "pellam-cli: --force overwrites it.\n");
    EXPECT_EQ(readFile(dir.file("held.bin")), blank());
    EXPECT_TRUE(dataHome.backupFiles().empty());

    std::vector<std::string> forced = args;
    forced.insert(forced.begin() + 1, "--force");
    run = runCli(forced);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("held.bin")), bytesOf(hdmiDefaultImage()));
    EXPECT_EQ(dataHome.backupFiles().size(), 1u);
}

TEST(CliTransfer, RestoreWritesABackupBackAsATransactionOfItsOwn) {
    TempDir dir;
    test::ScopedDataHome dataHome;
    EdidImage before = hdmiDefaultImage();
    before[0x20] = 0x5A;
    writeFile(dir.file("before.bin"), bytesOf(before));
    writeFile(dir.file("new.bin"), bytesOf(hdmiDefaultImage()));
    const auto backupOf = [](const std::string& out) {
        EXPECT_TRUE(out.starts_with("backup: ")) << out;
        return out.substr(8, out.find('\n') - 8);
    };
    for (const char* port : {"LPT1", "USB"}) {
        SCOPED_TRACE(port);
        // The write keeps the sink's content...
        CliRun run =
            runCli({"write", "--port", port, "--fast", "--simulate", dir.file("before.bin"),
                    "--sim-out", dir.file("after.bin"), dir.file("new.bin")});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string backup = backupOf(run.out);
        EXPECT_EQ(readFile(backup), bytesOf(before));
        // ... and restore puts it back, after keeping what it replaces.
        run = runCli({"restore", "--port", port, "--simulate", dir.file("after.bin"), "--sim-out",
                      dir.file("restored.bin"), backup});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readFile(dir.file("restored.bin")), bytesOf(before));
        EXPECT_NE(run.out.find("\nrestore: PASS, 256 bytes written to slave address A0h on " +
                               std::string(port) + " (simulated) and verified\n"),
                  std::string::npos)
            << run.out;
        const std::string second = backupOf(run.out);
        EXPECT_NE(second, backup);
        EXPECT_EQ(readFile(second), bytesOf(hdmiDefaultImage()));
    }
    EXPECT_EQ(dataHome.backupFiles().size(), 4u);
}

TEST(CliTransfer, HelpNamesTheSimulationAsADemoAndTestMode) {
    for (const char* verb : {"read", "write"}) {
        const CliRun run = runCli({verb, "--help"});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("--simulate FILE   demo and test mode"), std::string::npos);
        EXPECT_NE(run.out.find("does not read the editor's I2C settings"), std::string::npos);
    }
    EXPECT_NE(runCli({"--help"}).out.find("read [options] OUT"), std::string::npos);
}

} // namespace
} // namespace pellam
