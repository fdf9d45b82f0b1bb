// The compliance evaluation: the sink EDID items of the HDMI compliance test
// (test IDs 8-1, 8-2, 8-3, 8-17, 8-18, 8-19, 8-20) and two HDMI 1.3a rules,
// over a 256-byte EDID, the sink's capability declaration and the decoded
// model of block 1.
#pragma once

#include "core/analyser/capability_declaration.h"
#include "core/cea/data_block_collection.h"
#include "core/edid/edid_image.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

inline constexpr int kAnalyserItemCount = 112;
inline constexpr int kMaxAnalysedDtds = 12;

// Item numbers the report refers to by name.
enum AnalyserItem : int {
    kItemDtdMatchesFormat = 73,   // "DTD is matching an 861D format with VIC = "
    kItemFirstDtdVicInSvd = 74,   // 74 + 2i: the matched VIC is among the SVDs
    kItemFirstDtdExactClock = 75, // 75 + 2i: the clock equals the format's exactly
};

// A check of an image longer than 256 bytes, beyond the numbered items: byte
// 126 against the blocks present, and each further block's checksum.
struct ExtensionBlockItem {
    std::string text;
    bool failed = false;
    bool operator==(const ExtensionBlockItem&) const = default;
};

// Verdicts (0 PASS, nonzero FAIL) and the values the report prints besides.
struct AnalyserResult {
    std::array<std::int32_t, kAnalyserItemCount> verdicts{};
    int dtdCount = 0;
    std::array<int, kMaxAnalysedDtds> dtdVicList{};
    std::uint32_t matchedDtdMask = 0;
    // Image offset of each detailed timing judged by 8-17, block 0's first.
    std::array<int, kMaxAnalysedDtds> dtdOffsets{};
    int vsdbLength = 0;             // payload length of the last HDMI VSDB met
    bool formatSectionFlag = false; // an 8-18 format was declared
    bool pixelEncodingFlag = false; // the model declares YCbCr 4:4:4 or 4:2:2
    float highestDtdClock = 0.0f;   // MHz
    // Images longer than 256 bytes only: the checks of the blocks after block 1.
    std::vector<ExtensionBlockItem> extensionBlockItems;
    // With the HDMI 2.x section asked for: one line per rule (hdmi2_rules.h).
    std::vector<ExtensionBlockItem> hdmi2Items;

    bool failed(int item) const { return verdicts[static_cast<std::size_t>(item)] != 0; }
    // Items that failed, printed or not, failed checks of further blocks and
    // failed HDMI 2.x rules.
    int failCount() const;
};

// Message k of the report, for item k.
std::string_view analyserMessage(int item);

// Runs every check over the buffer; the model is the decoded block 1 the
// video, colour and deep-colour rules read. moreBlocks are the blocks after
// block 1 of a longer image: they get checks of their own, and the short
// video descriptors and speaker allocation of the CTA-861 blocks among them
// count where a rule looks for a format or a block anywhere in the EDID
// (CTA-861 lets a sink spread its data blocks over several CTA blocks).
// When the declaration asks for the HDMI 2.x section, its rules judge every
// CTA-861 block of the image.
// Returns false when the evaluation failed internally (the report then says
// so in one line); it never throws.
bool Evaluate(const EdidImage& buffer, const CapabilityDeclaration& declaration,
              const DataBlockCollection& model, AnalyserResult& result,
              std::span<const Byte> moreBlocks = {});

} // namespace pellam
