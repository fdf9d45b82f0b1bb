#include "cli/cli_support.h"

#include "cli/cli.h"
#include "core/edid/edid_file.h"

#include <algorithm>
#include <iostream>
#include <ostream>
#include <unistd.h>

namespace pellam::cli {

int usageError(std::ostream& err, const std::string& message) {
    err << "pellam-cli: " << message << "\n";
    err << "Try 'pellam-cli --help'.\n";
    return kExitUsage;
}

bool readInput(const std::string& path, EdidBytes& bytes, std::ostream& err) {
    if (fileTypeFromPath(path) == EdidFileType::Unrecognised) {
        err << "pellam-cli: " << notAnEdidFileTypeMessage(path) << "\n";
        return false;
    }
    const ReadResult read = ReadEdidFile(path, bytes);
    if (read.failed()) {
        err << "pellam-cli: " << read.message << "\n";
        return false;
    }
    if (bytes.empty() || bytes.size() > kMaxEdidSize) {
        const EdidCheck check = checkEdidBytes(bytes, {false, false});
        err << "pellam-cli: " << path << ": " << check.refusal << "\n";
        return false;
    }
    return true;
}

bool readInput(const std::string& path, EdidImage& image, std::ostream& err) {
    EdidBytes bytes;
    if (!readInput(path, bytes, err))
        return false;
    image.fill(0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
    return true;
}

void reportFindings(const std::string& path, std::span<const Byte> bytes, std::ostream& err,
                    bool checksums) {
    if (!hasEdidHeader(bytes))
        return;
    const EdidCheck check = checkEdidBytes(EdidBytes(bytes.begin(), bytes.end()), {false, false});
    for (const std::string& note : check.notes)
        if (checksums || !note.starts_with("Wrong checksum"))
            err << "pellam-cli: " << path << ": " << note << "\n";
}

bool isWritablePath(const std::string& path) {
    const EdidFileType type = fileTypeFromPath(path);
    return type == EdidFileType::RawBinary || type == EdidFileType::ListText;
}

bool writeOutput(const std::string& path, std::span<const Byte> bytes, std::ostream& err) {
    const std::string contents = fileTypeFromPath(path) == EdidFileType::RawBinary
                                     ? formatRawBinary(bytes)
                                     : formatListText(bytes);
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
