#include "core/base_block/vendor_product.h"

#include "core/edid/decimal.h"
#include "core/edid/hex.h"

#include <cstdio>

namespace pellam {

namespace {

bool isUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first count characters of UTF-8 text.
std::string_view firstCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    std::size_t characters = 0;
    while (end < text.size()) {
        if (!isUtf8Continuation(text[end]) && characters++ == count)
            break;
        ++end;
    }
    return text.substr(0, end);
}

// Keeps the characters of text that keep() accepts (after map()), and the
// value of a complete code of length characters when nothing was dropped.
template <typename Keep, typename Map, typename Value>
TypedCode parseTypedCode(std::string_view text, std::size_t length, Keep keep, Map map,
                         Value value) {
    const std::string_view head = firstCharacters(text, length);
    TypedCode typed;
    bool dropped = false;
    for (char c : head) {
        const char mapped = map(c);
        if (keep(mapped))
            typed.shown += mapped;
        else
            dropped = true;
    }
    if (!dropped && typed.shown.size() == length)
        typed.value = value(typed.shown);
    return typed;
}

bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

std::string manufacturerIdProblem(std::string_view text) {
    return parseManufacturerIdText(text).value && text.size() == 3 ? std::string()
                                                                    : kMsgManufacturerId;
}

std::string productCodeProblem(std::string_view text) {
    return parseProductCodeText(text).value && text.size() == 4 ? std::string() : kMsgProductCode;
}

std::string serialNumberProblem(std::string_view text) {
    return parseSerialNumberText(text) ? std::string() : kMsgSerialNumber;
}

std::string revisionProblem(std::string_view text) {
    if (!parseDecimalInt32(text))
        return invalidIntegerMessage(text);
    return parseRevisionText(text) ? std::string() : kMsgRevision;
}

void writeEdidHeader(EdidImage& image) {
    image[0] = 0x00;
    for (std::size_t i = 1; i <= 6; ++i)
        image[i] = 0xFF;
    image[7] = 0x00;
}

std::string manufacturerIdText(const EdidImage& image) {
    const unsigned word = (image[kManufacturerIdOffset] << 8) | image[kManufacturerIdOffset + 1];
    std::string text;
    for (unsigned high : {14u, 9u, 4u}) {
        const unsigned code = getBitRange(word, high, high - 4);
        text += (code >= 1 && code <= 26) ? static_cast<char>('A' + code - 1) : 'A';
    }
    return text;
}

TypedCode parseManufacturerIdText(std::string_view text) {
    const auto upper = [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    };
    return parseTypedCode(text, 3, isLetter, upper, [](const std::string& letters) {
        return static_cast<std::uint16_t>(((letters[0] - '@') << 10) | ((letters[1] - '@') << 5) |
                                          (letters[2] - '@'));
    });
}

void writeManufacturerId(EdidImage& image, std::uint16_t word) {
    image[kManufacturerIdOffset] = static_cast<Byte>(word >> 8);
    image[kManufacturerIdOffset + 1] = static_cast<Byte>(word & 0xFF);
}

std::string productCodeText(const EdidImage& image) {
    return hexByte(image[kProductCodeOffset + 1]) + hexByte(image[kProductCodeOffset]);
}

TypedCode parseProductCodeText(std::string_view text) {
    const auto upper = [](char c) {
        return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 32) : c;
    };
    return parseTypedCode(text, 4, isHexDigit, upper, [](const std::string& digits) {
        unsigned code = 0;
        for (char d : digits)
            code = code * 16 + static_cast<unsigned>(hexDigitValue(d));
        return static_cast<std::uint16_t>(code);
    });
}

void writeProductCode(EdidImage& image, std::uint16_t code) {
    image[kProductCodeOffset] = static_cast<Byte>(code & 0xFF);
    image[kProductCodeOffset + 1] = static_cast<Byte>(code >> 8);
}

std::uint32_t serialNumber(const EdidImage& image) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | image[kSerialNumberOffset + static_cast<std::size_t>(i)];
    return value;
}

void writeSerialNumber(EdidWorkspace& ws, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        ws.image[kSerialNumberOffset + i] = static_cast<Byte>(value >> (8 * i));
    ws.serialNumberText = std::to_string(value);
}

