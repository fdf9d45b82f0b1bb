#include "core/base_block/vendor_product.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

EdidImage imageWith(std::initializer_list<std::pair<std::size_t, Byte>> bytes) {
    EdidImage image{};
    for (const auto& [offset, value] : bytes)
        image[offset] = value;
    return image;
}

TEST(ManufacturerId, ShowsFiveBitLettersWithOutOfRangeCodesAsA) {
    const struct {
        Byte high, low;
        const char* text;
    } cases[] = {
        {0x00, 0x00, "AAA"},                                           // code 0
        {0x04, 0x72, "ACR"}, {0x69, 0xA4, "ZMD"}, {0x7F, 0xFF, "AAA"}, // codes 31
        {0x6F, 0x5A, "AZZ"},                                           // codes 27, 26, 26
    };
    for (const auto& c : cases) {
        const EdidImage image = imageWith({{8, c.high}, {9, c.low}});
        EXPECT_EQ(manufacturerIdText(image), c.text) << int(c.high) << ' ' << int(c.low);
    }
}

TEST(ManufacturerId, WritesOnlyThreeTypedLetters) {
    const struct {
        const char* typed;
        const char* shown;
        std::optional<std::uint16_t> word;
    } cases[] = {
        {"ACR", "ACR", 0x0472},      {"acr", "ACR", 0x0472}, // the field is upper-case only
        {"ZZZ", "ZZZ", 0x6B5A},      {"AC", "AC", std::nullopt},
        {"A1C", "AC", std::nullopt}, {"AB\xE4\xB8\xAD", "AB", std::nullopt}, // a Chinese character
        {"", "", std::nullopt},      {"ACRX", "ACR", 0x0472}, // only the first three count
    };
    for (const auto& c : cases) {
        const TypedCode typed = parseManufacturerIdText(c.typed);
        EXPECT_EQ(typed.shown, c.shown) << c.typed;
        EXPECT_EQ(typed.value, c.word) << c.typed;
    }
    EdidImage image{};
    writeManufacturerId(image, 0x0472);
    EXPECT_EQ(image[8], 0x04);
    EXPECT_EQ(image[9], 0x72);
}

TEST(ProductCode, ShowsTheLittleEndianWordAndTakesFourHexadecimalDigits) {
    EXPECT_EQ(productCodeText(imageWith({{10, 0x2B}, {11, 0x1A}})), "1A2B");
    const struct {
        const char* typed;
        const char* shown;
        std::optional<std::uint16_t> code;
    } cases[] = {
        {"1234", "1234", 0x1234},     {"0000", "0000", 0x0000},     {"9999", "9999", 0x9999},
        {"8A0B", "8A0B", 0x8A0B},     {"8a0b", "8A0B", 0x8A0B},     {"FFFF", "FFFF", 0xFFFF},
        {"12G4", "124", std::nullopt}, {"123", "123", std::nullopt}, {"12345", "1234", 0x1234},
    };
    for (const auto& c : cases) {
        const TypedCode typed = parseProductCodeText(c.typed);
        EXPECT_EQ(typed.shown, c.shown) << c.typed;
        EXPECT_EQ(typed.value, c.code) << c.typed;
    }
    EdidImage image{};
    writeProductCode(image, 0x1A2B);
    EXPECT_EQ(productCodeText(image), "1A2B");
    EXPECT_EQ(image[10], 0x2B);
}

