#include "core/base_block/colour_and_timings.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

TEST(Chromaticity, DecodesTenBitValuesRoundedHalfUpToThousandths) {
    EdidImage image{};
    const Byte bytes[] = {0xEE, 0x44, 0xA3, 0x57, 0x4A, 0x9C, 0x25, 0x11, 0x50, 0x54};
    std::copy(std::begin(bytes), std::end(bytes), image.begin() + 25);
    const char* expected[] = {"0.640", "0.342", "0.292", "0.611",
                              "0.146", "0.066", "0.313", "0.328"};
    for (int i = 0; i < kChromaticityCount; ++i)
        EXPECT_EQ(chromaticityText(chromaticityValue(image, i)), expected[i]) << i;

    const std::pair<std::uint16_t, const char*> texts[] = {
        {655, "0.640"}, {61, "0.060"}, {0, "0.000"}, {1023, "0.999"}, {512, "0.500"}, {1, "0.001"}};
    for (const auto& [value, text] : texts)
        EXPECT_EQ(chromaticityText(value), text) << value;
}

TEST(Chromaticity, TypedTextIsCheckedAndTruncatedToTenBinaryDigits) {
    const struct {
        const char* typed;
        bool valid;
        const char* accepted;
        std::optional<std::uint16_t> value;
    } cases[] = {
        {"0.640", true, "0.640", 655},
        {"0.06", true, "0.06", 61},
        {"0.999", true, "0.999", 1022},
        {"0.500", true, "0.500", 512},
        {"0.125", true, "0.125", 128}, // exact in binary: no rounding down to 127
        {"0.6", true, "0.6", 614},
        {"0.", true, "0.", 0},
        {"0", true, "0", 0},
        {"0.6401", true, "0.640", 655}, // only five characters count
        {"", true, "", std::nullopt},   // nothing to write
        {"1.0", false, "", std::nullopt},
        {".5", false, "", std::nullopt},
        {"0,5", false, "", std::nullopt},
        {"0.64x", false, "", std::nullopt},
        {"0.6 ", false, "", std::nullopt},
    };
    for (const auto& c : cases) {
        const ChromaticityInput input = parseChromaticityText(c.typed);
        EXPECT_EQ(input.valid, c.valid) << c.typed;
        if (c.valid) {
            EXPECT_EQ(input.accepted, c.accepted) << c.typed;
        }
        EXPECT_EQ(input.value, c.value) << c.typed;
    }
}

TEST(Chromaticity, AWriteChangesOnlyTheHighByteAndItsTwoLowBits) {
    for (int i = 0; i < kChromaticityCount; ++i) {
        EdidImage image;
        image.fill(0x55);
        const EdidImage before = image;
        writeChromaticityValue(image, i, 0x3FF);
        EXPECT_EQ(chromaticityValue(image, i), 0x3FF) << i;
        for (std::size_t offset = 0; offset < kImageSize; ++offset) {
            if (offset == 27 + std::size_t(i))
                continue;
            if (offset == 25 + std::size_t(i / 4)) {
                const unsigned mask = 0xC0u >> (2 * (i % 4));
                EXPECT_EQ(image[offset] & ~mask & 0xFF, before[offset] & ~mask & 0xFF) << i;
            } else {
                EXPECT_EQ(image[offset], before[offset]) << i << " @" << offset;
            }
        }
    }
    EdidImage image{};
    image[25] = 0x3F;
    writeChromaticityValue(image, 0, 655);
    EXPECT_EQ(image[27], 0xA3);
    EXPECT_EQ(image[25], 0xFF);
}

