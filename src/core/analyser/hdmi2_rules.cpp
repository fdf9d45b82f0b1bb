#include "core/analyser/hdmi2_rules.h"

#include "core/cea/cea_formats.h"
#include "core/cea/data_block_collection.h"
#include "core/cea/modern_blocks.h"
#include "core/edid/edid_image.h"
#include "core/edid/hex.h"

#include <algorithm>
#include <array>
#include <optional>

namespace pellam {

namespace {

// clang-format off
constexpr std::array<const char*, kHdmi2RuleCount> kRuleTexts = {
    "Only one HDMI Forum VSDB or SCDB (HDMI 2.1 10.3.2)",
    "HDMI Forum VSDB or SCDB right after the HDMI VSDB (HDMI 2.1 10.3.2)",
    "HDMI VSDB Max_TMDS_Clock at most 340 MHz (HDMI 1.4b 8.3.2, HDMI 2.1 10.3.2)",
    "Max_TMDS_Character_Rate 0, or above 340 and at most 600 MHz (HDMI 2.1 10.3.2)",
    "SCDC_Present set when Max_TMDS_Character_Rate is above 340 MHz (HDMI 2.1 10.3.2)",
    "Max_FRL_Rate a defined rate, with the TMDS rate FRL needs (HDMI 2.1 10.3.2)",
    "DSC_1p2 only with FRL, DSC_Max_FRL_Rate and DSC_MaxSlices within it (HDMI 2.1 10.3.2)",
    "VRRmin at most 48 Hz, VRRmax 0 or at least 100 Hz (HDMI 2.1 10.3.2)",
    "VRRmax above VRRmin, and 0 while VRRmin is 0 (HDMI 2.1 10.3.2)",
    "HDMI Forum block Version 1 or more, reserved bits zero (HDMI 2.1 10.3.2)",
    "Only one Speaker Allocation Data Block (CTA-861-H 7.5.3)",
    "Only one Colorimetry Data Block (CTA-861-H 7.5.5)",
    "Only one Video Capability Data Block (CTA-861-H 7.5.6)",
    "Only one YCbCr 4:2:0 Capability Map Data Block (CTA-861-H 7.5.11)",
    "Only one HDR Static Metadata Data Block (CTA-861-H 7.5.13)",
    "Only one of each other single data block (CTA-861-H 7.5, HDMI 2.1 10.3)",
    "HDR Static Metadata reserved EOTF and descriptor bits zero (CTA-861-H 7.5.13)",
    "Colorimetry MD0-MD3 zero, reserved since gamut metadata went (CTA-861-H 7.5.5)",
    "Every YCbCr 4:2:0 Capability Map bit marks an SVD, and one bit at least (CTA-861-H 7.5.11)",
    "4:2:0-only VICs only in the YCbCr 4:2:0 Video Data Block, not as SVDs (CTA-861-H 7.5.10)",
    "Every SVD a VIC CTA-861 defines: 1-127, 193-219 (CTA-861-H 7.5.1)",
    "Every YCbCr 4:2:0 Video Data Block VIC one CTA-861 defines (CTA-861-H 7.5.10)",
};
// clang-format on

constexpr int kTagVsdb = kTagVendorSpecific;
constexpr int kHdmiVsdbMaxTmdsIndex = 7;
constexpr int kTmdsLimitMhz = 340;
constexpr int kMaxTmdsCharacterRateMhz = 600;
constexpr int kHighestFrlCode = 6;
constexpr int kHighestSliceCode = 7;
constexpr int kVrrMinLimit = 48;
constexpr int kVrrMaxFloor = 100;
constexpr std::size_t kForumVrrIndex = 9;
constexpr std::size_t kForumDscIndex = 11;

// One data block of the image and the CTA-861 block it is in.
struct Located {
    int blockNumber = 1;
    CtaDataBlockInfo info;

