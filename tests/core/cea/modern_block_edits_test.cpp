// Edits of the HDMI Forum, HDR, YCbCr 4:2:0 and colorimetry blocks through
// the collection: each is checked in the bytes block 1 holds once rebuilt.
#include "core/cea/block1_builder.h"
#include "core/cea/extension_block.h"
#include "core/cea/hdmi_vsdb_edits.h"
#include "core/cea/modern_block_edits.h"
#include "support/test_support.h"

#include <functional>
#include <utility>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;
using test::imageWithBlock1;
using test::imageWithFreeBytes;

const Bytes kAudio = {0x23, 0x09, 0x07, 0x07};
const Bytes kVsdb = {0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};
const Bytes kVcdb = {0xE2, 0x00, 0x40};
const Bytes kNewForum = {0x67, 0xD8, 0x5D, 0xC4, 0x01, 0x00, 0x00, 0x00};

struct Block1 {
    explicit Block1(const EdidImage& edid)
        : image(edid) {
        parseExtensionBlock(image, c);
    }
    // The data blocks once block 1 is written back.
    Bytes blocks() {
        EXPECT_TRUE(rebuildExtensionBlock(image, c));
        return Bytes(image.begin() + 132, image.begin() + 128 + image[130]);
    }
    EdidImage image;
    DataBlockCollection c;
};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// --- HDMI Forum block -------------------------------------------------------

TEST(ForumBlockEdits, OnGoesRightAfterTheHdmiVsdbAndOffRemovesIt) {
    Block1 b(imageWithBlock1({kAudio, kVsdb, kVcdb}));
    EXPECT_FALSE(hdmiForumBlock(b.c));
    EXPECT_TRUE(enableHdmiForumBlock(b.c, true).stored);
    EXPECT_TRUE(enableHdmiForumBlock(b.c, true).stored) << "on again changes nothing";
    EXPECT_EQ(b.blocks(), concat({kAudio, kVsdb, kNewForum, kVcdb}));
    const HdmiForumBlock read = *hdmiForumBlock(b.c);
    EXPECT_EQ(read.version, 1);
    EXPECT_EQ(read.kind, HdmiForumKind::Vsdb);
    enableHdmiForumBlock(b.c, false);
    EXPECT_EQ(b.blocks(), concat({kAudio, kVsdb, kVcdb}));
}

TEST(ForumBlockEdits, OnNeedsTheHdmiVsdbAndTheRoom) {
    Block1 none(imageWithBlock1({kAudio}));
    const DataBlockCollection before = none.c;
    EXPECT_EQ(enableHdmiForumBlock(none.c, true).message, kMsgForumNeedsHdmiVsdb);
    EXPECT_EQ(none.c, before);

    // An HDMI VSDB switched on since block 1 was read counts: both go at the end.
    ASSERT_TRUE(enableHdmiVsdb(none.c, true).stored);
    ASSERT_TRUE(enableHdmiForumBlock(none.c, true).stored);
    EXPECT_EQ(none.blocks(), concat({kAudio, kVsdb, kNewForum}));

    for (const int free : {7, 8}) {
        Block1 tight(imageWithFreeBytes({kVsdb}, free));
        const DataBlockCollection parsed = tight.c;
        const FieldEdit edit = enableHdmiForumBlock(tight.c, true);
        EXPECT_EQ(edit.stored, free == 8) << free;
        if (free == 7) {
            EXPECT_EQ(edit.message, kMsgNoSpaceOfExtendedBlock);
            EXPECT_EQ(tight.c, parsed);
        }
    }
}

