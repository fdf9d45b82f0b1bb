#include "core/analyser/report.h"
#include "core/cea/extension_block.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

// Every real EDID, as read and with every declaration set, is evaluated to
// the end and its report closes with the count of the items that failed.
TEST(CorpusAnalyse, EveryRealEdidGetsAFullReport) {
    CapabilityDeclaration everything = CapabilityDeclaration::dialogDefaults();
    everything.hdmiOutputCount = 1;
    everything.sinkHdtv = everything.sinkYuvOnOther = everything.sink60Hz = true;
    everything.sink50Hz = everything.sink720p60Other = everything.sink720p50Other = true;
    everything.sink1080i60Other = everything.sink1080i50Other = everything.sink3D = true;
    everything.sink3DAdditional = everything.sink4Kx2K = everything.sinkSupportAI = true;
    for (const auto& file : test::corpusFiles()) {
        SCOPED_TRACE(file.filename().string());
        const EdidImage buffer = test::imageFromBytes(test::readFile(file));
        DataBlockCollection model;
        parseExtensionBlock(buffer, model);
        for (const CapabilityDeclaration& cdf :
             {CapabilityDeclaration::dialogDefaults(), everything}) {
            const AnalyserReport report = writeAnalyserReport(buffer, cdf, model);
            ASSERT_TRUE(report.evaluated);
            ASSERT_GT(report.lines.size(), 80u);
            const std::string expectedLast =
                report.failCount == 0 ? "   All Pass!"
                                      : "   Fail " + std::to_string(report.failCount) + " Items!";
            EXPECT_EQ(report.lines.back(), expectedLast);
        }
    }
}

} // namespace
} // namespace pellam