TEST(EstablishedTimings, EachBoxOwnsOneBitAndTheManufacturerBitsStay) {
    const auto boxes = establishedTimingBoxes();
    ASSERT_EQ(boxes.size(), 17u);
    for (const EstablishedTimingBox& box : boxes) {
        EdidImage image{};
        writeEstablishedTiming(image, box, true);
        EXPECT_EQ(image[box.offset], 1u << box.bit) << box.name;
        EXPECT_TRUE(establishedTiming(image, box));
        int setBytes = 0;
        for (Byte b : image)
            setBytes += b != 0;
        EXPECT_EQ(setBytes, 1) << box.name;
    }
    EXPECT_STREQ(boxes[16].name, "CheckBox_T37");
    EdidImage image{};
    image[37] = 0x81;
    writeEstablishedTiming(image, boxes[16], false);
    EXPECT_EQ(image[37], 0x01);
    writeEstablishedTiming(image, boxes[16], true);
    EXPECT_EQ(image[37], 0x81);
}

TEST(StandardTimings, DecodeEntries) {
    EdidImage image{};
    image[38] = 0xD1;
    image[39] = 0xC0;
    image[52] = 0x01;
    image[53] = 0x01;
    const StandardTiming t = decodeStandardTiming(image, 0);
    EXPECT_TRUE(t.used);
    EXPECT_EQ(t.horizontalPixels, 1920);
    EXPECT_EQ(t.aspect, kAspect16x9);
    EXPECT_EQ(t.refreshHz, 60);
    const StandardTiming unused = decodeStandardTiming(image, 7);
    EXPECT_FALSE(unused.used);
    EXPECT_EQ(unused.horizontalPixels, 256);
    EXPECT_EQ(unused.refreshHz, 61);
    EXPECT_EQ(unused.aspect, kAspect16x10);
}

TEST(StandardTimings, TypedFieldsAreCheckedBeforeAnyByteIsWritten) {
    using E = StandardTimingEdit;
    const struct {
        bool pixels;
        const char* typed;
        E result;
        Byte first, second; // the entry afterwards, from 01 40
    } cases[] = {
        {true, "1280", E::Written, 0x81, 0x40},
        {true, "1920", E::Written, 0xD1, 0x40},
        {true, "256", E::Written, 0x01, 0x40},
        {true, "2288", E::Written, 0xFF, 0x40},
        {true, "100", E::NotRepresentable, 0x01, 0x40},
        {true, "2296", E::NotRepresentable, 0x01, 0x40},
        {true, "1281", E::NotRepresentable, 0x01, 0x40},
        {true, "12a", E::NotDigits, 0x01, 0x40},
        {true, "-1", E::NotDigits, 0x01, 0x40},
        {true, "", E::NotANumber, 0x01, 0x40},
        {true, "99999999999", E::NotANumber, 0x01, 0x40},
        {false, "75", E::Written, 0x01, 0x4F},
        {false, "60", E::Written, 0x01, 0x40},
        {false, "123", E::Written, 0x01, 0x7F},
        {false, "124", E::OutOfRange, 0x01, 0x40},
        {false, "59", E::OutOfRange, 0x01, 0x40},
        {false, "7x", E::NotDigits, 0x01, 0x40},
        {false, "", E::NotANumber, 0x01, 0x40},
    };
    for (const auto& c : cases) {
        EdidImage image{};
        image[40] = 0x01;
        image[41] = 0x40;
        EdidImage expected = image;
        expected[40] = c.first;
        expected[41] = c.second;
        const E result = c.pixels ? writeStandardTimingPixels(image, 1, c.typed)
                                  : writeStandardTimingRefresh(image, 1, c.typed);
        EXPECT_EQ(result, c.result) << c.typed;
        EXPECT_EQ(image, expected) << c.typed;
    }
}

TEST(StandardTimings, AspectAndUnusedWritesKeepTheOtherFields) {
    EdidImage image{};
    image[44] = 0x81;
    image[45] = 0x0F;
    writeStandardTimingAspect(image, 3, kAspect5x4);
    EXPECT_EQ(image[45], 0x8F);
    EXPECT_EQ(image[44], 0x81);
    markStandardTimingUnused(image, 3);
    EXPECT_EQ(image[44], 0x01);
    EXPECT_EQ(image[45], 0x01);
    EXPECT_FALSE(decodeStandardTiming(image, 3).used);
}

} // namespace
} // namespace pellam
