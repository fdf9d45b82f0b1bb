#include "cli/cli_support.h"

#include "cli/cli.h"
#include "core/edid/edid_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <istream>
#include <ostream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam::cli {

namespace fs = std::filesystem;

int usageError(std::ostream& err, const std::string& message) {
    err << "pellam-cli: " << message << "\n";
    err << "Try 'pellam-cli --help'.\n";
    return kExitUsage;
}

// --- Arguments ---------------------------------------------------------------

bool ParsedArgs::has(std::string_view name) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& option) { return option.first == name; });
}

std::optional<std::string> ParsedArgs::last(std::string_view name) const {
    for (auto it = options.rbegin(); it != options.rend(); ++it)
        if (it->first == name)
            return it->second;
    return std::nullopt;
}

int parseArguments(const std::string& verb, const Args& args, std::span<const OptionRule> rules,
                   ParsedArgs& parsed, std::ostream& err) {
    parsed = {};
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const auto rule = std::find_if(rules.begin(), rules.end(), [&](const OptionRule& r) {
            return name == r.name || (r.alias && name == r.alias);
        });
        if (rule == rules.end())
            return usageError(err, "unknown option '" + displayText(name) + "' for " + verb);
        if (!rule->takesValue) {
            if (equals != std::string::npos)
                return usageError(err, std::string(rule->name) + " takes no value");
            parsed.options.emplace_back(rule->name, "");
        } else if (equals != std::string::npos) {
            parsed.options.emplace_back(rule->name, arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            parsed.options.emplace_back(rule->name, args[++i]);
        } else {
            return usageError(err, std::string(rule->name) + " needs a value");
        }
    }
    return kExitOk;
}

bool asksForHelp(const Args& args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

// --- Streams -------------------------------------------------------------------

namespace {

std::istream* g_runInput = &std::cin;
std::ostream* g_runOutput = &std::cout;

} // namespace

ScopedRunStreams::ScopedRunStreams(std::istream& in, std::ostream& out)
    : m_previousIn(g_runInput)
    , m_previousOut(g_runOutput) {
    g_runInput = &in;
    g_runOutput = &out;
}

ScopedRunStreams::~ScopedRunStreams() {
    g_runInput = m_previousIn;
    g_runOutput = m_previousOut;
}

std::istream& runInput() {
    return *g_runInput;
}

std::ostream& runOutput() {
    return *g_runOutput;
}

FdOutputBuffer::FdOutputBuffer(int fd)
    : m_fd(fd) {
    setp(m_buffer, m_buffer + sizeof m_buffer);
}

FdOutputBuffer::~FdOutputBuffer() {
    drain();
}

bool FdOutputBuffer::writeAll(const char* data, std::size_t size) {
    if (m_error != 0)
        return false;
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool FdOutputBuffer::drain() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer, m_buffer + sizeof m_buffer);
    return size == 0 || writeAll(m_buffer, size);
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c) {
    if (!drain())
        return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize FdOutputBuffer::xsputn(const char* s, std::streamsize n) {
    const auto size = static_cast<std::size_t>(n);
    if (size <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), s, size);
        pbump(static_cast<int>(n));
        return n;
    }
    // A large piece goes out directly after what is buffered.
    if (!drain() || !writeAll(s, size))
        return 0;
    return n;
}

int FdOutputBuffer::sync() {
    return drain() ? 0 : -1;
}

std::string streamFailureReason(const std::ostream& stream) {
    if (const auto* buffer = dynamic_cast<const FdOutputBuffer*>(stream.rdbuf());
        buffer && buffer->error() != 0)
        return std::strerror(buffer->error());
    return "the stream refused the bytes";
}

bool isTerminal(const std::ostream& stream) {
    if (const auto* buffer = dynamic_cast<const FdOutputBuffer*>(stream.rdbuf()))
        return isatty(buffer->fd()) != 0;
    if (&stream == &std::cerr || &stream == &std::clog)
        return isatty(STDERR_FILENO) != 0;
    if (&stream == &std::cout)
        return isatty(STDOUT_FILENO) != 0;
    return false;
}

// --- Text ------------------------------------------------------------------------

std::size_t utf8SequenceLength(std::string_view text) {
    if (text.empty())
        return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80; // the range of the second byte, which rules out
    unsigned char high = 0xBF; // overlong forms, surrogates and values past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

bool isValidUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

namespace {

void appendByteEscape(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
}

} // namespace

std::string displayText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        const auto lead = static_cast<unsigned char>(text[0]);
        if (length == 0 || lead < 0x20 || lead == 0x7F) {
            appendByteEscape(shown, lead);
            text.remove_prefix(1);
            continue;
        }
        shown.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return shown;
}

std::string displayName(const std::string& path) {
    return path == "-" ? "standard input" : displayText(path);
}

