// Colour characteristics, established timings and standard timings of block 0
// (VESA E-EDID bytes 25..53): the rules by which the "B0/Timing" page shows
// these bytes and writes what the user changes.
#pragma once

#include "core/edid/edid_image.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pellam {

inline constexpr const char* kMsgChromaticityInvalid = "Invalid Data";
inline constexpr const char* kMsgStandardTimingInvalid = "Invalid data";
inline constexpr const char* kMsgStandardTimingOutOfRange = "Out of Range";
inline constexpr const char* kMsgStandardTimingPixels = "Should be 256 ~ 2288, a multiple of 8";

// The eight chromaticity coordinates, in the order of their high bytes
// (27..34): red x, red y, green x, green y, blue x, blue y, white x, white y.
inline constexpr int kChromaticityCount = 8;
inline constexpr std::size_t kChromaticityLowBitsOffset = 25; // 25: red, green; 26: blue, white
inline constexpr std::size_t kChromaticityHighOffset = 27;

// The 10-bit binary fraction v (value = v / 1024) of coordinate index.
std::uint16_t chromaticityValue(const EdidImage& image, int index);
// Writes the high 8 bits and the coordinate's two bits of byte 25 or 26,
// leaving the other bits of that byte alone.
void writeChromaticityValue(EdidImage& image, int index, std::uint16_t value);
// "0." and the thousandths rounded half up, three digits (655 shows 0.640).
std::string chromaticityText(std::uint16_t value);

struct ChromaticityInput {
    // The first five characters follow "0.ddd" (a shorter text is a prefix of it).
    bool valid = false;
    std::string accepted; // those characters, the text the edit keeps
    // The first 10 bits of the decimal fraction, truncated; absent for an
    // empty text, which has no value to write.
    std::optional<std::uint16_t> value;
};
ChromaticityInput parseChromaticityText(std::string_view text);

// The 17 established-timing bits: byte 35 bits 7..0, byte 36 bits 7..0 and
// byte 37 bit 7 (bits 6..0 of byte 37 are the manufacturer's timings).
struct EstablishedTimingBox {
    const char* name; // the page's check box
    std::size_t offset;
    unsigned bit;
    const char* caption;
};
std::span<const EstablishedTimingBox> establishedTimingBoxes();
bool establishedTiming(const EdidImage& image, const EstablishedTimingBox& box);
// Sets or clears the box's bit and no other.
void writeEstablishedTiming(EdidImage& image, const EstablishedTimingBox& box, bool on);

// Eight standard timings of two bytes from byte 38; 01 01 marks an unused one.
inline constexpr std::size_t kStandardTimingOffset = 38;
inline constexpr int kStandardTimingCount = 8;
inline constexpr int kMinRefreshHz = 60;
inline constexpr int kMaxRefreshHz = 123;

// Aspect ratio codes of bits 7-6 of the second byte.
enum StandardTimingAspect : int {
    kAspect16x10 = 0,
    kAspect4x3 = 1,
    kAspect5x4 = 2,
    kAspect16x9 = 3
};

struct StandardTiming {
    bool used = false;
    int horizontalPixels = 256; // (first byte + 31) x 8
    int refreshHz = 61;         // (second byte bits 5-0) + 60
    int aspect = kAspect16x10;
};
StandardTiming decodeStandardTiming(const EdidImage& image, int entry);

enum class StandardTimingEdit {
    Written,
    NotDigits,       // "Invalid data"
    NotANumber,      // an empty or too long number: a conversion error
    OutOfRange,      // "Out of Range"
    NotRepresentable // a pixel count the first byte cannot hold: nothing written
};
// The message a refused edit shows; empty for Written.
std::string standardTimingEditMessage(StandardTimingEdit result, std::string_view text);
// Pixel count / 8 - 31 into the first byte. Counts the byte cannot hold
// exactly (outside 256..2288, or not a multiple of 8) are not written: they
// would wrap around the byte (100 would read back as 2144) or be cut.
StandardTimingEdit writeStandardTimingPixels(EdidImage& image, int entry, std::string_view text);
// Refresh rate 60..123 into bits 5-0 of the second byte; bits 7-6 kept.
StandardTimingEdit writeStandardTimingRefresh(EdidImage& image, int entry, std::string_view text);
// Aspect code into bits 7-6 of the second byte; bits 5-0 kept.
void writeStandardTimingAspect(EdidImage& image, int entry, int aspect);
// Writes 01 01.
void markStandardTimingUnused(EdidImage& image, int entry);

} // namespace pellam
