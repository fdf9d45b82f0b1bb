// pellam-cli analyse: the compliance report for any number of EDID files, as
// text (the report the editor writes), JSON or JUnit XML.
#include "core/analyser/report.h"
#include "core/cea/extension_block.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/verbs.h"
#include "core/edid/decimal.h"
#include "core/edid/edid_file.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

namespace pellam::cli {

const std::string kAnalyseHelp =
    R"(Usage: pellam-cli analyse [declarations] [--format text|json|junit] PATH...

Checks each EDID file against the sink EDID items of the HDMI compliance test
and prints the report. A PATH that is a folder stands for every EDID file
(.bin, .dat, .txt, .ddc) under it, in sorted order. The bytes are analysed as
read (no checksum correction), every block of them: an EDID longer than 256
bytes gets a section of its own after the items, with byte 126 checked
against the blocks present and the checksum of each further block. A file's
length that is no whole number of blocks, or an EEPROM read that wrapped
around, is named on standard error; an empty file, or one larger than an
EDID can be, cannot be analysed.

Output (--format):
  text    the report the editor writes; with several files each report is
          preceded by a line "==> FILE <=="  (default)
  json    per file: the declarations used, every item with its section,
          number, text and verdict (PASS, FAIL, SKIP), and the counts
  junit   JUnit XML, one test case per item, for CI dashboards

Declarations of the sink (defaults: no HDMI outputs, basic audio, CEC root
device):
  --output-count N  --hdtv  --yuv-on-other  --60hz  --50hz
  --720p60-other  --720p50-other  --1080i60-other  --1080i50-other
  --3d  --3d-additional  --4kx2k  --support-ai  --no-basic-audio  --no-cec-root

--hdmi2 adds a section "HDMI 2.x" after the items: HDMI 2.1 and CTA-861-H
rules for the HDMI Forum, HDR, YCbCr 4:2:0 and colorimetry blocks over every
CTA-861 block.

Exit status: 0 when every item of every file passes, 1 when any item fails,
2 on a usage error or when any file cannot be read (the others are still
analysed).
)";

namespace {

namespace fs = std::filesystem;

enum class Format { Text, Json, JUnit };

const std::pair<const char*, bool CapabilityDeclaration::*> kFlags[] = {
    {"--hdtv", &CapabilityDeclaration::sinkHdtv},
    {"--yuv-on-other", &CapabilityDeclaration::sinkYuvOnOther},
    {"--60hz", &CapabilityDeclaration::sink60Hz},
    {"--50hz", &CapabilityDeclaration::sink50Hz},
    {"--720p60-other", &CapabilityDeclaration::sink720p60Other},
    {"--720p50-other", &CapabilityDeclaration::sink720p50Other},
    {"--1080i60-other", &CapabilityDeclaration::sink1080i60Other},
    {"--1080i50-other", &CapabilityDeclaration::sink1080i50Other},
    {"--3d", &CapabilityDeclaration::sink3D},
    {"--3d-additional", &CapabilityDeclaration::sink3DAdditional},
    {"--4kx2k", &CapabilityDeclaration::sink4Kx2K},
    {"--support-ai", &CapabilityDeclaration::sinkSupportAI},
};

// One analysed file: the report, or why the file could not be analysed.
struct FileResult {
    std::string path;
    std::string error; // why the file could not be read; empty when it was
    // What the check of its bytes found about its length and byte 126.
    std::string findings;
    AnalyserReport report;

    // Not analysed: unreadable, or the evaluation failed (the report says so).
    bool unreadable() const { return !error.empty() || !report.evaluated; }
    int count(ReportItem::Verdict verdict) const {
        return static_cast<int>(
            std::count_if(report.items.begin(), report.items.end(),
                          [&](const ReportItem& i) { return i.verdict == verdict; }));
    }
};

// Files and folders in the order given; a folder's EDID files sorted by path.
// A path that names nothing, and a folder without EDID files, are kept, so
// that they are reported.
std::vector<std::string> expandPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> inside;
        for (auto it = fs::recursive_directory_iterator(path, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_regular_file(ec) &&
                fileTypeFromPath(it->path().string()) != EdidFileType::Unrecognised)
                inside.push_back(it->path().string());
        }
        if (inside.empty())
            inside.push_back(path);
        std::sort(inside.begin(), inside.end());
        files.insert(files.end(), inside.begin(), inside.end());
    }
    return files;
}

