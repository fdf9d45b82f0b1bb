#include "core/base_block/display_descriptor.h"
#include "core/edid/edid_file.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::runCli;

EdidImage readImage(const std::string& path) {
    return test::imageFromBytes(test::readFile(path));
}

// Writes text at an offset of the image.
void put(EdidImage& image, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Every 128-byte block sums to 0 modulo 256.
void expectBlocksSumToZero(const EdidImage& image) {
    for (int block = 0; block < 2; ++block) {
        unsigned sum = 0;
        for (int i = 0; i < 128; ++i)
            sum += image[static_cast<std::size_t>(block * 128 + i)];
        EXPECT_EQ(sum % 256, 0u) << "block " << block;
    }
}

class CliEdit : public ::testing::Test {
protected:
    void SetUp() override {
        EdidImage image = hdmiDefaultImage();
        // Slot 4 becomes a dummy descriptor, room for a serial number text.
        const DtdSlot slot4 = descriptorSlot(image, 4);
        std::fill(slot4.begin(), slot4.end(), Byte{0});
        slot4[3] = 0x10;
        ApplyAutoChecksums(image, true);
        test::writeFile(in, formatRawBinary(std::span(image).first(256)));
    }

    test::TempDir dir;
    std::string in = dir.file("in.bin");
};

// The expected bytes are worked out by hand from the EDID and HDMI layouts.
TEST_F(CliEdit, EachFieldLandsInItsBytes) {
    const std::string out = dir.file("out.bin");
    const auto run = runCli({"edit", in, out, "--set", "manufacturer=dEl", "--set",
                             "product-code=A0B1", "--set", "serial=4294967295", "--set",
                             "serial-text=SN-0001", "--set", "monitor-name=Lab Monitor 2", "--set",
                             "week=53", "--set", "year=2026", "--set", "physical-address=2.1.0.F"});
    ASSERT_EQ(run.status, 0) << run.err;
    EdidImage expected = readImage(in);
    // "DEL": 5-bit letters 4, 5, 12 after a zero bit.
    expected[8] = 0x10;
    expected[9] = 0xAC;
    // Product code and serial number, least significant byte first.
    expected[10] = 0xB1;
    expected[11] = 0xA0;
    std::fill(expected.begin() + 12, expected.begin() + 16, 0xFF);
    expected[16] = 53;
    expected[17] = 2026 - 1990;
    // The name fills slot 3's 13 characters, so no line feed follows it.
    put(expected, 95, "Lab Monitor 2");
    // Slot 4 (the dummy) becomes the serial number text descriptor.
    expected[111] = 0xFF;
    put(expected, 113, "SN-0001\n     ");
    // The HDMI VSDB at 97h: physical address bytes 4 and 5.
    expected[0x97 + 4] = 0x21;
    expected[0x97 + 5] = 0x0F;
    expected[127] = 0x8C;
    expected[255] = 0x48;
    const EdidImage image = readImage(out);
    EXPECT_EQ(image, expected) << test::describeDifferences(expected, image);
    expectBlocksSumToZero(image);
}

TEST_F(CliEdit, SerialStepWritesNumberedVariants) {
    const auto run =
        runCli({"edit", in, dir.file("a.bin"), dir.file("b.bin"), dir.file("c.bin"), "--set",
                "serial=1000", "--set", "serial-text=SN0998", "--serial-step", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const struct {
        const char* file;
        Byte serialLow; // 1000 is 03E8h
        const char* text;
    } expected[] = {{"a.bin", 0xE8, "SN0998"}, {"b.bin", 0xEA, "SN1000"}, {"c.bin", 0xEC, "SN1002"}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.file);
        const EdidImage image = readImage(dir.file(e.file));
        EXPECT_EQ(image[12], e.serialLow);
        EXPECT_EQ(image[13], 0x03);
        EXPECT_EQ(image[111], 0xFF) << "a serial number text descriptor";
        EXPECT_EQ(std::string(image.begin() + 113, image.begin() + 126),
                  std::string(e.text) + "\n      ");
        expectBlocksSumToZero(image);
    }
}

TEST_F(CliEdit, ARefusedValueWritesNoFile) {
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"serial=4294967296", "serial: '4294967296' is not a number from 0 to 4294967295"},
        {"serial=12a", "serial: '12a' is not a number from 0 to 4294967295"},
        {"week=54", "week: '54' is not a week from 1 to 53, or 255 for a model year"},
        {"week=0", "week: '0' is not a week from 1 to 53, or 255 for a model year"},
        {"year=1989", "year: '1989' is not a year from 1990 to 2245"},
        {"year=2246", "year: '2246' is not a year from 1990 to 2245"},
        {"manufacturer=AB1", "manufacturer: 'AB1' is not three letters A to Z"},
        {"product-code=12G4", "product-code: '12G4' is not four hexadecimal digits"},
        {"monitor-name=Fourteen chars",
         "monitor-name: 'Fourteen chars' is longer than 13 characters"},
        {"physical-address=1.0.0", "physical-address: '1.0.0' is not a physical address A.B.C.D "
                                   "of hexadecimal digits"},
        {"colour=red", "unknown field 'colour'"},
    };
    for (const auto& [set, message] : refused) {
        SCOPED_TRACE(set);
        const auto run =
            runCli({"edit", in, dir.file("out.bin"), "--set", "serial=5", "--set", set});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind("pellam-cli: " + message, 0), 0u) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.bin")));
    }
}