    DataBlockSpan bytes() const { return info.bytes; }
    // " in block N" beyond block 1, nothing in block 1.
    std::string where() const {
        return blockNumber == 1 ? std::string() : " in block " + std::to_string(blockNumber);
    }
};

std::vector<Located> dataBlocksOf(std::span<const Byte> image) {
    std::vector<Located> all;
    for (std::size_t start = kBlockSize; start + kBlockSize <= image.size(); start += kBlockSize) {
        std::array<Byte, kBlockSize> block;
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(start), kBlockSize, block.begin());
        for (CtaDataBlockInfo& info : listCtaDataBlocks(block))
            all.push_back({static_cast<int>(start / kBlockSize), std::move(info)});
    }
    return all;
}

bool isHdmiVsdbBytes(DataBlockSpan b) {
    return b.size() >= 4 && getBitRange(b[0], 7, 5) == kTagVsdb && (b[0] & 31) >= 3 &&
           b[1] == 0x03 && b[2] == 0x0C && b[3] == 0x00;
}

bool isForumBlock(DataBlockSpan b) {
    return isHdmiForumVsdb(b) || isHdmiForumScdb(b);
}

bool isExtended(const Located& d, int extTag) {
    return d.info.tag == kTagExtended && d.info.extTag == extTag;
}

// The findings in the order met, one that repeats once with its count
// ("SVD byte 00h x9").
std::string joined(const std::vector<std::string>& parts) {
    std::vector<std::pair<std::string, int>> counted;
    for (const std::string& part : parts) {
        const auto seen = std::find_if(counted.begin(), counted.end(),
                                       [&](const auto& c) { return c.first == part; });
        if (seen == counted.end())
            counted.emplace_back(part, 1);
        else
            ++seen->second;
    }
    std::string text;
    for (const auto& [part, count] : counted)
        text += (text.empty() ? "" : ", ") + part +
                (count > 1 ? " x" + std::to_string(count) : std::string());
    return text;
}

std::string mhz(int value) {
    return std::to_string(value) + " MHz";
}

class Checker {
public:
    explicit Checker(std::span<const Byte> image)
        : m_blocks(dataBlocksOf(image)) {
        for (const Located& d : m_blocks) {
            if (!isForumBlock(d.bytes()))
                continue;
            if (const auto forum = decodeHdmiForumBlock(d.bytes()))
                m_forum.push_back({&d, *forum});
        }
    }

    std::vector<Hdmi2Verdict> run() {
        forumBlockOnce();
        forumBlockPosition();
        hdmiVsdbClock();
        forumFields();
        onceOnly();
        hdrReservedBits();
        colorimetryReservedBits();
        ycbcr420Map();
        ycbcr420OnlyVics();
        definedVics();
        std::sort(m_verdicts.begin(), m_verdicts.end(),
                  [](const Hdmi2Verdict& a, const Hdmi2Verdict& b) { return a.rule < b.rule; });
        return m_verdicts;
    }

private:
    struct Forum {
        const Located* at;
        HdmiForumBlock block;
    };

    void verdict(Hdmi2Rule rule, const std::vector<std::string>& findings) {
        m_verdicts.push_back({rule, !findings.empty(), joined(findings)});
    }

    std::string forumName(const Forum& f) const {
        return (f.block.kind == HdmiForumKind::Vsdb ? "HF-VSDB" : "HF-SCDB") + f.at->where();
    }

    void forumBlockOnce() {
        const auto count = std::count_if(m_blocks.begin(), m_blocks.end(),
                                         [](const Located& d) { return isForumBlock(d.bytes()); });
        verdict(Hdmi2Rule::ForumBlockOnce,
                count > 1 ? std::vector<std::string>{std::to_string(count) + " blocks"}
                          : std::vector<std::string>{});
    }

    // The data blocks of all CTA-861 blocks form one sequence: a Forum block
    // first in block 2 follows the last block of block 1.
    void forumBlockPosition() {
        std::vector<std::string> findings;
        for (std::size_t i = 0; i < m_blocks.size(); ++i) {
            if (!isForumBlock(m_blocks[i].bytes()))
                continue;
            if (i == 0 || !isHdmiVsdbBytes(m_blocks[i - 1].bytes()))
                findings.push_back((isHdmiForumVsdb(m_blocks[i].bytes()) ? "HF-VSDB" : "HF-SCDB") +
                                   std::string(" at byte ") +
                                   std::to_string(m_blocks[i].info.offset) + m_blocks[i].where());
        }
        verdict(Hdmi2Rule::ForumBlockAfterHdmiVsdb, findings);
    }

