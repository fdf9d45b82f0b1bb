#include "core/base_block/colour_and_timings.h"

#include "core/edid/decimal.h"
#include "core/edid/hex.h"

namespace pellam {

namespace {

std::size_t lowBitsOffset(int index) {
    return kChromaticityLowBitsOffset + static_cast<std::size_t>(index / 4);
}

// Red x and blue x sit in bits 7-6, the next coordinates below them.
unsigned lowBitsHigh(int index) {
    return 7u - 2u * static_cast<unsigned>(index % 4);
}

std::size_t standardTimingOffset(int entry) {
    return kStandardTimingOffset + 2 * static_cast<std::size_t>(entry);
}

// clang-format off
const EstablishedTimingBox kEstablishedTimingBoxes[] = {
        {"CheckBox_T17", 35, 7, " 720x 400 @70Hz IBM, VGA"},
        {"CheckBox_T16", 35, 6, " 720x 400 @88Hz IBM, VGA2"},
        {"CheckBox_T15", 35, 5, " 640x 480 @60Hz IBM, VGA"},
        {"CheckBox_T14", 35, 4, " 640x 480 @67Hz Apple "},
        {"CheckBox_T13", 35, 3, " 640x 480 @72Hz VESA"},
        {"CheckBox_T12", 35, 2, " 640x 480 @75Hz VESA"},
        {"CheckBox_T11", 35, 1, " 800x 600 @56Hz VESA"},
        {"CheckBox_T10", 35, 0, " 800x 600 @60Hz VESA"},
        {"CheckBox_T27", 36, 7, " 800x 600 @72Hz VESA "},
        {"CheckBox_T26", 36, 6, " 800x 600 @75Hz VESA"},
        {"CheckBox_T25", 36, 5, " 832x 624 @75Hz Apple"},
        {"CheckBox_T24", 36, 4, "1024x 768 @87Hz(I) IBM"},
        {"CheckBox_T23", 36, 3, "1024x 768 @60Hz VESA"},
        {"CheckBox_T22", 36, 2, "1024x 768 @70Hz VESA"},
        {"CheckBox_T21", 36, 1, "1024x 768 @75Hz VESA "},
        {"CheckBox_T20", 36, 0, "1280x1024@75Hz VESA"},
        {"CheckBox_T37", 37, 7, "1152x 870@75Hz  Apple"},
};
// clang-format on

// Digits only, then a number: the checks every typed standard-timing field passes.
StandardTimingEdit parseTimingNumber(std::string_view text, int& value) {
    if (!text.empty() && !isDigitsOnly(text))
        return StandardTimingEdit::NotDigits;
    const std::optional<std::int32_t> parsed = parseDecimalInt32(text);
    if (!parsed)
        return StandardTimingEdit::NotANumber;
    value = *parsed;
    return StandardTimingEdit::Written;
}

} // namespace

std::uint16_t chromaticityValue(const EdidImage& image, int index) {
    const unsigned high = lowBitsHigh(index);
    const unsigned low = getBitRange(image[lowBitsOffset(index)], high, high - 1);
    const std::size_t highOffset = kChromaticityHighOffset + static_cast<std::size_t>(index);
    return static_cast<std::uint16_t>((image[highOffset] << 2) | low);
}

void writeChromaticityValue(EdidImage& image, int index, std::uint16_t value) {
    const unsigned high = lowBitsHigh(index);
    image[kChromaticityHighOffset + static_cast<std::size_t>(index)] =
        static_cast<Byte>((value >> 2) & 0xFF);
    Byte& low = image[lowBitsOffset(index)];
    low = setBitRange(low, high, high - 1, value & 3u);
}

std::string chromaticityText(std::uint16_t value) {
    // Thousandths rounded half up: floor(v * 1000 / 1024 + 0.5), in integers.
    const unsigned thousandths = (value * 1000u + 512u) / 1024u;
    std::string text = "0.";
    text += static_cast<char>('0' + thousandths / 100);
    text += static_cast<char>('0' + thousandths / 10 % 10);
    text += static_cast<char>('0' + thousandths % 10);
    return text;
}

ChromaticityInput parseChromaticityText(std::string_view text) {
    ChromaticityInput input;
    const std::string_view head = text.substr(0, 5);
    for (std::size_t i = 0; i < head.size(); ++i) {
        const char c = head[i];
        const bool ok = i == 0 ? c == '0' : i == 1 ? c == '.' : (c >= '0' && c <= '9');
        if (!ok)
            return input;
    }
    input.valid = true;
    input.accepted = head;
    if (head.empty())
        return input;
    // The typed fraction in thousandths, missing digits counting as 0. Its
    // first 10 binary digits, truncated, are floor(t * 1024 / 1000); integer
    // arithmetic keeps 0.125 at exactly 128.
    unsigned thousandths = 0;
    for (std::size_t i = 2; i < 5; ++i)
        thousandths =
            thousandths * 10 + (i < head.size() ? static_cast<unsigned>(head[i] - '0') : 0u);
    input.value = static_cast<std::uint16_t>(thousandths * 1024u / 1000u);
    return input;
}

std::span<const EstablishedTimingBox> establishedTimingBoxes() {
    return kEstablishedTimingBoxes;
}

bool establishedTiming(const EdidImage& image, const EstablishedTimingBox& box) {
    return getBit(image[box.offset], box.bit);
}

void writeEstablishedTiming(EdidImage& image, const EstablishedTimingBox& box, bool on) {
    image[box.offset] = setBit(image[box.offset], box.bit, on);
}

StandardTiming decodeStandardTiming(const EdidImage& image, int entry) {
    const std::size_t offset = standardTimingOffset(entry);
    const Byte first = image[offset];
    const Byte second = image[offset + 1];
    StandardTiming timing;
    timing.used = !(first == 0x01 && second == 0x01);
    timing.horizontalPixels = (first + 31) * 8;
    timing.refreshHz = static_cast<int>(getBitRange(second, 5, 0)) + kMinRefreshHz;
    timing.aspect = static_cast<int>(getBitRange(second, 7, 6));
    return timing;
}

std::string standardTimingEditMessage(StandardTimingEdit result, std::string_view text) {
    switch (result) {
    case StandardTimingEdit::NotDigits:
        return kMsgStandardTimingInvalid;
    case StandardTimingEdit::NotANumber:
        return invalidIntegerMessage(text);
    case StandardTimingEdit::OutOfRange:
        return kMsgStandardTimingOutOfRange;
    case StandardTimingEdit::NotRepresentable:
        return kMsgStandardTimingPixels;
    case StandardTimingEdit::Written:
        break;
    }
    return {};
}

StandardTimingEdit writeStandardTimingPixels(EdidImage& image, int entry, std::string_view text) {
    int pixels = 0;
    const StandardTimingEdit parsed = parseTimingNumber(text, pixels);
    if (parsed != StandardTimingEdit::Written)
        return parsed;
    // First byte 0 is reserved; 1..255 stand for 256..2288 pixels in steps of 8.
    const int units = pixels / 8 - 31;
    if (units < 1 || units > 255 || pixels % 8 != 0)
        return StandardTimingEdit::NotRepresentable;
    image[standardTimingOffset(entry)] = static_cast<Byte>(units);
    return StandardTimingEdit::Written;
}

StandardTimingEdit writeStandardTimingRefresh(EdidImage& image, int entry, std::string_view text) {
    int hz = 0;
    const StandardTimingEdit parsed = parseTimingNumber(text, hz);
    if (parsed != StandardTimingEdit::Written)
        return parsed;
    if (hz < kMinRefreshHz || hz > kMaxRefreshHz)
        return StandardTimingEdit::OutOfRange;
    Byte& second = image[standardTimingOffset(entry) + 1];
    second = setBitRange(second, 5, 0, static_cast<unsigned>(hz - kMinRefreshHz));
    return StandardTimingEdit::Written;
}

void writeStandardTimingAspect(EdidImage& image, int entry, int aspect) {
    Byte& second = image[standardTimingOffset(entry) + 1];
    second = setBitRange(second, 7, 6, static_cast<unsigned>(aspect));
}

void markStandardTimingUnused(EdidImage& image, int entry) {
    image[standardTimingOffset(entry)] = 0x01;
    image[standardTimingOffset(entry) + 1] = 0x01;
}

} // namespace pellam
