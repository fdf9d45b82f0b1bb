#include "core/cea/block1_builder.h"
#include "core/analyser/analyser.h"
#include "core/analyser/report.h"
#include "core/edid/edid_bytes.h"
#include "core/base_block/timing_candidates.h"
#include "core/cea/extension_block.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;
using test::imageWithBlock1;

std::set<int> failedItems(const AnalyserResult& r) {
    std::set<int> items;
    for (int k = 0; k < kAnalyserItemCount; ++k)
        if (r.failed(k))
            items.insert(k);
    return items;
}

AnalyserResult evaluate(const EdidImage& image,
                        CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults()) {
    DataBlockCollection model;
    parseExtensionBlock(image, model);
    AnalyserResult result;
    EXPECT_TRUE(Evaluate(image, cdf, model, result));
    return result;
}

// Writes a detailed timing into block-0 slot 1 with a given clock.
void setFirstTiming(EdidImage& image, int candidateRow, double clockMHz) {
    const DtdBytes dtd = timingCandidateBytes(candidateRow);
    std::copy(dtd.begin(), dtd.end(), image.begin() + 54);
    const int word = static_cast<int>(clockMHz * 100 + 0.5);
    image[54] = static_cast<Byte>(word & 0xFF);
    image[55] = static_cast<Byte>(word >> 8);
    ApplyAutoChecksums(image, true);
}

const Bytes kVsdb10 = {0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};

TEST(Evaluate, AllZeroBufferFailsExactlyTheStructuralItems) {
    const EdidImage zeros{};
    const AnalyserResult r = evaluate(zeros);
    EXPECT_EQ(failedItems(r), (std::set<int>{0, 2, 4, 5, 6, 7, 8, 10, 13, 27, 29}));
    EXPECT_EQ(r.matchedDtdMask, 0u);
    EXPECT_FALSE(r.formatSectionFlag);
    EXPECT_EQ(r.dtdCount, 0);
}

TEST(Evaluate, TheDefaultImagePassesEverything) {
    const AnalyserResult r = evaluate(hdmiDefaultImage());
    EXPECT_EQ(failedItems(r), std::set<int>{});
    EXPECT_EQ(r.dtdCount, 6);
    EXPECT_EQ(r.vsdbLength, 5);
    EXPECT_EQ(r.matchedDtdMask, 0x3Fu);
    EXPECT_EQ(r.dtdVicList[0], 4); // 1280x720p60
    EXPECT_EQ(r.dtdVicList[1], 5); // 1920x1080i60
    EXPECT_EQ(r.dtdVicList[2], 3); // 720x480p: VIC 2 and 3 match, the last one counts
    EXPECT_FLOAT_EQ(r.highestDtdClock, 74.25f);
}

TEST(Evaluate, PhysicalAddressMustBeARootAddressForARootDevice) {
    struct Case {
        Byte ab, cd;
        int outputs;
        bool cecRoot;
        bool fails31, fails61;
    };
    const Case cases[] = {
        {0x10, 0x00, 0, true, false, false}, {0x20, 0x00, 0, true, false, false},
        {0x00, 0x00, 0, true, true, false},  {0x11, 0x00, 0, true, true, false},
        {0x10, 0x01, 0, true, true, false},  {0x00, 0x00, 1, true, false, false},
        {0x00, 0x00, 0, false, false, true}, {0x12, 0x34, 2, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.ab) << " " << int(c.cd) << " outputs " << c.outputs
                                        << " root " << c.cecRoot);
        const EdidImage image = imageWithBlock1({{0x65, 0x03, 0x0C, 0x00, c.ab, c.cd}}, {10}, 0x40);
        CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
        cdf.hdmiOutputCount = c.outputs;
        cdf.cecRootDevice = c.cecRoot;
        const AnalyserResult r = evaluate(image, cdf);
        EXPECT_EQ(r.failed(31), c.fails31);
        EXPECT_EQ(r.failed(61), c.fails61);
    }
}

TEST(Evaluate, AClockWithinOnePercentMatchesButOnlyTheExactOnePasses) {
    struct Case {
        double clock;
        bool matches;
        bool exact;
    };
    const Case cases[] = {{74.25, true, true},
                          {74.00, true, false},
                          {73.00, false, false},
                          {74.99, true, false},
                          {75.00, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clock);
        EdidImage image = imageWithBlock1({{0x41, 0x04}, kVsdb10}, {}, 0x40);
        setFirstTiming(image, 10, c.clock); // 1280x720p 60 Hz geometry
        const AnalyserResult r = evaluate(image);
        EXPECT_EQ((r.matchedDtdMask & 1u) != 0, c.matches);
        if (c.matches) {
            EXPECT_EQ(r.dtdVicList[0], 4);
            EXPECT_FALSE(r.failed(74)) << "VIC 4 is a short video descriptor";
            EXPECT_EQ(r.failed(75), !c.exact);
        } else {
            EXPECT_FALSE(r.failed(74));
            EXPECT_FALSE(r.failed(75));
        }
    }
}