    // Rates above 340 MHz are declared in the HDMI Forum block; the HDMI
    // VSDB's field stops at 340 MHz, with or without one.
    void hdmiVsdbClock() {
        std::vector<std::string> findings;
        for (const Located& d : m_blocks) {
            const DataBlockSpan b = d.bytes();
            if (!isHdmiVsdbBytes(b) || b.size() <= kHdmiVsdbMaxTmdsIndex)
                continue;
            const int clock = b[kHdmiVsdbMaxTmdsIndex] * 5;
            if (clock > kTmdsLimitMhz)
                findings.push_back(mhz(clock) + d.where());
        }
        verdict(Hdmi2Rule::HdmiVsdbMaxTmdsClock, findings);
    }

    void forumFields() {
        std::vector<std::string> rate, scdc, frl, dsc, vrrRange, vrrOrder, reserved;
        for (const Forum& f : m_forum) {
            const HdmiForumBlock& h = f.block;
            const std::string at = f.at->where();
            const int tmds = maxTmdsCharacterRateMhz(h);
            if (tmds != 0 && (tmds <= kTmdsLimitMhz || tmds > kMaxTmdsCharacterRateMhz))
                rate.push_back(mhz(tmds) + at);
            if (tmds > kTmdsLimitMhz && !h.scdcPresent)
                scdc.push_back(mhz(tmds) + " without SCDC_Present" + at);
            frlFindings(h, at, frl);
            if (h.size > static_cast<int>(kForumDscIndex))
                dscFindings(h, at, dsc);
            if (h.size > static_cast<int>(kForumVrrIndex)) {
                const std::string pair = "VRRmin " + std::to_string(h.vrrMin) + " Hz, VRRmax " +
                                         std::to_string(h.vrrMax) + " Hz" + at;
                if (h.vrrMin > kVrrMinLimit || (h.vrrMax != 0 && h.vrrMax < kVrrMaxFloor))
                    vrrRange.push_back(pair);
                if ((h.vrrMin == 0 && h.vrrMax != 0) || (h.vrrMax != 0 && h.vrrMax <= h.vrrMin))
                    vrrOrder.push_back(pair);
            }
            if (h.version < 1)
                reserved.push_back("Version 0" + at);
            if (h.chunkByteReserved != 0)
                reserved.push_back("byte 13 bits 7-6" + at);
            if (h.kind == HdmiForumKind::Scdb && (h.scdbReserved[0] || h.scdbReserved[1]))
                reserved.push_back("SCDB bytes 2-3" + at);
        }
        verdict(Hdmi2Rule::MaxTmdsCharacterRate, rate);
        verdict(Hdmi2Rule::ScdcAbove340, scdc);
        verdict(Hdmi2Rule::MaxFrlRate, frl);
        verdict(Hdmi2Rule::DscNeedsFrl, dsc);
        verdict(Hdmi2Rule::VrrRanges, vrrRange);
        verdict(Hdmi2Rule::VrrOrder, vrrOrder);
        verdict(Hdmi2Rule::ForumReservedBits, reserved);
    }

    // A sink with FRL takes TMDS up to 300 MHz for 3 Gbps and up to 600 MHz
    // from 6 Gbps; Max_TMDS_Character_Rate 0 stands for 340 MHz.
    static void frlFindings(const HdmiForumBlock& h, const std::string& at,
                            std::vector<std::string>& out) {
        if (h.maxFrlRate > kHighestFrlCode) {
            out.push_back("reserved code " + std::to_string(h.maxFrlRate) + at);
            return;
        }
        if (h.maxFrlRate == 0)
            return;
        const int tmds = h.maxTmdsCharacterRate == 0 ? kTmdsLimitMhz : maxTmdsCharacterRateMhz(h);
        const int needed = h.maxFrlRate == 1 ? 300 : kMaxTmdsCharacterRateMhz;
        if (tmds < needed)
            out.push_back(frlRateText(h.maxFrlRate) + " with TMDS " + mhz(tmds) + at);
    }

