#include "core/cea/block1_builder.h"
#include "core/cea/extension_block.h"
#include "core/cea/modern_blocks.h"
#include "core/cea/video_block_edits.h"
#include "support/test_support.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;
using test::imageWithBlock1;

const Bytes kAudio = {0x23, 0x09, 0x07, 0x07};
const Bytes kSpeaker = {0x83, 0x01, 0x00, 0x00};

DataBlockCollection parsed(const EdidImage& image) {
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    return c;
}

// The data blocks of block 1 after a rebuild, header bytes included.
Bytes rebuiltBlocks(DataBlockCollection& c) {
    EdidImage image = hdmiDefaultImage();
    EXPECT_TRUE(rebuildExtensionBlock(image, c));
    return Bytes(image.begin() + 132, image.begin() + 128 + image[130]);
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(VideoFormatItemText, ReadsBackItsVic) {
    EXPECT_EQ(videoFormatItemText(4), "# 4, 1280x720p 59.94/60Hz 16:9");
    EXPECT_EQ(videoFormatItemText(59), "#59, 720(1440)x480i 239.76/240Hz 16:9");
    EXPECT_EQ(videoFormatItemText(97), "#97, 3840x2160p 59.94/60Hz 16:9");
    EXPECT_EQ(videoFormatItemText(219), "#219, 4096x2160p 119.88/120Hz 256:135");
    EXPECT_EQ(videoFormatItemText(0), "# 0, reserved code");
    EXPECT_EQ(videoFormatItemText(240), "#240, reserved code");
    for (int vic = 0; vic <= 255; ++vic)
        EXPECT_EQ(vicFromItemText(videoFormatItemText(vic)), vic);
    EXPECT_EQ(vicFromItemText("#x1, name"), std::nullopt);
    EXPECT_EQ(vicFromItemText("#"), std::nullopt);
}

TEST(VideoFormatLists, ShowEveryVicOnceWithTheFirstSvdsNativeFlag) {
    // VIC 4 twice, the first not native; the reserved code 0 is shown with
    // its SVD but not offered; byte C1h is VIC 193, never native.
    const auto c = parsed(imageWithBlock1({{0x47, 0x85, 0x00, 0x3C, 0x04, 0x84, 0x10, 0xC1}}));
    const VideoFormatLists lists = videoFormatLists(c.video);
    const std::vector<std::pair<int, bool>> expected = {
        {0, false}, {4, false}, {5, true}, {16, false}, {60, false}, {193, false}};
    ASSERT_EQ(lists.inBlock.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lists.inBlock[i].vic, expected[i].first) << i;
        EXPECT_EQ(lists.inBlock[i].native, expected[i].second) << i;
    }
    EXPECT_EQ(lists.notInBlock.size(), 127u + 27u - 5u);
    EXPECT_EQ(lists.notInBlock.front(), 1);
    EXPECT_EQ(lists.notInBlock.back(), 219);
    EXPECT_EQ(std::count(lists.notInBlock.begin(), lists.notInBlock.end(), 128), 0);
}

// The SVD byte: 1..127 and 193..255 are VICs, 129..192 the native VIC 1..64.
// Every byte reads back as it was, and the native flag is refused where the
// byte has no room for it.
TEST(ShortVideoDescriptors, EveryByteSurvivesAndNativeOnlyBelow65) {
    for (int first = 0; first < 256; first += 31) {
        Bytes block{static_cast<Byte>(0x40 | 31)};
        for (int b = first; b < first + 31; ++b)
            block.push_back(static_cast<Byte>(b & 0xFF));
        auto c = parsed(imageWithBlock1({block}));
        EXPECT_EQ(rebuiltBlocks(c), block) << first;
    }
    auto c = parsed(imageWithBlock1({{0x43, 0x41, 0x61, 0xC1}}));
    EXPECT_EQ(c.video.svds[0].vic, 65);
    EXPECT_EQ(c.video.svds[2].vic, 193);
    EXPECT_FALSE(c.video.svds[2].native);
    EXPECT_FALSE(setNativeFlag(c.video, 65, true));
    EXPECT_FALSE(setNativeFlag(c.video, 193, true));
    EXPECT_TRUE(setNativeFlag(c.video, 97, false));
    EXPECT_EQ(rebuiltBlocks(c), (Bytes{0x43, 0x41, 0x61, 0xC1}));
}

TEST(ShortVideoDescriptorEdits, RemoveAndNativeActOnTheFirstSvdWithTheVic) {
    auto c = parsed(imageWithBlock1({{0x46, 0x85, 0x00, 0x3C, 0x04, 0x84, 0x10}, kAudio}));
    EXPECT_TRUE(setNativeFlag(c.video, 4, true));
    EXPECT_EQ(rebuiltBlocks(c), concat({{0x46, 0x85, 0x00, 0x3C, 0x84, 0x84, 0x10}, kAudio}));
    EXPECT_TRUE(removeShortVideoDescriptor(c, 4));
    EXPECT_TRUE(removeShortVideoDescriptor(c, 5));
    EXPECT_FALSE(removeShortVideoDescriptor(c, 7));
    EXPECT_EQ(rebuiltBlocks(c), concat({{0x44, 0x00, 0x3C, 0x84, 0x10}, kAudio}));
    // Every offered format gone: the block stays for VIC 0 and 60.
    EXPECT_TRUE(removeShortVideoDescriptor(c, 4));
    EXPECT_TRUE(removeShortVideoDescriptor(c, 16));
    EXPECT_EQ(rebuiltBlocks(c), concat({{0x42, 0x00, 0x3C}, kAudio}));
}

