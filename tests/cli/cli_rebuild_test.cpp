#include "core/edid/edid_file.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

#include <filesystem>
#include <sstream>

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

TEST(CliRebuild, ChangesOnlyPaddingAndChecksumsOfRealEdids) {
    TempDir dir;
    for (const auto& file : test::corpusFiles()) {
        SCOPED_TRACE(file.filename().string());
        const EdidImage in = test::imageFromBytes(readFile(file));
        const std::string out = dir.file("out.bin");
        std::filesystem::remove(out);
        const CliRun run = runCli({"rebuild", file.string(), out});
        if (!hasEdidHeader(in)) {
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.err, "EDID File Format incorrect!!\n");
            EXPECT_FALSE(std::filesystem::exists(out));
            continue;
        }
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string bytes = readFile(out);
        ASSERT_EQ(bytes.size(), readFile(file).size()) << "every block of IN, and no more";
        const EdidImage result = outputImage(out);
        EXPECT_EQ(Checksum(result, 0), result[127]);
        for (int i = 0; i < 127; ++i)
            ASSERT_EQ(result[i], in[i]) << "block 0 offset " << i;
        if (in[126] == 0)
            continue;
        EXPECT_EQ(Checksum(result, 1), result[255]);
        // Where block 1 differs, it is zero padding written after the
        // timings and the records kept after them.
        int firstDifference = -1;
        for (int i = 128; i < 255 && firstDifference < 0; ++i)
            if (result[i] != in[i])
                firstDifference = i;
        if (firstDifference >= 0) {
            for (int i = firstDifference; i < 255; ++i)
                ASSERT_TRUE(result[i] == 0 || result[i] == in[i]) << "block 1 offset " << i;
        }
    }
}

TEST(CliRebuild, NotesABlock1ItCannotEditAndLeavesItAlone) {
    TempDir dir;
    EdidImage image = hdmiDefaultImage();
    image[128] = 0x70; // DisplayID
    image[200] = 0x99;
    ApplyAutoChecksums(image, true);
    writeFile(dir.file("in.bin"), formatRawBinary(std::span(image).first(256)));
    const CliRun run = runCli({"rebuild", dir.file("in.bin"), dir.file("out.txt")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Block 1 is a DisplayID extension (tag 70h); edit it in the grid.\n");
    EXPECT_EQ(readFile(dir.file("out.txt")), formatListText(std::span(image).first(256)));
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
