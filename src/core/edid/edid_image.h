// The 256-byte EDID image: block 0 (the base EDID) at offsets 0..127 and
// block 1 (the first extension) at 128..255, each ending in its checksum.
#pragma once

#include "core/edid/bits.h"

#include <array>
#include <cstddef>

namespace pellam {

inline constexpr std::size_t kBlockSize = 128;
inline constexpr std::size_t kImageSize = 256;

// Offsets into the image that several parts of the program share.
inline constexpr std::size_t kVideoInputOffset = 20;
inline constexpr std::size_t kExtensionCountOffset = 126;
inline constexpr std::size_t kBlock0ChecksumOffset = 127;
inline constexpr std::size_t kBlock1Offset = 128;
inline constexpr std::size_t kBlock1ChecksumOffset = 255;

using EdidImage = std::array<Byte, kImageSize>;

// The byte that makes a block's 128 bytes sum to 0 modulo 256, computed from
// the block's first 127 bytes. block is 0 or 1.
Byte Checksum(const EdidImage& image, int block);

// Writes both checksum bytes (127 and 255) when autoChecksum is on, in either
// extension mode; does nothing otherwise.
void ApplyAutoChecksums(EdidImage& image, bool autoChecksum);

// The fixed 8-byte EDID header 00 FF FF FF FF FF FF 00 at offset 0.
bool hasEdidHeader(const EdidImage& image);

// 1 (DisplayPort) when the video input byte says digital (bit 7) and bit 0 or
// bit 2 is set, which covers the EDID 1.4 DisplayPort interface codes; else 0.
Byte displayPortModeFromImage(const EdidImage& image);

// The built-in images that New copies: EDID 1.3 for HDMI sinks, EDID 1.4 for
// DisplayPort sinks. They share block 1.
const EdidImage& hdmiDefaultImage();
const EdidImage& displayPortDefaultImage();

} // namespace pellam
