// The HDMI 2.x section: each rule on crafted blocks (one table), on every real
// EDID against the stored edid-decode listings, and its place in the report.
#include "core/analyser/hdmi2_rules.h"
#include "core/analyser/report.h"
#include "core/cea/block1_builder.h"
#include "core/cea/extension_block.h"
#include "core/edid/edid_bytes.h"
#include "support/test_support.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;
using R = Hdmi2Rule;
namespace fs = std::filesystem;

// A CTA-861 block of the data blocks, no timings, valid checksum.
Bytes ctaBlock(const std::vector<Bytes>& blocks) {
    Bytes b(128, 0);
    std::size_t p = 4;
    for (const Bytes& block : blocks)
        for (Byte x : block)
            b.at(p++) = x;
    b[0] = 0x02;
    b[1] = 0x03;
    b[2] = static_cast<Byte>(p);
    b[127] = blockChecksum(b, 0);
    return b;
}

// Block 0 of the default image, then one CTA-861 block per list.
Bytes imageOf(const std::vector<std::vector<Bytes>>& ctaBlocks) {
    Bytes image(hdmiDefaultImage().begin(), hdmiDefaultImage().begin() + 128);
    image[126] = static_cast<Byte>(ctaBlocks.size());
    for (const auto& blocks : ctaBlocks) {
        const Bytes block = ctaBlock(blocks);
        image.insert(image.end(), block.begin(), block.end());
    }
    applyBlockChecksums(image, true);
    return image;
}

std::set<R> failed(std::span<const Byte> image) {
    std::set<R> rules;
    for (const Hdmi2Verdict& v : checkHdmi2Rules(image))
        if (v.failed)
            rules.insert(v.rule);
    return rules;
}

Bytes hdmiVsdb(int clockMhz) {
    return {0x67, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, static_cast<Byte>(clockMhz / 5)};
}
// An HF-VSDB with the payload after its OUI.
Bytes hf(const Bytes& payload) {
    Bytes b = {static_cast<Byte>(0x60 | (3 + payload.size())), 0xD8, 0x5D, 0xC4};
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}
Bytes scdb(const Bytes& payload, Byte reserved = 0) {
    Bytes b = {static_cast<Byte>(0xE0 | (3 + payload.size())), 0x79, reserved, 0x00};
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}
Bytes extended(Byte tag, const Bytes& payload) {
    Bytes b = {static_cast<Byte>(0xE0 | (1 + payload.size())), tag};
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}
Bytes video(const Bytes& svds) {
    Bytes b = {static_cast<Byte>(0x40 | svds.size())};
    b.insert(b.end(), svds.begin(), svds.end());
    return b;
}

// Version 1, 600 MHz with SCDC, FRL 4 lanes x 6 Gbps, VRR 48-120 Hz, DSC 1.2
// up to FRL 3 with one slice: every rule holds.
const Bytes kGoodForum = {0x01, 0x78, 0x80, 0x30, 0x00, 0x30, 0x78, 0x80, 0x31, 0x00};
const Bytes kVdb = video({0x90, 0x04, 0x5F, 0xC1}); // VIC 16 native, 4, 95, 193
const Bytes kSpeaker = {0x83, 0x01, 0x00, 0x00};

Bytes forumWith(std::size_t index, Byte value) {
    Bytes payload = kGoodForum;
    payload.at(index - 4) = value;
    return hf(payload);
}

