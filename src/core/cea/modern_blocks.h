// Codecs of the data blocks that HDMI 2.x and the later CTA-861 editions
// added: the HDMI Forum VSDB and SCDB, the HDR Static Metadata Data Block,
// the two YCbCr 4:2:0 blocks and the Colorimetry Data Block with every bit;
// and a listing of the data blocks of any CTA-861 extension block.
//
// A decoder takes one whole data block, header byte first, as kept in
// BlockOrderEntry::raw. It reads the 1 + payload-length bytes the header
// names and returns nullopt when the block is not of its kind or is too short
// for the fields every block of the kind holds. An encoder gives the whole
// block back, header first. The records keep reserved bits, fields past the
// last one a block holds and unknown trailing bytes, so decoding and then
// encoding a block gives back the same bytes and the same length.
//
// None of this depends on the data block collection: the same functions
// serve block 1 and every further CTA-861 block of an image.
#pragma once

#include "core/edid/bits.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

using DataBlockSpan = std::span<const Byte>;

// ---------------------------------------------------------------------------
// Listing the data blocks of one CTA-861 extension block.

struct CtaDataBlockInfo {
    int tag = 0;     // header bits 7..5
    int extTag = -1; // first payload byte of a tag-7 block; -1 without one
    int offset = 0;  // of the header byte within the 128-byte block
    int length = 0;  // payload length, header bits 4..0
    // The whole block as the header sizes it, cut short only at byte 127
    // (the checksum).
    std::vector<Byte> bytes;
    // The block reaches past the offset of the first detailed timing (byte 2).
    bool overrunsDtdStart = false;

    bool operator==(const CtaDataBlockInfo&) const = default;
};

// Every data block of a CTA-861 extension block (tag 02h, revision 3 or
// later) in block order, from byte 4 up to the detailed timing offset of
// byte 2. Empty for any other block and for an offset below 4.
std::vector<CtaDataBlockInfo> listCtaDataBlocks(std::span<const Byte, 128> block);

// ---------------------------------------------------------------------------
// Short video descriptors (CTA-861-F on): bytes 1..127 and 193..255 are VICs;
// 129..192 are VICs 1..64 with the native flag; 128 is kept as VIC 0, native.

struct ShortVideoCode {
    int vic = 0;
    bool native = false;

    bool operator==(const ShortVideoCode&) const = default;
};

ShortVideoCode decodeSvd(Byte svd);
Byte encodeSvd(const ShortVideoCode& svd);

// ---------------------------------------------------------------------------
// HDMI Forum VSDB (tag 3, IEEE OUI C4-5D-D8, stored D8 5D C4) and HDMI Forum
// SCDB (extended tag 79h, then two reserved bytes). Both put the same fields
// at the same block offsets from byte 4 on (HDMI 2.1).

enum class HdmiForumKind { Vsdb, Scdb };

struct HdmiForumBlock {
    static constexpr int kScdbExtTag = 0x79;
    // Header, OUI (or extended tag and two reserved bytes), version, rate and
    // the two flag bytes: a payload length of 7.
    static constexpr int kMinSize = 8;

    HdmiForumKind kind = HdmiForumKind::Vsdb;
    int size = kMinSize; // whole block, header included; fields past it are not written
    std::array<Byte, 2> scdbReserved{}; // SCDB bytes 2..3 as read

    // Bytes 4..7.
    int version = 1;
    int maxTmdsCharacterRate = 0; // x 5 MHz; 0: no rate above 340 MHz
    bool scdcPresent = false;
    bool rrCapable = false;
    bool cableStatus = false; // HDMI 2.1a
    bool ccbpci = false;
    bool lte340McscScramble = false;
    bool independentView = false;
    bool dualView = false;
    bool osdDisparity = false;
    int maxFrlRate = 0; // 4 bits, see frlRate()
    bool uhdVic = false;
    bool dc48bit420 = false;
    bool dc36bit420 = false;
    bool dc30bit420 = false;

    // Byte 8 (HDMI 2.1).
    bool fapaStartLocation = false;
    bool allm = false;
    bool fva = false;
    bool cnmvrr = false;
    bool cinemaVrr = false;
    bool mDelta = false;
    bool qms = false;
    bool fapaEndExtended = false;

