#include "core/cea/modern_blocks.h"
#include "support/test_support.h"

#include <cstdio>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

namespace pellam {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<Byte>;
using Lines = std::vector<std::string>;

// The data blocks of every CTA-861 block of a corpus file, in image order.
std::vector<CtaDataBlockInfo> ctaDataBlocks(const fs::path& file) {
    const std::string raw = test::readFile(file);
    std::vector<CtaDataBlockInfo> all;
    for (std::size_t at = 128; at + 128 <= raw.size(); at += 128) {
        std::array<Byte, 128> block;
        std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>(at), 128, block.begin());
        for (auto& info : listCtaDataBlocks(block))
            all.push_back(std::move(info));
    }
    return all;
}

// (a) Every block of these kinds in every CTA block of the corpus decodes and
// encodes back to its own bytes. The counts are those of the corpus.
TEST(ModernBlocks, EveryCorpusBlockOfTheseKindsRoundTrips) {
    std::map<std::string, int> met;
    for (const auto& file : test::corpusFiles()) {
        for (const auto& info : ctaDataBlocks(file)) {
            const Bytes& b = info.bytes;
            auto check = [&](const std::string& kind, const auto& decoded, auto encode) {
                ++met[kind];
                ASSERT_TRUE(decoded) << file.filename() << " @" << info.offset << " " << kind;
                EXPECT_EQ(encode(*decoded), b) << file.filename() << " @" << info.offset;
            };
            if (isHdmiForumVsdb(b) || isHdmiForumScdb(b))
                check(isHdmiForumVsdb(b) ? "HF-VSDB" : "HF-SCDB", decodeHdmiForumBlock(b),
                      encodeHdmiForumBlock);
            else if (info.extTag == HdrStaticMetadataBlock::kExtTag)
                check("HDR", decodeHdrStaticMetadata(b), encodeHdrStaticMetadata);
            else if (info.extTag == ColorimetryBits::kExtTag)
                check("colorimetry", decodeColorimetryBits(b), encodeColorimetryBits);
            else if (info.extTag == Ycbcr420VideoBlock::kExtTag)
                check("420 video", decodeYcbcr420Video(b), encodeYcbcr420Video);
            else if (info.extTag == Ycbcr420CapabilityMap::kExtTag)
                check("420 map", decodeYcbcr420CapabilityMap(b), encodeYcbcr420CapabilityMap);
        }
    }
    const std::map<std::string, int> corpus = {{"HF-VSDB", 45},   {"HF-SCDB", 1},
                                               {"HDR", 64},       {"colorimetry", 82},
                                               {"420 video", 10}, {"420 map", 31}};
    EXPECT_EQ(met, corpus);
}

// (b) Fields against the reference decoder. A row holds the lines edid-decode
// prints for one field of one file (none: not set). Each line must be in the
// stored edid-decode text, and the decoded record, put in the same words,
// must give exactly the row's lines.

enum class Field { Tmds, Frl, Dsc, Eotfs, Luminance, Colorimetry, Vics420, MapVics };

struct Decoded {
    HdmiForumBlock hf;
    HdrStaticMetadataBlock hdr;
    ColorimetryBits colorimetry;
    std::optional<Ycbcr420VideoBlock> video420;
    std::optional<Ycbcr420CapabilityMap> map420;
    std::vector<int> vdbVics; // the SVDs of the Video Data Blocks, in order
};

// The last block of each kind in the file (the chosen files have one).
Decoded decodeFile(const std::string& name) {
    Decoded d;
    for (const auto& info : ctaDataBlocks(fs::path(PELLAM_CORPUS_DIR) / (name + ".bin"))) {
        const auto& b = info.bytes;
        d.hf = decodeHdmiForumBlock(b).value_or(d.hf);
        d.hdr = decodeHdrStaticMetadata(b).value_or(d.hdr);
        d.colorimetry = decodeColorimetryBits(b).value_or(d.colorimetry);
        d.video420 = d.video420 ? d.video420 : decodeYcbcr420Video(b);
        d.map420 = d.map420 ? d.map420 : decodeYcbcr420CapabilityMap(b);
        for (std::size_t i = 1; info.tag == 2 && i < b.size(); ++i)
            d.vdbVics.push_back(decodeSvd(b[i]).vic);
    }
    return d;
}

