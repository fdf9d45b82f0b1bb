// The data block collection: block 1 (a CTA-861 extension) decoded into one
// record per modelled kind of data block, the order of the blocks, and the
// detailed timings that follow them. The block-1 pages edit only this model;
// the image changes when it is written back (rebuildExtensionBlock).
//
// Writing back must never lose what the model does not show: blocks of
// kinds it does not model and second blocks of a modelled kind are kept
// verbatim in the order list, and each record keeps, as read, the bits and
// bytes of its block that none of its fields holds.
#pragma once

#include "core/base_block/detailed_timing.h"
#include "core/edid/bits.h"

#include <array>
#include <string>
#include <vector>

namespace pellam {

// CTA-861 data block tags (bits 7..5 of a block's header byte).
enum CeaTag : int {
    kTagAudio = 1,
    kTagVideo = 2,
    kTagVendorSpecific = 3,
    kTagSpeakerAllocation = 4,
    kTagExtended = 7,
};

// Extended tags (first payload byte of a tag-7 block) that the model knows.
enum CeaExtendedTag : int {
    kExtTagVideoCapability = 0,
    kExtTagColorimetry = 5,
};

// Largest block: a 5-bit payload length plus the header byte.
inline constexpr int kMaxDataBlockSize = 32;

struct CeaHeader {
    int tag = 0;      // byte 128, written back unchanged
    int revision = 0; // byte 129
    bool underscan = false;
    bool basicAudio = false;
    bool ycbcr444 = false;
    bool ycbcr422 = false;
    int nativeDtdCount = 0; // byte 131 bits 3..0

    bool operator==(const CeaHeader&) const = default;
};

struct ShortVideoDescriptor {
    bool native = false;
    // 1..127 or 193..255; native only for VIC 1..64 (byte 129..192). Byte 0
    // is kept as VIC 0 and byte 128 as VIC 0, native.
    int vic = 0;

    bool operator==(const ShortVideoDescriptor&) const = default;
};

struct VideoDataBlock {
    static constexpr int kMaxSvds = 36;
    bool present = false;
    int size = 0;   // header byte included: svdCount + 1
    int offset = 0; // image offset of the header byte
    int svdCount = 0;
    std::array<ShortVideoDescriptor, kMaxSvds> svds{};

    bool operator==(const VideoDataBlock&) const = default;
};

struct ShortAudioDescriptor {
    int formatCode = 0;  // 1 LPCM, 2..8 bit-rate formats, 9..13, 14 WMA Pro, 15
    int channels = 0;    // 1..8
    int sampleRates = 0; // second byte: bit 0 32 kHz .. bit 6 192 kHz
    int formatValue = 0; // formats 2..8: max bit rate in kbps; 9..13: byte; 14: profile
    int lpcmSizes = 0;   // format 1: bit 0 16, bit 1 20, bit 2 24 bits
    // The three bytes as read (zeros for a created descriptor); the bits no
    // field holds are written back from here.
    std::array<Byte, 3> asRead{};

    bool operator==(const ShortAudioDescriptor&) const = default;
};

struct AudioDataBlock {
    static constexpr int kMaxSads = 15;
    bool present = false;
    int size = 0;
    int offset = 0;
    int sadCount = 0;
    std::array<ShortAudioDescriptor, kMaxSads> sads{};
    // Payload bytes after the last whole descriptor, as read.
    std::vector<Byte> trailing;

    bool operator==(const AudioDataBlock&) const = default;
};

struct SpeakerAllocationBlock {
    bool present = false;
    int size = 0;
    int offset = 0;
    int allocation = 0; // speaker bits 6..0 of the first payload byte
    // The payload as read; bit 7 and the bytes after the first are kept.
    std::vector<Byte> payload;

    bool operator==(const SpeakerAllocationBlock&) const = default;
};

struct ThreeDEntry {
    int order = 0;          // 2D_VIC_order
    int structure = 0;      // 3D_Structure; 8 and above carry a detail byte
    int detail = 0;         // 3D_Detail
    int detailReserved = 0; // low nibble of the detail byte, as read