TEST(ShortVideoDescriptorEdits, RemovingAnSvdKeepsTheBlockUntilItsLastOne) {
    struct Case {
        const char* name;
        Bytes video;
        int vic;
        bool removed;
        Bytes after; // the video block as rebuilt; empty when it is gone
    };
    const Case cases[] = {
        {"two SVDs, one left", {0x42, 0x04, 0x90}, 4, true, {0x41, 0x90}},
        {"two SVDs, the last removed", {0x42, 0x04, 0x90}, 16, true, {0x41, 0x04}},
        {"the only SVD", {0x41, 0x90}, 16, true, {}},
        {"the first of two with the VIC", {0x43, 0x84, 0x10, 0x04}, 4, true, {0x42, 0x10, 0x04}},
        {"a VIC not in the block", {0x42, 0x04, 0x90}, 5, false, {0x42, 0x04, 0x90}},
        {"31 SVDs, 30 left", [] {
             Bytes block = {0x5F};
             for (Byte vic = 1; vic <= 31; ++vic)
                 block.push_back(vic);
             return block;
         }(),
         1, true, [] {
             Bytes block = {0x5E};
             for (Byte vic = 2; vic <= 31; ++vic)
                 block.push_back(vic);
             return block;
         }()},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto c = parsed(imageWithBlock1({k.video, kAudio}));
        ASSERT_TRUE(c.video.present);
        EXPECT_EQ(removeShortVideoDescriptor(c, k.vic), k.removed);
        EXPECT_EQ(c.video.present, !k.after.empty());
        EXPECT_EQ(c.video.size, static_cast<int>(k.after.size()));
        EXPECT_EQ(rebuiltBlocks(c), concat({k.after, kAudio}));
    }
}

TEST(ShortVideoDescriptorEdits, TheLastSvdTakesTheBlockAndANewOneComesBackInPlace) {
    auto c = parsed(imageWithBlock1({{0x41, 0x90}, kAudio}));
    EXPECT_TRUE(removeShortVideoDescriptor(c, 16));
    EXPECT_FALSE(c.video.present);
    EXPECT_EQ(c.video.size, 0);
    EXPECT_EQ(rebuiltBlocks(c), kAudio);
    // Moved back, a format is no longer native; the block keeps its place.
    EXPECT_TRUE(addShortVideoDescriptor(c, 16).stored);
    EXPECT_EQ(rebuiltBlocks(c), concat({{0x41, 0x10}, kAudio}));
}

TEST(ShortVideoDescriptorEdits, AddChecksTheBytesReallyAdded) {
    // Block 1 without a video block and exactly one byte free: the new block
    // needs two (its header and the SVD).
    // Blocks of an unmodelled tag (6) fill the rest; they count as they are.
    const auto filler = [](int size) {
        return concat({{static_cast<Byte>(0xC0 | (size - 1))}, Bytes(size - 1, 0x11)});
    };
    std::vector<Bytes> blocks = {kAudio, kSpeaker, filler(31), filler(31), filler(31), filler(21)};
    auto c = parsed(imageWithBlock1(blocks));
    ASSERT_TRUE(c.editable);
    ASSERT_EQ(usedExtensionBytes(c), 127);
    const FieldEdit refused = addShortVideoDescriptor(c, 16);
    EXPECT_FALSE(refused.stored);
    EXPECT_EQ(refused.message, "No Space of Extended Block");
    EXPECT_FALSE(c.video.present);

    // One byte more and the block is created, written after the blocks read.
    blocks.back() = filler(20);
    c = parsed(imageWithBlock1(blocks));
    ASSERT_EQ(usedExtensionBytes(c), 126);
    EXPECT_TRUE(addShortVideoDescriptor(c, 16).stored);
    EXPECT_EQ(c.video.size, 2);
    const Bytes out = rebuiltBlocks(c);
    EXPECT_EQ(Bytes(out.end() - 2, out.end()), (Bytes{0x41, 0x10}));
    // A present block grows by one byte per SVD; it is full.
    EXPECT_FALSE(addShortVideoDescriptor(c, 4).stored);
}

TEST(ShortVideoDescriptorEdits, AVideoBlockHoldsAtMost31Svds) {
    DataBlockCollection c = parsed(imageWithBlock1({}));
    for (int vic = 1; vic <= 31; ++vic)
        ASSERT_TRUE(addShortVideoDescriptor(c, vic).stored) << vic;
    EXPECT_EQ(c.video.size, 32);
    EXPECT_EQ(addShortVideoDescriptor(c, 32).message, "No Space of Extended Block");
    EXPECT_EQ(c.video.svdCount, 31);
    EXPECT_EQ(rebuiltBlocks(c).front(), 0x5F);
}