    static void dscFindings(const HdmiForumBlock& h, const std::string& at,
                            std::vector<std::string>& out) {
        if (h.dscMaxFrlRate > kHighestFrlCode)
            out.push_back("DSC_Max_FRL_Rate reserved code " + std::to_string(h.dscMaxFrlRate) + at);
        if (h.dscMaxSlices > kHighestSliceCode)
            out.push_back("DSC_MaxSlices reserved code " + std::to_string(h.dscMaxSlices) + at);
        if (!h.dsc1p2)
            return;
        if (h.maxFrlRate == 0)
            out.push_back("DSC_1p2 without FRL" + at);
        else if (h.dscMaxFrlRate == 0 || h.dscMaxFrlRate > h.maxFrlRate)
            out.push_back("DSC_Max_FRL_Rate " + frlRateText(h.dscMaxFrlRate) +
                          " with Max_FRL_Rate " + frlRateText(h.maxFrlRate) + at);
        if (h.dscMaxSlices == 0)
            out.push_back("DSC_1p2 with DSC_MaxSlices 0" + at);
    }

    // Kinds CTA-861-H and HDMI 2.1 allow once in an EDID, across its CTA-861 blocks.
    void onceOnly() {
        const auto count = [&](auto matches) {
            return static_cast<int>(std::count_if(m_blocks.begin(), m_blocks.end(), matches));
        };
        const auto once = [&](Hdmi2Rule rule, auto matches) {
            const int n = count(matches);
            verdict(rule, n > 1 ? std::vector<std::string>{std::to_string(n) + " blocks"}
                                : std::vector<std::string>{});
        };
        once(Hdmi2Rule::OnceSpeakerAllocation,
             [](const Located& d) { return d.info.tag == kTagSpeakerAllocation; });
        once(Hdmi2Rule::OnceColorimetry,
             [](const Located& d) { return isExtended(d, kExtTagColorimetry); });
        once(Hdmi2Rule::OnceVideoCapability,
             [](const Located& d) { return isExtended(d, kExtTagVideoCapability); });
        once(Hdmi2Rule::OnceYcbcr420Map,
             [](const Located& d) { return isExtended(d, Ycbcr420CapabilityMap::kExtTag); });
        once(Hdmi2Rule::OnceHdrStaticMetadata,
             [](const Located& d) { return isExtended(d, HdrStaticMetadataBlock::kExtTag); });

        struct Single {
            int tag;
            int extTag;
            const char* name;
        };
        static constexpr Single kOthers[] = {
            {5, -1, "VESA Display Transfer Characteristic"},
            {kTagExtended, 0x02, "VESA Video Display Device"},
            {kTagExtended, 0x0D, "Video Format Preference"},
            {kTagExtended, 0x12, "HDMI Audio"},
            {kTagExtended, 0x13, "Room Configuration"},
            {kTagExtended, 0x78, "HF-EEODB"},
        };
        std::vector<std::string> findings;
        for (const Single& kind : kOthers) {
            const int n = count([&](const Located& d) {
                return kind.tag == kTagExtended ? isExtended(d, kind.extTag)
                                                : d.info.tag == kind.tag;
            });
            if (n > 1)
                findings.push_back(std::to_string(n) + " " + kind.name + " blocks");
        }
        verdict(Hdmi2Rule::OnceOtherBlocks, findings);
    }

    void hdrReservedBits() {
        std::vector<std::string> findings;
        for (const Located& d : m_blocks) {
            const auto hdr = decodeHdrStaticMetadata(d.bytes());
            if (!hdr)
                continue;
            if (hdr->eotfReserved != 0)
                findings.push_back("EOTF bits 7-4" + d.where());
            if (hdr->descriptorReserved != 0)
                findings.push_back("descriptor bits 7-1" + d.where());
        }
        verdict(Hdmi2Rule::HdrReservedBits, findings);
    }

