#include "core/cea/block1_builder.h"
#include "core/cea/data_block_codecs.h"
#include "core/cea/extension_block.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;
using test::imageWithBlock1;

// The bytes of block 1 that a rebuild must reproduce: everything but the
// padding after the last timing (zeroed) and the checksum.
void expectRebuildReproduces(const EdidImage& image) {
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    ASSERT_TRUE(c.editable) << c.note;
    EdidImage rebuilt = image;
    ASSERT_TRUE(rebuildExtensionBlock(rebuilt, c));
    const int end = c.dtdStart + 18 * c.timings.count;
    for (int i = 0; i < 256; ++i) {
        if (i < 128 || i == 255)
            ASSERT_EQ(rebuilt[i], image[i]) << "offset " << i << " is not block 1's to write";
        else if (i < end)
            ASSERT_EQ(rebuilt[i], image[i]) << "offset " << i;
        else
            ASSERT_EQ(rebuilt[i], 0) << "padding at " << i;
    }
    DataBlockCollection again;
    parseExtensionBlock(rebuilt, again);
    EXPECT_EQ(again, c) << "the rebuilt block reads back as the same collection";
}

Bytes written(const EdidImage& image, int offset, int size) {
    return Bytes(image.begin() + offset, image.begin() + offset + size);
}

TEST(ParseExtensionBlock, ReadsTheDefaultImage) {
    DataBlockCollection c;
    parseExtensionBlock(hdmiDefaultImage(), c);
    ASSERT_TRUE(c.editable);
    EXPECT_EQ(c.header.tag, 2);
    EXPECT_EQ(c.header.revision, 3);
    EXPECT_TRUE(c.header.underscan);
    EXPECT_TRUE(c.header.basicAudio);
    EXPECT_TRUE(c.header.ycbcr444);
    EXPECT_TRUE(c.header.ycbcr422);
    EXPECT_EQ(c.header.nativeDtdCount, 2);
    EXPECT_EQ(c.dtdStart, 157);

    EXPECT_TRUE(c.video.present);
    EXPECT_EQ(c.video.offset, 132);
    EXPECT_EQ(c.video.svdCount, 10);
    EXPECT_EQ(c.video.size, 11);
    EXPECT_EQ(c.video.svds[0], (ShortVideoDescriptor{false, 5}));
    EXPECT_EQ(c.video.svds[1], (ShortVideoDescriptor{true, 4}));

    EXPECT_TRUE(c.audio.present);
    EXPECT_EQ(c.audio.offset, 143);
    EXPECT_EQ(c.audio.sadCount, 1);
    EXPECT_EQ(c.audio.sads[0].formatCode, 1);
    EXPECT_EQ(c.audio.sads[0].channels, 2);
    EXPECT_EQ(c.audio.sads[0].sampleRates, 7);
    EXPECT_EQ(c.audio.sads[0].lpcmSizes, 7);

    EXPECT_TRUE(c.speaker.present);
    EXPECT_EQ(c.speaker.allocation, 1);
    EXPECT_EQ(c.speaker.offset, 147);

    EXPECT_TRUE(c.vsdb.present);
    EXPECT_EQ(c.vsdb.offset, 151);
    EXPECT_EQ(c.vsdb.size, 6);
    EXPECT_FALSE(c.vsdb.extended);
    EXPECT_EQ(c.vsdb.physA, 1);
    EXPECT_EQ(c.vsdb.physB + c.vsdb.physC + c.vsdb.physD, 0);

    const std::vector<BlockOrderEntry> order = {{2, -1, {}}, {1, -1, {}}, {4, -1, {}}, {3, -1, {}}};
    EXPECT_EQ(c.blockOrder, order);

    ASSERT_EQ(c.timings.count, 4);
    EXPECT_EQ(c.timings.timings[0].slotOffset, 157);
    EXPECT_EQ(c.timings.timings[3].slotOffset, 211);
    EXPECT_EQ(c.timings.timings[1].hActive, 1440);
}

