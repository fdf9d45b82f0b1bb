// Vendor and product identification and the basic display parameters of
// block 0 (VESA E-EDID bytes 0..24): the rules by which the "B0/信息" page
// shows these bytes and writes what the user changes. EDID 1.3 is read in
// HDMI mode, EDID 1.4 in DisplayPort mode.
#pragma once

#include "core/edid/edid_image.h"
#include "core/edid/workspace.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellam {

inline constexpr std::size_t kManufacturerIdOffset = 8; // 2 bytes, big-endian
inline constexpr std::size_t kProductCodeOffset = 10;   // 2 bytes, little-endian
inline constexpr std::size_t kSerialNumberOffset = 12;  // 4 bytes, little-endian
inline constexpr std::size_t kWeekOffset = 16;
inline constexpr std::size_t kYearOffset = 17;
inline constexpr std::size_t kVersionOffset = 18;
inline constexpr std::size_t kRevisionOffset = 19;
inline constexpr std::size_t kHorizontalSizeOffset = 21;
inline constexpr std::size_t kVerticalSizeOffset = 22;
inline constexpr std::size_t kGammaOffset = 23;
inline constexpr std::size_t kFeatureSupportOffset = 24;

inline constexpr int kFirstYear = 1990;
inline constexpr int kLastWeek = 53;
// DisplayPort (EDID 1.4): week 255 says that the year is a model year.
inline constexpr Byte kModelYearWeek = 0xFF;

inline constexpr const char* kMsgManufacturerId = "Should be 3 letters A ~ Z";
inline constexpr const char* kMsgProductCode = "Should be 4 hexadecimal digits 0 ~ F";
inline constexpr const char* kMsgSerialNumber = "Should be 0 ~ 4294967295";
inline constexpr const char* kMsgRevision = "Should be 0 ~ 255";

// Why a finished edit of the field would be refused; empty when its text is
// taken as it stands.
std::string manufacturerIdProblem(std::string_view text);
std::string productCodeProblem(std::string_view text);
std::string serialNumberProblem(std::string_view text);
std::string revisionProblem(std::string_view text);

// Writes 00 FF FF FF FF FF FF 00 into bytes 0..7.
void writeEdidHeader(EdidImage& image);

// A letter code or a hexadecimal code as the user types it: the text the
// field keeps once rejected characters are removed, and the value to write,
// present only when the field held a complete code and nothing was removed.
struct TypedCode {
    std::string shown;
    std::optional<std::uint16_t> value;
};

// Three letters of five bits each (1 = A .. 26 = Z); a code of 0 or above 26
// shows as A.
std::string manufacturerIdText(const EdidImage& image);
// Keeps the letters A..Z of the first three characters (a..z count as their
// upper-case letters: the field is upper-case only).
TypedCode parseManufacturerIdText(std::string_view text);
void writeManufacturerId(EdidImage& image, std::uint16_t word);

// Four upper-case hexadecimal digits, most significant nibble first.
std::string productCodeText(const EdidImage& image);
// Keeps the hexadecimal digits of the first four characters (a..f count as
// A..F); four of them make the code, each digit one nibble.
TypedCode parseProductCodeText(std::string_view text);
void writeProductCode(EdidImage& image, std::uint16_t code);

std::uint32_t serialNumber(const EdidImage& image);
// Bytes 12..15 and the workspace's decimal serial number text.
void writeSerialNumber(EdidWorkspace& ws, std::uint32_t value);
// A decimal serial number: digits only, up to 4294967295; nothing for any
// other text (the empty text included), which is never cut to 32 bits.
std::optional<std::uint32_t> parseSerialNumberText(std::string_view text);
// One step of the up-down arrows, held at 0 and at FFFFFFFFh.
std::uint32_t stepSerialNumber(std::uint32_t value, bool up);

struct WeekOfManufacture {
    bool modelYear = false; // DisplayPort mode, week byte 255
    int week = 0;           // the byte when not a model year: 0 "not specified", 1..53
};
// Reads the week as stored: showing it never changes the image (week 0 means
// "not specified" in EDID 1.3 and 1.4 alike).
WeekOfManufacture weekOfManufacture(const EdidImage& image, bool displayPort);
int yearOfManufacture(const EdidImage& image);
void writeYearOfManufacture(EdidImage& image, int year);
// The week byte as the scroll bar sets it (1..53).
void writeWeekOfManufacture(EdidImage& image, int week);

