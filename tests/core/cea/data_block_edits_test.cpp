#include "core/cea/block1_builder.h"
#include "core/cea/data_block_codecs.h"
#include "core/cea/data_block_edits.h"
#include "core/cea/extension_block.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;

DataBlockCollection withFreeBytes(const std::vector<Bytes>& blocks, int free) {
    DataBlockCollection c;
    parseExtensionBlock(test::imageWithFreeBytes(blocks, free), c);
    EXPECT_TRUE(hasRoomFor(c, free) && !hasRoomFor(c, free + 1));
    return c;
}

// Block 1 as the collection writes it, from byte 132 to the first timing.
Bytes dataBlocksOf(DataBlockCollection& c) {
    EdidImage image = hdmiDefaultImage();
    EXPECT_TRUE(rebuildExtensionBlock(image, c));
    return Bytes(image.begin() + 132, image.begin() + 128 + image[130]);
}

// The first n bytes of the data blocks.
Bytes firstBytes(DataBlockCollection& c, std::size_t n) {
    const Bytes blocks = dataBlocksOf(c);
    return Bytes(blocks.begin(), blocks.begin() + static_cast<long>(std::min(n, blocks.size())));
}

const Bytes kTwoSads = {0x26, 0x09, 0x07, 0x07, 0x15, 0x07, 0x50};

TEST(SetSadCount, RaisingNeedsRoomForEveryNewDescriptorLoweringAlwaysSucceeds) {
    struct Case {
        const char* what;
        std::vector<Bytes> blocks;
        int free;
        int count;
        bool granted;
    };
    const Case cases[] = {
        {"2 -> 3 with 2 bytes free", {kTwoSads}, 2, 3, false},
        {"2 -> 3 with 3 bytes free", {kTwoSads}, 3, 3, true},
        {"2 -> 4 with 5 bytes free", {kTwoSads}, 5, 4, false},
        {"2 -> 1 with nothing free", {kTwoSads}, 0, 1, true},
        {"2 -> 0 with nothing free", {kTwoSads}, 0, 0, true},
        {"new block: 0 -> 1 with 3 bytes free", {}, 3, 1, false},
        {"new block: 0 -> 1 with 4 bytes free", {}, 4, 1, true},
        {"a block holds 10 descriptors", {}, 31, 10, true},
        {"and not 11", {}, 40, 11, false},
        {"nor 16", {}, 60, 16, false},
    };
    for (const Case& c : cases) {
        DataBlockCollection collection = withFreeBytes(c.blocks, c.free);
        const DataBlockCollection before = collection;
        const EditResult result = setSadCount(collection, c.count);
        EXPECT_EQ(result == EditResult::Done, c.granted) << c.what;
        if (!c.granted) {
            EXPECT_EQ(collection, before) << c.what;
            continue;
        }
        EXPECT_EQ(collection.audio.sadCount, c.count) << c.what;
        EXPECT_EQ(collection.audio.present, c.count > 0) << c.what;
        EXPECT_EQ(collection.audio.size, 3 * c.count + 1) << c.what;
        EXPECT_TRUE(hasRoomFor(collection, 0)) << c.what;
    }
}

TEST(SetSadCount, NewDescriptorsStartAsZerosAndDroppedOnesComeBack) {
    DataBlockCollection c = withFreeBytes({kTwoSads}, 10);
    ASSERT_EQ(setSadCount(c, 1), EditResult::Done);
    EXPECT_EQ(firstBytes(c, 4), (Bytes{0x23, 0x09, 0x07, 0x07}));
    ASSERT_EQ(setSadCount(c, 3), EditResult::Done);
    EXPECT_EQ(firstBytes(c, 10),
              (Bytes{0x29, 0x09, 0x07, 0x07, 0x15, 0x07, 0x50, 0x00, 0x00, 0x00}));
    ASSERT_EQ(setSadCount(c, 0), EditResult::Done);
    EXPECT_EQ(firstBytes(c, 1), (Bytes{0x00})) << "the audio block is dropped";
}

TEST(SetSadCount, TheCountItHasChangesNothingNotEvenBytesAfterTheLastDescriptor) {
    DataBlockCollection c = withFreeBytes({{0x24, 0x09, 0x07, 0x07, 0xAA}}, 0);
    const DataBlockCollection before = c;
    ASSERT_EQ(setSadCount(c, 1), EditResult::Done);
    EXPECT_EQ(c, before);
    // A real change makes the block exactly its descriptors.
    ASSERT_EQ(setSadCount(c, 0), EditResult::Done);
    ASSERT_EQ(setSadCount(c, 1), EditResult::Done);
    EXPECT_EQ(c.audio.size, 4);
    EXPECT_EQ(firstBytes(c, 5), (Bytes{0x23, 0x09, 0x07, 0x07, 0x00}));
}