std::string hexBytes(std::span<const Byte> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const Byte b : bytes) {
        if (!text.empty())
            text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

// --- Reading ---------------------------------------------------------------------

namespace {

// Text files are read whole; anything this large is not an EDID.
constexpr std::size_t kMaxTextFileSize = 64u * 1024u * 1024u;

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Reads at most maxBytes + 1 bytes of the stream.
void readStream(std::istream& in, std::string& data, std::size_t maxBytes) {
    data.clear();
    char chunk[65536];
    while (data.size() <= maxBytes && in) {
        in.read(chunk, static_cast<std::streamsize>(
                           std::min(sizeof chunk, maxBytes + 1 - data.size())));
        data.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
}

bool readFileData(const std::string& path, std::string& data, std::size_t maxBytes,
                  std::ostream& err) {
    if (path == "-") {
        std::istream& in = runInput();
        readStream(in, data, maxBytes);
        if (in.bad()) {
            err << "pellam-cli: cannot read standard input\n";
            return false;
        }
        return true;
    }
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        err << "pellam-cli: " << displayText(path) << ": is a folder\n";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        err << "pellam-cli: " << displayText(path) << ": " << std::strerror(errno) << "\n";
        return false;
    }
    data.clear();
    char chunk[65536];
    bool ok = true;
    while (data.size() <= maxBytes) {
        const std::size_t want = std::min(sizeof chunk, maxBytes + 1 - data.size());
        const std::size_t got = std::fread(chunk, 1, want, file);
        data.append(chunk, got);
        if (got < want) {
            if (std::ferror(file)) {
                err << "pellam-cli: " << displayText(path) << ": " << std::strerror(errno)
                    << "\n";
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    return ok;
}

bool looksLikeText(std::string_view data) {
    return std::all_of(data.begin(), data.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 0x20 && b < 0x7F) || b == '\t' || b == '\r' || b == '\n' || b == 0xEF ||
               b == 0xBB || b == 0xBF; // the UTF-8 byte order mark
    });
}

bool startsWithEdidHeader(std::string_view data) {
    return data.size() >= 8 && data.compare(0, 8, std::string_view("\0\xFF\xFF\xFF\xFF\xFF\xFF\0", 8)) == 0;
}

ReadResult parseAs(FileForm form, std::string_view data, EdidBytes& bytes) {
    switch (form) {
    case FileForm::HexList:
        return readListText(data, bytes);
    case FileForm::HexLines:
        return readLineText(data, bytes);
    case FileForm::Binary:
    case FileForm::Auto:
        break;
    }
    return readRawBinary(data, bytes);
}

} // namespace

std::optional<FileForm> fileFormNamed(std::string_view name) {
    if (name == "bin")
        return FileForm::Binary;
    if (name == "hex")
        return FileForm::HexList;
    if (name == "ddc")
        return FileForm::HexLines;
    return std::nullopt;
}

FileForm formFromExtension(std::string_view path) {
    const std::string_view name = path.substr(std::min(path.size(), path.rfind('/') + 1));
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return FileForm::Auto;
    const std::string ext = lowerCase(name.substr(dot + 1));
    if (ext == "bin" || ext == "dat")
        return FileForm::Binary;
    if (ext == "txt")
        return FileForm::HexList;
    if (ext == "ddc")
        return FileForm::HexLines;
    return FileForm::Auto;
}

bool readRawInput(const std::string& path, std::string& data, std::size_t maxBytes,
                  std::ostream& err) {
    return readFileData(path, data, maxBytes, err);
}

bool readInput(const std::string& path, EdidBytes& bytes, std::ostream& err, FileForm form) {
    const std::string name = displayName(path);
    if (form == FileForm::Auto)
        form = formFromExtension(path);
    std::string data;
    const std::size_t limit = form == FileForm::Binary ? kMaxEdidSize : kMaxTextFileSize;
    if (!readFileData(path, data, limit, err))
        return false;
    // A binary file one byte too long is refused with the others below.
    if (data.size() > limit && form != FileForm::Binary) {
        err << "pellam-cli: " << name << ": the file is too large for an EDID text file\n";
        return false;
    }
    if (form == FileForm::Auto && !data.empty()) {
        // No extension says the form: the content does.
        if (startsWithEdidHeader(data)) {
            form = FileForm::Binary;
        } else if (EdidBytes probe; looksLikeText(data) && !readListText(data, probe).failed()) {
            form = FileForm::HexList;
        } else if (looksLikeText(data) && !readLineText(data, probe).failed()) {
            form = FileForm::HexLines;
        } else {
            err << "pellam-cli: " << name
                << ": not an EDID file: neither binary with the EDID header nor hex text (name "
                   "it .bin, .dat, .txt or .ddc, or give --input-format bin|hex|ddc)\n";
            return false;
        }
    }
    const ReadResult read = parseAs(form, data, bytes);
    if (read.failed()) {
        // The readers' message says what the bad item is; where it is, and
        // in which file, is said here.
        err << "pellam-cli: " << name << ": item " << read.bytesStored + 1 << ": "
            << displayText(read.message) << "\n";
        return false;
    }
    if (bytes.empty() || bytes.size() > kMaxEdidSize) {
        const EdidCheck check = checkEdidBytes(bytes, {false, false});
        err << "pellam-cli: " << name << ": " << check.refusal << "\n";
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

std::vector<std::string> findingNotes(std::span<const Byte> bytes, bool checksums) {
    std::vector<std::string> notes;
    if (!hasEdidHeader(bytes))
        return notes;
    const EdidCheck check = checkEdidBytes(EdidBytes(bytes.begin(), bytes.end()), {false, false});
    for (const std::string& note : check.notes)
        if (checksums || !note.starts_with("Wrong checksum"))
            notes.push_back(note);
    return notes;
}

void reportFindings(const std::string& path, std::span<const Byte> bytes, std::ostream& err,
                    bool checksums) {
    for (const std::string& note : findingNotes(bytes, checksums))
        err << "pellam-cli: " << displayName(path) << ": " << note << "\n";
}

// --- Writing ---------------------------------------------------------------------

namespace {

// The form an output is written in; Auto when the path does not say and the
// form was not given.
FileForm outputForm(const std::string& path, FileForm form) {
    if (form != FileForm::Auto)
        return form;
    if (path == "-")
        return FileForm::Binary;
    const FileForm named = formFromExtension(path);
    return named == FileForm::HexLines ? FileForm::Auto : named;
}

} // namespace

bool isWritablePath(const std::string& path, FileForm form) {
    const FileForm written = outputForm(path, form);
    return written == FileForm::Binary || written == FileForm::HexList;
}

std::string notWritableMessage(const std::string& path) {
    return "cannot write \"" + displayText(path) +
           "\": use .bin or .dat for raw binary, .txt for hex text";
}

std::string fileContents(const std::string& path, std::span<const Byte> bytes, FileForm form) {
    return outputForm(path, form) == FileForm::HexList ? formatListText(bytes)
                                                       : formatRawBinary(bytes);
}

bool writeOutput(const std::string& path, std::span<const Byte> bytes, std::ostream& err,
                 FileForm form) {
    const std::string contents = fileContents(path, bytes, form);
    if (path == "-") {
        std::ostream& out = runOutput();
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.flush();
        if (!out) {
            err << "pellam-cli: cannot write standard output: " << streamFailureReason(out)
                << "\n";
            return false;
        }
        return true;
    }
    const WriteResult written = writeFileReplacing(path, contents);
    if (!written.ok) {
        err << "pellam-cli: " << displayText(written.message) << "\n";
        return false;
    }
    return true;
}

StagedOutputs::~StagedOutputs() {
    for (const Staged& staged : m_staged)
        if (!staged.temporary.empty())
            ::unlink(staged.temporary.c_str());
}

bool StagedOutputs::stage(const std::string& target, std::string contents, std::ostream& err) {
    if (target == "-") {
        m_staged.push_back({target, {}, std::move(contents)});
        return true;
    }
    const auto fail = [&](int error) {
        err << "pellam-cli: cannot write \"" << displayText(target) << "\": " << std::strerror(error)
            << "\n";
        return false;
    };
    // A folder cannot be replaced by a file: found now, nothing is renamed.
    if (std::error_code ec; fs::is_directory(target, ec))
        return fail(EISDIR);
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::random_device entropy;
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(entropy()));
        temporary = (folder / ("." + path.filename().string() + "." + suffix + ".tmp")).string();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(errno);
    }
    if (fd < 0)
        return fail(EEXIST);
    m_staged.push_back({target, temporary, {}});
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            const int error = errno;
            ::close(fd);
            return fail(error);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    if (::close(fd) != 0)
        return fail(errno);
    // A replaced file keeps its permissions.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(temporary.c_str(), old.st_mode & 07777);
    return true;
}

bool StagedOutputs::commit(std::ostream& err) {
    for (std::size_t i = 0; i < m_staged.size(); ++i) {
        Staged& staged = m_staged[i];
        bool ok = true;
        std::string reason;
        if (staged.temporary.empty()) {
            std::ostream& out = runOutput();
            out.write(staged.contents.data(), static_cast<std::streamsize>(staged.contents.size()));
            out.flush();
            ok = static_cast<bool>(out);
            if (!ok)
                reason = streamFailureReason(out);
        } else if (::rename(staged.temporary.c_str(), staged.target.c_str()) != 0) {
            ok = false;
            reason = std::strerror(errno);
        } else {
            staged.temporary.clear();
        }
        if (ok)
            continue;
        const auto name = [](const std::string& target) {
            return target == "-" ? std::string("standard output") : displayText(target);
        };
        err << "pellam-cli: cannot write " << (staged.target == "-" ? "" : "\"")
            << name(staged.target) << (staged.target == "-" ? "" : "\"") << ": " << reason
            << "\n";
        if (i > 0) {
            err << "pellam-cli: written:";
            for (std::size_t k = 0; k < i; ++k)
                err << " " << name(m_staged[k].target);
            err << "; not written:";
            for (std::size_t k = i; k < m_staged.size(); ++k)
                err << " " << name(m_staged[k].target);
            err << "\n";
        }
        return false;
    }
    return true;
}

} // namespace pellam::cli