TEST(ForumBlockEdits, TypedValuesAndTheirBytes) {
    using HF = HdmiForumBlock;
    // field nullptr: Max_TMDS_Character_Rate in MHz.
    const struct Case {
        int HF::*field;
        const char* text;
        int highest;
        std::vector<std::pair<std::size_t, Byte>> bytes; // block index and value; none: refused
    } cases[] = {
        {nullptr, "600", 0, {{5, 0x78}}},
        {nullptr, "345", 0, {{5, 69}}},
        {nullptr, "1275", 0, {{5, 0xFF}}},
        {nullptr, "349", 0, {}}, // no multiple of 5: never cut
        {nullptr, "1276", 0, {}},
        {nullptr, "", 0, {}},
        {&HF::version, "2", 255, {{4, 0x02}}},
        {&HF::vrrMin, "48", 63, {{9, 0x30}}},
        {&HF::vrrMin, "64", 63, {}},
        {&HF::vrrMin, "", 63, {}},
        {&HF::vrrMax, "1023", 1023, {{9, 0xC0}, {10, 0xFF}}},
        {&HF::vrrMax, "x", 1023, {}},
        {&HF::dscTotalChunkKBytes, "63", 63, {{13, 0x3F}}},
    };
    const Bytes initial = {0x6D, 0xD8, 0x5D, 0xC4, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const Case& c : cases) {
        Block1 b(imageWithBlock1({kVsdb, initial}));
        HdmiForumBlock h = *hdmiForumBlock(b.c);
        const FieldEdit edit = c.field ? editNumber(h.*c.field, c.text, c.highest, kMsgVrrMin)
                                       : editMaxTmdsCharacterRate(h, c.text);
        const bool stored = !c.bytes.empty();
        EXPECT_EQ(edit.stored, stored) << c.text;
        EXPECT_EQ(edit.message.empty(), stored) << c.text;
        ASSERT_TRUE(storeHdmiForumBlock(b.c, h).stored) << c.text;
        Bytes expected = initial;
        for (const auto& [index, value] : c.bytes)
            expected[index] = value;
        EXPECT_EQ(b.blocks(), concat({kVsdb, expected})) << c.text;
    }
}

TEST(ForumBlockEdits, LengthKindAndRoom) {
    Block1 b(imageWithFreeBytes({kVsdb, kNewForum}, 6));
    // Longer: the new bytes are zero; refused beyond the room.
    EXPECT_EQ(editHdmiForumLength(b.c, "").message, kMsgForumLength);
    EXPECT_EQ(editHdmiForumLength(b.c, "6").message, kMsgForumLength);
    EXPECT_EQ(editHdmiForumLength(b.c, "32").message, kMsgForumLength);
    EXPECT_EQ(editHdmiForumLength(b.c, "14").message, kMsgNoSpaceOfExtendedBlock);
    ASSERT_TRUE(editHdmiForumLength(b.c, "13").stored);
    HdmiForumBlock h = *hdmiForumBlock(b.c);
    EXPECT_EQ(h.size, 14);
    h.vrrMin = 40;
    h.dscTotalChunkKBytes = 9;
    h.kind = HdmiForumKind::Scdb;
    ASSERT_TRUE(storeHdmiForumBlock(b.c, h).stored);
    // The blocks before the padding that leaves 6 bytes free.
    const auto firstBlocks = [&b] {
        const Bytes all = b.blocks();
        return Bytes(all.begin(), all.begin() + 20);
    };
    const Bytes scdb = {0xED, 0x79, 0x00, 0x00, 0x01, 0, 0, 0, 0, 40, 0, 0, 0, 9};
    EXPECT_EQ(firstBlocks(), concat({kVsdb, scdb}));
    EXPECT_TRUE(isHdmiForumScdb(b.c.blockOrder[1].raw));
    EXPECT_EQ(b.c.blockOrder[1].extTag, HdmiForumBlock::kScdbExtTag);

    // Shorter: the fields past the end go, and come back as zeros.
    ASSERT_TRUE(editHdmiForumLength(b.c, "9").stored);
    ASSERT_TRUE(editHdmiForumLength(b.c, "13").stored);
    EXPECT_EQ(firstBlocks(),
              concat({kVsdb, {0xED, 0x79, 0x00, 0x00, 0x01, 0, 0, 0, 0, 40, 0, 0, 0, 0}}));
}