TEST(Hdmi2Rules, EachRuleOnCraftedBlocks) {
    const Bytes vsdb = hdmiVsdb(340);
    const struct Case {
        const char* what;
        std::vector<std::vector<Bytes>> blocks; // per CTA-861 block
        std::set<R> fails;
    } cases[] = {
        {"an HDMI 2.1 sink with every block right",
         {{kVdb, vsdb, hf(kGoodForum), extended(0x06, {0x0D, 0x01, 0x78, 0x60, 0x10}),
           extended(0x05, {0xC1, 0xF0}), extended(0x0F, {0x05}), extended(0x0E, {0x61}),
           extended(0x00, {0x40}), kSpeaker}},
         {}},
        {"an HDMI 1.4 sink", {{kVdb, hdmiVsdb(300)}}, {}},
        {"two Forum blocks",
         {{vsdb, hf(kGoodForum), hf(kGoodForum)}},
         {R::ForumBlockOnce, R::ForumBlockAfterHdmiVsdb}},
        {"an SCDB after an HF-VSDB",
         {{vsdb, hf(kGoodForum), scdb(kGoodForum)}},
         {R::ForumBlockOnce, R::ForumBlockAfterHdmiVsdb}},
        {"the Forum block before the HDMI VSDB",
         {{hf(kGoodForum), vsdb}},
         {R::ForumBlockAfterHdmiVsdb}},
        {"a block between them", {{vsdb, kVdb, scdb(kGoodForum)}}, {R::ForumBlockAfterHdmiVsdb}},
        {"without HDMI VSDB", {{kVdb, hf(kGoodForum)}}, {R::ForumBlockAfterHdmiVsdb}},
        {"first in block 2 after the HDMI VSDB ending block 1",
         {{kVdb, vsdb}, {hf(kGoodForum)}},
         {}},
        {"HDMI VSDB at 345 MHz without a Forum block",
         {{hdmiVsdb(345)}},
         {R::HdmiVsdbMaxTmdsClock}},
        {"an HDMI VSDB too short for the clock",
         {{{0x66, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00}}},
         {}},
        {"Max_TMDS_Character_Rate 340 MHz",
         {{vsdb, hf({0x01, 68, 0x80, 0x00})}},
         {R::MaxTmdsCharacterRate}},
        {"Max_TMDS_Character_Rate 345 MHz", {{vsdb, hf({0x01, 69, 0x80, 0x00})}}, {}},
        {"Max_TMDS_Character_Rate 605 MHz", {{vsdb, forumWith(5, 121)}}, {R::MaxTmdsCharacterRate}},
        {"600 MHz without SCDC", {{vsdb, forumWith(6, 0x00)}}, {R::ScdcAbove340}},
        {"rate 0 without SCDC, FRL 1", {{vsdb, hf({0x01, 0x00, 0x00, 0x10})}}, {}},
        {"Max_FRL_Rate 7 is reserved", {{vsdb, forumWith(7, 0x70)}}, {R::MaxFrlRate}},
        {"FRL 6 Gbps with TMDS up to 340 MHz",
         {{vsdb, hf({0x01, 0x00, 0x80, 0x20})}},
         {R::MaxFrlRate}},
        {"FRL 3 Gbps with TMDS 0 (340 MHz)", {{vsdb, hf({0x01, 0x00, 0x80, 0x10})}}, {}},
        {"DSC without FRL", {{vsdb, forumWith(7, 0x00)}}, {R::DscNeedsFrl}},
        {"DSC_Max_FRL_Rate above Max_FRL_Rate", {{vsdb, forumWith(12, 0x41)}}, {R::DscNeedsFrl}},
        {"DSC_1p2 with DSC_MaxSlices 0", {{vsdb, forumWith(12, 0x30)}}, {R::DscNeedsFrl}},
        {"DSC_MaxSlices 8 is reserved", {{vsdb, forumWith(12, 0x38)}}, {R::DscNeedsFrl}},
        {"no DSC_1p2, its limits left set", {{vsdb, forumWith(11, 0x00)}}, {}},
        {"VRRmin 49 Hz", {{vsdb, forumWith(9, 49)}}, {R::VrrRanges}},
        {"VRRmax 99 Hz", {{vsdb, forumWith(10, 99)}}, {R::VrrRanges}},
        {"VRRmax 1023 Hz", {{vsdb, hf({0x01, 0x78, 0x80, 0x30, 0x00, 0xF0, 0xFF})}}, {}},
        {"VRRmax without VRRmin", {{vsdb, forumWith(9, 0)}}, {R::VrrOrder}},
        {"VRRmin without VRRmax", {{vsdb, forumWith(10, 0)}}, {}},
        {"VRRmin 50 above VRRmax 40",
         {{vsdb, hf({0x01, 0x78, 0x80, 0x30, 0x00, 50, 40})}},
         {R::VrrRanges, R::VrrOrder}},
        {"Version 0", {{vsdb, forumWith(4, 0)}}, {R::ForumReservedBits}},
        {"byte 13 bit 6", {{vsdb, forumWith(13, 0x40)}}, {R::ForumReservedBits}},
        {"SCDB reserved byte", {{vsdb, scdb(kGoodForum, 0x01)}}, {R::ForumReservedBits}},
        {"two speaker blocks, one in block 2",
         {{kSpeaker}, {kSpeaker}},
         {R::OnceSpeakerAllocation}},
        {"two colorimetry blocks",
         {{extended(0x05, {0x80, 0x00}), extended(0x05, {0x40, 0x00})}},
         {R::OnceColorimetry}},
        {"two VCDBs", {{extended(0x00, {0x40}), extended(0x00, {0x40})}}, {R::OnceVideoCapability}},
        {"two 4:2:0 maps",
         {{kVdb, extended(0x0F, {0x01}), extended(0x0F, {0x02})}},
         {R::OnceYcbcr420Map}},
        {"two HDR blocks",
         {{extended(0x06, {0x01, 0x01}), extended(0x06, {0x05, 0x01})}},
         {R::OnceHdrStaticMetadata}},
        {"two Video Format Preference blocks",
         {{extended(0x0D, {0x01}), extended(0x0D, {0x02})}},
         {R::OnceOtherBlocks}},
        {"two 4:2:0 Video Data Blocks may be",
         {{extended(0x0E, {0x61}), extended(0x0E, {0x60})}},
         {}},
        {"HDR EOTF bit 4", {{extended(0x06, {0x11, 0x01})}}, {R::HdrReservedBits}},
        {"HDR descriptor bit 1", {{extended(0x06, {0x01, 0x03})}}, {R::HdrReservedBits}},
        {"colorimetry MD0", {{extended(0x05, {0x01, 0x01})}}, {R::ColorimetryReservedBits}},
        {"colorimetry defaultRGB, sRGB, ICtCp, DCI-P3", {{extended(0x05, {0x00, 0xF0})}}, {}},
        {"4:2:0 map bit past the SVDs",
         {{video({0x10, 0x04}), extended(0x0F, {0x04})}},
         {R::Ycbcr420MapIndex}},
        {"4:2:0 map counts the SVDs of block 2 too",
         {{video({0x10, 0x04}), extended(0x0F, {0x04})}, {video({0x5F})}},
         {}},
        {"4:2:0 map marking no SVD", {{kVdb, extended(0x0F, {0x00})}}, {R::Ycbcr420MapIndex}},
        {"4:2:0 map of every SVD", {{kVdb, extended(0x0F, {})}}, {}},
        {"4:2:0-only VIC also an SVD",
         {{kVdb, extended(0x0E, {0x61, 0x5F})}},
         {R::Ycbcr420OnlyVics}},
        {"4:2:0-only VIC also a native SVD",
         {{kVdb, extended(0x0E, {0x10})}},
         {R::Ycbcr420OnlyVics}},
        {"SVD VIC 220", {{video({0x10, 220})}}, {R::SvdVicsDefined}},
        {"SVD byte 00h", {{video({0x10, 0x00})}}, {R::SvdVicsDefined}},
        {"SVD byte 80h", {{video({0x80})}}, {R::SvdVicsDefined}},
        {"SVD VIC 219 and 127", {{video({219, 127})}}, {}},
        {"4:2:0-only VIC 230", {{kVdb, extended(0x0E, {230})}}, {R::Ycbcr420VicsDefined}},
    };
    for (const Case& c : cases) {
        const Bytes image = imageOf(c.blocks);
        EXPECT_EQ(failed(image), c.fails) << c.what;
    }
}

