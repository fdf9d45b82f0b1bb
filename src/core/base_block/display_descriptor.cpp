#include "core/base_block/display_descriptor.h"

#include "core/edid/decimal.h"

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

Byte low8(std::int32_t value) {
    return static_cast<Byte>(static_cast<std::uint32_t>(value) & 0xFF);
}

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

RangeLimitsWrite encodeRangeLimits(DtdSlot slot, const RangeLimitsTexts& texts) {
    RangeLimitsWrite result;
    std::array<std::int32_t, 5> limits{};
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const std::optional<std::int32_t> value = parseDecimalInt32(texts.limits[i]);
        if (!value) {
            result.badText = texts.limits[i];
            return result;
        }
        limits[i] = *value;
    }
    const bool gtfBytesFollow = slot[10] == kDefaultGtf || slot[10] == kSecondaryGtf;
    std::array<std::int32_t, 5> gtf{};
    if (gtfBytesFollow && texts.secondaryGtf) {
        for (std::size_t i = 0; i < gtf.size(); ++i) {
            if (texts.gtf[i].empty())
                continue; // an empty edit writes 0
            const std::optional<std::int32_t> value = parseDecimalInt32(texts.gtf[i]);
            if (!value) {
                result.badText = texts.gtf[i];
                return result;
            }
            gtf[i] = *value;
        }
    }

    for (std::size_t i = 0; i < 4; ++i)
        slot[5 + i] = low8(limits[i]);
    slot[9] = low8(limits[4] / 10);
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
    slot[12] = low8(gtf[0] / 2);
    slot[13] = low8(gtf[1]);
    slot[14] = low8(gtf[2] >> 8);
    slot[15] = low8(gtf[2]);
    slot[16] = low8(gtf[3]);
    slot[17] = low8(gtf[4]);
    return result;
}

} // namespace pellam
