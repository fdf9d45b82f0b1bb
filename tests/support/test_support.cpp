#include "support/test_support.h"

#include "core/edid/hex.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

namespace pellam::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device entropy;
    for (;;) {
        m_path = fs::temp_directory_path() / ("pellam-test-" + std::to_string(entropy()));
        if (fs::create_directory(m_path))
            break;
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

ScopedDataHome::ScopedDataHome() {
    if (const char* previous = std::getenv("XDG_DATA_HOME"))
        m_previous = previous;
    setenv("XDG_DATA_HOME", m_dir.path().c_str(), 1);
}

ScopedDataHome::~ScopedDataHome() {
    if (m_previous)
        setenv("XDG_DATA_HOME", m_previous->c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

std::vector<fs::path> ScopedDataHome::backupFiles() const {
    std::vector<fs::path> files;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(backups(), ignored))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

namespace {

// For the whole run of every test executable.
const ScopedDataHome kRunDataHome;

} // namespace

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, std::string_view contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    const fs::path folder(PELLAM_CORPUS_DIR);
    if (!fs::is_directory(folder)) {
        ADD_FAILURE() << "corpus folder missing: " << folder;
        return files;
    }
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".bin")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

EdidImage imageFromBytes(std::string_view bytes) {
    EdidImage image{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
    return image;
}

std::string describeDifferences(const EdidImage& expected, const EdidImage& actual) {
    std::ostringstream out;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i])
            out << "  offset " << i << " (" << hexByte(static_cast<Byte>(i)) << "h): expected "
                << hexByte(expected[i]) << " got " << hexByte(actual[i]) << "\n";
    return out.str();
}

} // namespace pellam::test