TEST(Hdmi2Rules, OneVerdictPerRuleInOrderWithWhatBrokeIt) {
    const Bytes image =
        imageOf({{video({0x10, 220, 220, 0x00}), hdmiVsdb(400)}, {hf({0x01, 0x3C, 0x00, 0x00})}});
    const std::vector<Hdmi2Verdict> verdicts = checkHdmi2Rules(image);
    ASSERT_EQ(verdicts.size(), static_cast<std::size_t>(kHdmi2RuleCount));
    for (int k = 0; k < kHdmi2RuleCount; ++k) {
        EXPECT_EQ(verdicts[static_cast<std::size_t>(k)].rule, static_cast<R>(k));
        EXPECT_FALSE(hdmi2RuleText(static_cast<R>(k)).empty());
        EXPECT_EQ(verdicts[static_cast<std::size_t>(k)].failed,
                  !verdicts[static_cast<std::size_t>(k)].detail.empty());
    }
    const auto detail = [&](R rule) { return verdicts[static_cast<std::size_t>(rule)].detail; };
    EXPECT_EQ(detail(R::SvdVicsDefined), "VIC 220 x2, SVD byte 00h");
    EXPECT_EQ(detail(R::HdmiVsdbMaxTmdsClock), "400 MHz");
    EXPECT_EQ(detail(R::MaxTmdsCharacterRate), "300 MHz in block 2");
    EXPECT_EQ(detail(R::ForumBlockAfterHdmiVsdb), "");
}

