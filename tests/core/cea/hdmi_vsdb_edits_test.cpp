#include "core/cea/block1_builder.h"
#include "core/cea/data_block_codecs.h"
#include "core/cea/extension_block.h"
#include "core/cea/hdmi_vsdb_edits.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;
using test::imageWithBlock1;

const Bytes kVideo = {0x42, 0x10, 0x04};
const Bytes kAudio = {0x23, 0x09, 0x07, 0x07};

DataBlockCollection parsed(const EdidImage& image) {
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    return c;
}

Bytes rebuiltBlocks(DataBlockCollection& c) {
    EdidImage image = hdmiDefaultImage();
    EXPECT_TRUE(rebuildExtensionBlock(image, c));
    return Bytes(image.begin() + 132, image.begin() + 128 + image[130]);
}

Bytes written(const HdmiVsdb& vsdb) {
    return writeHdmiVsdb(vsdb);
}

HdmiVsdb readVsdb(const Bytes& block) {
    HdmiVsdb v;
    EXPECT_TRUE(readHdmiVsdb(block, v));
    return v;
}

TEST(HdmiVsdbEdits, EnablingStartsA6ByteBlockFromZerosBehindTheOthers) {
    auto c = parsed(imageWithBlock1({kVideo, kAudio}));
    ASSERT_FALSE(c.vsdb.present);
    EXPECT_TRUE(enableHdmiVsdb(c, true).stored);
    const Bytes expected = {0x42, 0x10, 0x04, 0x23, 0x09, 0x07, 0x07,
                            0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};
    EXPECT_EQ(rebuiltBlocks(c), expected);

    // A block read with reserved bits and trailing bytes, switched off and on
    // again, keeps none of them.
    c = parsed(imageWithBlock1(
        {{0x6B, 0x03, 0x0C, 0x00, 0x21, 0x00, 0x86, 0x2D, 0x10, 0x00, 0xAA, 0xBB}, kVideo}));
    ASSERT_TRUE(c.vsdb.present);
    EXPECT_TRUE(enableHdmiVsdb(c, false).stored);
    EXPECT_EQ(rebuiltBlocks(c), kVideo);
    EXPECT_TRUE(enableHdmiVsdb(c, true).stored);
    EXPECT_EQ(rebuiltBlocks(c), (Bytes{0x65, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x42, 0x10, 0x04}));
}

TEST(HdmiVsdbEdits, GrowingTheBlockNeedsRoom) {
    // 5 + 31 * 3 + 24 + 3 = 125 bytes used: 3 left.
    const auto filler = [](int size) {
        Bytes b(static_cast<std::size_t>(size), 0x11);
        b[0] = static_cast<Byte>(0xC0 | (size - 1));
        return b;
    };
    auto c = parsed(imageWithBlock1({filler(31), filler(31), filler(31), filler(24), kVideo}));
    ASSERT_EQ(usedExtensionBytes(c), 125);
    EXPECT_EQ(enableHdmiVsdb(c, true).message, "No Space of Extended Block");
    EXPECT_FALSE(c.vsdb.present);

    // 5 + 31 + 31 + 30 = 97 bytes used: a VSDB of 31 bytes fits, 32 do not.
    c = parsed(imageWithBlock1({filler(31), filler(31), filler(30)}));
    ASSERT_TRUE(enableHdmiVsdb(c, true).stored);
    ASSERT_TRUE(extendHdmiVsdb(c, true).stored);
    EXPECT_EQ(c.vsdb.size, 7);
    EXPECT_TRUE(leaveHdmiVsdbLength(c, "30").stored);
    EXPECT_EQ(leaveHdmiVsdbLength(c, "31").message, "No Space of Extended Block");
    EXPECT_EQ(c.vsdb.size, 31);
    EXPECT_EQ(usedExtensionBytes(c), 128);
}

TEST(HdmiVsdbEdits, LengthTextRules) {
    struct Case {
        const char* text;
        int size;
        const char* message;
    };
    const char* range = "Should be 6 ~ 31 ";
    // A refused length leaves the block as it was (12 bytes).
    const Case cases[] = {{"31", 32, ""}, {"6", 7, ""},   {"5", 12, range},
                          {"", 12, range}, {"32", 12, range}, {"1x", 12, range}};
    for (const Case& k : cases) {
        auto c = parsed(imageWithBlock1(
            {{0x6B, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x2D, 0x00, 0x00, 0x00, 0x00}}));
        const FieldEdit edit = leaveHdmiVsdbLength(c, k.text);
        EXPECT_EQ(c.vsdb.size, k.size) << " '" << k.text << "'";
        EXPECT_EQ(edit.message, k.message) << " '" << k.text << "'";
    }
}