TEST(SerialNumber, TypedDigitsWithin32BitsOnly) {
    const struct {
        const char* typed;
        std::optional<std::uint32_t> value;
    } cases[] = {
        {"0", 0u},
        {"007", 7u},
        {"4294967295", 4294967295u},
        {"4294967296", std::nullopt}, // never wrapped to 0
        {"9999999999", std::nullopt},
        {"1a2", std::nullopt},
        {"123456789012", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseSerialNumberText(c.typed), c.value) << c.typed;
}

TEST(SerialNumber, IsWrittenLittleEndianWithItsTextAndStepsStopAtTheLimits) {
    EdidWorkspace ws;
    writeSerialNumber(ws, 0x12345678);
    EXPECT_EQ(ws.image[12], 0x78);
    EXPECT_EQ(ws.image[15], 0x12);
    EXPECT_EQ(ws.serialNumberText, "305419896");
    EXPECT_EQ(serialNumber(ws.image), 0x12345678u);

    EXPECT_EQ(stepSerialNumber(0, false), 0u);
    EXPECT_EQ(stepSerialNumber(0xFFFFFFFFu, true), 0xFFFFFFFFu);
    EXPECT_EQ(stepSerialNumber(7, true), 8u);
    EXPECT_EQ(stepSerialNumber(7, false), 6u);
}

TEST(WeekOfManufacture, IsReadAsStoredWithTheDisplayPortModelYear) {
    const struct {
        Byte week;
        bool displayPort;
        bool modelYear;
    } cases[] = {
        {0, false, false},  {54, false, false}, {255, false, false},
        {53, false, false}, {0, true, false},   {255, true, true},
    };
    for (const auto& c : cases) {
        const EdidImage image = imageWith({{16, c.week}});
        const WeekOfManufacture week = weekOfManufacture(image, c.displayPort);
        EXPECT_EQ(week.modelYear, c.modelYear) << int(c.week) << ' ' << c.displayPort;
        if (!c.modelYear) {
            EXPECT_EQ(week.week, c.week);
        }
    }
}

TEST(YearAndRevision, YearsSpan1990To2245AndTheRevisionIsAnInteger) {
    EXPECT_EQ(yearOfManufacture(imageWith({{17, 0}})), 1990);
    EXPECT_EQ(yearOfManufacture(imageWith({{17, 255}})), 2245);
    EdidImage image{};
    writeYearOfManufacture(image, 2017);
    EXPECT_EQ(image[17], 27);

    EXPECT_EQ(parseRevisionText("4"), Byte{4});
    EXPECT_EQ(parseRevisionText("255"), Byte{255});
    EXPECT_EQ(parseRevisionText("300"), std::nullopt) << "never cut to its low 8 bits";
    EXPECT_EQ(parseRevisionText("-1"), std::nullopt);
    EXPECT_EQ(parseRevisionText(""), std::nullopt);
    EXPECT_EQ(parseRevisionText("3a"), std::nullopt);
}

TEST(VideoInput, DecodesBothReadingsOfTheDigitalByte) {
    const VideoInput dp = decodeVideoInput(0xA5, true);
    EXPECT_TRUE(dp.digital);
    EXPECT_EQ(dp.colourDepth, 2);
    EXPECT_EQ(dp.interfaceKind, 5);
    EXPECT_EQ(decodeVideoInput(0x87, true).interfaceKind, kReservedInterfaceEntry);
    EXPECT_TRUE(decodeVideoInput(0x81, false).dfp1x);
    EXPECT_FALSE(decodeVideoInput(0x80, false).dfp1x);

    const VideoInput analog = decodeVideoInput(0x5A, false);
    EXPECT_FALSE(analog.digital);
    EXPECT_EQ(analog.signalLevel, 2);
    EXPECT_TRUE(analog.blankToBlackSetup);
    EXPECT_TRUE(analog.separateSync);
    EXPECT_FALSE(analog.compositeSync);
    EXPECT_TRUE(analog.syncOnGreen);
    EXPECT_FALSE(analog.serration);
}

TEST(VideoInput, EncodingChangesOnlyTheBitsOfTheEditedReading) {
    // Every analog byte and every DisplayPort digital byte with a defined
    // interface survives decode and encode.
    for (unsigned value = 0; value < 256; ++value) {
        const Byte b = static_cast<Byte>(value);
        if (!getBit(b, 7)) {
            EXPECT_EQ(encodeVideoInput(decodeVideoInput(b, false), false, b), b);
            EXPECT_EQ(encodeVideoInput(decodeVideoInput(b, true), true, b), b);
        } else {
            EXPECT_EQ(encodeVideoInput(decodeVideoInput(b, false), false, b), b);
            if (getBitRange(b, 3, 0) <= 5) {
                EXPECT_EQ(encodeVideoInput(decodeVideoInput(b, true), true, b), b);
            }
        }
    }
    VideoInput dp = decodeVideoInput(0x87, true);
    dp.colourDepth = 3;
    EXPECT_EQ(encodeVideoInput(dp, true, 0x87), 0xB7) << "the reserved interface code is kept";
    EXPECT_EQ(encodeVideoInput(dp, true, 0x85), 0xB6) << "choosing the reserved entry writes 6";
    dp.colourDepth = -1;
    dp.interfaceKind = -1;
    EXPECT_EQ(encodeVideoInput(dp, true, 0x00), 0x80) << "unselected lists count as 0";

    VideoInput hdmi;
    hdmi.digital = true;
    hdmi.dfp1x = true;
    EXPECT_EQ(encodeVideoInput(hdmi, false, 0xA4), 0xA5) << "EDID 1.4 bits kept in HDMI mode";
    EXPECT_EQ(encodeVideoInput(hdmi, false, 0x7E), 0x81) << "analog bits cleared";
}

TEST(ScreenSize, DisplayPortModeReadsAZeroSideAsAnAspectRatio) {
    const struct {
        Byte h, v;
        bool dp;
        const char *group, *hCaption, *hValue, *vCaption, *vValue;
        bool hEnabled, vEnabled, cm;
        int hPos, vPos;
    } cases[] = {
        {79, 0, true, "Aspect Ratio", "AR(Landcape)", "1.78", "Undefined", "Not Def.", true, false,
         false, 79, 0},
        {0, 79, true, "Aspect Ratio", "Undefined", "Not Def.", "AR(Portrait)", "0.56", false, true,
         false, 0, 79},
        {0, 204, true, "Aspect Ratio", "Undefined", "Not Def.", "AR(Portrait)", "0.33", false, true,
         false, 0, 204},
        {0, 0, true, "Aspect Ratio", "Undefined", "Not Def.", "Undefined", "Not Def.", false, false,
         false, 0, 0},
        {79, 0, false, "Image Size", "Max Hor. Size:", "79", "Max Ver. Size:", "0", true, true,
         true, 79, 0},
        {60, 34, true, "Image Size", "Max Hor. Size:", "60", "Max Ver. Size:", "34", true, true,
         true, 60, 34},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.h) << 'x' << int(c.v) << " dp " << c.dp);
        const ScreenSizeDisplay d = screenSizeDisplay(c.h, c.v, c.dp);
        EXPECT_EQ(d.groupCaption, c.group);
        EXPECT_EQ(d.horizontalCaption, c.hCaption);
        EXPECT_EQ(d.horizontalValue, c.hValue);
        EXPECT_EQ(d.verticalCaption, c.vCaption);
        EXPECT_EQ(d.verticalValue, c.vValue);
        EXPECT_EQ(d.horizontalEnabled, c.hEnabled);
        EXPECT_EQ(d.verticalEnabled, c.vEnabled);
        EXPECT_EQ(d.centimetres, c.cm);
        EXPECT_EQ(d.horizontalPosition, c.hPos);
        EXPECT_EQ(d.verticalPosition, c.vPos);
    }
    EXPECT_EQ(ratioText(179 / 99.99), "1.79");
    EXPECT_EQ(ratioText(99.99 / 101), "0.99");
}

