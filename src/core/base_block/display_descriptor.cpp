#include "core/base_block/display_descriptor.h"

#include "core/edid/decimal.h"
#include "core/edid/hex.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace pellam {

namespace {

constexpr Byte kTagSerialNumber = 0xFF;
constexpr Byte kTagAsciiString = 0xFE;
constexpr Byte kTagRangeLimits = 0xFD;
constexpr Byte kTagMonitorName = 0xFC;
constexpr Byte kTagWhitePoint = 0xFB;
constexpr Byte kTagStandardTimings = 0xFA;
constexpr Byte kTagDummy = 0x10;

constexpr Byte kLineFeed = 0x0A;
constexpr Byte kSpace = 0x20;

} // namespace

DtdSlot descriptorSlot(EdidImage& image, int slot) {
    if (slot < 1 || slot > kDescriptorSlotCount)
        throw std::out_of_range("descriptor slot");
    return DtdSlot(image.data() + descriptorSlotOffset(slot), kDtdSize);
}

DtdBytes descriptorSlot(const EdidImage& image, int slot) {
    if (slot < 1 || slot > kDescriptorSlotCount)
        throw std::out_of_range("descriptor slot");
    return DtdBytes(image.data() + descriptorSlotOffset(slot), kDtdSize);
}

DescriptorKind classifyDescriptor(DtdBytes slot) {
    if (isDetailedTiming(slot))
        return DescriptorKind::DetailedTiming;
    if (slot[2] != 0)
        return DescriptorKind::Malformed;
    const Byte tag = slot[3];
    switch (tag) {
    case kTagSerialNumber:
        return DescriptorKind::SerialNumber;
    case kTagAsciiString:
        return DescriptorKind::AsciiString;
    case kTagRangeLimits:
        return DescriptorKind::RangeLimits;
    case kTagMonitorName:
        return DescriptorKind::MonitorName;
    case kTagWhitePoint:
        return DescriptorKind::WhitePoint;
    case kTagStandardTimings:
        return DescriptorKind::StandardTimings;
    case kTagDummy:
        return DescriptorKind::Dummy;
    default:
        return tag < kTagDummy ? DescriptorKind::ManufacturerDefined : DescriptorKind::Undefined;
    }
}

bool isTextDescriptor(DescriptorKind kind) {
    return kind == DescriptorKind::SerialNumber || kind == DescriptorKind::AsciiString ||
           kind == DescriptorKind::MonitorName;
}

bool isEditableDisplayDescriptor(DescriptorKind kind) {
    return isTextDescriptor(kind) || kind == DescriptorKind::RangeLimits;
}

Byte descriptorTag(DescriptorKind kind) {
    switch (kind) {
    case DescriptorKind::SerialNumber:
        return kTagSerialNumber;
    case DescriptorKind::AsciiString:
        return kTagAsciiString;
    case DescriptorKind::RangeLimits:
        return kTagRangeLimits;
    case DescriptorKind::MonitorName:
        return kTagMonitorName;
    default:
        throw std::invalid_argument("not an editable descriptor kind");
    }
}

void setDescriptorKind(DtdSlot slot, DescriptorKind kind) {
    const Byte tag = descriptorTag(kind);
    slot[0] = 0;
    slot[1] = 0;
    slot[2] = 0;
    slot[3] = tag;
}

DescriptorTextBytes descriptorText(DtdBytes slot) {
    return slot.subspan<5, kDescriptorTextLength>();
}

DescriptorTextSlot descriptorText(DtdSlot slot) {
    return slot.subspan<5, kDescriptorTextLength>();
}

std::string decodeDescriptorText(DescriptorTextBytes payload) {
    std::string text;
    for (Byte b : payload) {
        if (b == kLineFeed)
            break;
        text.push_back(static_cast<char>(b));
    }
    return text;
}

void encodeDescriptorText(std::string_view text, DescriptorTextSlot payload) {
    const std::size_t length = std::min(text.size(), kDescriptorTextLength);
    for (std::size_t i = 0; i < kDescriptorTextLength; ++i) {
        if (i < length)
            payload[i] = static_cast<Byte>(text[i]);
        else
            payload[i] = i == length ? kLineFeed : kSpace;
    }
}

