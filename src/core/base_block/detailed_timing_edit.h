// The text rules of the detailed timing editors: what the pixel clock and
// geometry edits accept, how the clock is shown, and the captions of the two
// sync flag boxes for each sync kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellam {

// A checked and converted edit text: the value, or the message to show.
template <typename T>
struct TimingInput {
    std::optional<T> value;
    std::string message;
};

// Decimal digits with at most one point. The empty text passes the check;
// its conversion then fails.
bool isPixelClockText(std::string_view text);

// Pixel clock in MHz: "Invalid data" for other characters, a conversion error
// for a text that has no number in it ("", ".") or none a float can hold, and
// a range message for a clock the 16-bit word of 10 kHz units cannot hold
// (0.01 to 655.35 MHz).
TimingInput<float> parsePixelClockText(std::string_view text);
inline constexpr const char* kMsgPixelClockRange = "Should be within 0.01 ~ 655.35 MHz";

// The largest value geometry field 1..12 can hold: 12 bits for sizes, 10
// for horizontal sync, 6 for vertical sync, 8 for borders.
int geometryFieldMaximum(int field);
// A geometry field: digits only, "Invalid data" otherwise; a conversion error
// for the empty text and for numbers beyond 32 bits; "Should be within 0 ~ n"
// for a value the field cannot hold (never cut to fewer bits).
TimingInput<std::uint16_t> parseGeometryText(std::string_view text, int field);

// The clock as the editors show it: rounded (halves up) to 4 significant
// digits, at most 2 decimals, always written with 2 decimals. So 25.18 shows
// as "25.18", 148.5 as "148.50" and 148.35 as "148.40".
std::string formatPixelClock(float pixelClockMHz);

// Captions and states of the two sync flag boxes: box 1 stands for byte 17
// bit 2 (flags bit 1), box 2 for byte 17 bit 1 (flags bit 0).
struct SyncFlagDisplay {
    std::string_view flag1Caption;
    std::string_view flag2Caption;
    bool flag1Checked = false;
    bool flag2Checked = false;
};

// Analog and bipolar composite: serrations and sync on RGB; digital
// composite: serrations and composite polarity; digital separate: the
// vertical and horizontal polarities.
SyncFlagDisplay syncFlagDisplay(unsigned syncKind, unsigned syncFlags);

} // namespace pellam
