// JSON and XML written as they go, for reports of any number of files:
// nothing is held in memory beyond the record being written. Both writers
// take text of any bytes and always give a well-formed document: valid UTF-8
// is kept, anything else is shown as \xNN.
#pragma once

#include "cli/cli_support.h"

#include <iosfwd>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace pellam::cli {

// The text as a JSON string, quotes included: control characters as \uXXXX
// (\n, \t and the like by their short forms), each byte that is not part of
// valid UTF-8 as the six characters \\xNN (a backslash, then \xNN).
std::string jsonQuoted(std::string_view text);

// A pretty-printed JSON document (two blanks a level) written as it is
// built. The caller keeps the nesting right; keys come before every value
// of an object.
class JsonWriter {
public:
    // depth: the level the first value starts at (for a value written inside
    // a document another writer holds).
    explicit JsonWriter(std::ostream& out, int depth = 0);

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(std::size_t number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

    template <typename T>
    JsonWriter& field(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }

private:
    void beforeValue();
    void newline(int depth);
    JsonWriter& close(char bracket);

    struct Level {
        bool object;
        bool empty = true;
    };
    std::ostream& m_out;
    int m_depth;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

// The text for XML character data and attribute values: & < > " ' as
// entities, TAB, LF and CR as character references, and each byte that XML
// 1.0 cannot hold (invalid UTF-8, other control characters, U+FFFE, U+FFFF)
// as \xNN.
std::string xmlEscaped(std::string_view text);

// Where the records of a report wait while its totals, which go first, are
// counted: an unlinked temporary file in $TMPDIR (/tmp), so that memory
// stays flat however many files there are; memory only when no such file can
// be made.
class Spool {
public:
    Spool();
    ~Spool();
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    std::ostream& stream() { return *m_stream; }
    // Copies everything written so far to the output. False with the reason
    // when the spool could not be written or read back.
    bool copyTo(std::ostream& out, std::string& reason);

private:
    int m_fd = -1;
    std::unique_ptr<FdOutputBuffer> m_buffer;
    std::unique_ptr<std::ostream> m_stream;
    std::stringstream m_memory;
};

} // namespace pellam::cli
