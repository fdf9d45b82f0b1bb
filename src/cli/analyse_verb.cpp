// pellam-cli analyse: the compliance report for any number of EDID files (or
// the sink's EEPROM), as text (the report the editor writes), one line per
// file, JSON or JUnit XML. Each file is analysed, written out and forgotten
// before the next is read, so memory stays flat however many there are.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/sink_source.h"
#include "cli/structured_output.h"
#include "cli/verbs.h"
#include "core/analyser/report.h"
#include "core/cea/extension_block.h"
#include "core/edid/decimal.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>

#ifndef PELLAM_VERSION
#define PELLAM_VERSION "unknown"
#endif

namespace pellam::cli {

const std::string kAnalyseHelp =
    std::string(R"(Usage: pellam-cli analyse [options] [declarations] PATH...
       pellam-cli analyse [options] [declarations] --port TYPE [PATH...]

Checks each EDID file against the sink EDID items of the HDMI compliance test
and prints the report. A PATH that is a folder stands for every EDID file
under it, in sorted order: those named .bin, .dat, .txt or .ddc in any case,
and those without such a name that start with the EDID header. A PATH of -
is standard input. The bytes are analysed as read (no checksum correction),
every block of them: an EDID longer than 256 bytes gets a section of its own
after the items, with byte 126 checked against the blocks present and the
checksum of each further block. A file's length that is no whole number of
blocks, or an EEPROM read that wrapped around, is named on standard error;
an empty file, or one larger than an EDID can be, cannot be analysed.

Options:
  --format FORMAT   text: the report the editor writes; with several files
                    each report is preceded by a line "==> FILE <=="
                    (default)
                    json: the tool and version, the totals, then per file the
                    declarations used, every item with its ID, section,
                    number, text, verdict (PASS, FAIL, SKIP, WAIVED) and the
                    bytes it judged, and the counts
                    junit: JUnit XML, one test case per item, for CI
                    dashboards
  -q, --quiet       one line per file instead of the report: the verdict
                    (PASS, FAIL or ERROR), the counts and the file
  -v, --verbose     after each text report, the ID, verdict and bytes of
                    every item that did not pass
  --waive ID        count a failure of item ID as waived, not failed (may be
                    given again); ID as the JSON report and --verbose show it,
                    such as 8-3/29 or 8-17/75/timing1; an ID without its last
                    part (8-17/73) waives the item for every timing
  --input-format F  read every file as bin (raw binary), hex (hex text) or
                    ddc (hex text, one byte a line), whatever its name
)") + kPortOptionsText +
    R"(  --simulate FILE   demo and test mode for --port: no hardware is touched;
                    the sink is a simulated EEPROM preloaded with the EDID
                    file FILE

With --port (or --connector, --slave) the sink's EEPROM is read over I2C, as
the editor's "Source from DDC" does, and analysed before any PATH.

Declarations of the sink (defaults: no HDMI outputs, basic audio, CEC root
device):
  --output-count N  the sink's HDMI outputs, 0 to 255
  --hdtv  --yuv-on-other  --60hz  --50hz
  --720p60-other  --720p50-other  --1080i60-other  --1080i50-other
  --3d  --3d-additional  --4kx2k  --support-ai  --no-basic-audio  --no-cec-root

--hdmi2 adds a section "HDMI 2.x" after the items: HDMI 2.1 and CTA-861-H
rules for the HDMI Forum, HDR, YCbCr 4:2:0 and colorimetry blocks over every
CTA-861 block.

File names that are not valid UTF-8, or that hold control characters, are
shown with \xNN escapes (the JSON report also gives the name's bytes in hex).

Exit status: 0 when every item of every file passes (or its failure is
waived), 1 when any item fails, 2 on a usage error, when any file cannot be
read (the others are still analysed) or when the report cannot be written.
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

std::vector<OptionRule> analyseOptions() {
    std::vector<OptionRule> rules = {
        {"--format", nullptr, true},       {"--quiet", "-q", false},
        {"--verbose", "-v", false},        {"--waive", nullptr, true},
        {"--input-format", nullptr, true}, {"--output-count", nullptr, true},
        {"--no-basic-audio", nullptr, false}, {"--no-cec-root", nullptr, false},
        {"--port", nullptr, true},         {"--connector", nullptr, true},
        {"--slave", nullptr, true},        {"--simulate", nullptr, true},
        {"--hdmi2", nullptr, false},
    };
    for (const auto& [name, field] : kFlags)
        rules.push_back({name, nullptr, false});
    return rules;
}

// "Vender Specific" -> "vender-specific": a section's name as IDs hold it.
std::string sectionSlug(const std::string& section) {
    std::string slug;
    for (const char c : section) {
        const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (alnum)
            slug += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    while (!slug.empty() && slug.back() == '-')
        slug.pop_back();
    return slug;
}

// The ID of a report item, unique within a report: section/number, and for
// an item printed once for each timing or block it judges, which one
// (8-17/73/timing2, extension-blocks/113/block2).
std::string findingId(const ReportItem& item) {
    std::string id = sectionSlug(item.section) + "/" + std::to_string(item.number);
    if (item.index > 0)
        id += "/" + std::string(item.indexOf) + std::to_string(item.index);
    return id;
}

// IDs as --waive takes them: section/number, optionally /kindN.
bool isFindingId(const std::string& id) {
    const std::size_t first = id.find('/');
    if (first == 0 || first == std::string::npos)
        return false;
    const std::size_t second = id.find('/', first + 1);
    const std::string number = id.substr(first + 1, second - first - 1);
    if (number.empty() || !isDigitsOnly(number))
        return false;
    if (second == std::string::npos)
        return true;
    const std::string index = id.substr(second + 1);
    const std::size_t digits = index.find_first_of("0123456789");
    return digits != std::string::npos && digits > 0 && isDigitsOnly(index.substr(digits)) &&
           index.find('/') == std::string::npos;
}

struct Waiver {
    std::string id;
    bool used = false;

    // An ID without the index part waives the item for every index.
    bool covers(const std::string& findingIdText) const {
        return findingIdText == id ||
               (findingIdText.size() > id.size() && findingIdText.rfind(id + "/", 0) == 0);
    }
};

enum class Verdict { Pass, Fail, Skip, Waived };

const char* verdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Pass:
        return "PASS";
    case Verdict::Fail:
        return "FAIL";
    case Verdict::Skip:
        return "SKIP";
    case Verdict::Waived:
        return "WAIVED";
    }
    return "";
}

// One item of a file's report as every output shows it.
struct Finding {
    const ReportItem* item = nullptr;
    std::string id;
    Verdict verdict = Verdict::Pass;
    std::string value; // the bytes judged, when they are few enough to show
};

// The bytes a finding's value shows at most (a detailed timing).
constexpr int kMaxValueBytes = 18;

// One analysed source: the report, or why it could not be analysed.
struct FileResult {
    std::string path; // as given ("-" for standard input)
    std::string name; // for messages and headers
    const char* source = "file";
    std::string error; // why the file could not be read; empty when it was
    std::vector<std::string> notes;
    std::size_t size = 0;
    AnalyserReport report;
    std::vector<Finding> findings;
    int pass = 0, fail = 0, skip = 0, waived = 0;

