// The HDMI 2.x section of the report: rules of HDMI 2.1 and CTA-861-H for
// the data blocks of a modern sink (the HDMI Forum VSDB and SCDB, HDR static
// metadata, the YCbCr 4:2:0 blocks, colorimetry) and for the blocks that may
// appear once. They read the bytes of every CTA-861 block of the image, not
// the data block collection, so that a block kept verbatim, a second block of
// a kind and a block in a later CTA-861 block are all judged.
#pragma once

#include "core/edid/bits.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

// The rules in report order.
enum class Hdmi2Rule {
    ForumBlockOnce,
    ForumBlockAfterHdmiVsdb,
    HdmiVsdbMaxTmdsClock,
    MaxTmdsCharacterRate,
    ScdcAbove340,
    MaxFrlRate,
    DscNeedsFrl,
    VrrRanges,
    VrrOrder,
    ForumReservedBits,
    OnceSpeakerAllocation,
    OnceColorimetry,
    OnceVideoCapability,
    OnceYcbcr420Map,
    OnceHdrStaticMetadata,
    OnceOtherBlocks,
    HdrReservedBits,
    ColorimetryReservedBits,
    Ycbcr420MapIndex,
    Ycbcr420OnlyVics,
    SvdVicsDefined,
    Ycbcr420VicsDefined,
};

inline constexpr int kHdmi2RuleCount = static_cast<int>(Hdmi2Rule::Ycbcr420VicsDefined) + 1;

// The rule's line in the report: what must hold and, in brackets, where the
// rule comes from.
std::string_view hdmi2RuleText(Hdmi2Rule rule);

struct Hdmi2Verdict {
    Hdmi2Rule rule = Hdmi2Rule::ForumBlockOnce;
    bool failed = false;
    // What broke the rule ("VIC 238", "400 MHz"); empty when it holds.
    std::string detail;

    bool operator==(const Hdmi2Verdict&) const = default;
};

// One verdict per rule, in report order, over every 128-byte block of the
// image from block 1 on that is a CTA-861 extension. A rule about a block the
// image does not have holds.
std::vector<Hdmi2Verdict> checkHdmi2Rules(std::span<const Byte> image);

// The VICs CTA-861-H defines: 1..127 and 193..219.
bool isDefinedVic(int vic);

} // namespace pellam
