// Byte codecs of the data blocks the collection models. A reader takes one
// whole block (header byte first, exactly 1 + its payload length bytes) and
// fills its record, offset aside; it returns false, filling nothing, when the
// block is too short to hold the record's fields. A writer returns exactly
// `size` bytes, header first: fields cut at the block's end, and the bytes and
// bits no field holds as they were read (zeros for a block created later).
#pragma once

#include "core/cea/data_block_collection.h"

#include <span>
#include <vector>

namespace pellam {

using BlockBytes = std::span<const Byte>;

// Header byte: tag in bits 7..5, payload length in bits 4..0.
inline Byte dataBlockHeader(int tag, int size) {
    return static_cast<Byte>((tag & 7) << 5 | ((size - 1) & 31));
}

bool readVideoDataBlock(BlockBytes block, VideoDataBlock& video);
std::vector<Byte> writeVideoDataBlock(const VideoDataBlock& video);

bool readAudioDataBlock(BlockBytes block, AudioDataBlock& audio);
std::vector<Byte> writeAudioDataBlock(const AudioDataBlock& audio);
ShortAudioDescriptor decodeShortAudioDescriptor(Byte b0, Byte b1, Byte b2);
std::array<Byte, 3> encodeShortAudioDescriptor(const ShortAudioDescriptor& sad);

bool readSpeakerAllocationBlock(BlockBytes block, SpeakerAllocationBlock& speaker);
std::vector<Byte> writeSpeakerAllocationBlock(const SpeakerAllocationBlock& speaker);

// A tag-3 block whose payload starts with the HDMI OUI 03 0C 00.
bool isHdmiVsdb(BlockBytes block);
bool readHdmiVsdb(BlockBytes block, HdmiVsdb& vsdb);
std::vector<Byte> writeHdmiVsdb(const HdmiVsdb& vsdb);
// The code of the two 3D_Multi_present bits for the record's decimal form.
int threeDMultiPresentCode(int threeDMultiPresent);

bool readVideoCapabilityBlock(BlockBytes block, VideoCapabilityBlock& vcdb);
std::vector<Byte> writeVideoCapabilityBlock(const VideoCapabilityBlock& vcdb);

bool readColorimetryBlock(BlockBytes block, ColorimetryBlock& colorimetry);
std::vector<Byte> writeColorimetryBlock(const ColorimetryBlock& colorimetry);

} // namespace pellam
