// What the verbs of pellam-cli share: reading and writing EDID files with
// messages on the error stream, and the usage-error reply.
#pragma once

#include "core/edid/edid_bytes.h"

#include <iosfwd>
#include <span>
#include <string>

namespace pellam::cli {

// "pellam-cli: <message>" and a pointer to --help; returns kExitUsage.
int usageError(std::ostream& err, const std::string& message);

// Every byte of the file as read by the reader of the path's type, whatever
// its length; the message is written and false returned when the file
// cannot be read, is empty or is larger than an EDID can be.
bool readInput(const std::string& path, EdidBytes& bytes, std::ostream& err);
// The first 256 bytes of such a read in a zeroed image (the transfer verbs,
// whose EEPROMs hold 256 bytes).
bool readInput(const std::string& path, EdidImage& image, std::ostream& err);
// The notes of what the check of the bytes found (an odd length, a wrapped
// read, byte 126 against the length, wrong checksums), one line each on the
// error stream, naming the file.
void reportFindings(const std::string& path, std::span<const Byte> bytes, std::ostream& err,
                    bool checksums = true);

// Whether the path's extension names a form pellam-cli writes (bin, dat, txt).
bool isWritablePath(const std::string& path);

// Writes the bytes in the form the path's extension names, replacing the
// file only once written.
bool writeOutput(const std::string& path, std::span<const Byte> bytes, std::ostream& err);

// Whether the stream is the process's standard error or output and that is
// a terminal (progress is shown there only).
bool isTerminal(const std::ostream& stream);

} // namespace pellam::cli