FileResult analyseFile(const std::string& path, const CapabilityDeclaration& cdf) {
    FileResult result;
    result.path = path;
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        result.error = "pellam-cli: \"" + path + "\" holds no EDID file";
        return result;
    }
    std::ostringstream messages;
    EdidBytes bytes;
    if (!readInput(path, bytes, messages)) {
        result.error = messages.str();
        if (!result.error.empty() && result.error.back() == '\n')
            result.error.pop_back();
        return result;
    }
    // The report judges the checksums itself.
    std::ostringstream findings;
    reportFindings(path, bytes, findings, false);
    result.findings = findings.str();
    EdidImage buffer{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size()), buffer.begin());
    DataBlockCollection model;
    parseExtensionBlock(buffer, model);
    result.report = writeAnalyserReport(bytes, cdf, model);
    return result;
}

nlohmann::json declarationJson(const CapabilityDeclaration& cdf) {
    nlohmann::json d;
    d["output-count"] = cdf.hdmiOutputCount;
    for (const auto& [name, field] : kFlags)
        d[name + 2] = cdf.*field;
    d["basic-audio"] = cdf.sinkBasicAudio;
    d["cec-root"] = cdf.cecRootDevice;
    return d;
}

void writeJson(const std::vector<FileResult>& results, const CapabilityDeclaration& cdf,
               std::ostream& out) {
    nlohmann::json files = nlohmann::json::array();
    for (const FileResult& r : results) {
        nlohmann::json file;
        file["file"] = r.path;
        file["declarations"] = declarationJson(cdf);
        if (!r.error.empty())
            file["error"] = r.error;
        else if (!r.report.evaluated)
            file["error"] = "the evaluation failed";
        nlohmann::json items = nlohmann::json::array();
        for (const ReportItem& item : r.report.items)
            items.push_back({{"section", item.section},
                             {"number", item.number},
                             {"text", item.text},
                             {"verdict", verdictName(item.verdict)}});
        file["items"] = std::move(items);
        file["counts"] = {{"pass", r.count(ReportItem::Verdict::Pass)},
                          {"fail", r.count(ReportItem::Verdict::Fail)},
                          {"skip", r.count(ReportItem::Verdict::Skip)}};
        files.push_back(std::move(file));
    }
    out << nlohmann::json{{"files", std::move(files)}}.dump(2) << "\n";
}

