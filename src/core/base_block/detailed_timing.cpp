#include "core/base_block/detailed_timing.h"

#include <cmath>
#include <stdexcept>

namespace pellam {

namespace {

std::uint16_t low8WithHigh(Byte low, unsigned high, unsigned highShift) {
    return static_cast<std::uint16_t>(low | (high << highShift));
}

} // namespace

std::uint16_t& DetailedTiming::geometry(int number) {
    switch (number) {
    case 1:
        return hActive;
    case 2:
        return hBlanking;
    case 3:
        return hSyncOffset;
    case 4:
        return hSyncWidth;
    case 5:
        return hImageSize;
    case 6:
        return hBorder;
    case 7:
        return vActive;
    case 8:
        return vBlanking;
    case 9:
        return vSyncOffset;
    case 10:
        return vSyncWidth;
    case 11:
        return vImageSize;
    case 12:
        return vBorder;
    default:
        throw std::out_of_range("geometry field number");
    }
}

std::uint16_t DetailedTiming::geometry(int number) const {
    return const_cast<DetailedTiming*>(this)->geometry(number);
}

DetailedTiming decodeDetailedTiming(DtdBytes b) {
    DetailedTiming t;
    // One rounding only: the product is exact enough in double, then stored
    // as the 32-bit float the editors show.
    t.pixelClock = static_cast<float>((b[0] + 256.0 * b[1]) * 0.01);
    t.hActive = low8WithHigh(b[2], getBitRange(b[4], 7, 4), 8);
    t.hBlanking = low8WithHigh(b[3], getBitRange(b[4], 3, 0), 8);
    t.vActive = low8WithHigh(b[5], getBitRange(b[7], 7, 4), 8);
    t.vBlanking = low8WithHigh(b[6], getBitRange(b[7], 3, 0), 8);
    t.hSyncOffset = low8WithHigh(b[8], getBitRange(b[11], 7, 6), 8);
    t.hSyncWidth = low8WithHigh(b[9], getBitRange(b[11], 5, 4), 8);
    t.vSyncOffset =
        static_cast<std::uint16_t>(getBitRange(b[10], 7, 4) | getBitRange(b[11], 3, 2) << 4);
    t.vSyncWidth =
        static_cast<std::uint16_t>(getBitRange(b[10], 3, 0) | getBitRange(b[11], 1, 0) << 4);
    t.hImageSize = low8WithHigh(b[12], getBitRange(b[14], 7, 4), 8);
    t.vImageSize = low8WithHigh(b[13], getBitRange(b[14], 3, 0), 8);
    t.hBorder = b[15];
    t.vBorder = b[16];
    const Byte flags = b[17];
    t.interlaced = getBit(flags, 7) ? 1 : 0;
    const unsigned stereo = getBitRange(flags, 6, 5) * 2 + getBitRange(flags, 0, 0);
    t.stereoMode = static_cast<std::uint16_t>(stereo == 0 ? 1 : stereo);
    t.syncKind = static_cast<std::uint16_t>(getBitRange(flags, 4, 3));
    t.syncFlags = static_cast<std::uint16_t>(getBitRange(flags, 2, 1));
    return t;
}

std::uint16_t pixelClockWord(float pixelClockMHz) {
    // Nearest 10 kHz, halves away from zero, low 16 bits kept.
    const double word = std::round(static_cast<double>(pixelClockMHz) * 100.0);
    if (!std::isfinite(word))
        return 0;
    double low16 = std::fmod(word, 65536.0);
    if (low16 < 0)
        low16 += 65536.0;
    return static_cast<std::uint16_t>(low16);
}

void encodeDetailedTiming(const DetailedTiming& t, DtdSlot slot) {
    const Byte oldFlags = slot[17];
    const std::uint16_t clock = pixelClockWord(t.pixelClock);
    const auto low = [](unsigned value) { return static_cast<Byte>(value & 0xFF); };
    const auto nibble = [](unsigned high, unsigned low4) {
        return static_cast<Byte>((high & 0x0F) << 4 | (low4 & 0x0F));
    };
    slot[0] = low(clock);
    slot[1] = low(clock >> 8);
    slot[2] = low(t.hActive);
    slot[3] = low(t.hBlanking);
    slot[4] = nibble(t.hActive >> 8, t.hBlanking >> 8);
    slot[5] = low(t.vActive);
    slot[6] = low(t.vBlanking);
    slot[7] = nibble(t.vActive >> 8, t.vBlanking >> 8);
    slot[8] = low(t.hSyncOffset);
    slot[9] = low(t.hSyncWidth);
    slot[10] = nibble(t.vSyncOffset, t.vSyncWidth);
    slot[11] = static_cast<Byte>((t.hSyncOffset >> 8 & 3) << 6 | (t.hSyncWidth >> 8 & 3) << 4 |
                                 (t.vSyncOffset >> 4 & 3) << 2 | (t.vSyncWidth >> 4 & 3));
    slot[12] = low(t.hImageSize);
    slot[13] = low(t.vImageSize);
    slot[14] = nibble(t.hImageSize >> 8, t.vImageSize >> 8);
    slot[15] = low(t.hBorder);
    slot[16] = low(t.vBorder);
    const unsigned stereoBit0 = t.stereoMode == 1 ? (oldFlags & 1u) : (t.stereoMode & 1u);
    slot[17] = static_cast<Byte>((t.interlaced & 1u) << 7 | (t.stereoMode & 6u) << 4 |
                                 (t.syncKind & 3u) << 3 | (t.syncFlags & 3u) << 1 | stereoBit0);
}

} // namespace pellam