TEST(FormatValue, FitsTheThirdByteOrIsRefused) {
    struct Case {
        int formatCode, value;
        bool fits;
    };
    const Case cases[] = {
        {2, 645, true}, {7, 1536, true}, {8, 2047, true},  {2, 2048, false},
        {5, -8, false}, {9, 255, true},  {13, 256, false}, {14, 7, true},
        {14, 8, false}, {1, 4096, true}, {15, 4096, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatValueFits(c.formatCode, c.value), c.fits) << c.formatCode << " " << c.value;
}

TEST(EnableBlocks, CreateFromZerosWhenThereIsRoomRemoveOtherwise) {
    struct Case {
        const char* what;
        EditResult (*enable)(DataBlockCollection&, bool);
        int size;
        Bytes created;
    };
    const Case cases[] = {
        {"speaker allocation", enableSpeakerAllocation, 4, {0x83, 0x00, 0x00, 0x00}},
        {"video capability", enableVideoCapability, 3, {0xE2, 0x00, 0x00}},
        {"colorimetry", enableColorimetry, 4, {0xE3, 0x05, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        DataBlockCollection refused = withFreeBytes({}, c.size - 1);
        const DataBlockCollection before = refused;
        EXPECT_EQ(c.enable(refused, true), EditResult::NoSpace) << c.what;
        EXPECT_EQ(refused, before) << c.what;

        DataBlockCollection granted = withFreeBytes({}, c.size);
        ASSERT_EQ(c.enable(granted, true), EditResult::Done) << c.what;
        const Bytes blocks = dataBlocksOf(granted);
        EXPECT_EQ(Bytes(blocks.end() - static_cast<long>(c.created.size()), blocks.end()),
                  c.created)
            << c.what << ": created behind the blocks that were read";
    }
}

TEST(EnableBlocks, OffAndOnAgainClearsWhatTheBlockHeld) {
    const Bytes speaker = {0x83, 0xCF, 0x01, 0x02};
    const Bytes vcdb = {0xE2, 0x00, 0xC5};
    const Bytes colorimetry = {0xE3, 0x05, 0xC3, 0x8F};
    DataBlockCollection c = withFreeBytes({speaker, vcdb, colorimetry}, 0);
    for (auto enable : {enableSpeakerAllocation, enableVideoCapability, enableColorimetry}) {
        ASSERT_EQ(enable(c, true), EditResult::Done) << "already present: nothing to add";
        ASSERT_EQ(enable(c, false), EditResult::Done);
        ASSERT_EQ(enable(c, true), EditResult::Done) << "the block's own bytes are free again";
    }
    EXPECT_EQ(firstBytes(c, 11),
              (Bytes{0x83, 0x00, 0x00, 0x00, 0xE2, 0x00, 0x00, 0xE3, 0x05, 0x00, 0x00}));
}

TEST(VideoCapability, EachFieldReplacesOnlyItsBits) {
    using F = VideoCapabilityField;
    struct Case {
        int value;
        F field;
        int digit;
        int expected;
    };
    const Case cases[] = {
        {0xFF, F::QuantizationYcc, 0, 0x7F},
        {0x00, F::QuantizationRgb, 1, 0x40},
        {0xFF, F::PtScan, 1, 0xDF},
        {0x3C, F::CeScan, 2, 0x3E},
    };
    for (const Case& c : cases) {
        const int value = withVideoCapabilityField(c.value, c.field, c.digit);
        EXPECT_EQ(value, c.expected) << c.value << " " << static_cast<int>(c.field);
        EXPECT_EQ(videoCapabilityField(value, c.field), c.digit);
    }
    // "Selectable" in both quantization groups and "Both" in the three scan groups.
    int value = 0;
    for (F field : {F::QuantizationYcc, F::QuantizationRgb})
        value = withVideoCapabilityField(value, field, 1);
    for (F field : {F::PtScan, F::ItScan, F::CeScan})
        value = withVideoCapabilityField(value, field, 3);
    EXPECT_EQ(value, 0xFF);
}

} // namespace
} // namespace pellam
