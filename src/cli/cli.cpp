#include "cli/cli.h"

#include "analyser/report.h"
#include "cea/extension_block.h"
#include "edid/decimal.h"
#include "edid/edid_file.h"

#include <ostream>

namespace pellam::cli {

namespace {

constexpr const char* kUsage = R"(Usage: pellam-cli <verb> [arguments]

Verbs:
  convert IN OUT   Read the EDID file IN and write it to OUT in the form that
                   OUT's extension names: .bin/.BIN/.dat/.DAT raw binary,
                   .txt/.TXT hex text. IN may also be a .ddc line-form file.
                   128 bytes are written when byte 126 is 0, else 256.
                   Checksums are left as read.
  rebuild IN OUT   Read IN, check its EDID header, write block 1 again from
                   its decoded data blocks and timings (what the editor does
                   once anything in block 1 is edited), recompute both
                   checksums and write OUT as for convert. Block 1 is left
                   as read when it is not an editable CTA-861 extension.
  analyse [declarations] FILE
                   Check FILE against the sink EDID items of the HDMI
                   compliance test and print the report. The bytes are
                   analysed as read (no checksum correction). Declarations
                   of the sink (defaults: no HDMI outputs, basic audio, CEC
                   root device):
                     --output-count N  --hdtv  --yuv-on-other  --60hz  --50hz
                     --720p60-other  --720p50-other  --1080i60-other
                     --1080i50-other  --3d  --3d-additional  --4kx2k
                     --support-ai  --no-basic-audio  --no-cec-root
                   Exit status 0 when every item passes, 1 when any fails.
  --help           Show this text.

Exit status: 0 on success, 2 on a usage error, a file that cannot be read or
written, an image without the EDID header, or a block 1 that does not fit.
)";

int usageError(std::ostream& err, const std::string& message) {
    err << "pellam-cli: " << message << "\n";
    err << "Try 'pellam-cli --help'.\n";
    return kExitUsage;
}

// The image bytes as read: a zeroed buffer filled by the reader of IN's type.
bool readInput(const std::string& path, EdidImage& image, std::ostream& err) {
    if (fileTypeFromPath(path) == EdidFileType::Unrecognised) {
        err << "pellam-cli: \"" << path
            << "\" is not an EDID file type (use .bin, .dat, .txt or .ddc)\n";
        return false;
    }
    image.fill(0);
    const ReadResult read = ReadEdidFile(path, image);
    if (read.failed()) {
        err << "pellam-cli: " << read.message << "\n";
        return false;
    }
    return true;
}

bool isWritableType(EdidFileType type) {
    return type == EdidFileType::RawBinary || type == EdidFileType::ListText;
}

// Writes the image in the form OUT's extension names (checked by the caller),
// 128 or 256 bytes by byte 126 (0 means no extension).
bool writeOutput(const std::string& path, const EdidImage& image, std::ostream& err) {
    const std::size_t length = image[kExtensionCountOffset] == 0 ? kBlockSize : kImageSize;
    const std::string contents = fileTypeFromPath(path) == EdidFileType::RawBinary
                                     ? formatRawBinary(image, length)
                                     : formatListText(image, length);
    const WriteResult written = writeFileReplacing(path, contents);
    if (!written.ok) {
        err << "pellam-cli: " << written.message << "\n";
        return false;
    }
    return true;
}

// For the verbs that take IN OUT: checks the arguments and OUT's form before
// anything is read, then reads IN. Returns 0 when the verb may go on, else
// the exit status (the message is written).
int readInOut(const std::string& verb, const std::vector<std::string>& args, EdidImage& image,
              std::ostream& err) {
    if (args.size() != 2)
        return usageError(err, verb + " takes two arguments: IN OUT");
    if (!isWritableType(fileTypeFromPath(args[1]))) {
        err << "pellam-cli: cannot write \"" << args[1]
            << "\": use .bin or .dat for raw binary, .txt for hex text\n";
        return kExitUsage;
    }
    return readInput(args[0], image, err) ? kExitOk : kExitUsage;
}

int convert(const std::vector<std::string>& args, std::ostream& err) {
    EdidImage image{};
    if (const int status = readInOut("convert", args, image, err))
        return status;
    return writeOutput(args[1], image, err) ? kExitOk : kExitUsage;
}

int rebuild(const std::vector<std::string>& args, std::ostream& err) {
    EdidImage image{};
    if (const int status = readInOut("rebuild", args, image, err))
        return status;
    if (!hasEdidHeader(image)) {
        err << kMsgEdidFileFormatIncorrect << "\n";
        return kExitUsage;
    }
    if (image[kExtensionCountOffset] != 0) {
        DataBlockCollection collection;
        parseExtensionBlock(image, collection);
        if (!collection.editable) {
            err << collection.note << "\n";
        } else if (!rebuildExtensionBlock(image, collection)) {
            err << kMsgNoSpaceOfExtendedBlock << "\n";
            return kExitUsage;
        }
    }
    ApplyAutoChecksums(image, true);
    return writeOutput(args[1], image, err) ? kExitOk : kExitUsage;
}

int analyse(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CapabilityDeclaration cdf = CapabilityDeclaration::dialogDefaults();
    const std::pair<const char*, bool CapabilityDeclaration::*> flags[] = {
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
    std::string file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool known = false;
        for (const auto& [name, field] : flags) {
            if (arg == name) {
                cdf.*field = true;
                known = true;
            }
        }
        if (known)
            continue;
        if (arg == "--no-basic-audio") {
            cdf.sinkBasicAudio = false;
        } else if (arg == "--no-cec-root") {
            cdf.cecRootDevice = false;
        } else if (arg == "--output-count") {
            const auto count = i + 1 < args.size() ? parseDecimalInt32(args[i + 1]) : std::nullopt;
            if (!count)
                return usageError(err, "--output-count takes an integer");
            cdf.hdmiOutputCount = *count;
            ++i;
        } else if (arg.rfind("--", 0) == 0) {
            return usageError(err, "unknown declaration '" + arg + "'");
        } else if (file.empty()) {
            file = arg;
        } else {
            return usageError(err, "analyse takes one FILE");
        }
    }
    if (file.empty())
        return usageError(err, "analyse needs a FILE");

    EdidImage buffer{};
    if (!readInput(file, buffer, err))
        return kExitUsage;
    DataBlockCollection model;
    parseExtensionBlock(buffer, model);
    const AnalyserReport report = writeAnalyserReport(buffer, cdf, model);
    for (const std::string& line : report.lines)
        out << line << "\n";
    if (!report.evaluated)
        return kExitUsage;
    return report.failCount == 0 ? kExitOk : kExitFailed;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        return usageError(err, "no verb given");
    const std::string& verb = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (verb == "--help" || verb == "-h" || verb == "help") {
        out << kUsage;
        return kExitOk;
    }
    if (verb == "convert")
        return convert(rest, err);
    if (verb == "rebuild")
        return rebuild(rest, err);
    if (verb == "analyse")
        return analyse(rest, out, err);
    return usageError(err, "unknown verb '" + verb + "'");
}

} // namespace pellam::cli