TEST(HdmiVsdbEdits, UncheckingTheExtensionClearsEverythingAfterTheAddress) {
    auto c = parsed(imageWithBlock1({{0x6F, 0x03, 0x0C, 0x00, 0x12, 0x34, 0xFE, 0x2D, 0xFF, 0x10,
                                      0x20, 0x30, 0x40, 0x80, 0x00, 0x99}}));
    EXPECT_TRUE(extendHdmiVsdb(c, false).stored);
    EXPECT_EQ(rebuiltBlocks(c), (Bytes{0x65, 0x03, 0x0C, 0x00, 0x12, 0x34}));
    EXPECT_TRUE(extendHdmiVsdb(c, true).stored);
    EXPECT_EQ(rebuiltBlocks(c), (Bytes{0x66, 0x03, 0x0C, 0x00, 0x12, 0x34, 0x00}));
}

TEST(HdmiVsdbEdits, PhysicalAddressAndMaxTmdsClockTexts) {
    HdmiVsdb v;
    EXPECT_TRUE(editPhysicalAddress(v, 2, "a").stored);
    EXPECT_EQ(v.physB, 10);
    EXPECT_EQ(physicalAddressText(v, 2), "A");
    EXPECT_EQ(editPhysicalAddress(v, 2, "").message, "Invalid data. range 0 ~ F (hexadecimal)");
    EXPECT_EQ(v.physB, 10) << "an emptied digit is not taken as 0";
    EXPECT_EQ(editPhysicalAddress(v, 4, "12").message, "Invalid data. range 0 ~ F (hexadecimal)");

    struct Case {
        const char* text;
        int stored;
        const char* shown;
        const char* message;
    };
    const Case cases[] = {{"1275", 255, "1275", ""},
                          {"1274", 254, "1270", ""},
                          {"1276", 7, "35", "Should be <= 1275 MHz"},
                          {"12a", 7, "35", "Should be <= 1275 MHz"},
                          {"", 7, "35", "Should be <= 1275 MHz"}};
    for (const Case& k : cases) {
        v.maxTmdsClock = 7;
        EXPECT_EQ(editMaxTmdsClock(v, k.text).message, k.message) << k.text;
        EXPECT_EQ(v.maxTmdsClock, k.stored) << k.text;
        EXPECT_EQ(maxTmdsClockText(v), k.shown) << k.text;
    }
}

TEST(HdmiVsdbEdits, LatencyCodingBothWays) {
    EXPECT_EQ(latencyText(1), "0");
    EXPECT_EQ(latencyText(251), "500");
    EXPECT_EQ(latencyText(250), "498");
    EXPECT_EQ(latencyText(0), "N_VAL");
    EXPECT_EQ(latencyText(255), "N_SUP");

    struct Case {
        const char* text;
        int stored; // -1: nothing stored
        bool message;
    };
    const Case cases[] = {{"499", 250, false}, {"500", 251, false}, {"501", -1, true},
                          {"n", 0, false},     {"val", 0, false},   {"sup", 255, false},
                          {"p", 255, false},   {"NVAL", -1, true},  {"", -1, true}};
    for (const Case& k : cases) {
        int latency = 77;
        const FieldEdit edit = editLatency(latency, k.text);
        EXPECT_EQ(latency, k.stored < 0 ? 77 : k.stored) << k.text;
        EXPECT_EQ(edit.message.empty(), !k.message) << k.text;
        if (k.message) {
            EXPECT_EQ(edit.message, kMsgLatency);
        }
    }
}

