#include "cli/structured_output.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <unistd.h>

namespace pellam::cli {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHexEscape(std::string& out, unsigned char byte, const char* prefix) {
    out += prefix;
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
}

} // namespace

std::string jsonQuoted(std::string_view text) {
    std::string quoted = "\"";
    quoted.reserve(text.size() + 2);
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        const auto lead = static_cast<unsigned char>(text[0]);
        if (length == 0) {
            appendHexEscape(quoted, lead, "\\\\x");
            text.remove_prefix(1);
            continue;
        }
        switch (lead) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\b':
            quoted += "\\b";
            break;
        case '\f':
            quoted += "\\f";
            break;
        default:
            if (lead < 0x20 || lead == 0x7F)
                appendHexEscape(quoted, lead, "\\u00");
            else
                quoted.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    quoted += '"';
    return quoted;
}

JsonWriter::JsonWriter(std::ostream& out, int depth)
    : m_out(out)
    , m_depth(depth) {}

void JsonWriter::newline(int depth) {
    m_out << '\n' << std::string(static_cast<std::size_t>(2 * depth), ' ');
}

void JsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    if (!level.empty)
        m_out << ',';
    level.empty = false;
    newline(m_depth + static_cast<int>(m_levels.size()));
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    m_out << '{';
    m_levels.push_back({true});
    return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty)
        newline(m_depth + static_cast<int>(m_levels.size()));
    m_out << bracket;
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    return close('}');
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    m_out << '[';
    m_levels.push_back({false});
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    return close(']');
}

JsonWriter& JsonWriter::key(std::string_view name) {
    beforeValue();
    m_out << jsonQuoted(name) << ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    beforeValue();
    m_out << jsonQuoted(text);
    return *this;
}

JsonWriter& JsonWriter::value(long long number) {
    beforeValue();
    m_out << number;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    beforeValue();
    m_out << (flag ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    m_out << "null";
    return *this;
}

std::string xmlEscaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        const auto lead = static_cast<unsigned char>(text[0]);
        // U+FFFE and U+FFFF are no XML characters either.
        const bool nonCharacter = length == 3 && lead == 0xEF && text[1] == '\xBF' &&
                                  (text[2] == '\xBE' || text[2] == '\xBF');
        if (length == 0 || nonCharacter ||
            (lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r') || lead == 0x7F) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i)
                appendHexEscape(escaped, static_cast<unsigned char>(text[i]), "\\x");
            text.remove_prefix(std::max<std::size_t>(length, 1));
            continue;
        }
        switch (lead) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        case '\t':
            escaped += "&#9;";
            break;
        case '\n':
            escaped += "&#10;";
            break;
        case '\r':
            escaped += "&#13;";
            break;
        default:
            escaped.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return escaped;
}

Spool::Spool() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pellam-cli-report.XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd >= 0) {
        ::unlink(pattern.c_str());
        m_buffer = std::make_unique<FdOutputBuffer>(m_fd);
        m_stream = std::make_unique<std::ostream>(m_buffer.get());
    } else {
        m_stream = std::make_unique<std::ostream>(m_memory.rdbuf());
    }
}

Spool::~Spool() {
    m_stream.reset();
    m_buffer.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool Spool::copyTo(std::ostream& out, std::string& reason) {
    m_stream->flush();
    if (!*m_stream) {
        reason = "cannot write the report's temporary file: " + streamFailureReason(*m_stream);
        return false;
    }
    if (m_fd < 0) {
        out << m_memory.rdbuf();
        return true;
    }
    if (::lseek(m_fd, 0, SEEK_SET) != 0) {
        reason = std::string("cannot read the report's temporary file back: ") + std::strerror(errno);
        return false;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(m_fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            reason =
                std::string("cannot read the report's temporary file back: ") + std::strerror(errno);
            return false;
        }
        if (got == 0)
            return true;
        if (!out.write(chunk, got))
            return true; // the caller sees the output's own failure
    }
}

} // namespace pellam::cli