    // Bytes 9..10.
    int vrrMin = 0; // 6 bits, Hz
    int vrrMax = 0; // 10 bits, Hz: bits 9..8 in byte 9, 7..0 in byte 10

    // Bytes 11..13.
    bool dsc1p2 = false;
    bool dscNative420 = false;
    bool qmsTfrMax = false;
    bool qmsTfrMin = false;
    bool dscAllBpp = false;
    bool dsc16bpc = false;
    bool dsc12bpc = false;
    bool dsc10bpc = false;
    int dscMaxFrlRate = 0;       // 4 bits, see frlRate()
    int dscMaxSlices = 0;        // 4 bits, see dscSliceLimit()
    int dscTotalChunkKBytes = 0; // 6 bits, see dscTotalChunkBytes()
    Byte chunkByteReserved = 0;  // byte 13 bits 7..6, in place

    // Bytes 14 and on, as read.
    std::vector<Byte> trailing;

    bool operator==(const HdmiForumBlock&) const = default;
};

bool isHdmiForumVsdb(DataBlockSpan block);
bool isHdmiForumScdb(DataBlockSpan block);
// Either kind; the record says which.
std::optional<HdmiForumBlock> decodeHdmiForumBlock(DataBlockSpan block);
std::vector<Byte> encodeHdmiForumBlock(const HdmiForumBlock& block);

// Max_TMDS_Character_Rate in MHz; 0 when the field is 0 (340 MHz and below).
int maxTmdsCharacterRateMhz(const HdmiForumBlock& block);

// A Max_FRL_Rate or DSC_Max_FRL_Rate code (HDMI 2.1): the lanes
// and the highest rate per lane. Code 0 (no FRL) gives 0 lanes; codes 7..15
// are reserved and give nullopt.
struct FrlRate {
    int lanes = 0;
    int gbpsPerLane = 0;

    bool operator==(const FrlRate&) const = default;
};
std::optional<FrlRate> frlRate(int code);
// "3 lanes x 3 Gbps" .. "4 lanes x 12 Gbps"; "no FRL"; "reserved (N)".
std::string frlRateText(int code);

// A DSC_Max_Slices code (HDMI 2.1): slices and the pixel clock
// per slice in MHz (before Ksliceadjust). Code 0 (no DSC) gives 0 slices;
// codes 8..15 are reserved and give nullopt.
struct DscSliceLimit {
    int slices = 0;
    int pixelClockMhz = 0;

    bool operator==(const DscSliceLimit&) const = default;
};
std::optional<DscSliceLimit> dscSliceLimit(int code);

// DSC_TotalChunkKBytes in bytes: 1024 * (1 + code).
int dscTotalChunkBytes(int code);

// ---------------------------------------------------------------------------
// HDR Static Metadata Data Block (extended tag 06h, CTA-861.3).

struct HdrStaticMetadataBlock {
    static constexpr int kExtTag = 0x06;
    // Header, extended tag, EOTF byte and descriptor byte.
    static constexpr int kMinSize = 4;

    bool sdrGamma = false;    // traditional gamma, SDR luminance range
    bool hdrGamma = false;    // traditional gamma, HDR luminance range
    bool smpteSt2084 = false; // PQ
    bool hlg = false;
    Byte eotfReserved = 0; // EOTF byte bits 7..4, in place
    bool staticMetadataType1 = false;
    Byte descriptorReserved = 0; // descriptor byte bits 7..1, in place
    // Codes of the optional bytes; a later one is only written with the
    // earlier ones (0 for one left out).
    std::optional<int> maxLuminance;
    std::optional<int> maxFrameAverageLuminance;
    std::optional<int> minLuminance;
    // Bytes after the min luminance code, as read.
    std::vector<Byte> trailing;

    bool operator==(const HdrStaticMetadataBlock&) const = default;
};

std::optional<HdrStaticMetadataBlock> decodeHdrStaticMetadata(DataBlockSpan block);
std::vector<Byte> encodeHdrStaticMetadata(const HdrStaticMetadataBlock& block);

