// What the verbs of pellam-cli share: reading and writing EDID files with
// messages on the error stream, and the usage-error reply.
#pragma once

#include "core/edid/edid_image.h"

#include <iosfwd>
#include <string>

namespace pellam::cli {

// "pellam-cli: <message>" and a pointer to --help; returns kExitUsage.
int usageError(std::ostream& err, const std::string& message);

// The image bytes as read: a zeroed buffer filled by the reader of the path's
// type. On failure the message is written and false returned.
bool readInput(const std::string& path, EdidImage& image, std::ostream& err);

// Whether the path's extension names a form pellam-cli writes (bin, dat, txt).
bool isWritablePath(const std::string& path);

// Writes the image in the form the path's extension names, 128 or 256 bytes
// by byte 126 (0 means no extension), replacing the file only once written.
bool writeOutput(const std::string& path, const EdidImage& image, std::ostream& err);

// Whether the stream is the process's standard error or output and that is
// a terminal (progress is shown there only).
bool isTerminal(const std::ostream& stream);

} // namespace pellam::cli
