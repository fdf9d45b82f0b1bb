#include "core/cea/data_block_codecs.h"

#include "core/cea/modern_blocks.h"

#include <algorithm>

namespace pellam {

namespace {

int payloadLength(BlockBytes block) {
    return static_cast<int>(block.size()) - 1;
}

// The block's bytes as a writer starts them: header, then the payload as
// read resized to the record's size (new bytes zero).
std::vector<Byte> startBlock(int tag, int size, const std::vector<Byte>& payloadAsRead) {
    std::vector<Byte> out;
    if (size < 1)
        return out;
    out.reserve(static_cast<std::size_t>(size));
    out.push_back(dataBlockHeader(tag, size));
    out.insert(out.end(), payloadAsRead.begin(), payloadAsRead.end());
    out.resize(static_cast<std::size_t>(size), 0);
    return out;
}

// Cuts or pads a block to exactly `size` bytes.
std::vector<Byte> fitToSize(std::vector<Byte> out, int size) {
    out.resize(static_cast<std::size_t>(std::max(size, 0)), 0);
    return out;
}

} // namespace

bool readVideoDataBlock(BlockBytes block, VideoDataBlock& video) {
    const int len = payloadLength(block);
    if (len > VideoDataBlock::kMaxSvds)
        return false;
    video = {};
    video.present = true;
    video.size = len + 1;
    video.svdCount = len;
    for (int k = 0; k < len; ++k) {
        const ShortVideoCode code = decodeSvd(block[static_cast<std::size_t>(1 + k)]);
        video.svds[static_cast<std::size_t>(k)] = {code.native, code.vic};
    }
    return true;
}

std::vector<Byte> writeVideoDataBlock(const VideoDataBlock& video) {
    std::vector<Byte> out{dataBlockHeader(kTagVideo, video.size)};
    const int count = std::clamp(video.svdCount, 0, VideoDataBlock::kMaxSvds);
    for (int k = 0; k < count; ++k) {
        const ShortVideoDescriptor& svd = video.svds[static_cast<std::size_t>(k)];
        out.push_back(encodeSvd({svd.vic, svd.native}));
    }
    return fitToSize(std::move(out), video.size);
}

ShortAudioDescriptor decodeShortAudioDescriptor(Byte b0, Byte b1, Byte b2) {
    ShortAudioDescriptor sad;
    sad.asRead = {b0, b1, b2};
    sad.formatCode = static_cast<int>(getBitRange(b0, 6, 3));
    sad.channels = static_cast<int>(getBitRange(b0, 2, 0)) + 1;
    sad.sampleRates = b1;
    if (sad.formatCode == 1)
        sad.lpcmSizes = b2 & 7;
    else if (sad.formatCode >= 2 && sad.formatCode <= 8)
        sad.formatValue = b2 * 8;
    else if (sad.formatCode >= 9 && sad.formatCode <= 13)
        sad.formatValue = b2;
    else if (sad.formatCode == 14)
        sad.formatValue = b2 & 7;
    return sad;
}

std::array<Byte, 3> encodeShortAudioDescriptor(const ShortAudioDescriptor& sad) {
    const auto& raw = sad.asRead;
    std::array<Byte, 3> out;
    out[0] = static_cast<Byte>((raw[0] & 0x80) | ((sad.formatCode << 3) & 0x78) |
                               ((sad.channels - 1) & 7));
    out[1] = static_cast<Byte>((raw[1] & 0x80) | (sad.sampleRates & 0x7F));
    const int code = sad.formatCode;
    if (code == 1)
        out[2] = static_cast<Byte>((raw[2] & ~7) | (sad.lpcmSizes & 7));
    else if (code >= 2 && code <= 8)
        out[2] = static_cast<Byte>(sad.formatValue / 8);
    else if (code >= 9 && code <= 13)
        out[2] = static_cast<Byte>(sad.formatValue & 0xFF);
    else if (code == 14)
        out[2] = static_cast<Byte>((raw[2] & ~7) | (sad.formatValue & 7));
    else
        out[2] = raw[2]; // codes 0 and 15: the byte has no field here
    return out;
}

bool readAudioDataBlock(BlockBytes block, AudioDataBlock& audio) {
    const int len = payloadLength(block);
    audio = {};
    audio.present = true;
    audio.size = len + 1;
    audio.sadCount = len / 3;
    for (int k = 0; k < audio.sadCount; ++k) {
        const std::size_t at = static_cast<std::size_t>(1 + 3 * k);
        audio.sads[static_cast<std::size_t>(k)] =
            decodeShortAudioDescriptor(block[at], block[at + 1], block[at + 2]);
    }
    const auto trailingStart = block.begin() + 1 + 3 * audio.sadCount;
    audio.trailing.assign(trailingStart, block.end());
    return true;
}

std::vector<Byte> writeAudioDataBlock(const AudioDataBlock& audio) {
    std::vector<Byte> out{dataBlockHeader(kTagAudio, audio.size)};
    const int count = std::clamp(audio.sadCount, 0, AudioDataBlock::kMaxSads);
    for (int k = 0; k < count; ++k) {
        const auto bytes = encodeShortAudioDescriptor(audio.sads[static_cast<std::size_t>(k)]);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    out.insert(out.end(), audio.trailing.begin(), audio.trailing.end());
    return fitToSize(std::move(out), audio.size);
}

bool readSpeakerAllocationBlock(BlockBytes block, SpeakerAllocationBlock& speaker) {
    if (payloadLength(block) < 1)
        return false;
    speaker = {};
    speaker.present = true;
    speaker.size = static_cast<int>(block.size());
    speaker.allocation = block[1] & 0x7F;
    speaker.payload.assign(block.begin() + 1, block.end());
    return true;
}

std::vector<Byte> writeSpeakerAllocationBlock(const SpeakerAllocationBlock& speaker) {
    std::vector<Byte> out = startBlock(kTagSpeakerAllocation, speaker.size, speaker.payload);
    if (out.size() > 1)
        out[1] = static_cast<Byte>((out[1] & 0x80) | (speaker.allocation & 0x7F));
    return out;
}

bool readVideoCapabilityBlock(BlockBytes block, VideoCapabilityBlock& vcdb) {
    if (payloadLength(block) < 2 || block[1] != kExtTagVideoCapability)
        return false;
    vcdb = {};
    vcdb.present = true;
    vcdb.size = static_cast<int>(block.size());
    vcdb.value = block[2];
    vcdb.payload.assign(block.begin() + 1, block.end());
    return true;
}

std::vector<Byte> writeVideoCapabilityBlock(const VideoCapabilityBlock& vcdb) {
    std::vector<Byte> out = startBlock(kTagExtended, vcdb.size, vcdb.payload);
    if (out.size() > 1)
        out[1] = kExtTagVideoCapability;
    if (out.size() > 2)
        out[2] = static_cast<Byte>(vcdb.value);
    return out;
}

bool readColorimetryBlock(BlockBytes block, ColorimetryBlock& colorimetry) {
    if (payloadLength(block) < 3 || block[1] != kExtTagColorimetry)
        return false;
    colorimetry = {};
    colorimetry.present = true;
    colorimetry.size = static_cast<int>(block.size());
    colorimetry.colorimetry = block[2] & 0x1F;
    colorimetry.metadata = block[3] & 0x0F;
    colorimetry.payload.assign(block.begin() + 1, block.end());
    return true;
}

std::vector<Byte> writeColorimetryBlock(const ColorimetryBlock& colorimetry) {
    std::vector<Byte> out = startBlock(kTagExtended, colorimetry.size, colorimetry.payload);
    if (out.size() > 1)
        out[1] = kExtTagColorimetry;
    if (out.size() > 2)
        out[2] = static_cast<Byte>((out[2] & 0xE0) | (colorimetry.colorimetry & 0x1F));
    if (out.size() > 3)
        out[3] = static_cast<Byte>((out[3] & 0xF0) | (colorimetry.metadata & 0x0F));
    return out;
}

} // namespace pellam