std::string printed(const std::string& format, int a, double b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format.c_str(), a, b);
    return text;
}

// The reference decoder's words for the rates an FRL code allows.
std::string frlWords(int code) {
    const FrlRate r = frlRate(code).value_or(FrlRate{});
    const std::string fourLanes[] = {", 6", ", 6 and 8", ", 6, 8 and 10", ", 6, 8, 10 and 12"};
    return (r.gbpsPerLane == 3 ? "3" : "3 and 6") + std::string(" Gbps per lane on 3 lanes") +
           (r.lanes == 4 ? fourLanes[(r.gbpsPerLane - 6) / 2] + " Gbps on 4 lanes" : "");
}

Lines render(Field f, const Decoded& d) {
    Lines out;
    const auto add = [&](bool on, const std::string& line) {
        if (on)
            out.push_back(line);
    };
    const HdmiForumBlock& h = d.hf;
    const HdrStaticMetadataBlock& hdr = d.hdr;
    const auto lum = [&](const std::string& what, std::optional<int> code, double cdm2) {
        add(code.has_value(),
            printed("Desired content " + what + ": %d (%.3f cd/m^2)", code.value_or(0), cdm2));
    };
    switch (f) {
    case Field::Tmds:
        add(h.maxTmdsCharacterRate != 0,
            printed("Maximum TMDS Character Rate: %d MHz", maxTmdsCharacterRateMhz(h)));
        add(h.scdcPresent, "SCDC Present");
        add(h.allm, "Supports Auto Low-Latency Mode");
        break;
    case Field::Frl:
        add(h.maxFrlRate != 0, "Max Fixed Rate Link: " + frlWords(h.maxFrlRate));
        add(h.dscMaxFrlRate != 0, "DSC Max Fixed Rate Link: " + frlWords(h.dscMaxFrlRate));
        break;
    case Field::Dsc:
        add(h.dsc1p2, "Supports VESA DSC 1.2a compression");
        break;
    case Field::Eotfs:
        add(hdr.sdrGamma, "Traditional gamma - SDR luminance range");
        add(hdr.hdrGamma, "Traditional gamma - HDR luminance range");
        add(hdr.smpteSt2084, "SMPTE ST2084");
        add(hdr.hlg, "Hybrid Log-Gamma");
        break;
    case Field::Luminance: {
        const int max = hdr.maxLuminance.value_or(0);
        const int avg = hdr.maxFrameAverageLuminance.value_or(0);
        lum("max luminance", hdr.maxLuminance, maxLuminanceCdM2(max));
        lum("max frame-average luminance", hdr.maxFrameAverageLuminance, maxLuminanceCdM2(avg));
        lum("min luminance", hdr.minLuminance, minLuminanceCdM2(max, hdr.minLuminance.value_or(0)));
        break;
    }
    case Field::Colorimetry: // with the reference decoder's older names for MD0 and DCI-P3
        for (const auto n : colorimetryNames(d.colorimetry))
            out.push_back(n == "MD0"      ? "Reserved MD0"
                          : n == "DCI-P3" ? "ST2113RGB"
                                          : std::string(n));
        break;
    case Field::Vics420:
        for (const auto& svd : d.video420.value().svds)
            out.push_back(printed("VIC %3d:", svd.vic));
        break;
    case Field::MapVics:
        for (const int i : ycbcr420MappedSvds(d.map420.value(), static_cast<int>(d.vdbVics.size())))
            out.push_back(printed("VIC %3d:", d.vdbVics.at(static_cast<std::size_t>(i))));
        break;
    }
    return out;
}

struct FieldRow {
    const char* file;
    Field field;
    Lines lines;
};