std::string xmlEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// One test suite per file, one test case per item ("8-3 #29 HDMI VSDB is
// present in EDID block 1"); a file that cannot be analysed is one case in
// error.
void writeJUnit(const std::vector<FileResult>& results, std::ostream& out) {
    int tests = 0, failures = 0, errors = 0, skipped = 0;
    for (const FileResult& r : results) {
        tests += r.unreadable() ? 1 : static_cast<int>(r.report.items.size());
        failures += r.count(ReportItem::Verdict::Fail);
        skipped += r.count(ReportItem::Verdict::Skip);
        errors += r.unreadable() ? 1 : 0;
    }
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out << "<testsuites name=\"pellam-cli analyse\" tests=\"" << tests << "\" failures=\""
        << failures << "\" errors=\"" << errors << "\" skipped=\"" << skipped << "\">\n";
    for (const FileResult& r : results) {
        const std::string suite = xmlEscaped(r.path);
        if (r.unreadable()) {
            out << "  <testsuite name=\"" << suite
                << "\" tests=\"1\" failures=\"0\" errors=\"1\" skipped=\"0\">\n";
            out << "    <testcase classname=\"" << suite << "\" name=\"read\">\n";
            const std::string why = r.error.empty() ? "the evaluation failed" : r.error;
            out << "      <error message=\"" << xmlEscaped(why) << "\"/>\n";
            out << "    </testcase>\n  </testsuite>\n";
            continue;
        }
        out << "  <testsuite name=\"" << suite << "\" tests=\"" << r.report.items.size()
            << "\" failures=\"" << r.count(ReportItem::Verdict::Fail)
            << "\" errors=\"0\" skipped=\"" << r.count(ReportItem::Verdict::Skip) << "\">\n";
        for (const ReportItem& item : r.report.items) {
            out << "    <testcase classname=\"" << suite << "\" name=\""
                << xmlEscaped(item.section + " #" + std::to_string(item.number) + " " + item.text)
                << "\"";
            if (item.verdict == ReportItem::Verdict::Pass) {
                out << "/>\n";
                continue;
            }
            out << ">\n";
            if (item.verdict == ReportItem::Verdict::Fail)
                out << "      <failure message=\"" << xmlEscaped(item.text) << "\"/>\n";
            else
                out << "      <skipped message=\"not declared for the sink\"/>\n";
            out << "    </testcase>\n";
        }
        out << "  </testsuite>\n";
    }
    out << "</testsuites>\n";
}

} // namespace

int analyseVerb(const Args& args, std::ostream& out, std::ostream& err) {
    CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
    Format format = Format::Text;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                       [&](const auto& f) { return arg == f.first; });
        if (flag != std::end(kFlags)) {
            cdf.*(flag->second) = true;
        } else if (arg == "--no-basic-audio") {
            cdf.sinkBasicAudio = false;
        } else if (arg == "--no-cec-root") {
            cdf.cecRootDevice = false;
        } else if (arg == "--hdmi2") {
            cdf.hdmi2Section = true;
        } else if (arg == "--output-count") {
            const auto count = i + 1 < args.size() ? parseDecimalInt32(args[i + 1]) : std::nullopt;
            if (!count)
                return usageError(err, "--output-count takes an integer");
            cdf.hdmiOutputCount = *count;
            ++i;
        } else if (arg == "--format" || arg.rfind("--format=", 0) == 0) {
            std::string name;
            if (arg == "--format") {
                if (i + 1 >= args.size())
                    return usageError(err, "--format takes text, json or junit");
                name = args[++i];
            } else {
                name = arg.substr(9);
            }
            if (name == "text")
                format = Format::Text;
            else if (name == "json")
                format = Format::Json;
            else if (name == "junit")
                format = Format::JUnit;
            else
                return usageError(err, "unknown format '" + name + "' (use text, json or junit)");
        } else if (arg.rfind("--", 0) == 0) {
            return usageError(err, "unknown declaration '" + arg + "'");
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.empty())
        return usageError(err, "analyse needs a FILE");

    std::vector<FileResult> results;
    for (const std::string& file : expandPaths(paths))
        results.push_back(analyseFile(file, cdf));

    bool anyUnreadable = false;
    bool anyFailed = false;
    const bool headers = results.size() > 1;
    for (const FileResult& r : results) {
        if (!r.error.empty())
            err << r.error << "\n";
        err << r.findings;
        anyUnreadable = anyUnreadable || r.unreadable();
        anyFailed = anyFailed || r.report.failCount != 0;
        if (format != Format::Text || r.report.lines.empty())
            continue;
        if (headers)
            out << "==> " << r.path << " <==\n";
        for (const std::string& line : r.report.lines)
            out << line << "\n";
    }
    if (format == Format::Json)
        writeJson(results, cdf, out);
    else if (format == Format::JUnit)
        writeJUnit(results, out);
    if (anyUnreadable)
        return kExitUsage;
    return anyFailed ? kExitFailed : kExitOk;
}

} // namespace pellam::cli