TEST(HdmiVsdbEdits, ControlsFollowLengthAndFlags) {
    struct Case {
        int size;
        bool latency, iLatency, hdmiVideo;
        int latencyEdits;
        bool threeD, lengths;
    };
    const Case cases[] = {
        {8, true, true, true, 0, false, false},     {9, true, false, false, 0, false, false},
        {10, true, false, false, 1, false, false},  {11, true, false, true, 2, false, false},
        {12, true, false, true, 2, true, false},    {13, true, false, true, 2, true, true},
        {12, false, true, true, 3, false, false},   {15, false, true, true, 4, true, true},
        {10, false, false, true, 0, true, false},   {11, false, false, true, 0, true, true},
        {20, false, false, false, 0, false, false},
    };
    for (const Case& k : cases) {
        HdmiVsdb v;
        v.present = v.extended = true;
        v.size = k.size;
        v.latencyFieldsPresent = k.latency;
        v.iLatencyFieldsPresent = k.iLatency;
        v.hdmiVideoPresent = k.hdmiVideo;
        const HdmiVsdbControls on = hdmiVsdbControls(v);
        SCOPED_TRACE(testing::Message()
                     << "size " << k.size << " flags " << k.latency << k.iLatency << k.hdmiVideo);
        EXPECT_TRUE(on.maxTmdsClock);
        EXPECT_EQ(on.flagsByte, k.size >= 9);
        int latencyEdits = 0;
        for (bool e : on.latency)
            latencyEdits += e;
        EXPECT_EQ(latencyEdits, k.latencyEdits);
        EXPECT_EQ(on.threeD, k.threeD);
        EXPECT_EQ(on.hdmiVideoLengths, k.lengths);
    }
    HdmiVsdb off;
    off.extended = true;
    off.size = 20;
    EXPECT_FALSE(hdmiVsdbControls(off).extendedFields);
    EXPECT_FALSE(hdmiVsdbControls(off).maxTmdsClock);
}

TEST(HdmiVsdbEdits, HdmiVideoLengthsAreFittedToTheBlock) {
    struct Case {
        int size;
        bool latency, iLatency;
        int vicLen, len3d;
        int fittedVicLen, fitted3dLen;
    };
    const Case cases[] = {
        {12, false, false, 1, 5, 1, 0},   {14, false, false, 1, 0, 1, 2},
        {14, true, false, 2, 3, 1, 0},    {11, false, false, 3, 3, 0, 0},
        {10, false, false, 3, 3, 3, 3}, // no room for the length byte: left alone
        {25, false, false, 0, 14, 0, 14}, {17, true, true, 0, 0, 0, 2},
    };
    for (const Case& k : cases) {
        HdmiVsdb v;
        v.present = v.extended = v.hdmiVideoPresent = true;
        v.size = k.size;
        v.latencyFieldsPresent = k.latency;
        v.iLatencyFieldsPresent = k.iLatency;
        v.hdmiVicLen = k.vicLen;
        v.hdmi3dLen = k.len3d;
        const bool changed = fitHdmiVideoLengths(v);
        EXPECT_EQ(v.hdmiVicLen, k.fittedVicLen) << k.size;
        EXPECT_EQ(v.hdmi3dLen, k.fitted3dLen) << k.size;
        EXPECT_EQ(changed, k.vicLen != k.fittedVicLen || k.len3d != k.fitted3dLen) << k.size;
    }
}

TEST(HdmiVideoPanel, NoRoomAsksForTheLeastLengthThatHasSome) {
    // The progressive latency pair stands wherever either flag is set.
    const struct {
        int size;
        bool latency, iLatency;
        int limit;
    } cases[] = {
        {11, false, false, 10}, {13, true, false, 12}, {15, true, true, 14}, {15, false, true, 14}};
    for (const auto& k : cases) {
        HdmiVsdb v;
        v.size = k.size;
        v.latencyFieldsPresent = k.latency;
        v.iLatencyFieldsPresent = k.iLatency;
        EXPECT_EQ(hdmiVideoRoom(v), 0) << k.size;
        EXPECT_EQ(increaseVsdbLengthMessage(v),
                  "Please increase VSDB extension length(>" + std::to_string(k.limit) +
                      ") first !!\n if HDMI_VIC and 3D format need to change");
    }
}

