// The analyser and its report over any 256 bytes, with the declaration taken
// from further input bytes: the evaluation completes and the report ends with
// the count of failed items.
#include "core/analyser/report.h"
#include "core/cea/extension_block.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace pellam;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EdidImage buffer{};
    std::memcpy(buffer.data(), data, std::min(size, buffer.size()));
    CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
    if (size > 258) {
        const unsigned flags = data[256] | data[257] << 8;
        cdf.hdmiOutputCount = data[258] % 3;
        bool* const fields[] = {&cdf.sinkHdtv,         &cdf.sinkYuvOnOther,   &cdf.sink60Hz,
                                &cdf.sink50Hz,         &cdf.sink720p60Other,  &cdf.sink720p50Other,
                                &cdf.sink1080i60Other, &cdf.sink1080i50Other, &cdf.sink3D,
                                &cdf.sink3DAdditional, &cdf.sink4Kx2K,        &cdf.sinkSupportAI,
                                &cdf.sinkBasicAudio,   &cdf.cecRootDevice};
        for (unsigned i = 0; i < std::size(fields); ++i)
            *fields[i] = (flags >> i) & 1;
    }
    DataBlockCollection model;
    parseExtensionBlock(buffer, model);
    const AnalyserReport report = writeAnalyserReport(buffer, cdf, model);
    check(report.evaluated);
    const std::string last = report.failCount == 0
                                 ? "   All Pass!"
                                 : "   Fail " + std::to_string(report.failCount) + " Items!";
    check(report.lines.back() == last);
    return 0;
}