TEST(Evaluate, TheLastMatchingFormatNamesTheTiming) {
    for (int svd : {2, 3}) {
        EdidImage image = imageWithBlock1({{0x41, static_cast<Byte>(svd)}, kVsdb10}, {}, 0x40);
        setFirstTiming(image, 9, 27.00); // 720x480p
        const AnalyserResult r = evaluate(image);
        EXPECT_EQ(r.dtdVicList[0], 3);
        EXPECT_EQ(r.failed(74), svd == 2) << "SVD " << svd;
    }
}

TEST(Evaluate, MultichannelAudioNeedsASpeakerBlockAfterThePreviousOne) {
    const Bytes speaker = {0x83, 0x7F, 0x00, 0x00};
    const Bytes twoEightChannelPcm = {0x26, 0x0F, 0x07, 0x07, 0x0F, 0x07, 0x07};
    EdidImage image = imageWithBlock1({speaker, twoEightChannelPcm, kVsdb10}, {10}, 0x40);
    EXPECT_TRUE(evaluate(image).failed(21)) << "the second descriptor finds no speaker block";
    image = imageWithBlock1({twoEightChannelPcm, speaker, kVsdb10}, {10}, 0x40);
    EXPECT_FALSE(evaluate(image).failed(21));
    image = imageWithBlock1({{0x23, 0x0F, 0x07, 0x07}, kVsdb10}, {10}, 0x40);
    EXPECT_TRUE(evaluate(image).failed(21)) << "multichannel without any speaker block";
}

TEST(Evaluate, HdmiVicsMustBe1To4WhenFourKIsDeclared) {
    CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
    cdf.sink4Kx2K = true;
    const auto vsdbWithVics = [](const Bytes& vics) {
        Bytes block = {0x00,
                       0x03,
                       0x0C,
                       0x00,
                       0x10,
                       0x00,
                       0x00,
                       0x3C,
                       0x20,
                       0x00,
                       static_cast<Byte>(vics.size() << 5)};
        for (Byte vic : vics)
            block.push_back(vic);
        block[0] = static_cast<Byte>(0x60 | (block.size() - 1));
        return block;
    };
    EXPECT_TRUE(evaluate(imageWithBlock1({vsdbWithVics({1, 2, 5})}, {10}, 0x40), cdf).failed(52));
    EXPECT_FALSE(evaluate(imageWithBlock1({vsdbWithVics({1, 2, 3})}, {10}, 0x40), cdf).failed(52));
    EXPECT_TRUE(evaluate(imageWithBlock1({vsdbWithVics({5, 1})}, {10}, 0x40), cdf).failed(52))
        << "the scan runs from the last code down and stops at the first bad one";
    const AnalyserResult none = evaluate(imageWithBlock1({vsdbWithVics({})}, {10}, 0x40), cdf);
    EXPECT_TRUE(none.failed(51));
    // Not declared: codes present fail 53, and 52 is not evaluated.
    const AnalyserResult undeclared = evaluate(imageWithBlock1({vsdbWithVics({5})}, {10}, 0x40));
    EXPECT_TRUE(undeclared.failed(53));
    EXPECT_FALSE(undeclared.failed(52));
}

TEST(Evaluate, VsdbFlagRulesOfHdmi13a) {
    struct Case {
        Bytes vsdb;
        std::set<int> fails; // among 36..43, 110, 111
    };
    const Case cases[] = {
        {{0x66, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x08}, {37}},               // Y444 without depth
        {{0x66, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x50}, {38, 39, 110, 111}}, // 30/48 without 36
        {{0x66, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x01}, {40, 110}},          // DVI_Dual, no clock
        {{0x67, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x20, 0x00}, {41, 110}},    // clock zero
        {{0x67, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x26, 0x2D}, {36}},         // reserved bits
        {{0x68, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x20, 0x2D, 0x10}, {43}},   // byte 8 bit 4
    };
    for (const Case& c : cases) {
        const AnalyserResult r = evaluate(imageWithBlock1({c.vsdb}, {10}, 0x40));
        std::set<int> fails;
        for (int k : {36, 37, 38, 39, 40, 41, 42, 43, 110, 111})
            if (r.failed(k))
                fails.insert(k);
        EXPECT_EQ(fails, c.fails) << "VSDB byte 6 = " << int(c.vsdb[6]);
    }
}

