#include "core/base_block/detailed_timing.h"
#include "core/base_block/detailed_timing_edit.h"

#include <cmath>

#include <gtest/gtest.h>

namespace pellam {
namespace {

TEST(PixelClockDisplay, FourSignificantDigitsTwoDecimals) {
    const struct {
        float clock;
        const char* shown;
    } cases[] = {
        {25.18f, "25.18"}, {148.5f, "148.50"},     {148.35f, "148.40"}, {148.25f, "148.30"},
        {0.0f, "0.00"},    {5.0f, "5.00"},         {1.005f, "1.00"},    {99.995f, "100.00"},
        {74.25f, "74.25"}, {12345.0f, "12350.00"}, {655.35f, "655.30"}, // the float lies just below
                                                                        // 655.35
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPixelClock(c.clock), c.shown) << c.clock;
}

TEST(PixelClockDisplay, BelowOneHundredMHzTheShownTextKeepsTheClockWord) {
    // Every clock below 100 MHz shows exactly, so typing it back changes
    // nothing (a clock of 0 is no timing, and no clock a user can type).
    for (int word = 1; word < 10000; ++word) {
        const Byte bytes[kDtdSize] = {static_cast<Byte>(word), static_cast<Byte>(word >> 8)};
        const float clock = decodeDetailedTiming(bytes).pixelClock;
        const TimingInput<float> typed = parsePixelClockText(formatPixelClock(clock));
        ASSERT_TRUE(typed.value);
        ASSERT_EQ(pixelClockWord(*typed.value), word) << formatPixelClock(clock);
    }
}

TEST(PixelClockInput, DigitsWithAtMostOnePoint) {
    const std::string tooLarge(60, '9');
    const struct {
        const char* text;
        std::optional<float> value;
        const char* message;
    } cases[] = {
        {"148.5", 148.5f, ""},
        {"25", 25.0f, ""},
        {".5", 0.5f, ""},
        {"5.", 5.0f, ""},
        {"655.35", 655.35f, ""},
        {"700", std::nullopt, "Should be within 0.01 ~ 655.35 MHz"},
        {"0", std::nullopt, "Should be within 0.01 ~ 655.35 MHz"},
        {"", std::nullopt, "'' is not a valid floating point value"},
        {".", std::nullopt, "'.' is not a valid floating point value"},
        {"1.2.3", std::nullopt, "Invalid data"},
        {"12a", std::nullopt, "Invalid data"},
        {"-5", std::nullopt, "Invalid data"},
        {"1e5", std::nullopt, "Invalid data"},
        {"1,5", std::nullopt, "Invalid data"},
        {tooLarge.c_str(), std::nullopt, nullptr}, // beyond a float, or the word
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TimingInput<float> input = parsePixelClockText(c.text);
        EXPECT_EQ(input.value, c.value);
        if (c.message) {
            EXPECT_EQ(input.message, c.message);
        }
        EXPECT_EQ(input.message.empty(), input.value.has_value());
    }
}

TEST(GeometryInput, DigitsOnlyWithinTheFieldsBits) {
    const struct {
        const char* text;
        int field;
        std::optional<std::uint16_t> value;
        const char* message;
    } cases[] = {
        {"1920", 1, 1920, ""},
        {"0", 1, 0, ""},
        {"4095", 1, 4095, ""},
        {"5000", 1, std::nullopt, "Should be within 0 ~ 4095"},
        {"1023", 3, 1023, ""},
        {"1024", 4, std::nullopt, "Should be within 0 ~ 1023"},
        {"255", 6, 255, ""},
        {"256", 12, std::nullopt, "Should be within 0 ~ 255"},
        {"63", 9, 63, ""},
        {"64", 10, std::nullopt, "Should be within 0 ~ 63"},
        {"70000", 11, std::nullopt, "Should be within 0 ~ 4095"},
        {"", 1, std::nullopt, "'' is not a valid integer value"},
        {"99999999999", 1, std::nullopt, "'99999999999' is not a valid integer value"},
        {"12x", 1, std::nullopt, "Invalid data"},
        {"-1", 1, std::nullopt, "Invalid data"},
        {" 1", 1, std::nullopt, "Invalid data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TimingInput<std::uint16_t> input = parseGeometryText(c.text, c.field);
        EXPECT_EQ(input.value, c.value);
        EXPECT_EQ(input.message, c.message);
    }
}

TEST(SyncFlags, CaptionsFollowTheKindStatesTheFlags) {
    const struct {
        unsigned kind, flags;
        std::string_view flag1, flag2;
        bool checked1, checked2;
    } cases[] = {
        {0, 0, "Serrate", "OnRGB", false, false},
        {1, 2, "Serrate", "OnRGB", true, false},
        {2, 1, "Serrate", "Composite Polarity", false, true},
        {3, 3, "V Polarity (Positive)", "H Polarity (Positive)", true, true},
    };
    for (const auto& c : cases) {
        const SyncFlagDisplay d = syncFlagDisplay(c.kind, c.flags);
        EXPECT_EQ(d.flag1Caption, c.flag1);
        EXPECT_EQ(d.flag2Caption, c.flag2);
        EXPECT_EQ(d.flag1Checked, c.checked1);
        EXPECT_EQ(d.flag2Checked, c.checked2);
    }
}

} // namespace
} // namespace pellam
