#include "core/edid/edid_image.h"

#include <numeric>

#include <gtest/gtest.h>

namespace pellam {
namespace {

unsigned blockSum(const EdidImage& image, int block) {
    const auto first = image.begin() + block * 128;
    return std::accumulate(first, first + 128, 0u) % 256u;
}

TEST(Checksum, IsZeroNotTwoHundredFiftySixWhenTheBytesSumToAMultipleOf256) {
    EdidImage image{};
    image[0] = 0x80;
    image[1] = 0x80; // 127 bytes sum to 256
    image[127] = 0x55;
    EXPECT_EQ(Checksum(image, 0), 0x00);
}

TEST(Checksum, IgnoresTheChecksumByteAndReadsOnlyItsOwnBlock) {
    struct Case {
        int block;
        std::size_t offset;
        Byte value;
        Byte expected;
    };
    const Case cases[] = {
        {0, 0, 0x01, 0xFF},   {0, 126, 0xFF, 0x01}, {1, 128, 0x02, 0xFE}, {1, 254, 0x10, 0xF0},
        {0, 127, 0x33, 0x00}, {1, 255, 0x33, 0x00}, {0, 128, 0x44, 0x00}, {1, 0, 0x44, 0x00},
    };
    for (const Case& c : cases) {
        EdidImage image{};
        image[c.offset] = c.value;
        EXPECT_EQ(Checksum(image, c.block), c.expected)
            << "block " << c.block << " with byte " << c.offset << " = " << int(c.value);
    }
}

TEST(DefaultImages, BothBlocksOfBothImagesCarryValidChecksums) {
    for (const EdidImage* image : {&hdmiDefaultImage(), &displayPortDefaultImage()}) {
        EXPECT_EQ(blockSum(*image, 0), 0u);
        EXPECT_EQ(blockSum(*image, 1), 0u);
        EXPECT_EQ(Checksum(*image, 0), (*image)[127]);
        EXPECT_EQ(Checksum(*image, 1), (*image)[255]);
    }
    EXPECT_EQ(hdmiDefaultImage()[127], 0x21);
    EXPECT_EQ(displayPortDefaultImage()[127], 0x8B);
}

TEST(DefaultImages, DifferOnlyInRows10To30AndTheBlock0Checksum) {
    const EdidImage& hdmi = hdmiDefaultImage();
    const EdidImage& dp = displayPortDefaultImage();
    for (std::size_t i = 0; i < kImageSize; ++i) {
        const bool mayDiffer = (i >= 0x10 && i < 0x40) || i == 127;
        if (!mayDiffer) {
            EXPECT_EQ(hdmi[i], dp[i]) << "offset " << i;
        }
    }
    EXPECT_EQ(hdmi[20], 0x80); // EDID 1.3 digital input
    EXPECT_EQ(dp[20], 0xA5);   // EDID 1.4 DisplayPort, 8 bits per colour
    EXPECT_EQ(hdmi[18], 1);
    EXPECT_EQ(hdmi[19], 3);
    EXPECT_EQ(dp[19], 4);
}

TEST(DefaultImages, NameTheKorvoDemoMonitor) {
    for (const EdidImage* image : {&hdmiDefaultImage(), &displayPortDefaultImage()}) {
        EXPECT_TRUE(hasEdidHeader(*image));
        // Manufacturer ID: three 5-bit letters, 'A' = 1, big-endian in bytes 8-9.
        const unsigned id = (*image)[8] << 8 | (*image)[9];
        const std::string letters{char('@' + (id >> 10 & 31)), char('@' + (id >> 5 & 31)),
                                  char('@' + (id & 31))};
        EXPECT_EQ(letters, "KRV");
        // Third descriptor (offset 90): monitor name tag FCh, text from byte 5.
        EXPECT_EQ((*image)[90 + 3], 0xFC);
        const std::string name((*image).begin() + 95, (*image).begin() + 108);
        EXPECT_EQ(name, "Korvo Demo\n  ");
        EXPECT_EQ((*image)[126], 1) << "both images start in 256-byte mode";
        EXPECT_EQ((*image)[128], 0x02) << "block 1 is a CEA-861 extension";
    }
}

TEST(ApplyAutoChecksums, WritesBothChecksumsOnlyWhenOn) {
    EdidImage image = hdmiDefaultImage();
    image[126] = 0; // 128-byte mode: block 1 is still done
    image[200] ^= 0xFF;
    EdidImage untouched = image;
    ApplyAutoChecksums(image, false);
    EXPECT_EQ(image, untouched);

    ApplyAutoChecksums(image, true);
    EXPECT_EQ(blockSum(image, 0), 0u);
    EXPECT_EQ(blockSum(image, 1), 0u);
    EXPECT_EQ(image[127], Byte(0x21 + 1));
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (i != 127 && i != 255) {
            EXPECT_EQ(image[i], untouched[i]) << "offset " << i;
        }
    }
}

TEST(DisplayPortModeFromImage, FollowsTheDigitalBitAndTheInterfaceBits) {
    const std::pair<Byte, Byte> cases[] = {
        {0xA5, 1},            // DisplayPort, 8 bpc
        {0xA2, 0},            // HDMI-a: bit 1 only
        {0x80, 0},            // EDID 1.3 digital
        {0xA1, 1},            // DVI, but bit 0 counts
        {0x84, 1}, {0x25, 0}, // analog input never selects DisplayPort
        {0x00, 0}, {0xFF, 1},
    };
    for (const auto& [input, mode] : cases) {
        EdidImage image{};
        image[20] = input;
        EXPECT_EQ(displayPortModeFromImage(image), mode) << "byte 20 = " << int(input);
    }
}

} // namespace
} // namespace pellam
