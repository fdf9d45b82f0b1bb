#include "core/edid/edid_file.h"

#include "core/edid/hex.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#define PELLAM_HAVE_FSYNC 1
#endif

namespace pellam {

namespace {

// Text files are read whole; anything this large is not an EDID.
constexpr std::size_t kMaxTextFileSize = 64u * 1024u * 1024u;
// A ddc line longer than this is read as several lines.
constexpr std::size_t kMaxLineTextLength = 255;

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view withoutUtf8Bom(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    return text;
}

// Calls onLine for each line of the text, split at CR LF, LF or CR. The empty
// text after a final line break is not a line. onLine returns false to stop.
template <typename OnLine>
void forEachLine(std::string_view text, OnLine onLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        if (!onLine(text.substr(start, end - start)))
            return;
        start = end;
        if (start < text.size())
            start += text.compare(start, 2, "\r\n") == 0 ? 2 : 1;
    }
}

// A line's content ends at its first NUL, as in a C string.
std::string_view untilNul(std::string_view line) {
    return line.substr(0, std::min(line.find('\0'), line.size()));
}

// Splits a line into items: items are separated by commas and by runs of
// characters with codes 1 to 32; a comma with only such characters around it
// is one separator; an item may be enclosed in double quotes (a doubled quote
// inside stands for one). Two commas with nothing between them and a comma at
// the end of the line give an empty item.
std::vector<std::string> splitItems(std::string_view line) {
    std::vector<std::string> items;
    std::size_t p = 0;
    const auto skipBlanks = [&] {
        while (p < line.size() && isBlank(line[p]))
            ++p;
    };
    skipBlanks();
    while (p < line.size()) {
        std::string item;
        if (line[p] == '"') {
            ++p;
            while (p < line.size()) {
                if (line[p] == '"') {
                    if (p + 1 < line.size() && line[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += line[p++];
            }
        } else {
            const std::size_t first = p;
            while (p < line.size() && !isBlank(line[p]) && line[p] != ',')
                ++p;
            item.assign(line.substr(first, p - first));
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (p < line.size() && line[p] == ',') {
            if (p + 1 == line.size())
                items.emplace_back();
            ++p;
            skipBlanks();
        }
    }
    return items;
}

// Appends hexadecimal items to the bytes, each as its low 8 bits; the first
// item that is not a number ends the read.
class ItemStore {
public:
    explicit ItemStore(EdidBytes& bytes)
        : m_bytes(bytes) {
        m_bytes.clear();
    }

    // False when reading must stop: a bad item, or one item more than an
    // EDID can have was stored (what the file holds beyond is not read).
    bool store(std::string_view item) {
        const auto value = parseHexNumber(item);
        if (!value) {
            m_result.status = ReadResult::Status::Failed;
            m_result.message = invalidIntegerMessage(std::string("0x").append(item));
            return false;
        }
        m_bytes.push_back(static_cast<Byte>(*value & 0xFF));
        m_result.bytesStored = m_bytes.size();
        return m_bytes.size() <= kMaxEdidSize;
    }

    const ReadResult& result() const { return m_result; }

private:
    EdidBytes& m_bytes;
    ReadResult m_result;
};

std::string systemReason(int error) {
    return std::strerror(error);
}

ReadResult failedRead(const std::string& message) {
    ReadResult result;
    result.status = ReadResult::Status::Failed;
    result.message = message;
    return result;
}

// Reads up to maxBytes of the file; the message names the path and the
// system's reason when it cannot be read.
bool readFileBytes(const std::string& path, std::size_t maxBytes, std::string& data,
                   std::string& message) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        message = "Cannot open \"" + path + "\": " + systemReason(errno);
        return false;
    }
    data.clear();
    char chunk[65536];
    bool ok = true;
    while (data.size() < maxBytes) {
        const std::size_t want = std::min(sizeof chunk, maxBytes - data.size());
        const std::size_t got = std::fread(chunk, 1, want, file);
        data.append(chunk, got);
        if (got < want) {
            if (std::ferror(file)) {
                message = "Cannot read \"" + path + "\": " + systemReason(errno);
                ok = false;
            }
            break;
        }
    }
    if (ok && data.size() == maxBytes && maxBytes == kMaxTextFileSize && std::fgetc(file) != EOF) {
        message = "Cannot read \"" + path + "\": the file is too large for an EDID text file";
        ok = false;
    }
    std::fclose(file);
    return ok;
}

} // namespace

std::string_view fileExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return path.substr(dot + 1);
}

EdidFileType fileTypeFromPath(std::string_view path) {
    const std::string_view ext = fileExtension(path);
    if (ext == "bin" || ext == "BIN" || ext == "dat" || ext == "DAT")
        return EdidFileType::RawBinary;
    if (ext == "txt" || ext == "TXT")
        return EdidFileType::ListText;
    if (ext == "ddc")
        return EdidFileType::LineText;
    return EdidFileType::Unrecognised;
}

ReadResult readRawBinary(std::string_view data, EdidBytes& bytes) {
    ReadResult result;
    bytes.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(
                                                  std::min(data.size(), kMaxEdidSize + 1)));
    result.bytesStored = bytes.size();
    return result;
}

ReadResult readListText(std::string_view text, EdidBytes& bytes) {
    ItemStore store(bytes);
    forEachLine(withoutUtf8Bom(text), [&](std::string_view line) {
        line = untilNul(line);
        if (std::all_of(line.begin(), line.end(), isBlank))
            return true;
        for (const std::string& item : splitItems(line)) {
            if (item.empty())
                break; // the first empty item ends the line
            if (!store.store(item))
                return false;
        }
        return true;
    });
    return store.result();
}

