// The compliance report: banner, hex dumps of both blocks, one PASS/FAIL line
// per item grouped by test ID, and the number of failed items.
#pragma once

#include "analyser/analyser.h"

#include <string>
#include <vector>

namespace pellam {

struct AnalyserReport {
    // The report's lines. A break line holds three blanks and two line feeds.
    std::vector<std::string> lines;
    bool evaluated = false; // false when the evaluation failed internally
    int failCount = 0;
};

// Evaluates the buffer and writes the report. The model is the decoded block 1
// whose video, colour and deep-colour fields the rules read.
AnalyserReport writeAnalyserReport(const EdidImage& buffer,
                                   const CapabilityDeclaration& declaration,
                                   const DataBlockCollection& model);

// The report writer with the evaluation done (for tests of the layout).
std::vector<std::string> formatAnalyserReport(const EdidImage& buffer,
                                              const CapabilityDeclaration& declaration,
                                              const DataBlockCollection& model,
                                              const AnalyserResult& result);

} // namespace pellam
