#include "core/base_block/display_descriptor.h"
#include "core/base_block/vendor_product.h"
#include "core/cea/extension_block.h"
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

std::string textOfKind(const EdidImage& image, DescriptorKind kind) {
    for (int slot = 1; slot <= kDescriptorSlotCount; ++slot)
        if (classifyDescriptor(descriptorSlot(image, slot)) == kind)
            return decodeDescriptorText(descriptorText(descriptorSlot(image, slot)));
    return "(none)";
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

TEST_F(CliEdit, EachFieldReadsBackThroughThePageCodecs) {
    const std::string out = dir.file("out.bin");
    const auto run = runCli({"edit", in, out, "--set", "manufacturer=dEl", "--set",
                             "product-code=A0B1", "--set", "serial=4294967295", "--set",
                             "serial-text=SN-0001", "--set", "monitor-name=Lab Monitor 2", "--set",
                             "week=53", "--set", "year=2026", "--set", "physical-address=2.1.0.F"});
    ASSERT_EQ(run.status, 0) << run.err;
    EdidImage image = readImage(out);
    EXPECT_EQ(manufacturerIdText(image), "DEL");
    EXPECT_EQ(productCodeText(image), "A0B1");
    EXPECT_EQ(serialNumber(image), 4294967295u);
    EXPECT_EQ(textOfKind(image, DescriptorKind::SerialNumber), "SN-0001");
    EXPECT_EQ(textOfKind(image, DescriptorKind::MonitorName), "Lab Monitor 2");
    EXPECT_EQ(correctWeekOfManufacture(image, false).week, 53);
    EXPECT_EQ(yearOfManufacture(image), 2026);
    DataBlockCollection collection;
    parseExtensionBlock(image, collection);
    EXPECT_EQ(std::tuple(collection.vsdb.physA, collection.vsdb.physB, collection.vsdb.physC,
                         collection.vsdb.physD),
              std::tuple(2, 1, 0, 15));
    EXPECT_EQ(Checksum(image, 0), image[127]);
    EXPECT_EQ(Checksum(image, 1), image[255]);
    // Nothing else moved: block 1 differs only in the address bytes and checksum.
    const EdidImage before = readImage(in);
    const auto address = static_cast<std::size_t>(collection.vsdb.offset) + 4;
    for (std::size_t i = 128; i < 255; ++i) {
        if (i != address && i != address + 1) {
            EXPECT_EQ(image[i], before[i]) << i;
        }
    }
}

TEST_F(CliEdit, SerialStepWritesNumberedVariants) {
    const auto run =
        runCli({"edit", in, dir.file("a.bin"), dir.file("b.bin"), dir.file("c.bin"), "--set",
                "serial=1000", "--set", "serial-text=SN0998", "--serial-step", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::pair<std::string, std::pair<std::uint32_t, std::string>>> expected = {
        {"a.bin", {1000, "SN0998"}}, {"b.bin", {1002, "SN1000"}}, {"c.bin", {1004, "SN1002"}}};
    for (const auto& [file, values] : expected) {
        const EdidImage image = readImage(dir.file(file));
        EXPECT_EQ(serialNumber(image), values.first) << file;
        EXPECT_EQ(textOfKind(image, DescriptorKind::SerialNumber), values.second) << file;
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

} // namespace
} // namespace pellam