    bool operator==(const ThreeDEntry&) const = default;
};

// The HDMI vendor-specific data block (IEEE OUI 00-0C-03).
struct HdmiVsdb {
    static constexpr int kMaxHdmiVics = 8;
    static constexpr int kMaxEntries = 16;
    bool present = false;
    bool extended = false; // has bytes beyond the physical address
    int size = 0;
    int offset = 0;
    int physA = 0, physB = 0, physC = 0, physD = 0;
    bool supportsAI = false;
    bool dc48bit = false, dc36bit = false, dc30bit = false, dcY444 = false;
    bool dviDual = false;
    int maxTmdsClock = 0; // units of 5 MHz
    bool latencyFieldsPresent = false;
    bool iLatencyFieldsPresent = false;
    bool hdmiVideoPresent = false;
    bool cnc0 = false, cnc1 = false, cnc2 = false, cnc3 = false;
    int videoLatency = 0, audioLatency = 0, iVideoLatency = 0, iAudioLatency = 0;
    // HDMI 1.4 video fields.
    bool threeDPresent = false;
    int threeDMultiPresent = 0; // the two bits as decimal digits: 0, 1, 10 or 11
    int hdmiVicLen = 0;
    std::array<int, kMaxHdmiVics> hdmiVic{};
    int hdmi3dLen = 0;
    int structureAll = 0;  // 3D_Structure_ALL_15..0
    int structureMask = 0; // 3D_MASK_15..0
    int entryCount = 0;
    std::array<ThreeDEntry, kMaxEntries> entries{};
    // Bits no field holds, as read, written back at their place.
    Byte reservedFlags6 = 0; // deep colour byte bits 2..1
    Byte reservedFlags8 = 0; // latency/content byte bit 4
    Byte reserved3d = 0;     // 3D_present byte bits 4..0 (3D image size and reserved)
    // Payload bytes after the last field, as read.
    std::vector<Byte> trailing;

    bool operator==(const HdmiVsdb&) const = default;
};

struct VideoCapabilityBlock {
    bool present = false;
    int size = 0;
    int offset = 0;
    int value = 0;             // the byte after the extended tag
    std::vector<Byte> payload; // as read, for the bytes beyond the value

    bool operator==(const VideoCapabilityBlock&) const = default;
};

struct ColorimetryBlock {
    bool present = false;
    int size = 0;
    int offset = 0;
    int colorimetry = 0; // bits 4..0: xvYCC601, xvYCC709, sYCC601, AdobeYCC601, AdobeRGB
    int metadata = 0;    // bits 3..0: MD0..MD3
    // As read: keeps the BT.2020 and DCI-P3 flags and reserved bits.
    std::vector<Byte> payload;

    bool operator==(const ColorimetryBlock&) const = default;
};

// One data block of block 1 in block order. Entries for the first block of a
// modelled kind name the kind and carry no bytes (the record holds them);
// every other block is kept whole in `raw` and written back verbatim.
struct BlockOrderEntry {
    int tag = -1;
    int extTag = -1; // tag 7 only
    std::vector<Byte> raw;

    bool isRaw() const { return !raw.empty(); }
    bool operator==(const BlockOrderEntry&) const = default;
};

// An 18-byte record of the detailed timing area kept as read.
using DtdRecord = std::array<Byte, kDtdSize>;

struct DataBlockCollection {
    // Kinds a page may add to the order list; blocks kept verbatim do not count.
    static constexpr int kMaxModelledEntries = 32;

    // Whether block 1 is a CTA-861 extension the model can edit. When it is
    // not, everything else is empty, `note` says what block 1 holds, and the
    // block is never written from the model.
    bool editable = false;
    std::string note;

    CeaHeader header;
    int dtdStart = 0; // image offset of the first detailed timing (128 + d)
    VideoDataBlock video;
    AudioDataBlock audio;
    SpeakerAllocationBlock speaker;
    HdmiVsdb vsdb;
    VideoCapabilityBlock videoCapability;
    ColorimetryBlock colorimetry;
    std::vector<BlockOrderEntry> blockOrder;
    ExtensionTimingList timings;
    // The records after the timings up to the last one that is not all zeros
    // (display descriptors such as a product serial number), written back
    // after the timings as they were.
    std::vector<DtdRecord> dtdAreaRecords;

    bool operator==(const DataBlockCollection&) const = default;
};

} // namespace pellam
