// Edits of the video data block and the block-1 header flags, as the video
// page makes them: the formats it offers, their item texts, adding and
// removing short video descriptors (SVDs), native flags and the header's
// counts. Each edit changes the collection only, and only the field it names.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/edid/decimal.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

inline constexpr const char* kMsgInvalidData = "Invalid data";

// A video data block holds at most 31 SVDs: its length field has 5 bits.
inline constexpr int kMaxSvdsInBlock = kMaxDataBlockSize - 1;

// The outcome of an edit typed or clicked into a control: whether the
// collection changed, and the message to show (empty: none).
struct FieldEdit {
    bool stored = false;
    std::string message;

    static FieldEdit done() { return {true, {}}; }
    static FieldEdit nothing() { return {}; }
    static FieldEdit refused(std::string text) { return {false, std::move(text)}; }
};

// "'%s' is not a valid integer value": a number that does not convert.
std::string notAValidIntegerMessage(std::string_view text);

// "#%2d, %s": VIC 4 reads "# 4, 1280x720p 59.94/60Hz 16:9", VIC 97
// "#97, 3840x2160p 59.94/60Hz 16:9"; a code no format has reads
// "#240, reserved code".
std::string videoFormatItemText(int vic);
// The VIC of an item text: the number between "#" (blanks after it allowed)
// and the comma; none when there is no such number.
std::optional<int> vicFromItemText(std::string_view text);

// Whether an SVD of this VIC can carry the native flag: VIC 1..64 only, the
// byte's bit 7 being part of the code above that.
bool nativeFlagAllowed(int vic);

// The formats the page offers (every defined VIC), in VIC order, split by
// whether an SVD of the block has the VIC; `native` follows the first such
// SVD. The block's SVDs with a code that no format has are listed too.
struct VideoFormatItem {
    int vic = 0;
    bool native = false;
};
struct VideoFormatLists {
    std::vector<VideoFormatItem> inBlock;
    std::vector<int> notInBlock;
};
VideoFormatLists videoFormatLists(const VideoDataBlock& video);

// Index of the first SVD with this VIC in block order; -1 when there is none.
int firstSvdWithVic(const VideoDataBlock& video, int vic);

// Appends the SVD {not native, vic}, creating the block when it is absent.
// Refused with "No Space of Extended Block" when block 1 lacks room for the
// bytes really added (2 for a new block: its header and the SVD) or the
// block already holds 31 SVDs.
FieldEdit addShortVideoDescriptor(DataBlockCollection& collection, int vic);
// Removes the first SVD with this VIC; the later ones move up with their
// native flags. The block becomes absent with its last SVD.
bool removeShortVideoDescriptor(DataBlockCollection& collection, int vic);
// Sets the native flag of the first SVD with this VIC; false (nothing
// changed) when there is none, or the flag is set on a VIC above 64.
bool setNativeFlag(VideoDataBlock& video, int vic, bool native);

// The native DTD count as typed: 0 to 15 (the low four bits of byte 3) is
// stored; anything else is refused with the reason and nothing changes.
FieldEdit editNativeDtdCount(CeaHeader& header, std::string_view text);
// The revision as typed: 0 to 255 is stored; anything else is refused.
FieldEdit editRevision(CeaHeader& header, std::string_view text);

} // namespace pellam
