#include "core/analyser/report.h"

#include <algorithm>
#include <cstdio>

namespace pellam {

namespace {

const std::string kIndent = "   ";
const std::string kBreakLine = kIndent + "\n\n";
const std::string kSeparator = kIndent + std::string(55, '-');

class ReportWriter {
public:
    ReportWriter(const EdidImage& buffer, const CapabilityDeclaration& declaration,
                 const DataBlockCollection& model, const AnalyserResult& result)
        : m_buffer(buffer)
        , m_cdf(declaration)
        , m_model(model)
        , m_result(result) {}

    void banner() {
        indented("              HDMI EDID content analyser");
        indented("Sink EDID test items of HDMI CTS 8-1 to 8-3 and 8-17 to 8-20");
        indented(std::string(53, '='));
        breakLine();
    }

    void exceptionLine() { indented("Exception Error! Please Check Your EDID Data."); }

    void body() {
        hexDump(0);
        breakLine();
        section("Test ID 8-1 : EDID Readable");
        items({0, 1, 3});
        breakLine();
        hexDump(1);
        blankLine();
        item(2);

        breakLine();
        section("Test ID 8-2 : EDID VESA Structure");
        itemRange(4, 11);

        breakLine();
        section("Test ID 8-3 : CEA Timing Extension Structure");
        itemRange(12, 21);
        items({25, 22, 23, 24});
        if (m_model.videoCapability.present)
            items({67, 68, 69});
        if (m_model.colorimetry.present)
            items({70, 71, 72});
        items({27, 28, 29, 34, 62, 31, 30, 35});
        const int vsdbLength = m_result.vsdbLength;
        if (vsdbLength >= 6) {
            itemRange(36, 40);
            if (vsdbLength >= 7) {
                items({41, 42});
                if (vsdbLength >= 8) {
                    itemRange(44, 54);
                    items({43, 55, 56, 57});
                    if (vsdbLength >= 9)
                        item(58);
                }
            }
        }
        items({60, 32, 59, 61});

        breakLine();
        section("Test : Vender Specific");
        items({64, 63, 65, 66});

        basicFormats();
        hdmiFormats();
        pixelEncodings();

        breakLine();
        section("Test ID 8-20 : Video Format Timing");
        items({108, 109});

        breakLine();
        section("HDMI Spec. Requirements");
        items({110, 111});

        furtherBlocks();
        hdmi2Section();

        breakLine();
        m_lines.push_back(kSeparator);
        const int failed = m_result.failCount();
        if (failed == 0) {
            indented("All Pass!");
        } else {
            char text[32];
            std::snprintf(text, sizeof text, "Fail %d Items!", failed);
            indented(text);
        }
    }

    std::vector<std::string> take() { return std::move(m_lines); }
    std::vector<ReportItem> takeItems() { return std::move(m_items); }

private:
    void indented(const std::string& text) { m_lines.push_back(kIndent + text); }
    void breakLine() { m_lines.push_back(kBreakLine); }
    void blankLine() { m_lines.push_back(kIndent); }
    void section(const std::string& title) {
        indented(title);
        m_lines.push_back(kSeparator);
        // "Test ID 8-3 : CEA ..." is section "8-3"; titles without a test ID
        // ("Test : Vender Specific", "HDMI Spec. Requirements") name themselves.
        const std::string prefix = "Test ID ";
        const std::size_t colon = title.find(" :");
        if (title.rfind(prefix, 0) == 0 && colon != std::string::npos)
            m_section = title.substr(prefix.size(), colon - prefix.size());
        else if (title.rfind("Test : ", 0) == 0)
            m_section = title.substr(7);
        else
            m_section = title;
    }
    void record(int k, ReportItem::Verdict verdict, std::string text, int index = 0,
                const char* indexOf = "") {
        ReportItem entry;
        entry.section = m_section;
        entry.number = k;
        entry.text = std::move(text);
        entry.verdict = verdict;
        entry.index = index;
        entry.indexOf = indexOf;
        entry.where = locateAnalyserItem(k, index, m_buffer, m_result);
        m_items.push_back(std::move(entry));
    }
    // "** FAIL-> " or "   PASS-> " and the item's message.
    std::string itemText(int k) const {
        return (m_result.failed(k) ? "** FAIL-> " : "   PASS-> ") + std::string(analyserMessage(k));
    }
    // An item printed for the index-th of the things it judges (0: printed once).
    void item(int k, const std::string& suffix = {}, int index = 0, const char* indexOf = "") {
        m_lines.push_back(itemText(k) + suffix);
        record(k, m_result.failed(k) ? ReportItem::Verdict::Fail : ReportItem::Verdict::Pass,
               std::string(analyserMessage(k)) + suffix, index, indexOf);
    }
    void items(std::initializer_list<int> ks) {
        for (int k : ks)
            item(k);
    }
    void itemRange(int first, int last) {
        for (int k = first; k <= last; ++k)
            item(k);
    }
    // An item whose declaration is absent was not evaluated: it is shown as
    // skipped and does not count.
    void declaredItem(int k, bool declared) {
        if (declared) {
            item(k);
        } else {
            m_lines.push_back("   SKIP-> " + std::string(analyserMessage(k)));
            record(k, ReportItem::Verdict::Skip, std::string(analyserMessage(k)));
        }
    }

