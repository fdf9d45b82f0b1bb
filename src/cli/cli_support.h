// What the verbs of pellam-cli share: the arguments and their options, the
// standard streams of a run, reading and writing EDID files with messages on
// the error stream, text that is safe to show whatever bytes it holds, and
// the usage-error reply.
#pragma once

#include "core/edid/edid_bytes.h"

#include <iosfwd>
#include <optional>
#include <span>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellam::cli {

using Args = std::vector<std::string>;

// "pellam-cli: <message>" and a pointer to --help; returns kExitUsage.
int usageError(std::ostream& err, const std::string& message);

// ---------------------------------------------------------------------------
// Arguments. Every verb reads its arguments the same way: an argument that
// starts with "-" and is longer than "-" is an option, "-" alone is an
// operand (standard input or output), and "--" ends the options (everything
// after it is an operand). Options may come before, between and after the
// operands; an option that takes a value takes the next argument whatever it
// is ("--output-count -5" gives "-5", which the verb then refuses), or the
// text after "=" ("--format=json"). An option the verb does not know is
// refused before anything is read or written.

struct OptionRule {
    const char* name;      // "--format"
    const char* alias;     // "-q", or nullptr
    bool takesValue = false;
};

struct ParsedArgs {
    // The options in the order given, each with its value ("" for a flag),
    // under the rule's name (an alias is given under the name).
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> operands;

    bool has(std::string_view name) const;
    // The value of the last use of the option.
    std::optional<std::string> last(std::string_view name) const;
};

// Splits the arguments by the rules. Returns 0, or kExitUsage with the
// message written ("unknown option '-x' for VERB", "--format needs a value").
int parseArguments(const std::string& verb, const Args& args, std::span<const OptionRule> rules,
                   ParsedArgs& parsed, std::ostream& err);

// Whether the arguments ask for help (--help or -h before any "--").
bool asksForHelp(const Args& args);

// ---------------------------------------------------------------------------
// The standard streams of the run: "-" reads standard input and writes
// standard output through these. run() sets them for the verb it calls.

class ScopedRunStreams {
public:
    ScopedRunStreams(std::istream& in, std::ostream& out);
    ~ScopedRunStreams();
    ScopedRunStreams(const ScopedRunStreams&) = delete;
    ScopedRunStreams& operator=(const ScopedRunStreams&) = delete;

private:
    std::istream* m_previousIn;
    std::ostream* m_previousOut;
};

std::istream& runInput();
std::ostream& runOutput();

// An output stream buffer over a file descriptor that remembers why its
// first write failed, so that the message can say it ("No space left on
// device"). main() writes standard output and error through two of these.
class FdOutputBuffer final : public std::streambuf {
public:
    explicit FdOutputBuffer(int fd);
    ~FdOutputBuffer() override;
    FdOutputBuffer(const FdOutputBuffer&) = delete;
    FdOutputBuffer& operator=(const FdOutputBuffer&) = delete;

    int fd() const { return m_fd; }
    // errno of the first failed write; 0 while every write succeeded.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool drain();
    bool writeAll(const char* data, std::size_t size);

    int m_fd;
    int m_error = 0;
    char m_buffer[65536];
};

// Why writing to the stream failed, for a message: the system's reason when
// the stream writes through an FdOutputBuffer that knows it, else a general
// one.
std::string streamFailureReason(const std::ostream& stream);

// Whether the stream is the process's standard error or output and that is
// a terminal (progress is shown there only).
bool isTerminal(const std::ostream& stream);

// ---------------------------------------------------------------------------
// Text from files and file names may hold any bytes. Everything pellam-cli
// prints of it (messages, headers, JSON, XML) goes through these.

// The length of the valid UTF-8 sequence at the start of the text (1 to 4),
// or 0 when its first byte does not begin one (a stray continuation byte, an
// overlong form, a surrogate, a value beyond U+10FFFF, a cut sequence).
std::size_t utf8SequenceLength(std::string_view text);
bool isValidUtf8(std::string_view text);