TEST(Evaluate, OtherVendorsBlocksAreNotHeldToTheHdmiVsdbRules) {
    const Bytes hfVsdb = {0x67, 0xD8, 0x5D, 0xC4, 0x01, 0x78, 0x80, 0x07};
    const AnalyserResult r = evaluate(imageWithBlock1({kVsdb10, hfVsdb}, {10}, 0x40));
    EXPECT_EQ(r.vsdbLength, 5);
    for (int k = 29; k <= 62; ++k)
        EXPECT_FALSE(r.failed(k)) << "item " << k;
}

TEST(Evaluate, NoByteBeyondTheBufferIsRead) {
    // d = 255 sends the walk past the end; a VSDB at the very end claims more.
    EdidImage image = imageWithBlock1({}, {}, 0x40);
    std::fill(image.begin() + 132, image.begin() + 250, 0x20); // tag 1, length 0
    image[250] = 0x7F;
    image[251] = 0x03;
    image[252] = 0x0C;
    image[253] = 0x00;
    image[130] = 0xFF;
    const AnalyserResult r = evaluate(image);
    EXPECT_EQ(r.vsdbLength, 31);
    EXPECT_FALSE(r.failed(27)) << "the walk stops at the end of the buffer";
}

TEST(Evaluate, ABlock0TimingWhoseClockIsAMultipleOf256IsStillATiming) {
    EdidImage image = hdmiDefaultImage();
    setFirstTiming(image, 10, 0x1D00 / 100.0); // 74.24 MHz: low clock byte 00h
    ASSERT_EQ(image[54], 0x00);
    const AnalyserResult r = evaluate(image);
    EXPECT_EQ(r.dtdCount, 6);
    EXPECT_EQ(r.dtdVicList[0], 4);
}

TEST(Evaluate, FormatDeclarationsAreCheckedAgainstTheShortVideoDescriptors) {
    CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
    cdf.sink60Hz = true;
    cdf.sinkHdtv = true;
    cdf.sink720p50Other = true;
    cdf.sinkYuvOnOther = true;
    // Default image SVDs: 5, 4, 3, 2, 1, 18, 19, 20, 22, 7 (some native).
    AnalyserResult r = evaluate(hdmiDefaultImage(), cdf);
    EXPECT_TRUE(r.formatSectionFlag);
    EXPECT_FALSE(r.failed(98));
    EXPECT_FALSE(r.failed(99));
    EXPECT_FALSE(r.failed(104));
    EXPECT_FALSE(r.failed(100)) << "50 Hz not declared";
    EXPECT_FALSE(r.failed(107));
    EdidImage noVideo = imageWithBlock1({kVsdb10}, {10}, 0x60); // YCbCr 4:4:4 only
    r = evaluate(noVideo, cdf);
    EXPECT_TRUE(r.failed(98));
    EXPECT_TRUE(r.failed(99));
    EXPECT_TRUE(r.failed(104));
    EXPECT_TRUE(r.pixelEncodingFlag);
    EXPECT_TRUE(r.failed(106));
    EXPECT_TRUE(r.failed(107));
}

