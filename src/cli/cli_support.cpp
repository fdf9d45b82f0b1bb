#include "cli/cli_support.h"

#include "cli/cli.h"
#include "core/edid/edid_file.h"

#include <iostream>
#include <ostream>
#include <unistd.h>

namespace pellam::cli {

int usageError(std::ostream& err, const std::string& message) {
    err << "pellam-cli: " << message << "\n";
    err << "Try 'pellam-cli --help'.\n";
    return kExitUsage;
}

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

bool isWritablePath(const std::string& path) {
    const EdidFileType type = fileTypeFromPath(path);
    return type == EdidFileType::RawBinary || type == EdidFileType::ListText;
}

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

bool isTerminal(const std::ostream& stream) {
    if (&stream == &std::cerr || &stream == &std::clog)
        return isatty(STDERR_FILENO) != 0;
    if (&stream == &std::cout)
        return isatty(STDOUT_FILENO) != 0;
    return false;
}

} // namespace pellam::cli