TEST(Gamma, ShowsTwoDecimalsOrNotDefined) {
    const std::pair<Byte, const char*> cases[] = {{0, "1.00"},   {120, "2.20"},     {130, "2.30"},
                                                  {254, "3.54"}, {255, "Not Def."}, {5, "1.05"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(gammaText(value), text) << int(value);
}

TEST(FeatureSupport, EveryBitRoundTripsAndAWriteSetsThePreferredTimingBit) {
    for (unsigned value = 0; value < 256; ++value) {
        const Byte b = static_cast<Byte>(value);
        EXPECT_EQ(encodeFeatureSupport(decodeFeatureSupport(b)), b | 0x02) << value;
    }
    const FeatureSupport f = decodeFeatureSupport(0x95);
    EXPECT_TRUE(f.standby);
    EXPECT_FALSE(f.suspend);
    EXPECT_EQ(f.displayType, 2);
    EXPECT_TRUE(f.sRgb);
    EXPECT_TRUE(f.continuousFrequency);
}

TEST(FeatureSupport, ColourFormatCaptionsOnlyInDisplayPortModeWithStandby) {
    EXPECT_STREQ(featureCaptions(true, true).group, "Supported Color Format");
    EXPECT_STREQ(featureCaptions(true, true).displayTypes[3], "RGB444_YUV444_YUV422");
    EXPECT_STREQ(featureCaptions(true, false).group, "Display Type");
    EXPECT_STREQ(featureCaptions(false, true).displayTypes[0], "Mono/Gray Scale");
    EXPECT_STREQ(defaultGtfCaption(true), "Cont. Freq");
    EXPECT_STREQ(defaultGtfCaption(false), "Default GTF");
}

} // namespace
} // namespace pellam
