// Edits of the data blocks "B1/HDMI 2.x" shows: the HDMI Forum VSDB or SCDB,
// the HDR Static Metadata Data Block, the two YCbCr 4:2:0 blocks and every bit
// of the Colorimetry Data Block.
//
// The collection keeps the first four kinds verbatim in its order list
// (BlockOrderEntry::raw): an edit decodes the first block of the kind there,
// changes one field and writes the block's bytes back in the same place. The
// colorimetry block is the collection's own record, which "B1/扩展" edits too;
// both pages change the same bytes. An edit that makes a block longer is
// refused when block 1 has no room for the bytes it adds, and then changes
// nothing.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/cea/modern_blocks.h"
#include "core/cea/video_block_edits.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

inline constexpr const char* kMsgForumNeedsHdmiVsdb =
    "The HDMI Forum block follows the HDMI VSDB: enable the HDMI VSDB first";
inline constexpr const char* kMsgForumLength = "Should be 7 ~ 31";
inline constexpr const char* kMsgForumMaxTmds = "Should be 0 ~ 1275 MHz, a multiple of 5";
inline constexpr const char* kMsgByteValue = "Should be 0 ~ 255";
inline constexpr const char* kMsgVrrMin = "Should be 0 ~ 63";
inline constexpr const char* kMsgVrrMax = "Should be 0 ~ 1023";
inline constexpr const char* kMsgChunkCode = "Should be 0 ~ 63";
inline constexpr const char* kMsgVic = "Should be a VIC 1 ~ 127 or 193 ~ 255";

// ---------------------------------------------------------------------------
// HDMI Forum VSDB or SCDB: the first one of block 1.

std::optional<HdmiForumBlock> hdmiForumBlock(const DataBlockCollection& collection);

// On: a new HF-VSDB of 8 bytes (Version 1, every field 0) right after the
// HDMI VSDB, as HDMI 2.1 10.3.2 places it; refused without an HDMI VSDB or
// without room. On with a block present changes nothing. Off: the block goes.
FieldEdit enableHdmiForumBlock(DataBlockCollection& collection, bool on);

// Writes the record in place of the block; its size decides the length.
// Refused when the block would grow beyond the room left or outside 8..32
// bytes, or when there is no block.
FieldEdit storeHdmiForumBlock(DataBlockCollection& collection, const HdmiForumBlock& block);

// The payload length as typed (7..31): fields past the new end go, new bytes
// are zero. Any other text is refused and changes nothing.
FieldEdit editHdmiForumLength(DataBlockCollection& collection, std::string_view text);

// Max_TMDS_Character_Rate in MHz: a multiple of 5 up to 1275, stored in units
// of 5 MHz; any other text is refused (a rate the field cannot hold exactly is
// never cut). Rates the HDMI 2.x rules reject can be written: the report
// judges them.
FieldEdit editMaxTmdsCharacterRate(HdmiForumBlock& block, std::string_view text);
// A field typed as a number from 0 to `highest`; any other text, the empty
// text included, is refused with the message and changes nothing.
FieldEdit editNumber(int& field, std::string_view text, int highest, const char* message);

// "1 slice, 340 MHz" .. "16 slices, 400 MHz" for DSC_MaxSlices; "no DSC";
// "reserved (N)".
std::string dscSliceLimitText(int code);

// ---------------------------------------------------------------------------
// HDR Static Metadata Data Block: the first one of block 1.

std::optional<HdrStaticMetadataBlock> hdrStaticMetadata(const DataBlockCollection& collection);
// On: a new block of 4 bytes with traditional gamma (SDR) and Static Metadata
// Type 1, appended after the other blocks. Off: the block goes.
FieldEdit enableHdrStaticMetadata(DataBlockCollection& collection, bool on);
FieldEdit storeHdrStaticMetadata(DataBlockCollection& collection,
                                 const HdrStaticMetadataBlock& block);

// How many of the three luminance codes the block holds (max, max frame
// average, min: a later one only with the earlier ones).
int hdrLuminanceCount(const HdrStaticMetadataBlock& block);
// Holds the first `count` codes: the codes added are 0, the ones taken away
// go with the bytes after them.
void setHdrLuminanceCount(HdrStaticMetadataBlock& block, int count);

// "455.515 cd/m²" for a luminance in cd/m².
std::string luminanceText(double candelasPerSquareMetre);

// ---------------------------------------------------------------------------
// YCbCr 4:2:0 Capability Map: one item per SVD of block 1's Video Data
// Blocks (the modelled one first, then those kept verbatim, as the map counts
// them), then one for each set bit past them.

struct Ycbcr420MapItem {
    int index = 0; // the SVD's place, the map's bit
    int vic = 0;   // 0: a bit past the SVDs
    bool native = false;
    bool mapped = false;

    bool operator==(const Ycbcr420MapItem&) const = default;
};

bool hasYcbcr420Map(const DataBlockCollection& collection);
// True when the map has no bitmap: every SVD takes 4:2:0.
bool ycbcr420MapsEverySvd(const DataBlockCollection& collection);
std::vector<Ycbcr420MapItem> ycbcr420MapItems(const DataBlockCollection& collection);
// Marks or unmarks the SVD at index. The first mark creates the map (3 bytes
// or more); unmarking the last SVD it marks removes it, as a map without a
// mark is read as marking every SVD.
FieldEdit markYcbcr420Svd(DataBlockCollection& collection, int index, bool mapped);
// On: the map without bitmap (every SVD), created when absent. Off: the
// bitmap written out for every SVD.
FieldEdit setYcbcr420MapsEverySvd(DataBlockCollection& collection, bool every);

// "VIC 16 1920x1080p 59.94/60Hz 16:9"; "VIC 97" for a VIC without a name here;
// "bit 6 (no SVD)" for a bit past the SVDs.
std::string ycbcr420ItemText(const Ycbcr420MapItem& item);

// ---------------------------------------------------------------------------
// YCbCr 4:2:0 Video Data Block (formats taken only in 4:2:0): the first one
// of block 1. Its presence follows its VICs: the first one added creates it,
// removing the last one removes it.

std::vector<ShortVideoCode> ycbcr420OnlyVics(const DataBlockCollection& collection);
// Appends the VIC typed (1..127 or 193..255).
FieldEdit addYcbcr420OnlyVic(DataBlockCollection& collection, std::string_view text);
FieldEdit removeYcbcr420OnlyVic(DataBlockCollection& collection, int index);
// The native flag exists for VIC 1..64 only; false changes nothing otherwise.
bool setYcbcr420OnlyNative(DataBlockCollection& collection, int index, bool native);

// ---------------------------------------------------------------------------
// Colorimetry Data Block: the collection's record, every bit of its bytes.

ColorimetryBits colorimetryBitsOf(const ColorimetryBlock& block);
// Writes every bit into the record, keeping its size and offset.
void setColorimetryBits(ColorimetryBlock& block, const ColorimetryBits& bits);

// The VIC of an SVD as the collection holds it, whether its VIC field has the
// VICs 193..255 or their byte's low bits with the native flag.
ShortVideoCode svdOf(const ShortVideoDescriptor& svd);

} // namespace pellam