// The YCbCr 4:2:0 capability map's block, as the order list keeps it.
Bytes capabilityMap(const DataBlockCollection& c) {
    for (const BlockOrderEntry& entry : c.blockOrder)
        if (entry.isRaw() && entry.tag == kTagExtended && entry.extTag == 0x0F)
            return entry.raw;
    return {};
}

TEST(ShortVideoDescriptorEdits, TheYcbcr420MapFollowsItsSvds) {
    const Bytes video = {0x45, 0x10, 0x04, 0x5F, 0x60, 0x61}; // VICs 16, 4, 95, 96, 97
    struct Case {
        const char* what;
        Bytes map;       // the map block before the edit
        int removeVic;   // 0: add VIC 2 instead
        Bytes expected;  // the map block after it; empty: no map any more
    };
    const Case cases[] = {
        {"a removed SVD takes its bit; later bits move down", {0xE2, 0x0F, 0x1C}, 4,
         {0xE2, 0x0F, 0x0E}},
        {"removing an unmarked SVD only moves bits", {0xE2, 0x0F, 0x18}, 16, {0xE2, 0x0F, 0x0C}},
        {"a map that marks every SVD still does", {0xE1, 0x0F}, 95, {0xE1, 0x0F}},
        {"a map that marks nothing more is removed", {0xE2, 0x0F, 0x04}, 95, {}},
        {"an added SVD is not marked", {0xE2, 0x0F, 0x1C}, 0, {0xE2, 0x0F, 0x1C}},
        {"an added SVD is not marked by a map of every SVD", {0xE1, 0x0F}, 0, {0xE2, 0x0F, 0x1F}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        DataBlockCollection c = parsed(imageWithBlock1({video, k.map}));
        if (k.removeVic)
            ASSERT_TRUE(removeShortVideoDescriptor(c, k.removeVic));
        else
            ASSERT_TRUE(addShortVideoDescriptor(c, 2).stored);
        EXPECT_EQ(capabilityMap(c), k.expected);
    }
}

TEST(ShortVideoDescriptorEdits, ARealMapStaysValidWhenAVicIsRemoved) {
    // A monitor whose map marks VICs 96 and 97 (its SVDs 6 and 7).
    const EdidImage image = test::imageFromBytes(
        test::readFile(std::filesystem::path(PELLAM_CORPUS_DIR) / "acr_095d_qg241y_256.bin"));
    DataBlockCollection c = parsed(image);
    const auto map = decodeYcbcr420CapabilityMap(capabilityMap(c));
    ASSERT_TRUE(map);
    const std::vector<int> before = ycbcr420MappedSvds(*map, c.video.svdCount);
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(removeShortVideoDescriptor(c, c.video.svds[0].vic));
    const auto after = decodeYcbcr420CapabilityMap(capabilityMap(c));
    ASSERT_TRUE(after);
    std::vector<int> shifted;
    for (int index : before)
        shifted.push_back(index - 1);
    EXPECT_EQ(ycbcr420MappedSvds(*after, c.video.svdCount), shifted);
    for (int index : shifted)
        EXPECT_LT(index, c.video.svdCount) << "every bit points at an SVD";
}

TEST(HeaderEdits, NativeDtdCountTakesDigitsOnly) {
    struct Case {
        const char* text;
        bool stored;
        const char* message;
        int value;
    };
    const Case cases[] = {{"15", true, "", 15},
                          {"16", false, "Should be 0 ~ 15", 2},
                          {"", false, "'' is not a valid integer value", 2},
                          {"1a", false, "Invalid data", 2},
                          {"99999999999", false, "'99999999999' is not a valid integer value", 2}};
    for (const Case& k : cases) {
        CeaHeader header;
        header.nativeDtdCount = 2;
        const FieldEdit edit = editNativeDtdCount(header, k.text);
        EXPECT_EQ(edit.stored, k.stored) << k.text;
        EXPECT_EQ(edit.message, k.message) << k.text;
        EXPECT_EQ(header.nativeDtdCount, k.value) << k.text;
    }
    // 15 lands in the low four bits of byte 131; the flags above it stay.
    auto c = parsed(imageWithBlock1({{0x41, 0x10}}, {}, 0xA2));
    editNativeDtdCount(c.header, "15");
    EdidImage image = hdmiDefaultImage();
    ASSERT_TRUE(rebuildExtensionBlock(image, c));
    EXPECT_EQ(image[131], 0xAF);
}

TEST(HeaderEdits, RevisionIsAByte) {
    const std::pair<const char*, int> cases[] = {{"3", 3}, {"255", 255}, {"256", 7}, {"x", 7}, {"", 7}};
    for (const auto& [text, value] : cases) {
        CeaHeader header;
        header.revision = 7;
        editRevision(header, text);
        EXPECT_EQ(header.revision, value) << text;
    }
}

} // namespace
} // namespace pellam