// --- The corpus against edid-decode's listings ------------------------------

// edid-decode's failures and warnings of the kinds the section judges, and
// the rule each belongs to; a duplicate block is sorted by the block named.
std::set<R> rulesOfListing(const std::string& listing) {
    static const std::pair<const char*, R> kOnce[] = {
        {"Speaker Allocation Data Block:", R::OnceSpeakerAllocation},
        {"Colorimetry Data Block:", R::OnceColorimetry},
        {"Video Capability Data Block:", R::OnceVideoCapability},
        {"YCbCr 4:2:0 Capability Map Data Block:", R::OnceYcbcr420Map},
        {"HDR Static Metadata Data Block:", R::OnceHdrStaticMetadata},
    };
    static const std::pair<const char*, R> kMessages[] = {
        {"Duplicate HDMI Forum VSDB/SCDB", R::ForumBlockOnce},
        {"did not immediately follow the HDMI VSDB", R::ForumBlockAfterHdmiVsdb},
        {"HDMI VSDB Max TMDS rate is > 340", R::HdmiVsdbMaxTmdsClock},
        {"Max TMDS rate is > 0 and <= 340 or > 600", R::MaxTmdsCharacterRate},
        {"Max Fixed Rate Link", R::MaxFrlRate},
        {"VRRmin > 48", R::VrrRanges},
        {"VRRmax < 100", R::VrrRanges},
        {"VRRmin == 0, but VRRmax isn't", R::VrrOrder},
        {"HDR Static Metadata Data Block: Unknown EOTF", R::HdrReservedBits},
        {"Reserved bits MD0-MD3 must be 0", R::ColorimetryReservedBits},
        {"Capability Map Data Block: Max index", R::Ycbcr420MapIndex},
        {"Empty Capability Map.", R::Ycbcr420MapIndex},
        {"is also a regular VIC", R::Ycbcr420OnlyVics},
        {"is also a YCbCr 4:2:0-only VIC", R::Ycbcr420OnlyVics},
        {"  Video Data Block: Unknown VIC", R::SvdVicsDefined},
        {"YCbCr 4:2:0 Video Data Block: Unknown VIC", R::Ycbcr420VicsDefined},
    };
    std::set<R> rules;
    const std::size_t from = std::min(listing.find("\nWarnings:"), listing.find("\nFailures:"));
    if (from == std::string::npos)
        return rules;
    std::istringstream in(listing.substr(from));
    for (std::string line; std::getline(in, line);) {
        if (line.find("Only one instance of this Data Block is allowed.") != std::string::npos) {
            R rule = R::OnceOtherBlocks;
            for (const auto& [block, once] : kOnce)
                if (line.rfind(std::string("  ") + block, 0) == 0)
                    rule = once;
            rules.insert(rule);
        }
        for (const auto& [message, rule] : kMessages)
            if (line.find(message) != std::string::npos)
                rules.insert(rule);
    }
    return rules;
}