// The text for one line of a message or a header: valid UTF-8 as it is,
// each byte of anything else and each control character as \xNN.
std::string displayText(std::string_view text);

// A path as messages name it: "standard input" for "-", else displayText.
std::string displayName(const std::string& path);

// The bytes as upper-case hexadecimal pairs separated by blanks ("00 FF").
std::string hexBytes(std::span<const Byte> bytes);

// ---------------------------------------------------------------------------
// EDID files.

// How a file's bytes are written down. Auto: by the extension, whatever its
// case (bin and dat raw binary, txt hex text, ddc hex text one byte a line),
// else by the content (see readInput).
enum class FileForm { Auto, Binary, HexList, HexLines };

// bin, hex, ddc; nullopt for anything else.
std::optional<FileForm> fileFormNamed(std::string_view name);
// The form the path's extension names (the last component's), any case;
// Auto for none or another.
FileForm formFromExtension(std::string_view path);

// Every byte of the file ("-": standard input) as read by the reader of its
// form, whatever its length; the message (naming the file) is written and
// false returned when it cannot be read, is empty or is larger than an EDID
// can be. The form is `form` when given, else the extension's, else the
// content's: bytes that start with the EDID header are binary, text of hex
// items is hex text, and anything else is refused as of no known form.
bool readInput(const std::string& path, EdidBytes& bytes, std::ostream& err,
               FileForm form = FileForm::Auto);
// The first 256 bytes of such a read in a zeroed image (the transfer verbs,
// whose EEPROMs hold 256 bytes).
bool readInput(const std::string& path, EdidImage& image, std::ostream& err);
// The file's bytes as they are ("-": standard input), at most maxBytes + 1
// of them (one more tells a file that is too large); the message is written
// and false returned when it cannot be read. For files that need not hold
// an EDID (the backups the restore verb writes back).
bool readRawInput(const std::string& path, std::string& data, std::size_t maxBytes,
                  std::ostream& err);

// The notes of what the check of the bytes found (an odd length, a wrapped
// read, byte 126 against the length, wrong checksums), one line each on the
// error stream, naming the file.
void reportFindings(const std::string& path, std::span<const Byte> bytes, std::ostream& err,
                    bool checksums = true);
std::vector<std::string> findingNotes(std::span<const Byte> bytes, bool checksums = true);

// Whether pellam-cli can write the path in the given form: "-" (standard
// output, binary unless the form says hex), or a path whose extension is
// bin, dat or txt in any case, or any path when the form is given.
bool isWritablePath(const std::string& path, FileForm form = FileForm::Auto);
// "cannot write \"x.ddc\": use .bin or .dat for raw binary, .txt for hex text".
std::string notWritableMessage(const std::string& path);

// The bytes as the file holds them in the form the path (or `form`) names.
std::string fileContents(const std::string& path, std::span<const Byte> bytes,
                         FileForm form = FileForm::Auto);

// Writes the bytes in the form the path's extension (or `form`) names: to
// standard output for "-", else replacing the file only once written.
bool writeOutput(const std::string& path, std::span<const Byte> bytes, std::ostream& err,
                 FileForm form = FileForm::Auto);

// Several outputs written all or none: each is first written in full to a
// temporary file beside its target; only when every one was written are
// they renamed over their targets (and "-" written to standard output).
// Whatever is not committed is removed when the object goes.
class StagedOutputs {
public:
    StagedOutputs() = default;
    ~StagedOutputs();
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;

    // Writes the temporary file of the target; false with the message
    // written when it cannot be.
    bool stage(const std::string& target, std::string contents, std::ostream& err);
    // Renames every staged file over its target, in order. False with the
    // message written when one cannot be renamed: the targets before it are
    // in place, it and those after it are not (the message lists them).
    bool commit(std::ostream& err);

private:
    struct Staged {
        std::string target;
        std::string temporary; // empty for standard output
        std::string contents;  // standard output only
    };
    std::vector<Staged> m_staged;
};

} // namespace pellam::cli
