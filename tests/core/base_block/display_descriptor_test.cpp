#include "core/base_block/display_descriptor.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

using Slot = std::array<Byte, kDtdSize>;
using Text = std::array<Byte, kDescriptorTextLength>;

Text textBytes(std::string_view s) {
    Text t{};
    std::copy(s.begin(), s.end(), t.begin());
    return t;
}

Slot slotWith(std::initializer_list<Byte> head, std::string_view payload = "") {
    Slot s{};
    std::copy(head.begin(), head.end(), s.begin());
    std::copy(payload.begin(), payload.end(), s.begin() + 5);
    return s;
}

TEST(DescriptorText, EncodeEndsShortTextsWithLineFeedAndSpaces) {
    const struct {
        std::string_view text;
        std::string_view bytes;
    } cases[] = {
        {"ABCDEFGHIJKLM", "ABCDEFGHIJKLM"},
        {"AB", "AB\n          "},
        {"", "\n            "},
        {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLM"}, // cut to 13 without a message
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        Text payload;
        payload.fill(0xEE);
        encodeDescriptorText(c.text, payload);
        EXPECT_EQ(payload, textBytes(c.bytes));
    }
}

TEST(DescriptorText, DecodeStopsAtTheFirstLineFeedAndTrimsNothing) {
    const struct {
        std::string_view bytes;
        std::string text;
    } cases[] = {
        {"Monitor\n     ", "Monitor"},
        {"AB  CD       ", "AB  CD       "},
        {"\nXXXXXXXXXXXX", ""},
        {"A\nB\nCCCCCCCCC", "A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeDescriptorText(textBytes(c.bytes)), c.text);
}

TEST(DescriptorKinds, ClassifiedOnBytesZeroToThree) {
    const struct {
        Slot slot;
        DescriptorKind kind;
    } cases[] = {
        {slotWith({0x01, 0x00, 0x00, 0xFF}), DescriptorKind::DetailedTiming},
        {slotWith({0x00, 0x01}), DescriptorKind::DetailedTiming},
        {slotWith({0, 0, 0, 0xFF}), DescriptorKind::SerialNumber},
        {slotWith({0, 0, 0, 0xFE}), DescriptorKind::AsciiString},
        {slotWith({0, 0, 0, 0xFD}), DescriptorKind::RangeLimits},
        {slotWith({0, 0, 0, 0xFC}), DescriptorKind::MonitorName},
        {slotWith({0, 0, 0, 0xFB}), DescriptorKind::WhitePoint},
        {slotWith({0, 0, 0, 0xFA}), DescriptorKind::StandardTimings},
        {slotWith({0, 0, 0, 0xF7}), DescriptorKind::Undefined},
        {slotWith({0, 0, 0, 0x11}), DescriptorKind::Undefined},
        {slotWith({0, 0, 0, 0x10}), DescriptorKind::Dummy},
        {slotWith({0, 0, 0, 0x0F}), DescriptorKind::ManufacturerDefined},
        {slotWith({0, 0, 0, 0x00}), DescriptorKind::ManufacturerDefined},
        {slotWith({0, 0, 1, 0xFC}), DescriptorKind::Malformed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.slot));
        EXPECT_EQ(classifyDescriptor(c.slot), c.kind);
    }
}

TEST(DescriptorKinds, AKindChangeWritesOnlyBytesZeroToThree) {
    for (const Slot& before : {slotWith({0, 0, 0, 0xFF, 0x00}, "1234567890123"),
                               slotWith({0, 0, 7, 0x10, 0x0A}, "\x01\x02\x03")}) {
        Slot slot = before;
        setDescriptorKind(slot, DescriptorKind::RangeLimits);
        EXPECT_EQ(classifyDescriptor(slot), DescriptorKind::RangeLimits);
        EXPECT_EQ(slot[2], 0);
        EXPECT_TRUE(std::equal(slot.begin() + 4, slot.end(), before.begin() + 4));
    }
    Slot slot{};
    EXPECT_THROW(setDescriptorKind(slot, DescriptorKind::Dummy), std::invalid_argument);
}

Slot rangeSlot(Byte byte10,
               std::initializer_list<Byte> tail = {0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}) {
    Slot s = slotWith({0, 0, 0, 0xFD, 0x00, 56, 76, 30, 83, 15, byte10});
    std::copy(tail.begin(), tail.end(), s.begin() + 11);
    return s;
}

TEST(RangeLimits, DecodeShowsClockInMHzAndMHighByteFirst) {
    const RangeLimits plain = decodeRangeLimits(rangeSlot(0x00));
    EXPECT_EQ(plain.minVerticalHz, 56);
    EXPECT_EQ(plain.maxHorizontalKHz, 83);
    EXPECT_EQ(plain.maxPixelClockMHz, 150);
    EXPECT_FALSE(plain.secondaryGtf);

    const RangeLimits gtf =
        decodeRangeLimits(rangeSlot(0x02, {0x00, 120, 40, 0x02, 0x58, 128, 40}));
    EXPECT_TRUE(gtf.secondaryGtf);
    EXPECT_EQ(gtf.gtfStartKHz, 240);
    EXPECT_EQ(gtf.gtfC2, 40);
    EXPECT_EQ(gtf.gtfM, 600);
    EXPECT_EQ(gtf.gtfK, 128);
    EXPECT_EQ(gtf.gtfJ2, 40);
    EXPECT_FALSE(decodeRangeLimits(rangeSlot(0x01)).secondaryGtf);
}

RangeLimitsTexts texts(std::array<std::string, 5> limits, bool secondaryGtf = false,
                       std::array<std::string, 5> gtf = {}) {
    return {std::move(limits), secondaryGtf, std::move(gtf)};
}

TEST(RangeLimits, EncodeByByteTen) {
    const std::array<std::string, 5> limits{"50", "200", "30", "255", "170"};
    const Slot garbageTail = rangeSlot(0x00, {1, 2, 3, 4, 5, 6, 7});
    const struct {
        const char* name;
        Slot before;
        RangeLimitsTexts texts;
        std::array<Byte, 8> bytes10To17;
        bool boxClicked = false;
    } cases[] = {
        {"default GTF: the tail becomes 0A and spaces",
         garbageTail,
         texts(limits),
         {0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
        {"secondary GTF: M high byte first, start halved",
         rangeSlot(0x02),
         texts(limits, true, {"240", "40", "600", "128", "40"}),
         {0x02, 0x00, 120, 40, 0x02, 0x58, 128, 40}},
        {"secondary GTF: empty texts write 0",
         rangeSlot(0x02),
         texts(limits, true, {"", "", "", "", ""}),
         {0x02, 0, 0, 0, 0, 0, 0, 0}},
        {"secondary GTF switched off by the box",
         rangeSlot(0x02, {0, 1, 2, 3, 4, 5, 6}),
         texts(limits, false, {"x", "", "", "", ""}),
         {0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
        {"range limits only: bytes 10..17 kept",
         rangeSlot(0x01, {1, 2, 3, 4, 5, 6, 7}),
         texts(limits),
         {0x01, 1, 2, 3, 4, 5, 6, 7}},
        {"CVT: bytes 10..17 kept",
         rangeSlot(0x04, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}),
         texts(limits),
         {0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}},
        {"a character left by a text descriptor: kept until the box is clicked",
         rangeSlot('G', {'H', 'I', 'J', 'K', 'L', 'M', 'N'}),
         texts(limits),
         {'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N'}},
        {"the box clicked on: byte 10 and the parameters written",
         rangeSlot('G', {'H', 'I', 'J', 'K', 'L', 'M', 'N'}),
         texts(limits, true),
         {0x02, 0, 0, 0, 0, 0, 0, 0},
         true},
        {"the box clicked off on CVT: byte 10, a line feed and spaces",
         rangeSlot(0x04, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}),
         texts(limits),
         {0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Slot slot = c.before;
        slot[4] = 0x0A; // EDID 1.4 rate offset flags
        const RangeLimitsWrite result = encodeRangeLimits(slot, c.texts, c.boxClicked);
        EXPECT_TRUE(result.written);
        // 170 MHz in units of 10 MHz.
        EXPECT_EQ((std::array<Byte, 6>{slot[4], slot[5], slot[6], slot[7], slot[8], slot[9]}),
                  (std::array<Byte, 6>{0x0A, 50, 200, 30, 255, 17}));
        std::array<Byte, 8> tail;
        std::copy(slot.begin() + 10, slot.end(), tail.begin());
        EXPECT_EQ(tail, c.bytes10To17);
    }
}

// A text that is no integer, or a value its byte cannot hold exactly, is
// refused with the reason before any byte changes: nothing is cut or rounded.
TEST(RangeLimits, ARefusedTextWritesNothing) {
    const std::string byteRange = "Should be 0 ~ 255";
    const struct {
        RangeLimitsTexts texts;
        std::string badText;
        std::string refusal;
    } cases[] = {
        {texts({"50", "75", "3O", "80", "150"}), "3O", "'3O' is not a valid integer value"},
        {texts({"50", "75", "30", "80", ""}), "", "'' is not a valid integer value"},
        {texts({"50", "75", "30", "80", "150"}, true, {"240", "4.5", "600", "128", "40"}), "4.5",
         "'4.5' is not a valid integer value"},
        {texts({"50", "300", "30", "80", "150"}), "300", byteRange},
        {texts({"50", "75", "30", "-1", "150"}), "-1", byteRange},
        {texts({"50", "75", "30", "80", "165"}), "165", "Should be 0 ~ 2550 MHz, a multiple of 10"},
        {texts({"50", "75", "30", "80", "2560"}), "2560",
         "Should be 0 ~ 2550 MHz, a multiple of 10"},
        {texts({"50", "75", "30", "80", "150"}, true, {"241", "40", "600", "128", "40"}), "241",
         "Should be 0 ~ 510 KHz, a multiple of 2"},
        {texts({"50", "75", "30", "80", "150"}, true, {"240", "40", "65536", "128", "40"}),
         "65536", "Should be 0 ~ 65535"},
        {texts({"50", "75", "30", "80", "150"}, true, {"240", "40", "600", "256", "40"}), "256",
         byteRange},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.badText);
        Slot slot = rangeSlot(0x02, {0, 1, 2, 3, 4, 5, 6});
        const Slot before = slot;
        const RangeLimitsWrite result = encodeRangeLimits(slot, c.texts);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.badText, c.badText);
        EXPECT_EQ(result.refusal, c.refusal);
        EXPECT_EQ(slot, before);
    }
}

TEST(RangeLimits, WhatIsShownIsWhatIsWritten) {
    // Leaving the edits unchanged keeps a well-formed descriptor byte for byte.
    for (const Slot& before :
         {rangeSlot(0x00), rangeSlot(0x02, {0x00, 120, 40, 0x02, 0x58, 128, 40})}) {
        const RangeLimits r = decodeRangeLimits(before);
        const auto s = [](int v) { return std::to_string(v); };
        Slot slot = before;
        encodeRangeLimits(slot,
                          texts({s(r.minVerticalHz), s(r.maxVerticalHz), s(r.minHorizontalKHz),
                                 s(r.maxHorizontalKHz), s(r.maxPixelClockMHz)},
                                r.secondaryGtf,
                                {s(r.gtfStartKHz), s(r.gtfC2), s(r.gtfM), s(r.gtfK), s(r.gtfJ2)}));
        EXPECT_EQ(slot, before);
    }
}

} // namespace
} // namespace pellam
