// pellam-cli read and write against the simulated EEPROM (--simulate).
#include "edid/edid_file.h"
#include "support/cli_runner.h"
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

// A spread of the corpus (128- and 256-byte EDIDs), each on another port type.
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
        const EdidImage expected = test::imageFromBytes(readFile(file));
        const std::size_t length = expected[126] == 0 ? 128 : 256;
        const std::string out = dir.file("read.bin");
        const CliRun run = runCli({"read", "--port", port, "--simulate", file.string(), out});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readFile(out), formatRawBinary(expected, length));
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
        const CliRun run = runCli({"write", "--port", port, "--simulate", dir.file("blank.bin"),
                                   "--sim-out", held, file.string()});
        ASSERT_EQ(run.status, 0) << run.err;
        // A 128-byte file's second half is written as 00.
        EXPECT_EQ(readFile(held), formatRawBinary(test::imageFromBytes(readFile(file)), 256));
        EXPECT_TRUE(run.out.starts_with("write: PASS")) << run.out;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
    }
}

TEST(CliTransfer, DefaultsAreLpt1AtSlaveA0) {
    TempDir dir;
    writeFile(dir.file("sink.bin"), formatRawBinary(hdmiDefaultImage(), 256));
    const CliRun run = runCli({"read", "--simulate", dir.file("sink.bin"), dir.file("out.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read: 256 bytes from slave address A0h on LPT1 (simulated) saved to " +
                           dir.file("out.txt") + "\n");
    EXPECT_EQ(readFile(dir.file("out.txt")), formatListText(hdmiDefaultImage(), 256));
}

TEST(CliTransfer, AMissingSinkIsAnAccessErrorAndNothingIsWritten) {
    TempDir dir;
    const std::string sink = dir.file("sink.bin");
    writeFile(sink, formatRawBinary(hdmiDefaultImage(), 256));
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
    writeFile(in, formatRawBinary(hdmiDefaultImage(), 256));
    writeFile(dir.file("junk.bin"), std::string(256, '\x01'));
    struct Case {
        std::vector<std::string> args;
        std::string message; // the first line on standard error
    };
    const Case cases[] = {
        {{"read", "--bogus", "x.bin"}, "pellam-cli: unknown option '--bogus' for read"},
        {{"read", "--port", "LPT3", "x.bin"},
         "pellam-cli: unknown port type 'LPT3' (LPT1, LPT2, USB, COM1 ... COM8)"},
        {{"read", "--slave", "A1", "x.bin"},
         "pellam-cli: --slave takes an even 8-bit I2C address in hex, such as A0, not 'A1'"},
        {{"read", "--simulate", in, "x.ddc"},
         "pellam-cli: cannot write \"x.ddc\": use .bin or .dat for raw binary, .txt for hex text"},
        {{"write", "--sim-out", "y.bin", in}, "pellam-cli: --sim-out needs --simulate"},
        {{"write", "--simulate", in, dir.file("junk.bin")},
         "pellam-cli: " + dir.file("junk.bin") + ": EDID File Format incorrect!!"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.message);
        EXPECT_EQ(run.out, "");
    }
}

TEST(CliTransfer, HelpNamesTheSimulationAsADemoAndTestMode) {
    for (const char* verb : {"read", "write"}) {
        const CliRun run = runCli({verb, "--help"});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("--simulate FILE  demo and test mode"), std::string::npos);
        EXPECT_NE(run.out.find("does not read the editor's I2C settings"), std::string::npos);
    }
    EXPECT_NE(runCli({"--help"}).out.find("read [options] OUT"), std::string::npos);
}

} // namespace
} // namespace pellam