    bool unreadable() const { return !error.empty() || !report.evaluated; }
    // Failures the report counts, less those waived.
    int failures() const { return report.failCount - waived; }
    const char* verdict() const {
        return unreadable() ? "ERROR" : failures() > 0 ? "FAIL" : "PASS";
    }
};

struct Totals {
    int files = 0, passed = 0, failed = 0, unreadable = 0;
    int pass = 0, fail = 0, skip = 0, waived = 0;

    void add(const FileResult& r) {
        ++files;
        if (r.unreadable())
            ++unreadable;
        else if (r.failures() > 0)
            ++failed;
        else
            ++passed;
        pass += r.pass;
        fail += r.fail;
        skip += r.skip;
        waived += r.waived;
    }
};

struct Settings {
    CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
    Format format = Format::Text;
    bool quiet = false;
    bool verbose = false;
    FileForm inputForm = FileForm::Auto;
    std::vector<Waiver> waivers;
    std::optional<SinkOptions> sink;
    std::vector<std::string> paths;
};

// Gives the report's items their IDs, values and verdicts (waivers
// applied), and counts them.
void judge(FileResult& r, std::span<const Byte> bytes, std::vector<Waiver>& waivers) {
    r.findings.reserve(r.report.items.size());
    for (const ReportItem& item : r.report.items) {
        Finding f;
        f.item = &item;
        f.id = findingId(item);
        f.verdict = item.verdict == ReportItem::Verdict::Pass   ? Verdict::Pass
                    : item.verdict == ReportItem::Verdict::Skip ? Verdict::Skip
                                                                : Verdict::Fail;
        if (f.verdict == Verdict::Fail) {
            for (Waiver& w : waivers) {
                if (w.covers(f.id)) {
                    w.used = true;
                    f.verdict = Verdict::Waived;
                }
            }
        }
        // The bytes judged, as the analyser read them: zeros past the end of
        // a file shorter than 256 bytes.
        const ItemLocation& at = item.where;
        if (at.known() && at.length <= kMaxValueBytes) {
            EdidBytes found;
            const std::size_t start = static_cast<std::size_t>(at.block) * kBlockSize +
                                      static_cast<std::size_t>(at.offset);
            for (std::size_t p = start; p < start + static_cast<std::size_t>(at.length); ++p)
                found.push_back(p < bytes.size() ? bytes[p] : Byte{0});
            f.value = hexBytes(found);
        }
        switch (f.verdict) {
        case Verdict::Pass:
            ++r.pass;
            break;
        case Verdict::Fail:
            ++r.fail;
            break;
        case Verdict::Skip:
            ++r.skip;
            break;
        case Verdict::Waived:
            ++r.waived;
            break;
        }
        r.findings.push_back(std::move(f));
    }
}

void analyseBytes(FileResult& r, std::span<const Byte> bytes, const Settings& settings,
                  std::vector<Waiver>& waivers) {
    r.size = bytes.size();
    // The report judges the checksums itself.
    r.notes = findingNotes(bytes, false);
    EdidImage buffer{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size()), buffer.begin());
    DataBlockCollection model;
    parseExtensionBlock(buffer, model);
    r.report = writeAnalyserReport(bytes, settings.cdf, model);
    if (!r.report.evaluated)
        r.error = "pellam-cli: " + r.name + ": the evaluation failed";
    judge(r, bytes, waivers);
}