    void hexDump(int block) {
        static constexpr char kUpper[] = "0123456789ABCDEF";
        static constexpr char kLower[] = "0123456789abcdef";
        indented("   | 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
        m_lines.push_back(kSeparator);
        for (int row = 0; row < 8; ++row) {
            const int first = block * 128 + row * 16;
            // The row's offset in lower case, its bytes in upper case.
            std::string line = kIndent;
            line.reserve(kIndent.size() + 4 + 16 * 3);
            line += kLower[first >> 4];
            line += kLower[first & 15];
            line += " |";
            for (int i = 0; i < 16; ++i) {
                const Byte b = m_buffer[static_cast<std::size_t>(first + i)];
                line += ' ';
                line += kUpper[b >> 4];
                line += kUpper[b & 15];
            }
            m_lines.push_back(std::move(line));
        }
    }

    // An image longer than 256 bytes: the checks of the blocks after block 1,
    // numbered on after the items.
    void furtherBlocks() {
        if (m_result.extensionBlockItems.empty())
            return;
        breakLine();
        section("Test : Extension Blocks");
        int number = kAnalyserItemCount;
        // The first check is byte 126; each one after it is the checksum of
        // block 2, 3 and so on.
        int block = 1;
        for (const ExtensionBlockItem& extra : m_result.extensionBlockItems) {
            m_lines.push_back((extra.failed ? "** FAIL-> " : "   PASS-> ") + extra.text);
            record(number++, extra.failed ? ReportItem::Verdict::Fail : ReportItem::Verdict::Pass,
                   extra.text, block == 1 ? 0 : block, block == 1 ? "" : "block");
            m_items.back().where = block == 1 ? ItemLocation{0, static_cast<int>(kExtensionCountOffset), 1}
                                              : ItemLocation{block, static_cast<int>(kBlockSize) - 1, 1};
            ++block;
        }
    }

    // Asked for only: the HDMI 2.x rules, numbered on after the checks of
    // further blocks.
    void hdmi2Section() {
        if (!m_cdf.hdmi2Section)
            return;
        breakLine();
        section("Test : HDMI 2.x");
        int number = kAnalyserItemCount + static_cast<int>(m_result.extensionBlockItems.size());
        for (const ExtensionBlockItem& rule : m_result.hdmi2Items) {
            m_lines.push_back((rule.failed ? "** FAIL-> " : "   PASS-> ") + rule.text);
            record(number++, rule.failed ? ReportItem::Verdict::Fail : ReportItem::Verdict::Pass,
                   rule.text);
        }
    }

    // 8-17: one section per detailed timing that matched a CTA-861 format.
    void basicFormats() {
        if (m_result.matchedDtdMask == 0)
            return;
        blankLine();
        section("Test ID 8-17 : Basic Format Support Requirements");
        for (int i = 0; i < kMaxAnalysedDtds; ++i) {
            if (!(m_result.matchedDtdMask & (1u << i)))
                continue;
            if (i != 0)
                blankLine();
            char text[64];
            std::snprintf(text, sizeof text, "[ DETAILED TIMING DESCRIPTOR #%2d ]", i + 1);
            indented(text);
            std::snprintf(text, sizeof text, "%2d",
                          m_result.dtdVicList[static_cast<std::size_t>(i)]);
            item(kItemDtdMatchesFormat, text, i + 1, "timing");
            item(kItemFirstDtdVicInSvd + 2 * i, {}, i + 1, "timing");
            item(kItemFirstDtdExactClock + 2 * i, {}, i + 1, "timing");
        }
    }

    // 8-18.
    void hdmiFormats() {
        if (!m_result.formatSectionFlag)
            return;
        breakLine();
        section("Test ID 8-18 : HDMI Format Support Requirements");
        if (m_cdf.sink60Hz) {
            item(98);
            declaredItem(99, m_cdf.sinkHdtv);
        }
        if (m_cdf.sink50Hz) {
            item(100);
            declaredItem(101, m_cdf.sinkHdtv);
        }
        declaredItem(102, m_cdf.sink720p60Other);
        declaredItem(103, m_cdf.sink1080i60Other);
        declaredItem(104, m_cdf.sink720p50Other);
        declaredItem(105, m_cdf.sink1080i50Other);
    }

    // 8-19.
    void pixelEncodings() {
        if (!m_result.pixelEncodingFlag && !m_cdf.sinkYuvOnOther)
            return;
        breakLine();
        section("Test ID 8-19 : Pixel Encoding Requirements");
        declaredItem(106, m_result.pixelEncodingFlag);
        declaredItem(107, m_cdf.sinkYuvOnOther);
    }

    const EdidImage& m_buffer;
    const CapabilityDeclaration& m_cdf;
    const DataBlockCollection& m_model;
    const AnalyserResult& m_result;
    std::vector<std::string> m_lines;
    std::vector<ReportItem> m_items;
    std::string m_section = "8-1";
};

} // namespace

std::vector<std::string> formatAnalyserReport(const EdidImage& buffer,
                                              const CapabilityDeclaration& declaration,
                                              const DataBlockCollection& model,
                                              const AnalyserResult& result,
                                              std::vector<ReportItem>* items) {
    ReportWriter writer(buffer, declaration, model, result);
    writer.banner();
    writer.body();
    if (items)
        *items = writer.takeItems();
    return writer.take();
}

const char* verdictName(ReportItem::Verdict verdict) {
    switch (verdict) {
    case ReportItem::Verdict::Pass:
        return "PASS";
    case ReportItem::Verdict::Fail:
        return "FAIL";
    case ReportItem::Verdict::Skip:
        return "SKIP";
    }
    return "";
}

AnalyserReport writeAnalyserReport(std::span<const Byte> bytes,
                                   const CapabilityDeclaration& declaration,
                                   const DataBlockCollection& model) {
    EdidImage buffer{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size()), buffer.begin());
    const std::span<const Byte> moreBlocks =
        bytes.size() > kImageSize ? bytes.subspan(kImageSize, (bytes.size() - kImageSize) /
                                                                  kBlockSize * kBlockSize)
                                  : std::span<const Byte>();
    return writeAnalyserReport(buffer, declaration, model, moreBlocks);
}

AnalyserReport writeAnalyserReport(const EdidImage& buffer,
                                   const CapabilityDeclaration& declaration,
                                   const DataBlockCollection& model,
                                   std::span<const Byte> moreBlocks) {
    AnalyserReport report;
    AnalyserResult result;
    report.evaluated = Evaluate(buffer, declaration, model, result, moreBlocks);
    if (!report.evaluated) {
        ReportWriter writer(buffer, declaration, model, result);
        writer.banner();
        writer.exceptionLine();
        report.lines = writer.take();
        return report;
    }
    report.lines = formatAnalyserReport(buffer, declaration, model, result, &report.items);
    report.failCount = result.failCount();
    return report;
}

} // namespace pellam