std::optional<std::uint32_t> parseSerialNumberText(std::string_view text) {
    if (!isDigitsOnly(text) || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text)
        value = value * 10u + static_cast<std::uint64_t>(c - '0');
    if (value > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::uint32_t stepSerialNumber(std::uint32_t value, bool up) {
    if (up)
        return value == 0xFFFFFFFFu ? value : value + 1;
    return value == 0 ? value : value - 1;
}

WeekOfManufacture weekOfManufacture(const EdidImage& image, bool displayPort) {
    const Byte week = image[kWeekOffset];
    if (displayPort && week == kModelYearWeek)
        return {true, 0};
    return {false, week};
}

int yearOfManufacture(const EdidImage& image) {
    return kFirstYear + image[kYearOffset];
}

void writeYearOfManufacture(EdidImage& image, int year) {
    image[kYearOffset] = static_cast<Byte>(year - kFirstYear);
}

std::optional<Byte> parseRevisionText(std::string_view text) {
    const std::optional<std::int32_t> value = parseDecimalInt32(text);
    if (!value || *value < 0 || *value > 0xFF)
        return std::nullopt;
    return static_cast<Byte>(*value);
}

VideoInput decodeVideoInput(Byte value, bool displayPort) {
    VideoInput input;
    input.digital = getBit(value, 7);
    if (!input.digital) {
        input.signalLevel = static_cast<int>(getBitRange(value, 6, 5));
        input.blankToBlackSetup = getBit(value, 4);
        input.separateSync = getBit(value, 3);
        input.compositeSync = getBit(value, 2);
        input.syncOnGreen = getBit(value, 1);
        input.serration = getBit(value, 0);
    } else if (displayPort) {
        input.colourDepth = static_cast<int>(getBitRange(value, 6, 4));
        const int kind = static_cast<int>(getBitRange(value, 3, 0));
        input.interfaceKind = kind > kReservedInterfaceEntry ? kReservedInterfaceEntry : kind;
    } else {
        input.dfp1x = getBit(value, 0);
    }
    return input;
}

Byte encodeVideoInput(const VideoInput& input, bool displayPort, Byte previous) {
    const bool wasDigital = getBit(previous, 7);
    if (!input.digital) {
        Byte value = setBitRange(0, 6, 5, static_cast<unsigned>(input.signalLevel));
        value = setBit(value, 4, input.blankToBlackSetup);
        value = setBit(value, 3, input.separateSync);
        value = setBit(value, 2, input.compositeSync);
        value = setBit(value, 1, input.syncOnGreen);
        return setBit(value, 0, input.serration);
    }
    if (displayPort) {
        const unsigned depth =
            input.colourDepth < 0 ? 0u : static_cast<unsigned>(input.colourDepth);
        unsigned kind = input.interfaceKind < 0 ? 0u : static_cast<unsigned>(input.interfaceKind);
        // The last list entry stands for every reserved code; the code the
        // byte holds is kept rather than replaced by 6.
        const unsigned previousKind = getBitRange(previous, 3, 0);
        if (kind == kReservedInterfaceEntry && wasDigital && previousKind >= kind)
            kind = previousKind;
        Byte value = setBitRange(0x80, 6, 4, depth);
        return setBitRange(value, 3, 0, kind);
    }
    // EDID 1.3 digital: only bit 0 has a control here. Bits 6-1 of a byte
    // that is digital already (an EDID 1.4 colour depth and interface read
    // in HDMI mode) are kept; coming from analog they meant analog fields
    // and are cleared.
    const Byte base = wasDigital ? previous : Byte{0x80};
    return setBit(setBit(base, 7, true), 0, input.dfp1x);
}

std::string ratioText(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", ratio);
    return std::string(text).substr(0, 4);
}

ScreenSizeDisplay screenSizeDisplay(Byte horizontal, Byte vertical, bool displayPort) {
    ScreenSizeDisplay d;
    if (!displayPort || (horizontal != 0 && vertical != 0)) {
        d.groupCaption = "Image Size";
        d.horizontalCaption = "Max Hor. Size:";
        d.horizontalValue = std::to_string(horizontal);
        d.verticalCaption = "Max Ver. Size:";
        d.verticalValue = std::to_string(vertical);
        d.horizontalPosition = horizontal;
        d.verticalPosition = vertical;
        return d;
    }
    // EDID 1.4: one size byte of 0 turns the other into an aspect ratio.
    d.groupCaption = "Aspect Ratio";
    d.centimetres = false;
    d.horizontalCaption = "Undefined";
    d.horizontalValue = "Not Def.";
    d.verticalCaption = "Undefined";
    d.verticalValue = "Not Def.";
    d.horizontalEnabled = false;
    d.verticalEnabled = false;
    if (horizontal != 0) {
        d.horizontalCaption = "AR(Landcape)";
        d.horizontalValue = ratioText((horizontal + 99) / 99.99);
        d.horizontalEnabled = true;
        d.horizontalPosition = horizontal;
    } else if (vertical != 0) {
        d.verticalCaption = "AR(Portrait)";
        d.verticalValue = ratioText(99.99 / (vertical + 99));
        d.verticalEnabled = true;
        d.verticalPosition = vertical;
    }
    return d;
}

std::string gammaText(Byte value) {
    if (value == 0xFF)
        return "Not Def.";
    const int hundredths = value + 100;
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
    return text;
}

FeatureSupport decodeFeatureSupport(Byte value) {
    FeatureSupport f;
    f.standby = getBit(value, 7);
    f.suspend = getBit(value, 6);
    f.activeOff = getBit(value, 5);
    f.displayType = static_cast<int>(getBitRange(value, 4, 3));
    f.sRgb = getBit(value, 2);
    f.preferredTiming = getBit(value, 1);
    f.continuousFrequency = getBit(value, 0);
    return f;
}

Byte encodeFeatureSupport(const FeatureSupport& f) {
    Byte value = setBit(0, 7, f.standby);
    value = setBit(value, 6, f.suspend);
    value = setBit(value, 5, f.activeOff);
    value = setBitRange(value, 4, 3, static_cast<unsigned>(f.displayType));
    value = setBit(value, 2, f.sRgb);
    value = setBit(value, 1, true);
    return setBit(value, 0, f.continuousFrequency);
}

FeatureCaptions featureCaptions(bool displayPort, bool standby) {
    if (displayPort && standby)
        return {"Supported Color Format",
                {"RGB444", "RGB444_YUV444", "RGB444_YUV422", "RGB444_YUV444_YUV422"}};
    return {"Display Type", {"Mono/Gray Scale", "RGB color", "Non-RGB color", "Undefined"}};
}

const char* defaultGtfCaption(bool displayPort) {
    return displayPort ? "Cont. Freq" : "Default GTF";
}

void writeWeekOfManufacture(EdidImage& image, int week) {
    image[kWeekOffset] = static_cast<Byte>(week);
}

BasicParameters basicParameters(const EdidImage& image) {
    return {image[kVersionOffset], image[kRevisionOffset], image[kHorizontalSizeOffset],
            image[kVerticalSizeOffset], image[kGammaOffset]};
}

void writeRevision(EdidImage& image, Byte revision) {
    image[kRevisionOffset] = revision;
}

void writeHorizontalSize(EdidImage& image, Byte value) {
    image[kHorizontalSizeOffset] = value;
}

void writeVerticalSize(EdidImage& image, Byte value) {
    image[kVerticalSizeOffset] = value;
}

void writeGamma(EdidImage& image, Byte value) {
    image[kGammaOffset] = value;
}

VideoInput videoInput(const EdidImage& image, bool displayPort) {
    return decodeVideoInput(image[kVideoInputOffset], displayPort);
}

void writeVideoInput(EdidImage& image, const VideoInput& input, bool displayPort) {
    Byte& byte = image[kVideoInputOffset];
    byte = encodeVideoInput(input, displayPort, byte);
}

FeatureSupport featureSupport(const EdidImage& image) {
    return decodeFeatureSupport(image[kFeatureSupportOffset]);
}

void writeFeatureSupport(EdidImage& image, const FeatureSupport& features) {
    image[kFeatureSupportOffset] = encodeFeatureSupport(features);
}

} // namespace pellam