    void colorimetryReservedBits() {
        std::vector<std::string> findings;
        for (const Located& d : m_blocks) {
            const auto bits = decodeColorimetryBits(d.bytes());
            if (bits && (bits->md0 || bits->md1 || bits->md2 || bits->md3))
                findings.push_back("byte 3 bits 3-0" + d.where());
        }
        verdict(Hdmi2Rule::ColorimetryReservedBits, findings);
    }

    // The SVD bytes of every Video Data Block, in image order.
    std::vector<Byte> svdBytes() const {
        std::vector<Byte> svds;
        for (const Located& d : m_blocks)
            if (d.info.tag == kTagVideo)
                svds.insert(svds.end(), d.info.bytes.begin() + 1, d.info.bytes.end());
        return svds;
    }

    void ycbcr420Map() {
        const int svdCount = static_cast<int>(svdBytes().size());
        std::vector<std::string> findings;
        for (const Located& d : m_blocks) {
            const auto map = decodeYcbcr420CapabilityMap(d.bytes());
            if (!map || map->bitmap.empty())
                continue;
            const std::vector<int> marked = ycbcr420MappedSvds(*map, svdCount);
            if (marked.empty())
                findings.push_back("no bit set" + d.where());
            else if (marked.back() >= svdCount)
                findings.push_back("bit " + std::to_string(marked.back()) + " with " +
                                   std::to_string(svdCount) + " SVDs" + d.where());
        }
        verdict(Hdmi2Rule::Ycbcr420MapIndex, findings);
    }

    std::vector<std::pair<const Located*, ShortVideoCode>> ycbcr420OnlySvds() const {
        std::vector<std::pair<const Located*, ShortVideoCode>> all;
        for (const Located& d : m_blocks)
            if (const auto video = decodeYcbcr420Video(d.bytes()))
                for (const ShortVideoCode& svd : video->svds)
                    all.emplace_back(&d, svd);
        return all;
    }

    void ycbcr420OnlyVics() {
        std::vector<int> regular;
        for (const Byte b : svdBytes())
            regular.push_back(decodeSvd(b).vic);
        std::vector<std::string> findings;
        for (const auto& [at, svd] : ycbcr420OnlySvds())
            if (std::find(regular.begin(), regular.end(), svd.vic) != regular.end())
                findings.push_back("VIC " + std::to_string(svd.vic) + at->where());
        verdict(Hdmi2Rule::Ycbcr420OnlyVics, findings);
    }

    static std::string vicName(Byte b) {
        const ShortVideoCode svd = decodeSvd(b);
        return svd.vic == 0 ? "SVD byte " + hexByteH(b) : "VIC " + std::to_string(svd.vic);
    }

    void definedVics() {
        std::vector<std::string> svds;
        for (const Located& d : m_blocks)
            if (d.info.tag == kTagVideo)
                for (std::size_t i = 1; i < d.info.bytes.size(); ++i)
                    if (!isDefinedVic(decodeSvd(d.info.bytes[i]).vic))
                        svds.push_back(vicName(d.info.bytes[i]) + d.where());
        verdict(Hdmi2Rule::SvdVicsDefined, svds);

        std::vector<std::string> only;
        for (const auto& [at, svd] : ycbcr420OnlySvds())
            if (!isDefinedVic(svd.vic))
                only.push_back(vicName(encodeSvd(svd)) + at->where());
        verdict(Hdmi2Rule::Ycbcr420VicsDefined, only);
    }

    std::vector<Located> m_blocks;
    std::vector<Forum> m_forum;
    std::vector<Hdmi2Verdict> m_verdicts;
};

} // namespace

std::string_view hdmi2RuleText(Hdmi2Rule rule) {
    const auto index = static_cast<std::size_t>(rule);
    return index < kRuleTexts.size() ? kRuleTexts[index] : std::string_view();
}

bool isDefinedVic(int vic) {
    return videoFormatName(vic).has_value();
}

std::vector<Hdmi2Verdict> checkHdmi2Rules(std::span<const Byte> image) {
    return Checker(image).run();
}

} // namespace pellam