// cd/m2 of a max or max frame-average luminance code: 50 * 2^(code / 32).
double maxLuminanceCdM2(int code);
// cd/m2 of a min luminance code, relative to the max luminance code:
// max * (code / 255)^2 / 100.
double minLuminanceCdM2(int maxCode, int minCode);

// ---------------------------------------------------------------------------
// YCbCr 4:2:0 Video Data Block (extended tag 0Eh): formats a sink takes only
// in 4:2:0. YCbCr 4:2:0 Capability Map Data Block (extended tag 0Fh): bit i
// (bit 0 of the first byte first) marks the i-th SVD of the Video Data Blocks,
// in order, as also taking 4:2:0; a map with no bytes marks every SVD.

struct Ycbcr420VideoBlock {
    static constexpr int kExtTag = 0x0E;
    static constexpr int kMaxSvds = 30;

    std::vector<ShortVideoCode> svds;

    bool operator==(const Ycbcr420VideoBlock&) const = default;
};

std::optional<Ycbcr420VideoBlock> decodeYcbcr420Video(DataBlockSpan block);
std::vector<Byte> encodeYcbcr420Video(const Ycbcr420VideoBlock& block);

struct Ycbcr420CapabilityMap {
    static constexpr int kExtTag = 0x0F;
    static constexpr int kMaxBytes = 30;

    std::vector<Byte> bitmap; // empty: every SVD

    bool operator==(const Ycbcr420CapabilityMap&) const = default;
};

std::optional<Ycbcr420CapabilityMap> decodeYcbcr420CapabilityMap(DataBlockSpan block);
std::vector<Byte> encodeYcbcr420CapabilityMap(const Ycbcr420CapabilityMap& block);

// The SVD indices the map marks, ascending: 0..svdCount-1 for the "every SVD"
// form, else every set bit, including bits past svdCount.
std::vector<int> ycbcr420MappedSvds(const Ycbcr420CapabilityMap& map, int svdCount);
bool ycbcr420Maps(const Ycbcr420CapabilityMap& map, int svdIndex);
// Marks or unmarks one SVD. Unmarking in the "every SVD" form first writes
// the bitmap out for svdCount SVDs; marking past the bitmap extends it. A
// bitmap never shrinks back to no bytes, which would mark every SVD. False,
// changing nothing, for an index the block cannot hold.
bool setYcbcr420Mapped(Ycbcr420CapabilityMap& map, int svdIndex, bool mapped, int svdCount);

// ---------------------------------------------------------------------------
// Colorimetry Data Block (extended tag 05h), every bit of its two bytes.

struct ColorimetryBits {
    static constexpr int kExtTag = 0x05;
    static constexpr int kMinSize = 4;

    // First byte, bit 0 up.
    bool xvYcc601 = false;
    bool xvYcc709 = false;
    bool sYcc601 = false;
    bool opYcc601 = false; // AdobeYCC601
    bool opRgb = false;    // AdobeRGB
    bool bt2020cYcc = false;
    bool bt2020Ycc = false;
    bool bt2020Rgb = false;
    // Second byte: gamut metadata profiles MD0..MD3 in bits 0..3; bits 4 and 5
    // are defaultRGB and sRGB (CTA-861.6, reserved before), bit 6 ICtCp and
    // bit 7 DCI-P3 (SMPTE ST 2113 RGB).
    bool md0 = false;
    bool md1 = false;
    bool md2 = false;
    bool md3 = false;
    bool defaultRgb = false;
    bool sRgb = false;
    bool ictcp = false;
    bool dciP3 = false;
    // Bytes after the second, as read.
    std::vector<Byte> trailing;

    bool operator==(const ColorimetryBits&) const = default;
};

std::optional<ColorimetryBits> decodeColorimetryBits(DataBlockSpan block);
std::vector<Byte> encodeColorimetryBits(const ColorimetryBits& block);
// The names of the set bits in bit order, first byte first: "xvYCC601",
// "xvYCC709", "sYCC601", "opYCC601", "opRGB", "BT2020cYCC", "BT2020YCC",
// "BT2020RGB", "MD0".."MD3", "defaultRGB", "sRGB", "ICtCp", "DCI-P3".
std::vector<std::string_view> colorimetryNames(const ColorimetryBits& block);

} // namespace pellam
