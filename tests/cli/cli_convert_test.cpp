#include "core/edid/edid_file.h"
#include "core/edid/hex.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

#include <sstream>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::CliRun;
using test::readFile;
using test::runCli;
using test::TempDir;
using test::writeFile;

// The bytes of the built-in HDMI image, as a raw binary file holds them.
const std::string kDefaultBytes(hdmiDefaultImage().begin(), hdmiDefaultImage().end());

TEST(Cli, HelpListsTheVerbs) {
    const CliRun run = runCli({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("convert IN OUT"), std::string::npos);
    EXPECT_EQ(runCli({}).status, 2);
    EXPECT_EQ(runCli({"frobnicate"}).status, 2);
}

TEST(CliConvert, CorpusFilesGoToTextAndBackByteForByte) {
    TempDir dir;
    const auto files = test::corpusFiles();
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        // Every byte of the file, whatever its length.
        const std::string bytes = readFile(file);

        const std::string text = dir.file("edid.txt");
        const std::string binary = dir.file("edid.BIN");
        CliRun run = runCli({"convert", file.string(), text});
        ASSERT_EQ(run.status, 0) << run.err;
        run = runCli({"convert", text, binary});
        ASSERT_EQ(run.status, 0) << run.err;

        EXPECT_EQ(readFile(binary), bytes);
        // 16 items of two digits and a tab per line, each line ending in CR LF.
        const std::string listed = readFile(text);
        EXPECT_EQ(listed.size(), bytes.size() / 16 * 50);
        EXPECT_EQ(listed.rfind("00\tFF\tFF\tFF\tFF\tFF\tFF\t00\t", 0), 0u);
    }
}

TEST(CliConvert, WritesTheDefaultImageAsListText) {
    TempDir dir;
    writeFile(dir.file("in.bin"), kDefaultBytes);
    ASSERT_EQ(runCli({"convert", dir.file("in.bin"), dir.file("out.txt")}).status, 0);
    const std::string text = readFile(dir.file("out.txt"));
    ASSERT_EQ(text.size(), 800u);
    EXPECT_EQ(text.substr(0, 50),
              "00\tFF\tFF\tFF\tFF\tFF\tFF\t00\t2E\t56\t30\t00\t01\t00\t00\t00\t\r\n");
    EXPECT_EQ(text.substr(8 * 50, 50),
              "02\t03\t1D\tF2\t4A\t05\t84\t03\t02\t01\t12\t93\t14\t16\t07\t23\t\r\n");
    EXPECT_EQ(text.substr(15 * 50, 50),
              "00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t00\t68\t\r\n");
}

TEST(CliConvert, ReadsDdcLineFiles) {
    TempDir dir;
    std::string ddc;
    for (Byte b : hdmiDefaultImage())
        ddc += hexByte(b) + " ; comment\n";
    writeFile(dir.file("in.ddc"), ddc);
    const CliRun run = runCli({"convert", dir.file("in.ddc"), dir.file("out.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("out.dat")), kDefaultBytes);
}

TEST(CliConvert, FailuresExitWith2AndCreateNoOutput) {
    TempDir dir;
    writeFile(dir.file("good.bin"), kDefaultBytes);
    writeFile(dir.file("bad.txt"), "00 FF FF xyz");
    writeFile(dir.file("edid.foo"), "not an EDID");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string out = dir.file("out.bin");
    const Case cases[] = {
        {{"convert", dir.file("bad.txt"), out}, "'0xxyz' is not a valid integer value"},
        {{"convert", dir.file("missing.bin"), out}, "No such file or directory"},
        {{"convert", dir.file("edid.foo"), out}, "not an EDID file"},
        {{"convert", dir.file("good.bin"), dir.file("out.ddc")}, "cannot write"},
        {{"convert", dir.file("good.bin"), dir.file("out")}, "cannot write"},
        {{"convert", dir.file("good.bin")}, "two arguments"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.ddc")));
        EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
    }
}

} // namespace
} // namespace pellam