// Version and revision (bytes 18, 19), screen size or aspect ratio (bytes
// 21, 22) and gamma (byte 23), as stored.
struct BasicParameters {
    Byte version = 0;
    Byte revision = 0;
    Byte horizontalSize = 0;
    Byte verticalSize = 0;
    Byte gamma = 0;
};
BasicParameters basicParameters(const EdidImage& image);
void writeRevision(EdidImage& image, Byte revision);
void writeHorizontalSize(EdidImage& image, Byte value);
void writeVerticalSize(EdidImage& image, Byte value);
void writeGamma(EdidImage& image, Byte value);

// The revision byte from the field's integer value; nothing when the text is
// not an integer or not a byte (0..255; the caller reports it).
std::optional<Byte> parseRevisionText(std::string_view text);

// Video input definition, byte 20.
struct VideoInput {
    bool digital = false;
    // Analog: signal level (bits 6-5) and the five flags of bits 4..0.
    int signalLevel = 0;
    bool blankToBlackSetup = false;
    bool separateSync = false;
    bool compositeSync = false;
    bool syncOnGreen = false;
    bool serration = false;
    // Digital, EDID 1.3 (HDMI mode): bit 0.
    bool dfp1x = false;
    // Digital, EDID 1.4 (DisplayPort mode): list indices; -1 when no entry
    // is chosen, which counts as 0.
    int colourDepth = 0;   // bits 6-4, entries 0..7
    int interfaceKind = 0; // bits 3-0, entries 0..6 (6: every value above 5)
};
inline constexpr int kReservedInterfaceEntry = 6;

VideoInput decodeVideoInput(Byte value, bool displayPort);
// The byte for the fields. Bits no field covers keep their value from
// previous: bits 6-1 of an EDID 1.3 digital byte stay as they were when the
// byte was digital already, and a reserved interface code (above 5) stays
// while the interface list shows the reserved entry.
Byte encodeVideoInput(const VideoInput& input, bool displayPort, Byte previous);
VideoInput videoInput(const EdidImage& image, bool displayPort);
// Encodes the fields into byte 20 over what it holds now.
void writeVideoInput(EdidImage& image, const VideoInput& input, bool displayPort);

// Screen size or aspect ratio, bytes 21 and 22, as the size group shows them.
struct ScreenSizeDisplay {
    std::string groupCaption;
    std::string horizontalCaption; // Label9
    std::string horizontalValue;   // Label_Hcm
    std::string verticalCaption;   // Label10
    std::string verticalValue;     // Label_Vcm
    bool horizontalEnabled = true;
    bool verticalEnabled = true;
    bool centimetres = true; // the "cm" labels are shown
    int horizontalPosition = 0;
    int verticalPosition = 0;
};
ScreenSizeDisplay screenSizeDisplay(Byte horizontal, Byte vertical, bool displayPort);
// The first four characters of the number's shortest decimal form, taken to
// 15 significant digits (99.99 / 303 shows 0.33, not 0.32).
std::string ratioText(double ratio);

// "Not Def." for 255, else (byte + 100) / 100 with two decimals.
std::string gammaText(Byte value);

// Feature support, byte 24.
struct FeatureSupport {
    bool standby = false;
    bool suspend = false;
    bool activeOff = false;
    int displayType = 0; // bits 4-3
    bool sRgb = false;
    bool preferredTiming = false;
    bool continuousFrequency = false; // bit 0: default GTF in EDID 1.3
};
FeatureSupport decodeFeatureSupport(Byte value);
// The preferred-timing bit (bit 1) is always set: it is required by
// EDID 1.3 and 1.4 alike.
Byte encodeFeatureSupport(const FeatureSupport& features);
FeatureSupport featureSupport(const EdidImage& image);
void writeFeatureSupport(EdidImage& image, const FeatureSupport& features);

struct FeatureCaptions {
    const char* group;
    std::array<const char*, 4> displayTypes; // by the code of bits 4-3
};
FeatureCaptions featureCaptions(bool displayPort, bool standby);
const char* defaultGtfCaption(bool displayPort);

} // namespace pellam
