// Bit helpers that count bits the way the VESA and CTA tables do: bit 7 is the
// most significant bit of a byte, ranges are given high..low, both inclusive.
#pragma once

#include <cstdint>

namespace pellam {

using Byte = std::uint8_t;

// Bits high..low of value, shifted down to bit 0.
constexpr unsigned getBitRange(unsigned value, unsigned high, unsigned low) {
    return (value >> low) & ((1u << (high - low + 1)) - 1u);
}

constexpr bool getBit(unsigned value, unsigned bit) {
    return ((value >> bit) & 1u) != 0;
}

// value with bits high..low replaced by field (cut to the range's width).
constexpr Byte setBitRange(Byte value, unsigned high, unsigned low, unsigned field) {
    const unsigned mask = ((1u << (high - low + 1)) - 1u) << low;
    return static_cast<Byte>((value & ~mask) | ((field << low) & mask));
}

constexpr Byte setBit(Byte value, unsigned bit, bool on) {
    return setBitRange(value, bit, bit, on ? 1u : 0u);
}

} // namespace pellam