FileResult analyseFile(const std::string& path, const Settings& settings,
                       std::vector<Waiver>& waivers) {
    FileResult r;
    r.path = path;
    r.name = displayName(path);
    r.source = path == "-" ? "stdin" : "file";
    std::error_code ec;
    if (path != "-" && fs::is_directory(path, ec)) {
        r.error = "pellam-cli: " + r.name + ": the folder holds no EDID file";
        return r;
    }
    std::ostringstream messages;
    EdidBytes bytes;
    if (!readInput(path, bytes, messages, settings.inputForm)) {
        r.error = messages.str();
        while (!r.error.empty() && r.error.back() == '\n')
            r.error.pop_back();
        return r;
    }
    analyseBytes(r, bytes, settings, waivers);
    return r;
}

// Whether a file found in a folder is one to analyse: an EDID file's name,
// or no such name and the EDID header at its start.
bool isEdidFileInFolder(const fs::path& path) {
    if (formFromExtension(path.string()) != FileForm::Auto)
        return true;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    unsigned char head[8] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return got == sizeof head && hasEdidHeader(std::span<const Byte>(head, sizeof head));
}

// Files and folders in the order given; a folder's EDID files sorted by
// path. A path that names nothing, and a folder without EDID files, are kept
// so that they are reported.
std::vector<std::string> expandPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (path == "-" || !fs::is_directory(path, ec)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> inside;
        for (auto it = fs::recursive_directory_iterator(path, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            if (it->is_regular_file(typeError) && isEdidFileInFolder(it->path()))
                inside.push_back(it->path().string());
        }
        if (inside.empty())
            inside.push_back(path);
        std::sort(inside.begin(), inside.end());
        files.insert(files.end(), inside.begin(), inside.end());
    }
    return files;
}