TEST(HdmiVideoPanel, TypingOneLengthGivesTheOtherTheRestOfTheRoom) {
    // Room = size - latency bytes - 11.
    struct Case {
        const char* what;
        int size;
        bool latency;
        bool typedCodes; // HDMI_VIC_LEN typed, else HDMI_3D_LEN
        int typed;
        int vicLen, len3d;
        bool limited;
        const char* message;
    };
    const Case cases[] = {
        {"codes within the room", 16, false, true, 2, 2, 3, false, ""},
        {"no codes", 16, false, true, 0, 0, 5, false, ""},
        {"codes above the room", 14, false, true, 5, 3, 0, true, "Should be within 0 ~ 3"},
        {"codes above the 3-bit field", 25, false, true, 8, 7, 7, true, "Should be within 0 ~ 7"},
        {"codes exactly 7", 25, false, true, 7, 7, 7, false, ""},
        {"3D within the room", 16, false, false, 4, 1, 4, false, ""},
        {"3D all of the room", 16, false, false, 5, 0, 5, false, ""},
        {"3D above the room", 16, false, false, 9, 0, 5, true, "Should be within 0 ~ 5"},
        {"3D leaves more than 7 codes", 31, false, false, 2, 7, 2, false, ""},
        {"latency bytes take room", 16, true, true, 2, 2, 1, false, ""},
    };
    for (const Case& k : cases) {
        HdmiVsdb v;
        v.size = k.size;
        v.latencyFieldsPresent = k.latency;
        const HdmiVideoSplit split =
            k.typedCodes ? splitForHdmiVicLen(v, k.typed) : splitForHdmi3dLen(v, k.typed);
        EXPECT_FALSE(split.noRoom) << k.what;
        EXPECT_EQ(split.hdmiVicLen, k.vicLen) << k.what;
        EXPECT_EQ(split.hdmi3dLen, k.len3d) << k.what;
        EXPECT_EQ(split.limited, k.limited) << k.what;
        EXPECT_EQ(split.message, k.message) << k.what;
    }
    HdmiVsdb full;
    full.size = 11;
    for (const HdmiVideoSplit& split : {splitForHdmiVicLen(full, 1), splitForHdmi3dLen(full, 1)}) {
        EXPECT_TRUE(split.noRoom);
        EXPECT_EQ(split.hdmiVicLen + split.hdmi3dLen, 0);
        EXPECT_EQ(split.message, increaseVsdbLengthMessage(full));
    }
}

TEST(HdmiVideoPanel, ThreeDFieldsByMultiPresentAndLength) {
    struct Case {
        int multi, len3d;
        bool structure, mask;
        int entryBytes;
    };
    const Case cases[] = {
        {0, 6, false, false, 6}, {1, 6, true, false, 4},  {10, 6, true, true, 2},
        {11, 6, false, false, 6}, {10, 3, true, false, 1}, {10, 4, true, true, 0},
        {1, 1, false, false, 1},  {10, 1, false, false, 1},
    };
    for (const Case& k : cases) {
        const ThreeDFieldsShown shown = threeDFieldsShown(k.multi, k.len3d);
        EXPECT_EQ(shown.structure, k.structure) << k.multi << "/" << k.len3d;
        EXPECT_EQ(shown.mask, k.mask) << k.multi << "/" << k.len3d;
        EXPECT_EQ(threeDEntryBytes(k.len3d, shown), k.entryBytes) << k.multi << "/" << k.len3d;
    }
    // Codes 7 and 9..15 of 3D_Structure_ALL are reserved.
    std::vector<int> reserved;
    for (int bit = 0; bit < 16; ++bit)
        if (isReservedThreeDStructure(bit))
            reserved.push_back(bit);
    EXPECT_EQ(reserved, (std::vector<int>{7, 9, 10, 11, 12, 13, 14, 15}));
}

TEST(HdmiVideoPanel, ListValuesAndTheEntryWalk) {
    EXPECT_EQ(listValueText(5), " 5");
    EXPECT_EQ(listValueText(12), "12");
    struct Case {
        const char* text;
        int value;
        bool above15;
    };
    for (const Case& k : {Case{" 5", 5, false}, Case{"16", 16, true}, Case{"x1", 0, false}}) {
        const ListValue v = readListValue(k.text);
        EXPECT_EQ(v.value, k.value) << k.text;
        EXPECT_EQ(v.above15, k.above15) << k.text;
    }

    // Structure 8 (side-by-side half) carries a detail byte, 6 does not.
    std::array<ThreeDEntry, 8> entries{};
    entries[0] = {1, 8, 2, 0};
    entries[1] = {3, 6, 9, 0};
    entries[2] = {4, 0, 0, 0};
    const KeyValueLines lines = threeDEntryLines(entries, 4);
    const KeyValueLines expected = {
        {"2D_VIC_order_1=", " 1"}, {"3D_Structure_1=", " 8"}, {"3D_Detail_1=", " 2"},
        {"2D_VIC_order_2=", " 3"}, {"3D_Structure_2=", " 6"}, {"2D_VIC_order_3=", " 4"},
        {"3D_Structure_3=", " 0"},
    };
    EXPECT_EQ(lines, expected);
    // "10" with HDMI_3D_LEN 6: two bytes of entries, one with detail or two without.
    EXPECT_EQ(threeDEntryLines(entries, 6 - threeDFieldBytes(10)).size(), 3u);
    entries[0].structure = 0;
    EXPECT_EQ(threeDEntryLines(entries, 2).size(), 4u);

    // Read back by key: a structure raised to 8 takes a detail line.
    KeyValueLines edited = expected;
    edited[4].second = "9";
    edited.insert(edited.begin() + 5, {"3D_Detail_2=", "5"});
    std::array<ThreeDEntry, 8> read{};
    read[1].detailReserved = 3;
    bool above15 = false;
    EXPECT_EQ(readThreeDEntryLines(edited, 5, read, above15), 3);
    EXPECT_FALSE(above15);
    EXPECT_EQ(read[0], (ThreeDEntry{1, 8, 2, 0}));
    EXPECT_EQ(read[1], (ThreeDEntry{3, 9, 5, 3}));
    EXPECT_EQ(read[2], (ThreeDEntry{4, 0, 0, 0}));
}