const char* const kCrm = "crm_1b20_27qhd240_256";
const char* const kGsm = "gsm_9e8c_lg-ultragear_512"; // the CTA block is block 2
const char* const kAmz = "amz_0000_firetv_256";
const char* const kViz = "viz_1046_d32h-j09_256"; // an HF-SCDB
const char* const kHec = "hec_002f_hisense_256";
const char* const kAcr = "acr_095d_qg241y_256";
const char* const kSam = "sam_72f2_odyssey-g85sb_512"; // HF-VSDB of 14 bytes, zero from byte 8
const std::string kFrl3 = "3 and 6 Gbps per lane on 3 lanes, 6 Gbps on 4 lanes";
const std::string kFrl6 = "3 and 6 Gbps per lane on 3 lanes, 6, 8, 10 and 12 Gbps on 4 lanes";
const std::string kDsc = "Supports VESA DSC 1.2a compression";
const std::string kTmds600 = "Maximum TMDS Character Rate: 600 MHz";
const std::string kMax = "Desired content max luminance: ";
const std::string kAvg = "Desired content max frame-average luminance: ";
const std::string kMin = "Desired content min luminance: ";
const std::string kSdr = "Traditional gamma - SDR luminance range";

const FieldRow kFieldRows[] = {
    {kCrm, Field::Tmds, {kTmds600, "SCDC Present"}},
    {kCrm, Field::Frl, {"Max Fixed Rate Link: " + kFrl3, "DSC Max Fixed Rate Link: " + kFrl3}},
    {kCrm, Field::Dsc, {kDsc}},
    {kCrm, Field::Eotfs, {kSdr, "SMPTE ST2084", "Hybrid Log-Gamma"}},
    {kCrm,
     Field::Luminance,
     {kMax + "110 (541.702 cd/m^2)", kAvg + "96 (400.000 cd/m^2)", kMin + "0 (0.000 cd/m^2)"}},
    {kCrm,
     Field::Colorimetry,
     {"xvYCC601", "xvYCC709", "BT2020YCC", "BT2020RGB", "Reserved MD0", "ST2113RGB"}},
    {kCrm, Field::MapVics, {"VIC  97:"}},
    {kCrm, Field::Vics420, {"VIC 117:", "VIC 118:"}},
    {kGsm, Field::Frl, {"Max Fixed Rate Link: " + kFrl6, "DSC Max Fixed Rate Link: " + kFrl6}},
    {kGsm, Field::Dsc, {kDsc}},
    {kGsm,
     Field::Luminance,
     {kMax + "115 (603.666 cd/m^2)", kAvg + "51 (150.916 cd/m^2)", kMin + "10 (0.009 cd/m^2)"}},
    {kGsm, Field::MapVics, {"VIC 118:", "VIC  97:", "VIC  96:"}},
    {kAmz, Field::Tmds, {kTmds600, "SCDC Present", "Supports Auto Low-Latency Mode"}},
    {kAmz, Field::Frl, {}},
    {kAmz,
     Field::Eotfs,
     {kSdr, "Traditional gamma - HDR luminance range", "SMPTE ST2084", "Hybrid Log-Gamma"}},
    {kAmz,
     Field::Luminance,
     {kMax + "90 (351.250 cd/m^2)", kAvg + "90 (351.250 cd/m^2)", kMin + "36 (0.070 cd/m^2)"}},
    {kAmz, Field::MapVics, {"VIC  97:", "VIC 102:"}},
    {kViz, Field::Tmds, {"Supports Auto Low-Latency Mode"}},
    {kViz, Field::Colorimetry, {"xvYCC601", "xvYCC709", "Reserved MD0"}},
    {kHec, Field::Vics420, {"VIC  96:", "VIC  97:", "VIC 106:", "VIC 107:"}},
    {kHec, Field::Luminance, {}},
    {kHec,
     Field::Colorimetry,
     {"xvYCC601", "xvYCC709", "sYCC601", "opYCC601", "opRGB", "BT2020cYCC", "BT2020YCC",
      "BT2020RGB", "Reserved MD0"}},
    {kAcr, Field::MapVics, {"VIC  97:"}}, // bit 7 of the first byte
    {kSam, Field::Dsc, {}},
};

TEST(ModernBlocks, FieldsMatchTheReferenceDecoder) {
    for (const auto& row : kFieldRows) {
        SCOPED_TRACE(std::string(row.file) + " field " +
                     std::to_string(static_cast<int>(row.field)));
        const std::string text =
            test::readFile(fs::path(PELLAM_CORPUS_DIR).parent_path() / "edid-decode" /
                           (row.file + std::string(".edid-decode.txt")));
        ASSERT_FALSE(text.empty());
        for (const auto& line : row.lines)
            EXPECT_NE(text.find("    " + line), std::string::npos) << line;
        EXPECT_EQ(render(row.field, decodeFile(row.file)), row.lines);
    }
}