// Where one finding's bytes are, for the text outputs: "block 1 byte 4 = E3".
std::string whereText(const Finding& f) {
    const ItemLocation& at = f.item->where;
    if (!at.known())
        return "-";
    std::string text = "block " + std::to_string(at.block) + " byte " + std::to_string(at.offset);
    if (at.length > 1)
        text += "+" + std::to_string(at.length);
    if (!f.value.empty() && at.length <= 4)
        text += " = " + f.value;
    return text;
}

// --- Outputs ---------------------------------------------------------------------

class Output {
public:
    virtual ~Output() = default;
    virtual void file(const FileResult& r) = 0;
    // After the last file. False with the reason when the report could not
    // be completed.
    virtual bool finish(const Totals&, std::string&) { return true; }
};

class TextOutput final : public Output {
public:
    TextOutput(std::ostream& out, bool headers, bool verbose)
        : m_out(out)
        , m_headers(headers)
        , m_verbose(verbose) {}

    void file(const FileResult& r) override {
        if (m_headers)
            m_out << "==> " << r.name << " <==\n";
        const std::vector<std::string>& lines = r.report.lines;
        if (r.waived == 0) {
            for (const std::string& line : lines)
                m_out << line << "\n";
        } else {
            writeWaived(r);
        }
        if (m_verbose && !r.unreadable()) {
            m_out << "   Findings that did not pass (ID, verdict, bytes, item):\n";
            for (const Finding& f : r.findings)
                if (f.verdict != Verdict::Pass)
                    m_out << "   " << f.id << "  " << verdictText(f.verdict) << "  "
                          << whereText(f) << "  " << f.item->text << "\n";
        }
    }

private:
    // The report with each waived failure's line marked WAIVED and the
    // closing count of failures less the waived ones.
    void writeWaived(const FileResult& r) {
        static const std::string kFail = "** FAIL-> ";
        static const std::string kItemPrefixes[] = {"   PASS-> ", kFail, "   SKIP-> "};
        std::size_t next = 0;
        const std::vector<std::string>& lines = r.report.lines;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            const bool isItem = std::any_of(std::begin(kItemPrefixes), std::end(kItemPrefixes),
                                            [&](const std::string& p) { return line.starts_with(p); });
            if (isItem && next < r.findings.size() &&
                r.findings[next++].verdict == Verdict::Waived) {
                m_out << " WAIVED-> " << line.substr(kFail.size()) << "\n";
            } else if (i + 1 == lines.size()) {
                const int failed = r.failures();
                m_out << "   "
                      << (failed == 0 ? std::string("All Pass!")
                                      : "Fail " + std::to_string(failed) + " Items!")
                      << " (" << r.waived << " waived)\n";
            } else {
                m_out << line << "\n";
            }
        }
    }

    std::ostream& m_out;
    bool m_headers;
    bool m_verbose;
};

class QuietOutput final : public Output {
public:
    explicit QuietOutput(std::ostream& out)
        : m_out(out) {}
    void file(const FileResult& r) override {
        m_out << r.verdict() << " pass=" << r.pass << " fail=" << r.fail << " skip=" << r.skip
              << " waived=" << r.waived << " " << r.name << "\n";
    }

private:
    std::ostream& m_out;
};