ReadResult readLineText(std::string_view text, EdidBytes& bytes) {
    ItemStore store(bytes);
    // One byte per line, from the line's first item; items are separated by
    // blanks and TABs, the rest of the line is a comment.
    const auto takeLine = [&](std::string_view line) {
        line = untilNul(line);
        const std::size_t first = std::min(line.find_first_not_of(" \t"), line.size());
        const std::size_t end = std::min(line.find_first_of(" \t", first), line.size());
        return store.store(line.substr(first, end - first));
    };
    forEachLine(withoutUtf8Bom(text), [&](std::string_view line) {
        do {
            if (!takeLine(line.substr(0, kMaxLineTextLength)))
                return false;
            line.remove_prefix(std::min(line.size(), kMaxLineTextLength));
        } while (!line.empty());
        return true;
    });
    return store.result();
}

ReadResult ReadEdidFile(const std::string& path, EdidBytes& bytes) {
    const EdidFileType type = fileTypeFromPath(path);
    if (type == EdidFileType::Unrecognised) {
        ReadResult result;
        result.status = ReadResult::Status::NotRecognised;
        return result;
    }
    std::string data;
    std::string message;
    // One byte more than an EDID can have tells a file that is too large.
    const std::size_t maxBytes =
        type == EdidFileType::RawBinary ? kMaxEdidSize + 1 : kMaxTextFileSize;
    if (!readFileBytes(path, maxBytes, data, message))
        return failedRead(message);
    switch (type) {
    case EdidFileType::RawBinary:
        return readRawBinary(data, bytes);
    case EdidFileType::ListText:
        return readListText(data, bytes);
    case EdidFileType::LineText:
        return readLineText(data, bytes);
    case EdidFileType::Unrecognised:
        break;
    }
    return {};
}

std::string formatRawBinary(std::span<const Byte> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string formatListText(std::span<const Byte> bytes) {
    std::string text;
    text.reserve(bytes.size() / 16 * 50);
    for (std::size_t offset = 0; offset < bytes.size(); ++offset) {
        text += hexByte(bytes[offset]);
        text += '\t';
        if (offset % 16 == 15)
            text += "\r\n";
    }
    return text;
}

WriteResult writeFileReplacing(const std::string& path, std::string_view contents) {
    namespace fs = std::filesystem;
    const auto failure = [&](const std::string& reason) {
        return WriteResult{false, "Cannot write \"" + path + "\": " + reason};
    };

    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device entropy;
    std::FILE* file = nullptr;
    fs::path temporary;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(entropy()));
        temporary = folder / ("." + target.filename().string() + "." + suffix + ".tmp");
        file = std::fopen(temporary.c_str(), "wbx");
        if (!file && errno != EEXIST)
            break;
    }
    if (!file)
        return failure(systemReason(errno));

    bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    int error = errno;
    if (written && std::fflush(file) != 0) {
        written = false;
        error = errno;
    }
#ifdef PELLAM_HAVE_FSYNC
    if (written && ::fsync(::fileno(file)) != 0) {
        written = false;
        error = errno;
    }
#endif
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    std::error_code ignored;
    if (!written) {
        fs::remove(temporary, ignored);
        return failure(systemReason(error));
    }

    // A replaced file keeps its permissions.
    const fs::file_status old = fs::status(target, ignored);
    if (fs::is_regular_file(old))
        fs::permissions(temporary, old.permissions(), ignored);

    std::error_code renamed;
    fs::rename(temporary, target, renamed);
    if (renamed) {
        fs::remove(temporary, ignored);
        return failure(renamed.message());
    }
    return {};
}

std::string savePath(std::string_view chosenName, SaveFilter filter) {
    std::string path(chosenName);
    const EdidFileType form =
        filter == SaveFilter::Binary ? EdidFileType::RawBinary : EdidFileType::ListText;
    if (fileTypeFromPath(path) != form)
        path += filter == SaveFilter::Binary ? ".bin" : ".txt";
    return path;
}

WriteResult saveEdidFile(std::span<const Byte> bytes, std::string_view chosenName,
                         SaveFilter filter) {
    const std::string contents =
        filter == SaveFilter::Binary ? formatRawBinary(bytes) : formatListText(bytes);
    return writeFileReplacing(savePath(chosenName, filter), contents);
}

WriteResult writeLogFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string contents;
    for (const std::string& line : lines) {
        contents += line;
        contents += "\r\n";
    }
    return writeFileReplacing(path, contents);
}

LoadResult readEdidAsRead(const std::string& path, EdidBytes& bytes) {
    EdidBytes read;
    const ReadResult result = ReadEdidFile(path, read);
    if (result.status == ReadResult::Status::NotRecognised)
        return {LoadResult::Outcome::ReadFailed, notAnEdidFileTypeMessage(path), {}};
    if (result.failed())
        return {LoadResult::Outcome::ReadFailed, result.message, {}};
    if (read.empty() || read.size() > kMaxEdidSize)
        return {LoadResult::Outcome::ReadFailed, checkEdidBytes(read, {false, false}).refusal, {}};
    bytes = std::move(read);
    return {};
}

LoadResult readEdidForEditing(const std::string& path, const EdidCheckOptions& options,
                              EdidBytes& bytes) {
    EdidBytes read;
    LoadResult result = readEdidAsRead(path, read);
    if (result.outcome != LoadResult::Outcome::Loaded)
        return result;
    EdidCheck check = checkEdidBytes(std::move(read), options);
    if (check.refused)
        return {LoadResult::Outcome::HeaderMismatch, check.refusal, {}};
    bytes = std::move(check.bytes);
    return {LoadResult::Outcome::Loaded, {}, std::move(check.notes)};
}

std::string notAnEdidFileTypeMessage(const std::string& path) {
    return "\"" + path + "\" is not an EDID file type (use .bin, .dat, .txt or .ddc)";
}

} // namespace pellam
