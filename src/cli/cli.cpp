#include "cli/cli.h"

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
  --help           Show this text.

Exit status: 0 on success, 2 on a usage error or a file that cannot be read
or written.
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

int convert(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() != 2)
        return usageError(err, "convert takes two arguments: IN OUT");
    const std::string& in = args[0];
    const std::string& out = args[1];
    // Refuse an unwritable form before reading, so nothing is half done.
    if (!isWritableType(fileTypeFromPath(out))) {
        err << "pellam-cli: cannot write \"" << out
            << "\": use .bin or .dat for raw binary, .txt for hex text\n";
        return kExitUsage;
    }
    EdidImage image{};
    if (!readInput(in, image, err))
        return kExitUsage;
    return writeOutput(out, image, err) ? kExitOk : kExitUsage;
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
    return usageError(err, "unknown verb '" + verb + "'");
}

} // namespace pellam::cli
