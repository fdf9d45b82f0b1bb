#include "core/cea/data_block_edits.h"

#include "core/cea/data_block_codecs.h"
#include "core/cea/extension_block.h"
#include "core/edid/bits.h"

namespace pellam {

namespace {

constexpr int kSadSize = 3;
constexpr int kSpeakerBlockSize = 4; // header, allocation, two reserved bytes
constexpr int kVideoCapabilityBlockSize = 3;
constexpr int kColorimetryBlockSize = 4;

// Creates a block from zeros when block 1 has room for it, or removes it.
template <typename Record>
EditResult enableBlock(DataBlockCollection& c, Record& record, int size, bool on) {
    if (!on) {
        record = {};
        return EditResult::Done;
    }
    if (record.present)
        return EditResult::Done;
    if (!hasRoomFor(c, size))
        return EditResult::NoSpace;
    // From zeros: nothing of a block removed earlier comes back.
    record = {};
    record.present = true;
    record.size = size;
    return EditResult::Done;
}

struct BitRun {
    unsigned high, low;
};

BitRun bitsOf(VideoCapabilityField field) {
    switch (field) {
    case VideoCapabilityField::QuantizationYcc:
        return {7, 7};
    case VideoCapabilityField::QuantizationRgb:
        return {6, 6};
    case VideoCapabilityField::PtScan:
        return {5, 4};
    case VideoCapabilityField::ItScan:
        return {3, 2};
    case VideoCapabilityField::CeScan:
        break;
    }
    return {1, 0};
}

} // namespace

SadThirdByte sadThirdByte(int formatCode) {
    if (formatCode == 1)
        return SadThirdByte::SampleSizes;
    if (formatCode >= 2 && formatCode <= 8)
        return SadThirdByte::MaxBitRate;
    if (formatCode >= 9 && formatCode <= 13)
        return SadThirdByte::DependentValue;
    if (formatCode == 14)
        return SadThirdByte::Profile;
    return SadThirdByte::None;
}

FormatValueEdit formatValueEdit(SadThirdByte kind) {
    switch (kind) {
    case SadThirdByte::DependentValue:
        return {"Dependent value", 3};
    case SadThirdByte::Profile:
        return {"Profile", 1};
    case SadThirdByte::MaxBitRate:
    case SadThirdByte::SampleSizes:
    case SadThirdByte::None:
        break;
    }
    return {"Max Bit Rate:  (kbps)", 4};
}

bool formatValueFits(int formatCode, int formatValue) {
    if (formatValue < 0)
        return false;
    switch (sadThirdByte(formatCode)) {
    case SadThirdByte::MaxBitRate:
        return formatValue / 8 <= 0xFF;
    case SadThirdByte::DependentValue:
        return formatValue <= 0xFF;
    case SadThirdByte::Profile:
        return formatValue <= 7;
    case SadThirdByte::SampleSizes:
    case SadThirdByte::None:
        break;
    }
    return true;
}

ShortAudioDescriptor sadAsWritten(const ShortAudioDescriptor& sad) {
    const auto bytes = encodeShortAudioDescriptor(sad);
    return decodeShortAudioDescriptor(bytes[0], bytes[1], bytes[2]);
}

EditResult setSadCount(DataBlockCollection& c, int count) {
    AudioDataBlock& audio = c.audio;
    if (count < 0 || count > kMaxSadsInBlock)
        return EditResult::NoSpace;
    if (count == audio.sadCount && audio.present == (count > 0))
        return EditResult::Done;
    const int newSize = kSadSize * count + 1;
    if (count > audio.sadCount && !hasRoomFor(c, newSize - (audio.present ? audio.size : 0)))
        return EditResult::NoSpace;
    // A position that never held a descriptor is an all-zero record, whose
    // channel count 0 would be written as 8 channels.
    for (int k = audio.sadCount; k < count; ++k) {
        ShortAudioDescriptor& sad = audio.sads[static_cast<std::size_t>(k)];
        if (sad == ShortAudioDescriptor{})
            sad = decodeShortAudioDescriptor(0, 0, 0);
    }
    audio.sadCount = count;
    audio.present = count > 0;
    audio.size = newSize;
    audio.trailing.clear(); // the new size leaves no room after the descriptors
    return EditResult::Done;
}

EditResult enableSpeakerAllocation(DataBlockCollection& c, bool on) {
    return enableBlock(c, c.speaker, kSpeakerBlockSize, on);
}

int videoCapabilityField(int value, VideoCapabilityField field) {
    const BitRun bits = bitsOf(field);
    return static_cast<int>(getBitRange(static_cast<unsigned>(value), bits.high, bits.low));
}

int withVideoCapabilityField(int value, VideoCapabilityField field, int digit) {
    const BitRun bits = bitsOf(field);
    return setBitRange(static_cast<Byte>(value), bits.high, bits.low, static_cast<unsigned>(digit));
}

EditResult enableVideoCapability(DataBlockCollection& c, bool on) {
    return enableBlock(c, c.videoCapability, kVideoCapabilityBlockSize, on);
}

EditResult enableColorimetry(DataBlockCollection& c, bool on) {
    return enableBlock(c, c.colorimetry, kColorimetryBlockSize, on);
}

} // namespace pellam