TEST(Report, LaysOutDumpsAndSummaryAsSpecified) {
    DataBlockCollection model;
    parseExtensionBlock(hdmiDefaultImage(), model);
    const AnalyserReport report =
        writeAnalyserReport(hdmiDefaultImage(), CapabilityDeclaration::dialogDefaults(), model);
    const auto& lines = report.lines;
    ASSERT_TRUE(report.evaluated);
    EXPECT_EQ(lines[0], "                 HDMI EDID content analyser");
    EXPECT_EQ(lines[2], "   " + std::string(53, '='));
    EXPECT_EQ(lines[3], "   \n\n");
    EXPECT_EQ(lines[4], "      | 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
    EXPECT_EQ(lines[5], "   " + std::string(55, '-'));
    EXPECT_EQ(lines[6], "   00 | 00 FF FF FF FF FF FF 00 2E 56 30 00 01 00 00 00");
    EXPECT_EQ(lines[6].find('|'), lines[4].find('|'));
    const auto row = std::find(lines.begin(), lines.end(),
                               "   a0 | 8A 20 E0 2D 10 10 3E 96 00 C4 8E 21 00 00 18 8C");
    EXPECT_NE(row, lines.end()) << "block-1 rows are labelled in lower case";
    EXPECT_EQ(lines.back(), "   All Pass!");
    EXPECT_EQ(lines[lines.size() - 2], "   " + std::string(55, '-'));
    const auto dtd = std::find(lines.begin(), lines.end(), "   [ DETAILED TIMING DESCRIPTOR # 1 ]");
    ASSERT_NE(dtd, lines.end());
    EXPECT_EQ(*(dtd + 1), "   PASS-> DTD is matching an 861D format with VIC =  4");
    EXPECT_EQ(*(dtd - 1), "   " + std::string(55, '-')) << "no blank line before the first";

    AnalyserResult result;
    ASSERT_TRUE(Evaluate(EdidImage{}, CapabilityDeclaration::dialogDefaults(),
                         DataBlockCollection{}, result));
    const auto zeros = formatAnalyserReport(EdidImage{}, CapabilityDeclaration::dialogDefaults(),
                                            DataBlockCollection{}, result);
    EXPECT_EQ(zeros.back(), "   Fail 11 Items!");
    EXPECT_EQ(std::count(zeros.begin(), zeros.end(), "** FAIL-> Block 0 Header"), 1);
}

DataBlockCollection parsedBlock1(const EdidImage& image) {
    DataBlockCollection model;
    parseExtensionBlock(image, model);
    return model;
}

EdidImage firstTwoBlocks(const EdidBytes& bytes) {
    EdidImage image{};
    std::copy_n(bytes.begin(), image.size(), image.begin());
    return image;
}

TEST(LongerImages, TheBlocksAfterBlock1GetASectionOfTheirOwn) {
    // The default image with a CTA-861 block 2 (whose video block lists VIC 4)
    // and a DisplayID block 3 with a wrong checksum.
    EdidBytes bytes(hdmiDefaultImage().begin(), hdmiDefaultImage().end());
    bytes[126] = 3;
    applyBlockChecksums(bytes, true);
    const EdidImage block2Source = imageWithBlock1({{0x41, 0x04}});
    bytes.insert(bytes.end(), block2Source.begin() + 128, block2Source.end());
    EdidBytes displayId(128, 0);
    displayId[0] = 0x70;
    displayId[127] = 0x01;
    bytes.insert(bytes.end(), displayId.begin(), displayId.end());

    const DataBlockCollection model = parsedBlock1(hdmiDefaultImage());
    CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
    const AnalyserReport report = writeAnalyserReport(bytes, cdf, model);
    const auto at = std::find(report.lines.begin(), report.lines.end(), "   Test : Extension Blocks");
    ASSERT_NE(at, report.lines.end());
    const std::vector<std::string> section(at + 2, at + 5);
    EXPECT_EQ(section, (std::vector<std::string>{
                           "   PASS-> Number of Extension Blocks (byte 126 = 3) matches the 4 "
                           "blocks present",
                           "   PASS-> Block 2 Checksum (CTA-861 extension)",
                           "** FAIL-> Block 3 Checksum (DisplayID extension)"}));
    EXPECT_EQ(report.items.back().number, 114);
    EXPECT_EQ(report.items.back().section, "Extension Blocks");
    // Items 2 and 12 fail (byte 126 is not 1, and block 1 is no block map),
    // and block 3's checksum.
    EXPECT_EQ(report.lines.back(), "   Fail 3 Items!");

    // The first 256 bytes alone are reported exactly as before.
    const AnalyserReport first =
        writeAnalyserReport(std::span<const Byte>(bytes).first(256), cdf, model);
    const AnalyserReport asImage =
        writeAnalyserReport(firstTwoBlocks(bytes), cdf, model);
    EXPECT_EQ(first.lines, asImage.lines);
    EXPECT_EQ(std::find(first.lines.begin(), first.lines.end(), "   Test : Extension Blocks"),
              first.lines.end());

    // A format declared for the sink counts when a later CTA block lists it.
    EdidImage noVic4 = imageWithBlock1({{0x41, 0x10}});
    noVic4[126] = 2;
    ApplyAutoChecksums(noVic4, true);
    EdidBytes spread(noVic4.begin(), noVic4.end());
    spread.insert(spread.end(), block2Source.begin() + 128, block2Source.end());
    cdf.sink720p60Other = true;
    AnalyserResult alone, together;
    ASSERT_TRUE(Evaluate(noVic4, cdf, parsedBlock1(noVic4), alone));
    ASSERT_TRUE(Evaluate(noVic4, cdf, parsedBlock1(noVic4), together,
                         std::span<const Byte>(spread).subspan(256)));
    EXPECT_TRUE(alone.failed(102));
    EXPECT_FALSE(together.failed(102));
}

} // namespace
} // namespace pellam