// The numbered outputs must hold every value they are given: a step past
// what a field holds is refused before any file is written.
TEST_F(CliEdit, AStepPastWhatAFieldHoldsWritesNoFile) {
    EdidImage maxSerial = readImage(in);
    std::fill(maxSerial.begin() + 12, maxSerial.begin() + 16, 0xFF);
    ApplyAutoChecksums(maxSerial, true);
    test::writeFile(dir.file("max.bin"), formatRawBinary(std::span(maxSerial).first(256)));
    const struct {
        std::string input;
        std::vector<std::string> sets;
        std::string step;
        int outputs;
        std::string refusal; // empty: written
        std::string lastText; // serial-text of the last output, when written
    } cases[] = {
        {in, {"serial=4294967295"}, "1", 3, "serial: stepping from 4294967295 reaches 4294967297", ""},
        {in, {"serial=4294967294"}, "1", 2, "", ""},
        {in, {"serial=1"}, "2147483648", 3, "serial: stepping from 1 reaches 4294967297", ""},
        {in, {"serial=0"}, "1", 2, "serial: a step from 0 gives the first file no serial number", ""},
        {in, {"serial=0"}, "1", 1, "", ""},
        {in, {"serial=7", "serial-text=ABCDEFGHIJKL9"}, "1", 2,
         "serial-text: stepping 'ABCDEFGHIJKL9' reaches 'ABCDEFGHIJKL10', longer than 13", ""},
        {in, {"serial=7", "serial-text=ABCDEFGHIJK09"}, "1", 3, "", "ABCDEFGHIJK11"},
        {in, {"serial=7", "serial-text=SN9"}, "4294967295", 2, "serial: stepping from 7", ""},
        {dir.file("max.bin"), {"week=10"}, "1", 2, "serial: stepping from 4294967295 reaches", ""},
        {dir.file("max.bin"), {"week=10"}, "1", 1, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sets.back() + " step " + c.step + " x" + std::to_string(c.outputs));
        std::vector<std::string> args = {"edit", c.input};
        std::vector<std::string> outs;
        for (int k = 0; k < c.outputs; ++k)
            outs.push_back(dir.file("out" + std::to_string(k) + ".bin"));
        args.insert(args.end(), outs.begin(), outs.end());
        for (const auto& set : c.sets) {
            args.push_back("--set");
            args.push_back(set);
        }
        args.push_back("--serial-step");
        args.push_back(c.step);
        const auto run = runCli(args);
        if (c.refusal.empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            if (!c.lastText.empty()) {
                const EdidImage last = readImage(outs.back());
                EXPECT_EQ(std::string(last.begin() + 113, last.begin() + 126), c.lastText);
            }
        } else {
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.err.rfind("pellam-cli: " + c.refusal, 0), 0u) << run.err;
        }
        for (const auto& out : outs) {
            EXPECT_EQ(std::filesystem::exists(out), c.refusal.empty()) << out;
            std::filesystem::remove(out);
        }
    }
}

// Several outputs are written all or none: when one cannot be written, no
// other takes its name, an older file of that name stays, and no temporary
// file is left behind.
TEST_F(CliEdit, OutputsAreWrittenAllOrNone) {
    std::filesystem::create_directories(dir.path() / "folder.bin");
    const struct {
        const char* what;
        std::string second;
        std::string message;
    } cases[] = {
        {"a folder that does not exist", dir.file("missing/b.bin"), "No such file or directory"},
        {"a folder in place of the file", dir.file("folder.bin"), "Is a directory"},
        {"the first output again", dir.file("a.bin"), "is named twice as OUT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::writeFile(dir.file("a.bin"), "old");
        const auto run = runCli({"edit", in, dir.file("a.bin"), c.second, dir.file("c.bin"), "--set",
                                 "serial=100", "--serial-step", "1"});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(test::readFile(dir.file("a.bin")), "old");
        EXPECT_FALSE(std::filesystem::exists(dir.file("c.bin")));
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
    // All written when all can be.
    const auto run = runCli({"edit", in, dir.file("a.bin"), dir.file("b.bin"), "--set", "serial=100",
                             "--serial-step", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readImage(dir.file("a.bin"))[12], 100);
    EXPECT_EQ(readImage(dir.file("b.bin"))[12], 101);
}

TEST_F(CliEdit, PhysicalAddressNeedsAnHdmiVsdb) {
    EdidImage image = hdmiDefaultImage();
    image[126] = 0; // no extension block
    ApplyAutoChecksums(image, true);
    test::writeFile(dir.file("128.bin"), formatRawBinary(std::span(image).first(128)));
    const auto run = runCli(
        {"edit", dir.file("128.bin"), dir.file("out.bin"), "--set", "physical-address=2.0.0.0"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "pellam-cli: physical-address: the image has no HDMI vendor-specific data block\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.bin")));
}

TEST(CliEditCorpus, AWeekEditKeepsEveryBlockOfEveryRealEdid) {
    test::TempDir dir;
    int longer = 0;
    for (const auto& file : test::corpusFiles()) {
        SCOPED_TRACE(file.filename().string());
        const std::string in = test::readFile(file);
        if (in.compare(0, 8, std::string("\0\xFF\xFF\xFF\xFF\xFF\xFF\0", 8)) != 0)
            continue;
        const std::string out = dir.file("out.bin");
        const auto run = runCli({"edit", file.string(), out, "--set", "week=10"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string edited = test::readFile(out);
        ASSERT_EQ(edited.size(), in.size());
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (i == 16 || i % 128 == 127)
                continue;
            ASSERT_EQ(edited[i], in[i]) << "offset " << i;
        }
        EXPECT_EQ(edited[16], 10);
        longer += in.size() > 256;
    }
    EXPECT_GE(longer, 30);
}

} // namespace
} // namespace pellam