void writeDeclarations(JsonWriter& json, const CapabilityDeclaration& cdf) {
    json.beginObject();
    json.field("output-count", cdf.hdmiOutputCount);
    for (const auto& [name, field] : kFlags)
        json.field(name + 2, cdf.*field);
    json.field("basic-audio", cdf.sinkBasicAudio);
    json.field("cec-root", cdf.cecRootDevice);
    json.endObject();
}

// The JSON report: the tool, the totals and the declarations first, then
// one record per file. The records wait in a spool until the totals are
// known.
class JsonOutput final : public Output {
public:
    JsonOutput(std::ostream& out, const Settings& settings)
        : m_out(out)
        , m_settings(settings) {}

    void file(const FileResult& r) override {
        std::ostream& s = m_spool.stream();
        s << (m_records++ > 0 ? ",\n    " : "\n    ");
        JsonWriter json(s, 2);
        json.beginObject();
        json.field("file", r.path);
        if (!isValidUtf8(r.path)) {
            // The name's bytes, for a consumer that must open the file.
            std::string hex = hexBytes(std::span<const Byte>(
                reinterpret_cast<const Byte*>(r.path.data()), r.path.size()));
            std::erase(hex, ' ');
            json.field("file-hex", hex);
        }
        json.field("source", r.source);
        json.field("verdict", r.verdict());
        if (!r.unreadable())
            json.field("bytes", r.size);
        json.key("declarations");
        writeDeclarations(json, m_settings.cdf);
        if (!r.error.empty())
            json.field("error", r.error);
        json.key("notes").beginArray();
        for (const std::string& note : r.notes)
            json.value(note);
        json.endArray();
        json.key("counts").beginObject();
        json.field("pass", r.pass).field("fail", r.fail).field("skip", r.skip);
        json.field("waived", r.waived);
        json.endObject();
        json.key("items").beginArray();
        for (const Finding& f : r.findings) {
            const ReportItem& item = *f.item;
            json.beginObject();
            json.field("id", f.id);
            json.field("section", item.section);
            json.field("number", item.number);
            if (item.index > 0)
                json.field("index", item.index).field("index-of", item.indexOf);
            json.field("text", item.text);
            json.field("verdict", verdictText(f.verdict));
            if (item.where.known()) {
                json.field("block", item.where.block);
                json.field("offset", item.where.offset);
                json.field("length", item.where.length);
                if (!f.value.empty())
                    json.field("value", f.value);
            }
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }

    bool finish(const Totals& t, std::string& reason) override {
        JsonWriter json(m_out);
        json.beginObject();
        json.field("tool", "pellam-cli");
        json.field("version", PELLAM_VERSION);
        json.key("totals").beginObject();
        json.field("files", t.files).field("passed", t.passed).field("failed", t.failed);
        json.field("unreadable", t.unreadable);
        json.field("pass", t.pass).field("fail", t.fail).field("skip", t.skip);
        json.field("waived", t.waived);
        json.endObject();
        json.key("declarations");
        writeDeclarations(json, m_settings.cdf);
        json.key("waivers").beginArray();
        for (const Waiver& w : m_settings.waivers)
            json.value(w.id);
        json.endArray();
        // The records are complete values at the right depth; the array
        // around them is written here.
        m_out << ",\n  \"files\": [";
        if (!m_spool.copyTo(m_out, reason))
            return false;
        m_out << (m_records > 0 ? "\n  ]\n}\n" : "]\n}\n");
        return true;
    }

private:
    std::ostream& m_out;
    const Settings& m_settings;
    Spool m_spool;
    int m_records = 0;
};

// A JUnit class name for the file: its path with every "." made "_", since
// CI tools read dots in a class name as package separators.
std::string junitClassName(const FileResult& r) {
    std::string name = r.path == "-" ? "standard-input" : r.name;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

// One test suite per file, one test case per item, named by its unique ID
// and its text; a file that cannot be analysed is one case in error.
class JUnitOutput final : public Output {
public:
    explicit JUnitOutput(std::ostream& out)
        : m_out(out) {}

    void file(const FileResult& r) override {
        std::ostream& s = m_spool.stream();
        const std::string suite = xmlEscaped(r.name);
        const std::string className = xmlEscaped(junitClassName(r));
        if (r.unreadable()) {
            s << "  <testsuite name=\"" << suite
              << "\" tests=\"1\" failures=\"0\" errors=\"1\" skipped=\"0\">\n";
            s << "    <testcase classname=\"" << className << "\" name=\"read\">\n";
            s << "      <error message=\"" << xmlEscaped(r.error) << "\"/>\n";
            s << "    </testcase>\n  </testsuite>\n";
            return;
        }
        s << "  <testsuite name=\"" << suite << "\" tests=\"" << r.findings.size()
          << "\" failures=\"" << r.fail << "\" errors=\"0\" skipped=\"" << r.skip + r.waived
          << "\">\n";
        for (const Finding& f : r.findings) {
            s << "    <testcase classname=\"" << className << "\" name=\""
              << xmlEscaped(f.id + " " + f.item->text) << "\"";
            if (f.verdict == Verdict::Pass) {
                s << "/>\n";
                continue;
            }
            s << ">\n";
            if (f.verdict == Verdict::Fail)
                s << "      <failure message=\"" << xmlEscaped(f.item->text) << "\" type=\""
                  << xmlEscaped(f.id) << "\">" << xmlEscaped(whereText(f)) << "</failure>\n";
            else if (f.verdict == Verdict::Waived)
                s << "      <skipped message=\"waived: " << xmlEscaped(f.item->text) << "\"/>\n";
            else
                s << "      <skipped message=\"not declared for the sink\"/>\n";
            s << "    </testcase>\n";
        }
        s << "  </testsuite>\n";
    }

    bool finish(const Totals& t, std::string& reason) override {
        const int tests = t.pass + t.fail + t.skip + t.waived + t.unreadable;
        m_out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        m_out << "<testsuites name=\"pellam-cli analyse\" tests=\"" << tests << "\" failures=\""
              << t.fail << "\" errors=\"" << t.unreadable << "\" skipped=\"" << t.skip + t.waived
              << "\">\n";
        if (!m_spool.copyTo(m_out, reason))
            return false;
        m_out << "</testsuites>\n";
        return true;
    }

private:
    std::ostream& m_out;
    Spool m_spool;
};

// Reads the options into the settings; 0 or the exit status of a usage error.
int readSettings(const Args& args, Settings& settings, std::ostream& err) {
    const std::vector<OptionRule> rules = analyseOptions();
    ParsedArgs parsed;
    if (const int status = parseArguments("analyse", args, rules, parsed, err))
        return status;
    for (const auto& option : parsed.options) {
        const std::string& name = option.first;
        const std::string& value = option.second;
        const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                       [&](const auto& f) { return name == f.first; });
        if (flag != std::end(kFlags)) {
            settings.cdf.*(flag->second) = true;
        } else if (name == "--no-basic-audio") {
            settings.cdf.sinkBasicAudio = false;
        } else if (name == "--no-cec-root") {
            settings.cdf.cecRootDevice = false;
        } else if (name == "--hdmi2") {
            settings.cdf.hdmi2Section = true;
        } else if (name == "--output-count") {
            const auto count = isDigitsOnly(value) ? parseDecimalInt32(value) : std::nullopt;
            if (!count || *count > 255)
                return usageError(err, "--output-count takes a number from 0 to 255, not '" +
                                           displayText(value) + "'");
            settings.cdf.hdmiOutputCount = *count;
        } else if (name == "--format") {
            if (value == "text")
                settings.format = Format::Text;
            else if (value == "json")
                settings.format = Format::Json;
            else if (value == "junit")
                settings.format = Format::JUnit;
            else
                return usageError(err, "unknown format '" + displayText(value) +
                                           "' (use text, json or junit)");
        } else if (name == "--quiet") {
            settings.quiet = true;
        } else if (name == "--verbose") {
            settings.verbose = true;
        } else if (name == "--waive") {
            if (!isFindingId(value))
                return usageError(err, "--waive takes an item ID such as 8-3/29 or "
                                       "8-17/75/timing1, not '" +
                                           displayText(value) + "'");
            settings.waivers.push_back({value});
        } else if (name == "--input-format") {
            const auto form = fileFormNamed(value);
            if (!form)
                return usageError(err, "--input-format takes bin, hex or ddc, not '" +
                                           displayText(value) + "'");
            settings.inputForm = *form;
        }
    }
    if (settings.quiet && settings.format != Format::Text)
        return usageError(err, "--quiet gives lines of text: it does not go with --format json "
                               "or junit");
    if (settings.quiet && settings.verbose)
        return usageError(err, "--quiet and --verbose do not go together");
    int status = kExitOk;
    settings.sink = sinkOptionsFrom(parsed, status, err);
    if (status != kExitOk)
        return status;
    settings.paths = parsed.operands;
    if (settings.paths.empty() && !settings.sink)
        return usageError(err, "analyse needs a PATH (or --port to read the sink)");
    if (std::count(settings.paths.begin(), settings.paths.end(), "-") > 1)
        return usageError(err, "standard input (-) can be read only once");
    return kExitOk;
}

} // namespace

