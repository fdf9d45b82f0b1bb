// Edits the block-1 pages make to the data block collection: the audio and
// speaker allocation blocks ("B1/音频"), the video capability and colorimetry
// blocks ("B1/扩展"). Each edit changes only the field it names; an edit that
// would not fit in block 1 is refused and leaves the collection as it was.
#pragma once

#include "core/cea/data_block_collection.h"

namespace pellam {

enum class EditResult {
    Done,
    NoSpace, // refused: "No Space of Extended Block"
};

// What the third byte of a short audio descriptor holds for a format code
// (CTA-861 audio format codes).
enum class SadThirdByte {
    SampleSizes,    // 1, L-PCM: bits 2..0, 16/20/24 bit
    MaxBitRate,     // 2..8: maximum bit rate in units of 8 kbps
    DependentValue, // 9..13: format-dependent value
    Profile,        // 14, WMA Pro: bits 2..0
    None,           // 0 and 15: nothing edited here
};
SadThirdByte sadThirdByte(int formatCode);

// The label and the number of digits of the edit that shows formatValue.
// The bit rate takes four digits, so that 2040 kbps (byte FFh) is shown whole.
struct FormatValueEdit {
    const char* label;
    int maxLength;
};
FormatValueEdit formatValueEdit(SadThirdByte kind);

// Whether formatValue can be written for the format without losing bits: a
// bit rate up to 2047 kbps (written / 8, truncated), a dependent value up to
// 255, a profile up to 7.
bool formatValueFits(int formatCode, int formatValue);

// The descriptor as block 1 will hold it once written and read again: what
// the page shows for a format the user has just picked.
ShortAudioDescriptor sadAsWritten(const ShortAudioDescriptor& sad);

// The most descriptors one audio data block holds: its 5-bit length field
// allows 31 payload bytes.
inline constexpr int kMaxSadsInBlock = 10;

// Sets the number of short audio descriptors; the block is present while
// the count is above 0. Lowering always succeeds; raising is refused beyond
// kMaxSadsInBlock or when block 1 has no room for the bytes it adds (three
// per descriptor, and the header when the block is new). Descriptors that
// come back within the same collection keep what they held; a position that
// never held one starts as 00 00 00. Setting the count it already has
// changes nothing.
EditResult setSadCount(DataBlockCollection& collection, int count);

// Creates the speaker allocation block from zeros (header and three payload
// bytes) when block 1 has room for it, or removes it. Enabling a present
// block changes nothing.
EditResult enableSpeakerAllocation(DataBlockCollection& collection, bool on);

// The fields of the video capability byte, each a run of bits.
enum class VideoCapabilityField {
    QuantizationYcc, // bit 7: QY, selectable through the AVI YQ bits
    QuantizationRgb, // bit 6: QS, selectable through the AVI Q bits
    PtScan,          // bits 5..4: preferred timing over/underscan
    ItScan,          // bits 3..2: IT video formats
    CeScan,          // bits 1..0: CE video formats
};

// The field's value (0..1 or 0..3) in a video capability byte.
int videoCapabilityField(int value, VideoCapabilityField field);
// The byte with the field replaced by digit and every other bit kept.
int withVideoCapabilityField(int value, VideoCapabilityField field, int digit);

// Creates the block from zeros when block 1 has room for it (3 bytes: header,
// extended tag, value), or removes it. Enabling a present block changes nothing.
EditResult enableVideoCapability(DataBlockCollection& collection, bool on);
// The same for the colorimetry block (4 bytes: header, extended tag,
// colorimetry, metadata).
EditResult enableColorimetry(DataBlockCollection& collection, bool on);

} // namespace pellam