TEST(Hdmi2Rules, EveryRealEdidIsFlaggedWhereEdidDecodeFlagsTheSameKind) {
    // Where the section and edid-decode part: SVD bytes 00h and 80h are
    // reserved (CTA-861-H 7.5.1); edid-decode skips them without a word.
    const std::set<std::pair<std::string, R>> onlySection = {
        {"del_2200_dell-s2721qs_256", R::SvdVicsDefined},
        {"gbt_2708_g27f_256", R::SvdVicsDefined},
    };
    int agreed = 0;
    std::map<R, int> perRule;
    for (const auto& file : test::corpusFiles()) {
        const std::string name = file.stem().string();
        const fs::path listing =
            fs::path(PELLAM_CORPUS_DIR) / ".." / "edid-decode" / (name + ".edid-decode.txt");
        const std::string raw = test::readFile(file);
        const std::set<R> ours =
            failed(std::span(reinterpret_cast<const Byte*>(raw.data()), raw.size()));
        const std::set<R> theirs = rulesOfListing(test::readFile(listing));
        for (int k = 0; k < kHdmi2RuleCount; ++k) {
            const R rule = static_cast<R>(k);
            const bool mine = ours.count(rule) != 0;
            const bool reference = theirs.count(rule) != 0;
            if (mine && reference) {
                ++agreed;
                ++perRule[rule];
            } else if (mine) {
                EXPECT_TRUE(onlySection.count({name, rule})) << name << " rule " << k;
            } else {
                EXPECT_FALSE(reference) << name << " rule " << k << " flagged by edid-decode only";
            }
        }
    }
    EXPECT_EQ(agreed, 88);
    EXPECT_EQ(perRule[R::ColorimetryReservedBits], 49);
    EXPECT_EQ(perRule[R::HdmiVsdbMaxTmdsClock], 10);
    EXPECT_EQ(perRule[R::OnceSpeakerAllocation], 9);
    EXPECT_EQ(perRule[R::ForumBlockAfterHdmiVsdb], 4);
}

// --- The section in the report ------------------------------------------------

TEST(Hdmi2Section, OnlyWhenAskedAfterEveryOtherItemNumberedOn) {
    const Bytes bytes = imageOf({{kVdb, hdmiVsdb(400), hf(kGoodForum)}, {kSpeaker, kSpeaker}});
    DataBlockCollection model;
    EdidImage first{};
    std::copy_n(bytes.begin(), first.size(), first.begin());
    parseExtensionBlock(first, model);
    CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
    const AnalyserReport without = writeAnalyserReport(bytes, cdf, model);
    cdf.hdmi2Section = true;
    const AnalyserReport with = writeAnalyserReport(bytes, cdf, model);

    // Everything before the section is the report without it.
    const auto at = std::find(with.lines.begin(), with.lines.end(), "   Test : HDMI 2.x");
    ASSERT_NE(at, with.lines.end());
    const std::size_t before = static_cast<std::size_t>(at - with.lines.begin()) - 1;
    EXPECT_TRUE(std::equal(with.lines.begin(), with.lines.begin() + before, without.lines.begin()));
    EXPECT_EQ(std::find(without.lines.begin(), without.lines.end(), "   Test : HDMI 2.x"),
              without.lines.end());
    EXPECT_EQ(*(at + 4),
              "** FAIL-> " + std::string(hdmi2RuleText(R::HdmiVsdbMaxTmdsClock)) + ": 400 MHz");
    EXPECT_EQ(*(at + 12),
              "** FAIL-> " + std::string(hdmi2RuleText(R::OnceSpeakerAllocation)) + ": 2 blocks");
    EXPECT_EQ(*(at + 2), "   PASS-> " + std::string(hdmi2RuleText(R::ForumBlockOnce)));

    // Numbered after the checks of block 2 (112, 113), in section "HDMI 2.x".
    ASSERT_EQ(with.items.size(), without.items.size() + kHdmi2RuleCount);
    const ReportItem& firstRule = with.items[without.items.size()];
    EXPECT_EQ(without.items.back().number, 113);
    EXPECT_EQ(firstRule.number, 114);
    EXPECT_EQ(firstRule.section, "HDMI 2.x");
    EXPECT_EQ(with.items.back().number, 114 + kHdmi2RuleCount - 1);
    EXPECT_EQ(with.failCount, without.failCount + 2);
    EXPECT_EQ(with.lines.back(), "   Fail " + std::to_string(with.failCount) + " Items!");
}

} // namespace
} // namespace pellam
