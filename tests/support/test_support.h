// Helpers for the tests: temporary folders, whole-file reads and writes, and
// the corpus of EDIDs read from real displays.
#pragma once

#include "core/edid/edid_image.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellam::test {

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(std::string_view name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Points XDG_DATA_HOME, where the backups of EEPROM writes go, at a fresh
// temporary folder while it lives. Every test executable also holds one for
// its whole run, so that no test ever writes into the user's own data.
class ScopedDataHome {
public:
    ScopedDataHome();
    ~ScopedDataHome();
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;

    // Where the backups go.
    std::filesystem::path backups() const { return m_dir.path() / "pellam" / "backups"; }
    // The backup files, sorted by name.
    std::vector<std::filesystem::path> backupFiles() const;

private:
    TempDir m_dir;
    std::optional<std::string> m_previous;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view contents);

// Every .bin file of the corpus, sorted by name. Fails the calling test when
// the corpus folder is missing, so a broken checkout never passes silently.
std::vector<std::filesystem::path> corpusFiles();

// The first 256 bytes of a file into a zeroed image.
EdidImage imageFromBytes(std::string_view bytes);

// An image as "offset: expected vs actual" lines for the bytes that differ.
std::string describeDifferences(const EdidImage& expected, const EdidImage& actual);

} // namespace pellam::test