// A VSDB with HDMI video fields: 3D with structure and mask, five entries
// with detail bytes (a real display's block).
const Bytes k3dVsdb = {0x78, 0x03, 0x0C, 0x00, 0x10, 0x00, 0xB8, 0x2D, 0x20, 0xC0, 0x0E, 0x01, 0x00,
                       0x00, 0x12, 0x18, 0x20, 0x28, 0x20, 0x38, 0x20, 0x58, 0x20, 0x68, 0x20};

HdmiVideoPanelValues panelOf(const HdmiVsdb& v) {
    HdmiVideoPanelValues p;
    p.hdmiVicLen = std::to_string(v.hdmiVicLen);
    p.threeDPresent = v.threeDPresent;
    p.threeDMultiPresent = std::to_string(v.threeDMultiPresent);
    p.hdmi3dLen = std::to_string(v.hdmi3dLen);
    p.structureAll = v.structureAll;
    p.structureMask = v.structureMask;
    p.hdmiVicLines = hdmiVicLines(v.hdmiVic, v.hdmiVicLen);
    p.entryLines =
        threeDEntryLines(v.entries, v.hdmi3dLen - threeDFieldBytes(v.threeDMultiPresent));
    return p;
}

TEST(HdmiVideoPanel, SaveCommitsTheCodesOf3DMultiPresent) {
    struct Case {
        const char* multi;
        int code;
    };
    for (const Case& k :
         {Case{"0", 0}, Case{"01", 1}, Case{"10", 2}, Case{"11", 3}, Case{"2", 3}}) {
        HdmiVsdb v = readVsdb(k3dVsdb);
        HdmiVideoPanelValues p = panelOf(v);
        p.threeDMultiPresent = k.multi;
        ASSERT_TRUE(commitHdmiVideoPanel(v, p).committed);
        EXPECT_EQ(written(v)[9], 0x80 | k.code << 5) << k.multi;
    }
}

TEST(HdmiVideoPanel, SaveRefusals) {
    const HdmiVsdb loaded = readVsdb(k3dVsdb);
    struct Case {
        bool hdmiVideoPresent;
        const char* vicLen;
        const char* multi;
        const char* len3d;
        const char* message;
    };
    const Case cases[] = {{false, "0", "10", "14", "HDMI_VIDEO_PRESENT should be 'Enable' "},
                          {true, "0", "1x", "14", "Should be filled Integer value"},
                          {true, "8", "10", "14", "Should be within 0 ~ 7"}};
    for (const Case& k : cases) {
        HdmiVsdb v = loaded;
        v.hdmiVideoPresent = k.hdmiVideoPresent;
        const HdmiVsdb before = v;
        HdmiVideoPanelValues p = panelOf(v);
        p.hdmiVicLen = k.vicLen;
        p.threeDMultiPresent = k.multi;
        p.hdmi3dLen = k.len3d;
        p.structureAll = 0;
        const PanelCommit commit = commitHdmiVideoPanel(v, p);
        EXPECT_FALSE(commit.committed) << k.message;
        EXPECT_EQ(commit.messages, std::vector<std::string>{k.message});
        EXPECT_EQ(v, before) << k.message;
    }
}

} // namespace
} // namespace pellam