TEST(ForumBlockEdits, SliceTexts) {
    const std::pair<int, const char*> cases[] = {{0, "no DSC"},
                                                 {1, "1 slice x 340 MHz"},
                                                 {4, "8 slices x 340 MHz"},
                                                 {7, "16 slices x 400 MHz"},
                                                 {8, "reserved (8)"}};
    for (const auto& [code, text] : cases)
        EXPECT_EQ(dscSliceLimitText(code), text);
}

// --- HDR static metadata -------------------------------------------------------

TEST(HdrEdits, OnStartsValidLuminanceCodesComeAndGoInOrder) {
    Block1 b(imageWithBlock1({kVsdb}));
    ASSERT_TRUE(enableHdrStaticMetadata(b.c, true).stored);
    const Bytes hdr = {0xE3, 0x06, 0x01, 0x01};
    EXPECT_EQ(b.blocks(), concat({kVsdb, hdr}));

    HdrStaticMetadataBlock h = *hdrStaticMetadata(b.c);
    setHdrLuminanceCount(h, 3);
    h.minLuminance = 0x10;
    ASSERT_TRUE(storeHdrStaticMetadata(b.c, h).stored);
    EXPECT_EQ(b.blocks(), concat({kVsdb, {0xE6, 0x06, 0x01, 0x01, 0x00, 0x00, 0x10}}));
    EXPECT_EQ(hdrLuminanceCount(*hdrStaticMetadata(b.c)), 3);

    h.maxLuminance = 102;
    setHdrLuminanceCount(h, 1);
    ASSERT_TRUE(storeHdrStaticMetadata(b.c, h).stored);
    EXPECT_EQ(b.blocks(), concat({kVsdb, {0xE4, 0x06, 0x01, 0x01, 102}}));

    enableHdrStaticMetadata(b.c, false);
    EXPECT_EQ(b.blocks(), kVsdb);

    // Without room: the block and a code more are refused.
    Block1 full(imageWithFreeBytes({{0xE3, 0x06, 0x01, 0x01}}, 0));
    const DataBlockCollection before = full.c;
    HdrStaticMetadataBlock more = *hdrStaticMetadata(full.c);
    setHdrLuminanceCount(more, 1);
    EXPECT_EQ(storeHdrStaticMetadata(full.c, more).message, kMsgNoSpaceOfExtendedBlock);
    Block1 noRoom(imageWithFreeBytes({kVsdb}, 3));
    EXPECT_EQ(enableHdrStaticMetadata(noRoom.c, true).message, kMsgNoSpaceOfExtendedBlock);
    EXPECT_EQ(full.c, before);
}

TEST(HdrEdits, LuminanceAsTheReferenceDecoderPrintsIt) {
    // hwv_6a25_zqe-cba_384: "Desired content max luminance: 102 (455.515 cd/m^2)".
    EXPECT_EQ(luminanceText(maxLuminanceCdM2(102)), "455.515 cd/m\u00b2");
    EXPECT_EQ(luminanceText(minLuminanceCdM2(102, 0x10)), "0.018 cd/m\u00b2");
}

// --- YCbCr 4:2:0 --------------------------------------------------------------