int analyseVerb(const Args& args, std::ostream& out, std::ostream& err) {
    Settings settings;
    if (const int status = readSettings(args, settings, err))
        return status;

    // Only the names are gathered first; each file is read when its turn comes.
    const std::vector<std::string> files = expandPaths(settings.paths);
    const bool headers = files.size() + (settings.sink ? 1 : 0) > 1;
    std::unique_ptr<Output> output;
    if (settings.format == Format::Json)
        output = std::make_unique<JsonOutput>(out, settings);
    else if (settings.format == Format::JUnit)
        output = std::make_unique<JUnitOutput>(out);
    else if (settings.quiet)
        output = std::make_unique<QuietOutput>(out);
    else
        output = std::make_unique<TextOutput>(out, headers, settings.verbose);

    Totals totals;
    bool anyFailed = false;
    const auto deliver = [&](FileResult& r) {
        if (!r.error.empty())
            err << displayText(r.error) << "\n";
        for (const std::string& note : r.notes)
            err << "pellam-cli: " << r.name << ": " << note << "\n";
        totals.add(r);
        anyFailed = anyFailed || (!r.unreadable() && r.failures() > 0);
        output->file(r);
        // Nothing more is analysed once the report cannot be written.
        return static_cast<bool>(out);
    };

    bool going = true;
    if (settings.sink) {
        FileResult r;
        r.source = "sink";
        SinkRead read;
        std::ostringstream messages;
        if (readSink(*settings.sink, read, messages)) {
            r.path = r.name = read.name;
            analyseBytes(r, read.bytes, settings, settings.waivers);
        } else {
            r.path = r.name = "sink";
            r.error = messages.str();
            while (!r.error.empty() && r.error.back() == '\n')
                r.error.pop_back();
        }
        going = deliver(r);
    }
    for (std::size_t i = 0; going && i < files.size(); ++i) {
        FileResult r = analyseFile(files[i], settings, settings.waivers);
        going = deliver(r);
    }

    std::string reason;
    if (!output->finish(totals, reason)) {
        err << "pellam-cli: " << reason << "\n";
        return kExitUsage;
    }
    for (const Waiver& w : settings.waivers)
        if (!w.used)
            err << "pellam-cli: note: --waive " << displayText(w.id)
                << " matched no failed item\n";
    if (totals.unreadable > 0)
        return kExitUsage;
    return anyFailed ? kExitFailed : kExitOk;
}

} // namespace pellam::cli
