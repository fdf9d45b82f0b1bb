// The sink's content as it was before a write, kept as a file in the user's
// data folder, so that any write can be undone (pellam-cli restore).
#pragma once

#include "core/edid/bits.h"

#include <ctime>
#include <filesystem>
#include <span>
#include <string>

namespace pellam {

// $XDG_DATA_HOME/pellam/backups, or ~/.local/share/pellam/backups when
// XDG_DATA_HOME is not set (or not an absolute path, which the XDG base
// directory rules say to ignore).
std::filesystem::path defaultBackupDirectory();

// A port or connector name as a file name's part: letters, digits, '.', '-'
// and '_' kept, anything else '_'; "sink" when nothing is left.
std::string backupNamePart(const std::string& portName);

struct BackupSave {
    // The file written; empty when the save failed.
    std::filesystem::path path;
    // Why the save failed, for the user; empty on success.
    std::string problem;
};

// Saves the bytes as <directory>/<port>-<YYYYMMDD-HHMMSS>.bin (local time),
// with "-2", "-3" ... added when that name is taken; an existing file is
// never replaced. The bytes go to a temporary file in the same folder that
// is flushed to disk and then renamed, so a save that fails part way leaves
// no partial backup behind. The folder is created when missing.
BackupSave saveEepromBackup(const std::filesystem::path& directory, const std::string& portName,
                            std::span<const Byte> bytes, std::time_t when = std::time(nullptr));

} // namespace pellam