TEST(Ycbcr420Edits, TheMapFollowsTheMarks) {
    const Bytes vdb = {0x43, 0x90, 0x04, 0x61};
    const struct Case {
        const char* what;
        Bytes map; // empty: no map
        std::function<FieldEdit(DataBlockCollection&)> edit;
        Bytes expected; // empty: no map
    } cases[] = {
        {"first mark creates it",
         {},
         [](auto& c) { return markYcbcr420Svd(c, 2, true); },
         {0xE2, 0x0F, 0x04}},
        {"unmark without a map", {}, [](auto& c) { return markYcbcr420Svd(c, 2, false); }, {}},
        {"second mark",
         {0xE2, 0x0F, 0x04},
         [](auto& c) { return markYcbcr420Svd(c, 0, true); },
         {0xE2, 0x0F, 0x05}},
        {"last unmark removes it",
         {0xE2, 0x0F, 0x04},
         [](auto& c) { return markYcbcr420Svd(c, 2, false); },
         {}},
        {"a stray bit cleared",
         {0xE3, 0x0F, 0x01, 0x02},
         [](auto& c) { return markYcbcr420Svd(c, 9, false); },
         {0xE3, 0x0F, 0x01, 0x00}},
        {"every SVD written out before one is unmarked",
         {0xE1, 0x0F},
         [](auto& c) { return markYcbcr420Svd(c, 1, false); },
         {0xE2, 0x0F, 0x05}},
        {"every SVD",
         {0xE2, 0x0F, 0x04},
         [](auto& c) { return setYcbcr420MapsEverySvd(c, true); },
         {0xE1, 0x0F}},
        {"every SVD written out",
         {0xE1, 0x0F},
         [](auto& c) { return setYcbcr420MapsEverySvd(c, false); },
         {0xE2, 0x0F, 0x07}},
        {"every SVD created",
         {},
         [](auto& c) { return setYcbcr420MapsEverySvd(c, true); },
         {0xE1, 0x0F}},
    };
    for (const Case& c : cases) {
        std::vector<Bytes> blocks = {vdb, kVsdb};
        if (!c.map.empty())
            blocks.push_back(c.map);
        Block1 b(imageWithBlock1(blocks));
        c.edit(b.c);
        EXPECT_EQ(b.blocks(),
                  c.expected.empty() ? concat({vdb, kVsdb}) : concat({vdb, kVsdb, c.expected}))
            << c.what;
    }
}

TEST(Ycbcr420Edits, MapItemsNameEverySvdAndStrayBits) {
    // VIC 16 native, VIC 4; a second Video Data Block with VIC 200; bits 0, 2, 9.
    Block1 b(imageWithBlock1({{0x42, 0x90, 0x04}, {0x41, 200}, {0xE3, 0x0F, 0x05, 0x02}}));
    const std::vector<Ycbcr420MapItem> items = ycbcr420MapItems(b.c);
    const std::vector<Ycbcr420MapItem> expected = {
        {0, 16, true, true}, {1, 4, false, false}, {2, 200, false, true}, {9, 0, false, true}};
    EXPECT_EQ(items, expected);
    EXPECT_EQ(ycbcr420ItemText(items[0]), "VIC 16: 1920x1080p 59.94/60Hz 16:9 (native)");
    EXPECT_EQ(ycbcr420ItemText(items[2]), "VIC 200: 7680x4320p 100Hz 16:9");
    EXPECT_EQ(ycbcr420ItemText(items[3]), "bit 9: no SVD");
}

TEST(Ycbcr420Edits, OnlyVicsComeAndGoWithTheirBlock) {
    Block1 b(imageWithBlock1({kVsdb}));
    EXPECT_EQ(addYcbcr420OnlyVic(b.c, "128").message, kMsgVic);
    EXPECT_EQ(addYcbcr420OnlyVic(b.c, "0").message, kMsgVic);
    ASSERT_TRUE(addYcbcr420OnlyVic(b.c, "97").stored);
    ASSERT_TRUE(addYcbcr420OnlyVic(b.c, "16").stored);
    ASSERT_TRUE(addYcbcr420OnlyVic(b.c, "219").stored);
    EXPECT_FALSE(setYcbcr420OnlyNative(b.c, 0, true)) << "VIC 97 has no native flag";
    EXPECT_TRUE(setYcbcr420OnlyNative(b.c, 1, true));
    EXPECT_EQ(b.blocks(), concat({kVsdb, {0xE4, 0x0E, 0x61, 0x90, 0xDB}}));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(removeYcbcr420OnlyVic(b.c, 0).stored);
    EXPECT_EQ(b.blocks(), kVsdb);

    for (int i = 0; i < Ycbcr420VideoBlock::kMaxSvds; ++i)
        ASSERT_TRUE(addYcbcr420OnlyVic(b.c, "1").stored) << i;
    EXPECT_EQ(addYcbcr420OnlyVic(b.c, "1").message, kMsgNoSpaceOfExtendedBlock);
}

