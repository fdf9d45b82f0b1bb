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
        const std::string expected = readFile(file);

        const std::string text = dir.file("edid.txt");
        const std::string binary = dir.file("edid.BIN");
        CliRun run = runCli({"convert", file.string(), text});
        ASSERT_EQ(run.status, 0) << run.err;
        run = runCli({"convert", text, binary});
        ASSERT_EQ(run.status, 0) << run.err;

        EXPECT_EQ(readFile(binary), expected);
    }
}

TEST(CliConvert, ReadsDdcLineFiles) {
    TempDir dir;
    std::string ddc;
    for (Byte b : hdmiDefaultImage())
        ddc += hexByte(b) + " ; comment\n";
    writeFile(dir.file("in.ddc"), ddc);
    const CliRun run = runCli({"convert", dir.file("in.ddc"), dir.file("out.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("out.dat")), formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
}

TEST(CliConvert, FailuresExitWith2AndCreateNoOutput) {
    TempDir dir;
    writeFile(dir.file("good.bin"), formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
    writeFile(dir.file("bad.txt"), "00 FF FF xyz");
    writeFile(dir.file("edid.Bin"), formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string out = dir.file("out.bin");
    const Case cases[] = {
        {{"convert", dir.file("bad.txt"), out}, "'0xxyz' is not a valid integer value"},
        {{"convert", dir.file("missing.bin"), out}, "No such file or directory"},
        {{"convert", dir.file("edid.Bin"), out}, "is not an EDID file type"},
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
