#include "core/edid/edid_file.h"
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

EdidImage outputImage(const std::string& path) {
    return test::imageFromBytes(readFile(path));
}

std::string corpusFile(const char* name) {
    return (std::filesystem::path(PELLAM_CORPUS_DIR) / name).string();
}

// The core rebuild is checked over the whole corpus in
// tests/cea/corpus_rebuild_test.cpp; here one real file shows the verb runs
// it. This EDID's block 1 ends in 0Ah 20h x 7 after its padding (see the
// last row of its edid-decode listing): the rebuild zeroes them, and the
// block-1 checksum F7h grows by their sum, EAh.
TEST(CliRebuild, ZeroesWhatFollowsTheTimingsOfARealEdid) {
    TempDir dir;
    const std::string in = corpusFile("acr_0282_s230hl_256.bin");
    const CliRun run = runCli({"rebuild", in, dir.file("out.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::string expected = readFile(in);
    ASSERT_EQ(expected.size(), 256u);
    ASSERT_EQ(expected.substr(247), "\x0A       \xF7");
    expected.replace(247, 9, std::string(8, '\0') + "\xE1");
    EXPECT_EQ(readFile(dir.file("out.bin")), expected);
}

TEST(CliRebuild, AFileWithoutExtensionsComesBackAsRead) {
    TempDir dir;
    const std::string in = corpusFile("ele_2370_elefw231_128.bin");
    ASSERT_EQ(runCli({"rebuild", in, dir.file("out.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("out.bin")), readFile(in));
}

TEST(CliRebuild, AnImageWithoutTheEdidHeaderIsRefused) {
    TempDir dir;
    writeFile(dir.file("junk.bin"), std::string(256, '\x01'));
    const CliRun run = runCli({"rebuild", dir.file("junk.bin"), dir.file("out.bin")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "EDID File Format incorrect!!\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.bin")));
}

TEST(CliRebuild, NotesABlock1ItCannotEditAndLeavesItAlone) {
    TempDir dir;
    EdidImage image = hdmiDefaultImage();
    image[128] = 0x70; // DisplayID
    image[200] = 0x99;
    writeFile(dir.file("in.bin"), formatRawBinary(std::span(image).first(256)));
    const CliRun run = runCli({"rebuild", dir.file("in.bin"), dir.file("out.bin")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Block 1 is a DisplayID extension (tag 70h); edit it in the grid.\n");
    // Only the block-1 checksum changes: 68h less 6Eh and 79h, the two changes.
    image[255] = 0x81;
    EXPECT_EQ(outputImage(dir.file("out.bin")), image);
}

TEST(CliRebuild, RewritesBlock1OfTheDefaultImageUnchanged) {
    TempDir dir;
    EdidImage image = hdmiDefaultImage();
    image[127] = 0; // a wrong checksum is mended
    writeFile(dir.file("in.bin"), formatRawBinary(std::span(image).first(256)));
    ASSERT_EQ(runCli({"rebuild", dir.file("in.bin"), dir.file("out.bin")}).status, 0);
    EXPECT_EQ(outputImage(dir.file("out.bin")), hdmiDefaultImage());
}

} // namespace
} // namespace pellam