// --- Colorimetry: both pages edit the same bytes --------------------------------

TEST(ColorimetryEdits, EveryBitLandsWhereTheExtendedPageReadsIt) {
    const struct Case {
        bool ColorimetryBits::*bit;
        std::size_t byte; // 2 or 3 of the block
        Byte mask;
    } cases[] = {
        {&ColorimetryBits::xvYcc601, 2, 0x01},   {&ColorimetryBits::xvYcc709, 2, 0x02},
        {&ColorimetryBits::sYcc601, 2, 0x04},    {&ColorimetryBits::opYcc601, 2, 0x08},
        {&ColorimetryBits::opRgb, 2, 0x10},      {&ColorimetryBits::bt2020cYcc, 2, 0x20},
        {&ColorimetryBits::bt2020Ycc, 2, 0x40},  {&ColorimetryBits::bt2020Rgb, 2, 0x80},
        {&ColorimetryBits::md0, 3, 0x01},        {&ColorimetryBits::md1, 3, 0x02},
        {&ColorimetryBits::md2, 3, 0x04},        {&ColorimetryBits::md3, 3, 0x08},
        {&ColorimetryBits::defaultRgb, 3, 0x10}, {&ColorimetryBits::sRgb, 3, 0x20},
        {&ColorimetryBits::ictcp, 3, 0x40},      {&ColorimetryBits::dciP3, 3, 0x80},
    };
    for (const Case& c : cases) {
        Block1 b(imageWithBlock1({kVsdb, {0xE4, 0x05, 0x00, 0x00, 0x5A}}));
        ColorimetryBits bits = colorimetryBitsOf(b.c.colorimetry);
        bits.*c.bit = true;
        setColorimetryBits(b.c.colorimetry, bits);
        // The extended page's fields show the low bits of each byte.
        const int low = c.byte == 2 ? b.c.colorimetry.colorimetry : b.c.colorimetry.metadata;
        EXPECT_EQ(low, c.byte == 2 ? c.mask & 0x1F : c.mask & 0x0F) << int(c.mask);
        Bytes expected = {0xE4, 0x05, 0x00, 0x00, 0x5A};
        expected[c.byte] = c.mask;
        EXPECT_EQ(b.blocks(), concat({kVsdb, expected})) << int(c.mask);
        EXPECT_TRUE(colorimetryBitsOf(b.c.colorimetry).*c.bit);
    }
}

TEST(ColorimetryEdits, ReadingAndWritingBackEveryRealBlockChangesNothing) {
    int met = 0;
    for (const auto& file : test::corpusFiles()) {
        Block1 b(test::imageFromBytes(test::readFile(file)));
        if (!b.c.colorimetry.present)
            continue;
        ++met;
        const ColorimetryBlock before = b.c.colorimetry;
        setColorimetryBits(b.c.colorimetry, colorimetryBitsOf(before));
        EXPECT_EQ(b.c.colorimetry, before) << file.filename();
    }
    EXPECT_GT(met, 60);
}

TEST(SvdOf, BothFormsOfTheCollectionsSvds) {
    const struct Case {
        ShortVideoDescriptor held;
        ShortVideoCode vic;
    } cases[] = {
        {{false, 16}, {16, false}}, {{true, 16}, {16, true}},     {{false, 127}, {127, false}},
        {{false, 200}, {200, false}}, {{true, 0}, {0, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(svdOf(c.held), c.vic) << c.held.vic;
}

} // namespace
} // namespace pellam