TEST(RebuildExtensionBlock, ReproducesTheDefaultImageByteForByte) {
    for (const EdidImage* image : {&hdmiDefaultImage(), &displayPortDefaultImage()}) {
        DataBlockCollection c;
        parseExtensionBlock(*image, c);
        // Two of the descriptors carry stereo bit 0 in normal mode; it stays.
        EdidImage rebuilt = *image;
        ASSERT_TRUE(rebuildExtensionBlock(rebuilt, c));
        EXPECT_EQ(rebuilt, *image);
    }
}

TEST(ScanExtensionTimings, StopsAtAZeroClockOrBeforeTheChecksum) {
    // Six timings fit after d = 4; a seventh at 240 would reach byte 255.
    EdidImage image = imageWithBlock1({}, {0, 1, 2, 3, 4, 5, 6});
    ExtensionTimingList list;
    ASSERT_EQ(scanExtensionTimings(image, list), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(list.timings[i].slotOffset, 132 + 18 * i);

    // A zero clock word at 150 ends the list whatever follows.
    image = imageWithBlock1({}, {0, 1, 2});
    image[150] = 0;
    image[151] = 0;
    EXPECT_EQ(scanExtensionTimings(image, list), 1);

    // A descriptor ending at byte 254 is listed.
    image = imageWithBlock1({Bytes(16, 0)}, {0, 1, 2, 3, 4, 5});
    EXPECT_EQ(image[130], 4 + 16);
    EXPECT_EQ(scanExtensionTimings(image, list), 5);
    image = imageWithBlock1({Bytes(15, 0)}, {0, 1, 2, 3, 4, 5});
    EXPECT_EQ(scanExtensionTimings(image, list), 6);
    EXPECT_EQ(list.timings[5].slotOffset, 255 - 18);
}

TEST(ParseExtensionBlock, DTwoFourMeansNoDataBlocks) {
    const EdidImage image = imageWithBlock1({}, {10});
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    EXPECT_TRUE(c.editable);
    EXPECT_TRUE(c.blockOrder.empty());
    EXPECT_EQ(c.dtdStart, 132);
    EXPECT_EQ(c.timings.count, 1);
    expectRebuildReproduces(image);
}

TEST(ParseExtensionBlock, OnlyACeaExtensionWithAUsableDtdOffsetIsEditable) {
    struct Case {
        const char* name;
        Byte tag;
        Byte d;
        Byte fill;
        const char* note;
    };
    const Case cases[] = {
        {"DisplayID", 0x70, 0x04, 0x12,
         "Block 1 is a DisplayID extension (tag 70h); edit it in the grid."},
        {"block map", 0xF0, 0x04, 0x02, "Block 1 is a block map (tag F0h); edit it in the grid."},
        {"all FFh", 0xFF, 0xFF, 0xFF, "Block 1 is empty (all bytes FFh); edit it in the grid."},
        {"all zero", 0x00, 0x00, 0x00, "Block 1 is empty (all bytes 00h); edit it in the grid."},
        {"d = 0", 0x02, 0x00, 0x01,
         "Block 1 is a CTA-861 extension whose DTD offset (byte 130 = 00h) is outside 04h..7Fh; "
         "edit it in the grid."},
        {"d = 3", 0x02, 0x03, 0x01, nullptr},
        {"d = 128", 0x02, 0x80, 0x01, nullptr},
        {"d = 255", 0x02, 0xFF, 0x01, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EdidImage image = hdmiDefaultImage();
        std::fill(image.begin() + 128, image.end(), c.fill);
        image[128] = c.tag;
        image[130] = c.d;
        DataBlockCollection collection;
        parseExtensionBlock(image, collection);
        EXPECT_FALSE(collection.editable);
        if (c.note) {
            EXPECT_EQ(collection.note, c.note);
        } else {
            EXPECT_FALSE(collection.note.empty());
        }
        DataBlockCollection empty;
        empty.note = collection.note;
        EXPECT_EQ(collection, empty) << "nothing is read from such a block";
        const EdidImage before = image;
        EXPECT_FALSE(rebuildExtensionBlock(image, collection));
        EXPECT_EQ(image, before);
    }
}

TEST(ParseExtensionBlock, KeepsEveryBlockItDoesNotModelInItsPlace) {
    const Bytes hdrStatic = {0xE3, 0x06, 0x05, 0x01};                // extended tag 6
    const Bytes hfVsdb = {0x66, 0xD8, 0x5D, 0xC4, 0x01, 0x78, 0x80}; // HDMI Forum OUI
    const Bytes tag0 = {0x02, 0xAA, 0xBB};                           // tag 0, length 2
    const Bytes tag5 = {0xA1, 0x45};                                 // tag 5, length 1
    const Bytes tag6 = {0xC2, 0x21, 0x43};                           // tag 6, length 2
    const Bytes video = {0x42, 0x90, 0x04};
    const Bytes secondVideo = {0x41, 0x10};
    const Bytes freeSync = {0x68, 0x1A, 0x00, 0x00, 0x01, 0x01, 0x30, 0x4B, 0x00};
    const EdidImage image =
        imageWithBlock1({tag0, video, hdrStatic, tag5, hfVsdb, secondVideo, tag6, freeSync}, {12});
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    ASSERT_EQ(c.blockOrder.size(), 8u);
    EXPECT_EQ(c.blockOrder[0].raw, tag0);
    EXPECT_FALSE(c.blockOrder[1].isRaw());
    EXPECT_EQ(c.blockOrder[2].raw, hdrStatic);
    EXPECT_EQ(c.blockOrder[2].extTag, 6);
    EXPECT_EQ(c.blockOrder[3].raw, tag5);
    EXPECT_EQ(c.blockOrder[4].raw, hfVsdb);
    EXPECT_EQ(c.blockOrder[5].raw, secondVideo) << "the second video block is kept whole";
    EXPECT_EQ(c.blockOrder[6].raw, tag6);
    EXPECT_EQ(c.blockOrder[7].raw, freeSync);
    EXPECT_FALSE(c.vsdb.present) << "foreign OUIs are not the HDMI VSDB";
    EXPECT_EQ(c.video.svdCount, 2);
    EXPECT_EQ(c.timings.count, 1);
    expectRebuildReproduces(image);

    // An edit rewrites the modelled block and leaves the others as they were.
    c.video.svds[1].vic = 16;
    EdidImage edited = image;
    ASSERT_TRUE(rebuildExtensionBlock(edited, c));
    EXPECT_EQ(edited[132 + 3 + 2], 0x10);
    for (int i = 128; i < 255; ++i) {
        if (i != 137) {
            EXPECT_EQ(edited[i], image[i]) << i;
        }
    }
}

TEST(ParseExtensionBlock, ZeroPaddingBeforeTheTimingsReadsAsOneByteBlocks) {
    const EdidImage image = imageWithBlock1({{0x41, 0x10}, Bytes(40, 0)}, {12});
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    EXPECT_EQ(c.blockOrder.size(), 41u);
    EXPECT_EQ(c.blockOrder.back().raw, Bytes{0x00});
    expectRebuildReproduces(image);
    // The padding counts in the capacity; a page may still add a kind.
    EXPECT_EQ(usedExtensionBytes(c), 4 + 1 + 2 + 40 + 18);
    EXPECT_EQ(ensureInOrder(c, kTagAudio, -1), 1);
}

TEST(ParseExtensionBlock, ABlockRunningPastTheTimingsIsKeptUpToThem) {
    // A stray 43h right before the timings claims three bytes of the first one.
    const EdidImage image = imageWithBlock1({{0x41, 0x10}, {0x43}}, {12, 4});
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    ASSERT_EQ(c.blockOrder.size(), 2u);
    EXPECT_EQ(c.blockOrder[1].raw, Bytes{0x43});
    EXPECT_EQ(c.dtdStart, 128 + 4 + 3);
    EXPECT_EQ(c.timings.count, 2);
    expectRebuildReproduces(image);
}

TEST(ParseExtensionBlock, TooShortBlocksOfModelledKindsAreKeptWhole) {
    const Bytes shortSpeaker = {0x80};
    const Bytes shortVcdb = {0xE1, 0x00};
    const Bytes shortColorimetry = {0xE2, 0x05, 0x81};
    const Bytes shortVsdb = {0x64, 0x03, 0x0C, 0x00, 0x10};
    const EdidImage image =
        imageWithBlock1({shortSpeaker, shortVcdb, shortColorimetry, shortVsdb}, {12});
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    EXPECT_FALSE(c.speaker.present);
    EXPECT_FALSE(c.videoCapability.present);
    EXPECT_FALSE(c.colorimetry.present);
    EXPECT_FALSE(c.vsdb.present);
    for (const BlockOrderEntry& entry : c.blockOrder)
        EXPECT_TRUE(entry.isRaw());
    expectRebuildReproduces(image);
}

TEST(DataBlockCodecs, KeepBitsAndBytesNoFieldHolds) {
    struct Case {
        const char* name;
        Bytes block;
    };
    const Case cases[] = {
        {"colorimetry with BT.2020 and DCI-P3 flags", {0xE3, 0x05, 0xC3, 0x81}},
        {"colorimetry longer than its fields", {0xE5, 0x05, 0x03, 0x01, 0x77, 0x88}},
        {"speaker allocation bit 7 and bytes 2-3", {0x83, 0xFF, 0x07, 0x0F}},
        {"speaker allocation of one byte", {0x81, 0x4F}},
        {"video capability longer than its field", {0xE3, 0x00, 0xCA, 0x11}},
        {"SAD reserved bits", {0x23, 0x89, 0xFF, 0xFF}},
        {"SAD of WMA Pro and of code 15", {0x26, 0x71, 0x07, 0xFB, 0x7F, 0x07, 0x0C}},
        {"audio block straddling a descriptor", {0x24, 0x09, 0x07, 0x07, 0x3E}},
        {"audio block with two extra bytes", {0x25, 0x15, 0x07, 0x50, 0x57, 0x06}},
        {"VSDB reserved flag bits", {0x68, 0x03, 0x0C, 0x00, 0x21, 0x00, 0x7F, 0x3C, 0x1F}},
        {"VSDB 3D image size bits",
         {0x6A, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x44, 0x20, 0x98, 0x00}},
        {"VSDB with bytes after its fields",
         {0x6B, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x38, 0x44, 0x00, 0x01, 0x02, 0x03}},
        {"VSDB cut inside its latency fields",
         {0x69, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x38, 0x44, 0xC0, 0x21}},
        // The sizes at the limits of the header's 5-bit length.
        {"video block of one SVD", {0x41, 0x90}},
        {"video block of 31 SVDs", [] {
             Bytes block = {0x5F};
             for (Byte vic = 1; vic <= 31; ++vic)
                 block.push_back(vic == 16 ? 0x90 : vic);
             return block;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EdidImage image = imageWithBlock1({c.block}, {12});
        DataBlockCollection collection;
        parseExtensionBlock(image, collection);
        ASSERT_FALSE(collection.blockOrder.empty());
        EXPECT_FALSE(collection.blockOrder[0].isRaw()) << "the block is modelled";
        expectRebuildReproduces(image);
    }
}

TEST(HdmiVsdb, ReadsAllThreeDEntriesAndTheInterlacedOnlyLatencyLayout) {
    // Interlaced latency flag alone: the writer puts both pairs, so the HDMI
    // video fields stand at index 13.
    const Bytes iLatencyOnly = {0x6F, 0x03, 0x0C, 0x00, 0x10, 0x00, 0xB8, 0x3C,
                                0x60, 0x0B, 0x0C, 0x0D, 0x0E, 0x80, 0x01, 0x10};
    // 3D_present, multi 00, HDMI_3D_LEN 12: twelve one-byte entries.
    Bytes manyEntries = {0x75, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x3C, 0x20, 0x80, 0x0C};
    for (int k = 0; k < 10; ++k)
        manyEntries.push_back(static_cast<Byte>(k << 4));
    manyEntries.push_back(0x18); // side-by-side (half): a detail byte follows
    manyEntries.push_back(0x15); // detail 1, reserved nibble 5
    manyEntries[0] = dataBlockHeader(kTagVendorSpecific, static_cast<int>(manyEntries.size()));
    for (const Bytes& block : {iLatencyOnly, manyEntries})
        expectRebuildReproduces(imageWithBlock1({block}, {12}));

    HdmiVsdb v;
    ASSERT_TRUE(readHdmiVsdb(iLatencyOnly, v));
    EXPECT_TRUE(v.iLatencyFieldsPresent);
    EXPECT_FALSE(v.latencyFieldsPresent);
    EXPECT_EQ(v.videoLatency, 0x0B);
    EXPECT_EQ(v.iAudioLatency, 0x0E);
    EXPECT_TRUE(v.threeDPresent);
    EXPECT_EQ(v.hdmi3dLen, 1);
    ASSERT_EQ(v.entryCount, 1);
    EXPECT_EQ(v.entries[0].order, 1);
    EXPECT_TRUE(v.trailing.empty());

    ASSERT_TRUE(readHdmiVsdb(manyEntries, v));
    ASSERT_EQ(v.entryCount, 11);
    EXPECT_EQ(v.entries[9].order, 9);
    EXPECT_EQ(v.entries[10].structure, 8);
    EXPECT_EQ(v.entries[10].detail, 1);
    EXPECT_EQ(v.entries[10].detailReserved, 5);
}

TEST(HdmiVsdb, WritesOnlyWhatItsSizeHolds) {
    HdmiVsdb v;
    v.present = true;
    v.size = 6;
    v.physA = 1;
    EXPECT_EQ(writeHdmiVsdb(v), (Bytes{0x65, 0x03, 0x0C, 0x00, 0x10, 0x00}));

    // Latency flag set but size 9: no latency byte fits and none is written.
    v.size = 9;
    v.extended = true;
    v.latencyFieldsPresent = true;
    v.videoLatency = 5;
    v.maxTmdsClock = 45;
    EXPECT_EQ(writeHdmiVsdb(v), (Bytes{0x68, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 45, 0x80}));

    // Only the interlaced flag: the progressive pair is still written first.
    v.size = 13;
    v.latencyFieldsPresent = false;
    v.iLatencyFieldsPresent = true;
    v.audioLatency = 6;
    v.iVideoLatency = 7;
    v.iAudioLatency = 8;
    EXPECT_EQ(writeHdmiVsdb(v),
              (Bytes{0x6C, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 45, 0x40, 5, 6, 7, 8}));

    // 3D_Multi_present 10 writes code 2 with both 16-bit fields.
    v = {};
    v.present = true;
    v.size = 17;
    v.hdmiVideoPresent = true;
    v.threeDPresent = true;
    v.threeDMultiPresent = 10;
    v.hdmi3dLen = 6;
    v.structureAll = 0x0141;
    v.structureMask = 0x8001;
    v.entryCount = 1;
    v.entries[0] = {2, 8, 1, 0};
    EXPECT_EQ(writeHdmiVsdb(v), (Bytes{0x70, 0x03, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xC0,
                                       0x06, 0x01, 0x41, 0x80, 0x01, 0x28, 0x10}));
    EXPECT_EQ(threeDMultiPresentCode(0), 0);
    EXPECT_EQ(threeDMultiPresentCode(1), 1);
    EXPECT_EQ(threeDMultiPresentCode(10), 2);
    EXPECT_EQ(threeDMultiPresentCode(11), 3);
    EXPECT_EQ(threeDMultiPresentCode(7), 3);
}

TEST(DataBlockCodecs, AnEditChangesOnlyTheBitsOfItsField) {
    ColorimetryBlock colorimetry;
    ASSERT_TRUE(readColorimetryBlock(Bytes{0xE3, 0x05, 0xC3, 0x81}, colorimetry));
    EXPECT_EQ(colorimetry.colorimetry, 0x03);
    EXPECT_EQ(colorimetry.metadata, 0x01);
    colorimetry.colorimetry = 0x1C;
    colorimetry.metadata = 0x0E;
    EXPECT_EQ(writeColorimetryBlock(colorimetry), (Bytes{0xE3, 0x05, 0xDC, 0x8E}));

    SpeakerAllocationBlock speaker;
    ASSERT_TRUE(readSpeakerAllocationBlock(Bytes{0x83, 0x81, 0x07, 0x0F}, speaker));
    speaker.allocation = 0x7F;
    EXPECT_EQ(writeSpeakerAllocationBlock(speaker), (Bytes{0x83, 0xFF, 0x07, 0x0F}));

    AudioDataBlock audio;
    ASSERT_TRUE(readAudioDataBlock(Bytes{0x23, 0x89, 0xFF, 0xFA}, audio));
    EXPECT_EQ(audio.sads[0].formatCode, 1);
    EXPECT_EQ(audio.sads[0].channels, 2);
    EXPECT_EQ(audio.sads[0].lpcmSizes, 2);
    audio.sads[0].channels = 8;
    audio.sads[0].sampleRates = 0x01;
    audio.sads[0].lpcmSizes = 5;
    EXPECT_EQ(writeAudioDataBlock(audio), (Bytes{0x23, 0x8F, 0x81, 0xFD}));

    // A block created on a page starts from zeros.
    SpeakerAllocationBlock created;
    created.present = true;
    created.size = 4;
    created.allocation = 0x0B;
    EXPECT_EQ(writeSpeakerAllocationBlock(created), (Bytes{0x83, 0x0B, 0x00, 0x00}));
}

TEST(ShortAudioDescriptors, ThirdByteByFormatCode) {
    struct Case {
        Byte b0, b2;
        int formatValue, lpcmSizes;
    };
    const Case cases[] = {
        {0x09, 0x05, 0, 5},    // LPCM: sample sizes
        {0x15, 0x50, 640, 0},  // AC-3: 80 x 8 kbps
        {0x3D, 0xC0, 1536, 0}, // DTS
        {0x57, 0x03, 3, 0},    // DTS-HD: as stored
        {0x71, 0x0B, 3, 0},    // WMA Pro: profile bits 2..0
        {0x7F, 0x07, 0, 0},    // code 15: nothing decoded
    };
    for (const Case& c : cases) {
        const ShortAudioDescriptor sad = decodeShortAudioDescriptor(c.b0, 0x07, c.b2);
        EXPECT_EQ(sad.formatValue, c.formatValue) << int(c.b0);
        EXPECT_EQ(sad.lpcmSizes, c.lpcmSizes) << int(c.b0);
        EXPECT_EQ(encodeShortAudioDescriptor(sad), (std::array<Byte, 3>{c.b0, 0x07, c.b2}));
    }
    ShortAudioDescriptor ac3 = decodeShortAudioDescriptor(0x15, 0x07, 0x50);
    ac3.formatValue = 647; // written as the value / 8, truncated
    EXPECT_EQ(encodeShortAudioDescriptor(ac3)[2], 80);
}

TEST(RebuildExtensionBlock, MovedTimingsKeepTheirStereoBit0) {
    const EdidImage image = hdmiDefaultImage();
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    c.video.svdCount = 4; // six bytes less: every timing moves up
    c.video.size = 5;
    EdidImage out = image;
    ASSERT_TRUE(rebuildExtensionBlock(out, c));
    EXPECT_EQ(out[130], 0x1D - 6);
    for (int i = 0; i < 4; ++i) {
        const int from = 157 + 18 * i;
        const int to = from - 6;
        EXPECT_EQ(c.timings.timings[i].slotOffset, to);
        EXPECT_TRUE(std::equal(image.begin() + from, image.begin() + from + 18, out.begin() + to))
            << "timing " << i;
    }
}

TEST(RebuildExtensionBlock, KindsCreatedLaterFollowTheReadBlocksInTheFixedOrder) {
    // Read: audio, then an unknown block.
    const EdidImage image = imageWithBlock1({{0x23, 0x09, 0x07, 0x07}, {0xE2, 0x06, 0x01}}, {12});
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    c.colorimetry = {};
    c.colorimetry.present = true;
    c.colorimetry.size = 4;
    c.colorimetry.colorimetry = 0x03;
    c.vsdb = {};
    c.vsdb.present = true;
    c.vsdb.size = 6;
    c.vsdb.physA = 1;
    c.video.present = true;
    c.video.size = 2;
    c.video.svdCount = 1;
    c.video.svds[0] = {true, 16};
    EdidImage out = image;
    ASSERT_TRUE(rebuildExtensionBlock(out, c));
    const Bytes expected = {0x23, 0x09, 0x07, 0x07, 0xE2, 0x06, 0x01, // as read
                            0x41, 0x90,                               // video
                            0x65, 0x03, 0x0C, 0x00, 0x10, 0x00,       // HDMI VSDB
                            0xE3, 0x05, 0x03, 0x00};                  // colorimetry
    EXPECT_EQ(written(out, 132, static_cast<int>(expected.size())), expected);
    EXPECT_EQ(out[130], 4 + expected.size());
    EXPECT_EQ(c.video.offset, 132 + 7);
    EXPECT_EQ(c.colorimetry.offset, 132 + 15);
    EXPECT_EQ(c.timings.timings[0].slotOffset, 132 + static_cast<int>(expected.size()));
    const DtdBytes timing(out.begin() + 132 + expected.size(), kDtdSize);
    EXPECT_EQ(matchTimingCandidate(timing), 12);
}

TEST(RebuildExtensionBlock, AKindNoLongerPresentIsLeftOutAndComesBackInItsPlace) {
    const EdidImage image = hdmiDefaultImage();
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    c.audio.present = false;
    EdidImage out = image;
    ASSERT_TRUE(rebuildExtensionBlock(out, c));
    EXPECT_EQ(out[130], 0x1D - 4);
    EXPECT_EQ(out[132 + 11], 0x83) << "speaker allocation moved up";
    c.audio.present = true;
    ASSERT_TRUE(rebuildExtensionBlock(out, c));
    EXPECT_EQ(out, image);
}

TEST(HasRoomFor, CountsEveryBlockTimingAndTheFixedBytes) {
    // 4 + 1 + 11 + 4 + 4 + 6 + 4 x 18 = 102: 26 bytes free.
    DataBlockCollection c;
    parseExtensionBlock(hdmiDefaultImage(), c);
    EXPECT_EQ(usedExtensionBytes(c), 102);
    EXPECT_TRUE(hasRoomFor(c, 26));
    EXPECT_FALSE(hasRoomFor(c, 27));

    // With two bytes left a new video block (header and one descriptor) fits,
    // with one byte left it does not, although a page may ask for only one.
    const EdidImage nearlyFull = imageWithBlock1({Bytes(31, 0)}, {0, 1, 2, 3, 4});
    parseExtensionBlock(nearlyFull, c);
    EXPECT_EQ(usedExtensionBytes(c), 126);
    EXPECT_TRUE(hasRoomFor(c, 2));
    EXPECT_FALSE(hasRoomFor(c, 3));
    c.blockOrder.pop_back(); // one padding byte less: one byte left
    EXPECT_TRUE(hasRoomFor(c, 1));
    c.blockOrder.push_back({0, -1, {0x00}});
    c.video.present = true;
    c.video.size = 2;
    c.video.svdCount = 1;
    c.video.svds[0] = {false, 4};
    EXPECT_TRUE(hasRoomFor(c, 0));
    EdidImage out = nearlyFull;
    ASSERT_TRUE(rebuildExtensionBlock(out, c));
    c.audio.present = true;
    c.audio.size = 4;
    c.audio.sadCount = 1;
    EXPECT_FALSE(hasRoomFor(c, 0));
    const EdidImage before = out;
    EXPECT_FALSE(rebuildExtensionBlock(out, c)) << "an over-full layout is refused";
    EXPECT_EQ(out, before);
}

TEST(RebuildExtensionBlock, RefusesBlockSizesItsHeaderCannotHold) {
    DataBlockCollection c;
    parseExtensionBlock(hdmiDefaultImage(), c);
    EdidImage out = hdmiDefaultImage();
    c.vsdb.size = 0;
    EXPECT_FALSE(rebuildExtensionBlock(out, c));
    c.vsdb.size = 33;
    EXPECT_FALSE(rebuildExtensionBlock(out, c));
    EXPECT_EQ(out, hdmiDefaultImage());
}

TEST(EnsureInOrder, AnswersTwoWhenPresentOneWhenAppendedZeroWhenFull) {
    DataBlockCollection c;
    parseExtensionBlock(hdmiDefaultImage(), c);
    EXPECT_EQ(ensureInOrder(c, kTagVideo, -1), 2);
    EXPECT_EQ(ensureInOrder(c, kTagExtended, kExtTagColorimetry), 1);
    EXPECT_EQ(ensureInOrder(c, kTagExtended, kExtTagColorimetry), 2);
    EXPECT_EQ(ensureInOrder(c, kTagExtended, kExtTagVideoCapability), 1);
    // Blocks kept verbatim do not stand for a kind.
    c.blockOrder.insert(c.blockOrder.begin(), {kTagVendorSpecific, -1, {0x63, 0xD8, 0x5D, 0xC4}});
    EXPECT_EQ(ensureInOrder(c, kTagVendorSpecific, -1), 2);
    while (c.blockOrder.size() < 40)
        c.blockOrder.push_back({0, -1, {0x00}});
    // Six kinds are in the list; fill it up to its limit of 32.
    for (int tag = 10; tag < 10 + 26; ++tag)
        c.blockOrder.push_back({tag, -1, {}});
    EXPECT_EQ(ensureInOrder(c, kTagAudio, -1), 2);
    EXPECT_EQ(ensureInOrder(c, 99, -1), 0);
}

TEST(ExtensionBlockModel, LeavingAPageWithoutAChangeLeavesBlock1AsItWas) {
    // Non-zero padding after the last timing would be zeroed by a rebuild.
    EdidImage image = hdmiDefaultImage();
    image[250] = 0x5A;
    ApplyAutoChecksums(image, true);
    ExtensionBlockModel model;
    model.parse(image);
    EXPECT_FALSE(model.modified());
    EdidImage out = image;
    EXPECT_EQ(model.rebuildIfModified(out), ExtensionBlockModel::RebuildResult::Unchanged);
    EXPECT_EQ(out, image);

    model.collection().speaker.allocation = 0x4B;
    EXPECT_TRUE(model.modified());
    EXPECT_EQ(model.rebuildIfModified(out), ExtensionBlockModel::RebuildResult::Rebuilt);
    EXPECT_EQ(out[148], 0x4B);
    EXPECT_EQ(out[250], 0x00);
    EXPECT_FALSE(model.modified()) << "a second visit without change writes nothing";

    model.collection().vsdb.size = 40;
    const EdidImage before = out;
    EXPECT_EQ(model.rebuildIfModified(out), ExtensionBlockModel::RebuildResult::NoSpace);
    EXPECT_EQ(out, before);
}

TEST(ExtensionBlockModel, NeverRebuildsABlockItCannotEdit) {
    EdidImage image = hdmiDefaultImage();
    image[128] = 0x70;
    ExtensionBlockModel model;
    model.parse(image);
    model.collection().video.present = true; // a page would not, but nothing may be written
    model.collection().video.size = 1;
    EdidImage out = image;
    EXPECT_EQ(model.rebuildIfModified(out), ExtensionBlockModel::RebuildResult::Unchanged);
    EXPECT_EQ(out, image);
}

} // namespace
} // namespace pellam
