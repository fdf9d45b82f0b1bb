// The kinds of EDID EEPROM a sink can carry and where each of their bytes
// sits on the bus. A 24C01 or 24C21 holds 128 bytes and ignores the top bit
// of its word address, so a write past 7Fh wraps onto its start. A 24C02
// holds 256. The 24C04, 24C08 and 24C16 hold 2, 4 or 8 blocks of 256 bytes,
// each block at its own slave address: the block number goes into bits 1..3
// of the device address (A0h, A2h, ...; the 24Cxx data sheets' P0..P2 bits).
// An E-DDC sink (VESA E-DDC) holds up to 128 segments of 256 bytes behind
// one slave address; the segment is chosen by writing it to the segment
// pointer at 60h (7-bit 30h), joined by a repeated start to the access that
// follows, since a stop resets the pointer to 0 on many sinks.
#pragma once

#include "core/edid/bits.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellam {

enum class EepromKind : std::int32_t { C01 = 0, C02 = 1, C04 = 2, C08 = 3, C16 = 4, EDdc = 5 };

inline constexpr std::array<EepromKind, 6> kEepromKinds = {
    EepromKind::C01, EepromKind::C02, EepromKind::C04,
    EepromKind::C08, EepromKind::C16, EepromKind::EDdc};

// The E-DDC segment pointer's 8-bit write address.
inline constexpr Byte kSegmentPointerAddress = 0x60;
// What one slave address (or one E-DDC segment) covers.
inline constexpr std::size_t kEepromChunkSize = 256;

// "24C01/24C21", "24C02", "24C04", "24C08", "24C16", "E-DDC".
std::string_view eepromKindName(EepromKind kind);
// A kind by the name a user types, in any case: 24C01, 24C21, 24LC21A,
// 24C02 ... 24C16, E-DDC or EDDC.
std::optional<EepromKind> eepromKindNamed(std::string_view name);
// The stored number (0..5) as a kind, if it is one.
std::optional<EepromKind> eepromKindFromNumber(std::int64_t number);

// Bytes the EEPROM holds: 128, 256, 512, 1024, 2048, or for E-DDC the 32 KiB
// that 128 segments address.
std::size_t eepromCapacity(EepromKind kind);
// The block-select bits of the device address: 0 for one block, 02h for the
// 24C04, 06h for the 24C08, 0Eh for the 24C16.
Byte blockSelectMask(EepromKind kind);

// Where an EEPROM address is on the bus.
struct EepromLocation {
    // The 8-bit write address: the base slave address with the block bits.
    Byte slave = 0xA0;
    // E-DDC: the segment written to the segment pointer first; none for
    // segment 0 (whose accesses are those of a plain 24C02, which a sink
    // without a segment pointer answers too).
    std::optional<Byte> segment;
    // The word address within the block or segment.
    Byte offset = 0;
    bool operator==(const EepromLocation&) const = default;
};

// The location of an address below the capacity. The base slave address's
// block bits are ignored (a 24C04 answers at A0h and A2h whatever is set).
EepromLocation eepromLocation(EepromKind kind, Byte baseSlave, std::size_t address);

// Empty when an image of that length fits the EEPROM; otherwise the refusal:
// "The image has 512 bytes (4 blocks); a 24C02 holds 256. Nothing was
// written."
std::string capacityProblem(EepromKind kind, std::size_t imageLength);

} // namespace pellam