// (c) Crafted blocks.

TEST(ModernBlocks, CapabilityMapAllFormAndMarking) {
    struct Row {
        Bytes block;
        int svdCount, index;
        bool mapped;
        Bytes after;
        std::vector<int> marked;
    };
    const Row rows[] = {
        {{0xE1, 0x0F}, 5, 2, true, {0xE1, 0x0F}, {0, 1, 2, 3, 4}},     // all form stays
        {{0xE1, 0x0F}, 5, 2, false, {0xE2, 0x0F, 0x1B}, {0, 1, 3, 4}}, // explicit bitmap
        {{0xE1, 0x0F}, 10, 9, false, {0xE3, 0x0F, 0xFF, 0x01}, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {{0xE2, 0x0F, 0x01}, 20, 12, true, {0xE3, 0x0F, 0x01, 0x10}, {0, 12}}, // grows
        {{0xE2, 0x0F, 0x01}, 20, 12, false, {0xE2, 0x0F, 0x01}, {0}},
        {{0xE2, 0x0F, 0x01}, 1, 0, false, {0xE2, 0x0F, 0x00}, {}}, // never back to "all"
    };
    for (const auto& r : rows) {
        auto map = decodeYcbcr420CapabilityMap(r.block).value();
        EXPECT_TRUE(setYcbcr420Mapped(map, r.index, r.mapped, r.svdCount));
        EXPECT_EQ(encodeYcbcr420CapabilityMap(map), r.after);
        EXPECT_EQ(ycbcr420MappedSvds(map, r.svdCount), r.marked);
        EXPECT_EQ(ycbcr420Maps(map, r.index), r.mapped || r.after.size() == 2);
    }
    Ycbcr420CapabilityMap map;
    EXPECT_FALSE(setYcbcr420Mapped(map, 240, false, 5));
    EXPECT_TRUE(map.bitmap.empty());
}

TEST(ModernBlocks, HdmiForumMinimalBlockWritesOnlyItsBytes) {
    const Bytes minimal = {0x67, 0xD8, 0x5D, 0xC4, 0x01, 0x78, 0x80, 0x03};
    auto hf = decodeHdmiForumBlock(minimal).value();
    EXPECT_EQ(hf.size, 8);
    EXPECT_TRUE(hf.scdcPresent && hf.dc36bit420 && hf.dc30bit420 && !hf.allm);
    hf.allm = true; // byte 8 is not in the block
    EXPECT_EQ(encodeHdmiForumBlock(hf), minimal);
    hf.size = 9;
    EXPECT_EQ(encodeHdmiForumBlock(hf), (Bytes{0x68, 0xD8, 0x5D, 0xC4, 1, 0x78, 0x80, 3, 0x02}));
    // VRRmax bits 9..8 sit above VRRmin in byte 9, bits 7..0 in byte 10.
    const Bytes vrr = {0x6A, 0xD8, 0x5D, 0xC4, 1, 0x78, 0x80, 3, 0, 0x70, 0x2C};
    hf = decodeHdmiForumBlock(vrr).value();
    EXPECT_EQ(std::pair(hf.vrrMin, hf.vrrMax), std::pair(48, 300));
    EXPECT_FALSE(decodeHdmiForumBlock(Bytes(minimal.begin(), minimal.end() - 1))); // cut short
    EXPECT_FALSE(decodeHdmiForumBlock(Bytes{0x66, 0xD8, 0x5D, 0xC4, 0x01, 0x78, 0x80}));
    EXPECT_FALSE(decodeHdmiForumBlock(Bytes{0x67, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x80, 0x03}));
}

// Reserved bits, reserved bytes and bytes past the known fields survive.
TEST(ModernBlocks, ReservedAndTrailingBytesAreKept) {
    const Bytes hfBytes = {0x6F, 0xD8, 0x5D, 0xC4, 1,    0x78, 0xFF, 0xFF,
                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xAA, 0x55};
    const Bytes scdb = {0xEF, 0x79, 0x12, 0x34, 1, 0, 0, 8, 2, 0, 0, 0, 0, 0xC0, 1, 2};
    for (const Bytes& b : {hfBytes, scdb})
        EXPECT_EQ(encodeHdmiForumBlock(decodeHdmiForumBlock(b).value()), b);
    const auto hf = decodeHdmiForumBlock(hfBytes).value();
    EXPECT_EQ(hf.trailing, (Bytes{0xAA, 0x55}));
    EXPECT_EQ(hf.vrrMax, 1023);
    EXPECT_EQ(hf.vrrMin, 63);
    EXPECT_EQ(decodeHdmiForumBlock(scdb)->scdbReserved, (std::array<Byte, 2>{0x12, 0x34}));
    for (const Bytes& b : {Bytes{0xE7, 0x06, 0xFF, 0xFF, 0x60, 0x50, 0x20, 0x99},
                           Bytes{0xE4, 0x06, 0x05, 0x01, 0x60}})
        EXPECT_EQ(encodeHdrStaticMetadata(decodeHdrStaticMetadata(b).value()), b);
    const Bytes colorimetry = {0xE4, 0x05, 0xFF, 0xFF, 0x42};
    EXPECT_EQ(encodeColorimetryBits(decodeColorimetryBits(colorimetry).value()), colorimetry);
    // A min luminance code alone writes the two codes before it as zeros.
    HdrStaticMetadataBlock hdr;
    hdr.minLuminance = 7;
    EXPECT_EQ(encodeHdrStaticMetadata(hdr), (Bytes{0xE6, 0x06, 0, 0, 0, 0, 7}));
}

TEST(ModernBlocks, CodeTables) {
    EXPECT_EQ(frlRateText(0), "no FRL");
    EXPECT_EQ(frlRateText(1), "3 lanes x 3 Gbps");
    EXPECT_EQ(frlRateText(3), "4 lanes x 6 Gbps");
    EXPECT_EQ(frlRateText(7), "reserved (7)");
    EXPECT_EQ(dscSliceLimit(4), (DscSliceLimit{8, 340})); // as printed for crm_1b20
    EXPECT_EQ(dscTotalChunkBytes(12), 13312);             // likewise
    EXPECT_EQ(dscSliceLimit(5), (DscSliceLimit{8, 400}));
    EXPECT_EQ(dscSliceLimit(7), (DscSliceLimit{16, 400}));
    EXPECT_FALSE(dscSliceLimit(8));
    const std::map<Byte, ShortVideoCode> svds = {
        {0x7F, {127, false}}, {0x80, {0, true}}, {0xC0, {64, true}}, {0xC1, {193, false}}};
    for (const auto& [byte, svd] : svds)
        EXPECT_EQ(decodeSvd(byte), svd) << int(byte);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(encodeSvd(decodeSvd(static_cast<Byte>(b))), b);
}

TEST(ModernBlocks, ListingWalksTheBlocksUpToTheTimings) {
    std::array<Byte, 128> block{};
    const Bytes head = {0x02, 0x03, 13, 0x00, 0x42, 0x10, 0x04, 0xE3, 0x06, 0x01, 0x01, 0x23, 0x09};
    std::copy(head.begin(), head.end(), block.begin());
    const auto list = listCtaDataBlocks(block);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], (CtaDataBlockInfo{2, -1, 4, 2, {0x42, 0x10, 0x04}, false}));
    EXPECT_EQ(list[1], (CtaDataBlockInfo{7, 6, 7, 3, {0xE3, 0x06, 0x01, 0x01}, false}));
    EXPECT_EQ(list[2], (CtaDataBlockInfo{1, -1, 11, 3, {0x23, 0x09, 0x00, 0x00}, true}));
    block[2] = 11; // the 4-byte block ends right at the timings
    ASSERT_EQ(listCtaDataBlocks(block).size(), 2u);
    EXPECT_FALSE(listCtaDataBlocks(block)[1].overrunsDtdStart);
    block[1] = 2; // revision 2 has no data blocks
    EXPECT_TRUE(listCtaDataBlocks(block).empty());
}

} // namespace
} // namespace pellam
