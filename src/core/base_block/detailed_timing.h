// The 18-byte detailed timing descriptor (VESA E-EDID 3.10.2) and its codec.
#pragma once

#include "core/edid/bits.h"

#include <array>
#include <cstdint>
#include <span>

namespace pellam {

inline constexpr std::size_t kDtdSize = 18;

using DtdBytes = std::span<const Byte, kDtdSize>;
using DtdSlot = std::span<Byte, kDtdSize>;

// One decoded descriptor. The twelve geometry fields are numbered 1 to 12 in
// declaration order; the editors address them by that number.
struct DetailedTiming {
    std::int32_t slotOffset = 0;   // image offset of the descriptor (block-1 records)
    float pixelClock = 0.0f;       // MHz
    std::uint16_t hActive = 0;     // 1: 12 bits
    std::uint16_t hBlanking = 0;   // 2: 12 bits
    std::uint16_t hSyncOffset = 0; // 3: 10 bits
    std::uint16_t hSyncWidth = 0;  // 4: 10 bits
    std::uint16_t hImageSize = 0;  // 5: mm, 12 bits
    std::uint16_t hBorder = 0;     // 6: 8 bits
    std::uint16_t vActive = 0;     // 7: 12 bits (lines per field when interlaced)
    std::uint16_t vBlanking = 0;   // 8: 12 bits
    std::uint16_t vSyncOffset = 0; // 9: 6 bits
    std::uint16_t vSyncWidth = 0;  // 10: 6 bits
    std::uint16_t vImageSize = 0;  // 11: mm, 12 bits
    std::uint16_t vBorder = 0;     // 12: 8 bits
    std::uint16_t interlaced = 0;
    // 1 normal (no stereo), 2..7 the stereo modes of byte 17 bits 6, 5 and 0.
    std::uint16_t stereoMode = 0;
    // 0 analog composite, 1 bipolar analog composite, 2 digital composite,
    // 3 digital separate.
    std::uint16_t syncKind = 0;
    // bit 1 = byte 17 bit 2, bit 0 = byte 17 bit 1.
    std::uint16_t syncFlags = 0;

    static constexpr int kGeometryFieldCount = 12;
    // Geometry field 1..12.
    std::uint16_t& geometry(int number);
    std::uint16_t geometry(int number) const;

    bool operator==(const DetailedTiming&) const = default;
};

// The detailed timings of block 1, in block order (at most 6 fit).
struct ExtensionTimingList {
    static constexpr int kCapacity = 8;
    std::array<DetailedTiming, kCapacity> timings{};
    int count = 0;

    bool operator==(const ExtensionTimingList&) const = default;
};

// One record per block-0 descriptor slot 1..4 (offsets 54, 72, 90, 108); a
// record means something only while its slot holds a detailed timing.
using BaseTimingList = std::array<DetailedTiming, 4>;

// A slot holds a detailed timing when its pixel clock word is not zero;
// otherwise it is a display descriptor.
inline bool isDetailedTiming(DtdBytes bytes) {
    return bytes[0] != 0 || bytes[1] != 0;
}

// Decodes every field but slotOffset, which is left 0.
DetailedTiming decodeDetailedTiming(DtdBytes bytes);

// Writes all 18 bytes of the slot. Fields wider than their place keep only
// the low bits that fit. With stereo mode 1 (normal), byte 17 bit 0 has no
// meaning and is kept from the slot's previous byte 17.
void encodeDetailedTiming(const DetailedTiming& timing, DtdSlot slot);

// The clock word (units of 10 kHz) that encodeDetailedTiming writes.
std::uint16_t pixelClockWord(float pixelClockMHz);

} // namespace pellam
