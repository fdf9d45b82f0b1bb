#include "core/base_block/detailed_timing_edit.h"

#include "core/edid/decimal.h"
#include "core/edid/hex.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pellam {

namespace {

constexpr const char* kInvalidData = "Invalid data";

std::string invalidFloatMessage(std::string_view text) {
    std::string message = "'";
    message += text;
    message += "' is not a valid floating point value";
    return message;
}

// Adds one unit in the last place of a string of decimal digits.
void incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

bool isPixelClockText(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) &&
           std::count(text.begin(), text.end(), '.') <= 1;
}

TimingInput<float> parsePixelClockText(std::string_view text) {
    TimingInput<float> input;
    if (!isPixelClockText(text)) {
        input.message = kInvalidData;
        return input;
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    const float clock = static_cast<float>(value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(clock)) {
        input.message = invalidFloatMessage(text);
        return input;
    }
    if (std::round(value * 100.0) < 1.0 || std::round(value * 100.0) > 65535.0) {
        input.message = kMsgPixelClockRange;
        return input;
    }
    input.value = clock;
    return input;
}

int geometryFieldMaximum(int field) {
    switch (field) {
    case 3:
    case 4:
        return 1023;
    case 6:
    case 12:
        return 255;
    case 9:
    case 10:
        return 63;
    default:
        return 4095;
    }
}

TimingInput<std::uint16_t> parseGeometryText(std::string_view text, int field) {
    TimingInput<std::uint16_t> input;
    if (!text.empty() && !isDigitsOnly(text)) {
        input.message = kInvalidData;
        return input;
    }
    const std::optional<std::int32_t> value = parseDecimalInt32(text);
    if (!value) {
        input.message = invalidIntegerMessage(text);
        return input;
    }
    if (*value > geometryFieldMaximum(field)) {
        input.message = "Should be within 0 ~ " + std::to_string(geometryFieldMaximum(field));
        return input;
    }
    input.value = static_cast<std::uint16_t>(*value);
    return input;
}

std::string formatPixelClock(float pixelClockMHz) {
    double value = pixelClockMHz;
    if (!std::isfinite(value))
        return "0.00";
    const bool negative = value < 0;
    value = std::fabs(value);
    // The exact decimal expansion of the float (160 places hold every one),
    // so that the rounding below sees the value itself and rounds only once.
    char buffer[256];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 160);
    if (ec != std::errc())
        return "0.00";
    const std::string_view exact(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t point = exact.find('.');
    const std::string_view integer = exact.substr(0, point);
    const int integerDigits = static_cast<int>(integer.size());
    const int significantIntegerDigits = integer == "0" ? 0 : integerDigits;
    // Decimals kept; negative when the fourth significant digit lies left of the point.
    const int keep = std::min(2, 4 - significantIntegerDigits);

    std::string digits(integer);
    digits += exact.substr(point + 1);
    const auto cut = static_cast<std::size_t>(integerDigits + keep);
    const bool roundUp = digits[cut] >= '5';
    digits.resize(cut);
    std::size_t integerLength = static_cast<std::size_t>(integerDigits);
    if (roundUp) {
        const std::size_t before = digits.size();
        incrementDigits(digits);
        integerLength += digits.size() - before;
    }
    if (keep < 0)
        digits.append(static_cast<std::size_t>(-keep), '0');

    std::string text = negative ? "-" : "";
    text += digits.substr(0, integerLength);
    text += '.';
    std::string decimals = digits.substr(integerLength);
    decimals.resize(2, '0');
    text += decimals;
    return text;
}

SyncFlagDisplay syncFlagDisplay(unsigned syncKind, unsigned syncFlags) {
    SyncFlagDisplay display{"Serrate", "OnRGB", (syncFlags & 2u) != 0, (syncFlags & 1u) != 0};
    if (syncKind == 2) {
        display.flag2Caption = "Composite Polarity";
    } else if (syncKind == 3) {
        display.flag1Caption = "V Polarity (Positive)";
        display.flag2Caption = "H Polarity (Positive)";
    }
    return display;
}

} // namespace pellam
