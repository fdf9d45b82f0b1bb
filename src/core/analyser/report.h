// The compliance report: banner, hex dumps of both blocks, one PASS/FAIL line
// per item grouped by test ID, and the number of failed items.
#pragma once

#include "core/analyser/analyser.h"
#include "core/analyser/item_location.h"

#include <string>
#include <vector>

namespace pellam {

// One item line of the report, for machine-readable output.
struct ReportItem {
    enum class Verdict { Pass, Fail, Skip };
    std::string section; // "8-1", "8-17", ..., or the section's title when it has no test ID
                         // ("Vender Specific", "Extension Blocks", "HDMI 2.x")
    int number = 0;      // the item's number (0..111; 112 on for the checks of further
                         // blocks, then the HDMI 2.x rules)
    std::string text;    // the item's message as the report prints it
    Verdict verdict = Verdict::Pass;
    // Where one item is printed once for each of several things it judges,
    // which one it judged: the detailed timing of 8-17 (1 for the first one
    // judged) or the block of the checks of further blocks; 0 for an item
    // printed once. indexOf names the kind ("timing", "block").
    int index = 0;
    const char* indexOf = "";
    // The bytes the item judged, when it judged particular ones.
    ItemLocation where;
};

const char* verdictName(ReportItem::Verdict verdict);

struct AnalyserReport {
    // The report's lines. A break line holds three blanks and two line feeds.
    std::vector<std::string> lines;
    // The item lines among them, in report order.
    std::vector<ReportItem> items;
    bool evaluated = false; // false when the evaluation failed internally
    int failCount = 0;
};

// Evaluates the buffer and writes the report. The model is the decoded block 1
// whose video, colour and deep-colour fields the rules read; moreBlocks are
// the blocks after block 1 of a longer image (Evaluate).
AnalyserReport writeAnalyserReport(const EdidImage& buffer,
                                   const CapabilityDeclaration& declaration,
                                   const DataBlockCollection& model,
                                   std::span<const Byte> moreBlocks = {});
// The same for an image of any length: its first 256 bytes (zeros after a
// shorter one) and the whole blocks after them.
AnalyserReport writeAnalyserReport(std::span<const Byte> bytes,
                                   const CapabilityDeclaration& declaration,
                                   const DataBlockCollection& model);

// The report writer with the evaluation done (for tests of the layout); the
// items are left in `items` when it is given.
std::vector<std::string> formatAnalyserReport(const EdidImage& buffer,
                                              const CapabilityDeclaration& declaration,
                                              const DataBlockCollection& model,
                                              const AnalyserResult& result,
                                              std::vector<ReportItem>* items = nullptr);

} // namespace pellam