RangeLimits decodeRangeLimits(DtdBytes b) {
    RangeLimits r;
    r.minVerticalHz = b[5];
    r.maxVerticalHz = b[6];
    r.minHorizontalKHz = b[7];
    r.maxHorizontalKHz = b[8];
    r.maxPixelClockMHz = b[9] * 10;
    r.secondaryGtf = b[10] == kSecondaryGtf;
    r.gtfStartKHz = b[12] * 2;
    r.gtfC2 = b[13];
    // High byte first: the order this editor has always written.
    r.gtfM = b[14] * 256 + b[15];
    r.gtfK = b[16];
    r.gtfJ2 = b[17];
    return r;
}

namespace {

// What each range edit holds: its bounds and the step its byte counts in.
struct RangeField {
    std::int32_t max;
    std::int32_t step;
    const char* refusal;
};
constexpr RangeField kLimitFields[5] = {
    {255, 1, "Should be 0 ~ 255"},
    {255, 1, "Should be 0 ~ 255"},
    {255, 1, "Should be 0 ~ 255"},
    {255, 1, "Should be 0 ~ 255"},
    {2550, 10, "Should be 0 ~ 2550 MHz, a multiple of 10"},
};
constexpr RangeField kGtfFields[5] = {
    {510, 2, "Should be 0 ~ 510 KHz, a multiple of 2"},
    {255, 1, "Should be 0 ~ 255"},
    {65535, 1, "Should be 0 ~ 65535"},
    {255, 1, "Should be 0 ~ 255"},
    {255, 1, "Should be 0 ~ 255"},
};

// The value of one edit, or the message refusing it.
std::optional<std::int32_t> rangeValue(const std::string& text, const RangeField& field,
                                       bool emptyIsZero, std::string& refusal) {
    if (emptyIsZero && text.empty())
        return 0;
    const std::optional<std::int32_t> value = parseDecimalInt32(text);
    if (!value)
        refusal = invalidIntegerMessage(text);
    else if (*value < 0 || *value > field.max || *value % field.step != 0)
        refusal = field.refusal;
    else
        return value;
    return std::nullopt;
}

} // namespace

RangeLimitsWrite encodeRangeLimits(DtdSlot slot, const RangeLimitsTexts& texts,
                                   bool rewriteGtfBytes) {
    RangeLimitsWrite result;
    std::array<std::int32_t, 5> limits{};
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const auto value = rangeValue(texts.limits[i], kLimitFields[i], false, result.refusal);
        if (!value) {
            result.badText = texts.limits[i];
            return result;
        }
        limits[i] = *value;
    }
    const bool gtfBytesFollow =
        rewriteGtfBytes || slot[10] == kDefaultGtf || slot[10] == kSecondaryGtf;
    std::array<std::int32_t, 5> gtf{};
    if (gtfBytesFollow && texts.secondaryGtf) {
        for (std::size_t i = 0; i < gtf.size(); ++i) {
            // An empty edit writes 0.
            const auto value = rangeValue(texts.gtf[i], kGtfFields[i], true, result.refusal);
            if (!value) {
                result.badText = texts.gtf[i];
                return result;
            }
            gtf[i] = *value;
        }
    }

    for (std::size_t i = 0; i < 4; ++i)
        slot[5 + i] = static_cast<Byte>(limits[i]);
    slot[9] = static_cast<Byte>(limits[4] / 10);
    result.written = true;
    if (!gtfBytesFollow)
        return result;
    slot[10] = texts.secondaryGtf ? kSecondaryGtf : kDefaultGtf;
    if (!texts.secondaryGtf) {
        slot[11] = kLineFeed;
        for (std::size_t i = 12; i < kDtdSize; ++i)
            slot[i] = kSpace;
        return result;
    }
    slot[11] = 0x00;
    slot[12] = static_cast<Byte>(gtf[0] / 2);
    slot[13] = static_cast<Byte>(gtf[1]);
    slot[14] = static_cast<Byte>(gtf[2] >> 8);
    slot[15] = static_cast<Byte>(gtf[2] & 0xFF);
    slot[16] = static_cast<Byte>(gtf[3]);
    slot[17] = static_cast<Byte>(gtf[4]);
    return result;
}

} // namespace pellam
