// EDID files: raw binary (.bin, .dat), hex text in list form (.txt, read and
// written) and hex text in line form (.ddc, read only).
#pragma once

#include "core/edid/edid_bytes.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

inline constexpr const char* kMsgEdidFileFormatIncorrect = "EDID File Format incorrect!!";

// File dialog filters as "Description|mask|..." pairs.
inline constexpr const char* kOpenDialogFilter =
    "Binary files(*.bin)|*.BIN|Binary files(*.dat)|*.DAT|ASCII files(*.txt)|*.TXT|"
    "ASCII files(*.ddc)|*.DDC";
inline constexpr const char* kSaveDialogFilter =
    "Binary files(*.bin)|*.BIN|ASCII files(*.txt)|*.TXT";

enum class EdidFileType { Unrecognised, RawBinary, ListText, LineText };

// The text after the last "." of the path. The first character is never
// taken as the dot, so "x" and ".bin" have an empty extension.
std::string_view fileExtension(std::string_view path);

// Exact, case-sensitive: bin BIN dat DAT, txt TXT, ddc; anything else is
// not recognised ("DDC" and "Bin" included).
EdidFileType fileTypeFromPath(std::string_view path);

struct ReadResult {
    enum class Status {
        Read,          // bytes were stored (possibly none, for an empty file)
        NotRecognised, // the path's type is not an EDID file type; nothing read
        Failed,        // cannot open/read the file, or a bad item; message says which
    };
    Status status = Status::Read;
    std::string message;
    // Bytes stored from offset 0 on; on a bad item, those stored before it.
    std::size_t bytesStored = 0;

    bool failed() const { return status == Status::Failed; }
};

// The readers replace the bytes with every byte the data holds, up to one
// more than an EDID can have (kMaxEdidSize), which tells a file that is too
// large; on a bad item, with the bytes stored before it.
ReadResult readRawBinary(std::string_view data, EdidBytes& bytes);
ReadResult readListText(std::string_view text, EdidBytes& bytes);
ReadResult readLineText(std::string_view text, EdidBytes& bytes);

// Reads the file with the reader its extension names.
ReadResult ReadEdidFile(const std::string& path, EdidBytes& bytes);

// The bytes in the two written forms.
std::string formatRawBinary(std::span<const Byte> bytes);
// Two upper-case digits and a TAB per byte, 16 bytes and CR LF per line.
std::string formatListText(std::span<const Byte> bytes);

struct WriteResult {
    bool ok = true;
    std::string message;
};

// Writes the contents to a new file beside the target and renames it over
// the target, so a failed or interrupted write leaves any old file whole.
WriteResult writeFileReplacing(const std::string& path, std::string_view contents);

// The two forms the save command offers, numbered as its dialog filters.
enum class SaveFilter { Binary = 1, Ascii = 2 };

// The chosen name, with ".bin" or ".txt" appended unless its extension
// already names a file of the chosen form (edid.bin or edid.DAT stay as they
// are for binary, edid.txt for text; edid.txt saved as binary becomes
// edid.txt.bin, so that a load reads it back in the form it was written).
std::string savePath(std::string_view chosenName, SaveFilter filter);

// Writes the bytes (the image at the length in force) in the chosen form.
// The caller applies automatic checksums before.
WriteResult saveEdidFile(std::span<const Byte> bytes, std::string_view chosenName,
                         SaveFilter filter);

// Writes each line followed by CR LF to exactly this path.
WriteResult writeLogFile(const std::string& path, const std::vector<std::string>& lines);

struct LoadResult {
    enum class Outcome { Loaded, HeaderMismatch, ReadFailed };
    Outcome outcome = Outcome::Loaded;
    std::string message; // the text to show for HeaderMismatch and ReadFailed
    // Loaded: what the check of the bytes found and did (checkEdidBytes).
    std::vector<std::string> notes;
};

// "\"x.foo\" is not an EDID file type (use .bin, .dat, .txt or .ddc)".
std::string notAnEdidFileTypeMessage(const std::string& path);

// Reads every byte of the file as it is, for a comparison or an analysis: a
// file of a type that is not an EDID file type, one that cannot be read, an
// empty one and one too large are refused (ReadFailed) with the message to
// show; one without the EDID header is read like any other. The bytes are
// untouched on a refusal.
LoadResult readEdidAsRead(const std::string& path, EdidBytes& bytes);

// Reads the file and checks its bytes for the editor: a file of a type that
// is not an EDID file type, one that cannot be read, an empty one, one too
// large and one without the EDID header are refused with the message to
// show; otherwise the bytes (repaired as the options say) and the notes of
// what was found. The bytes are untouched on a refusal.
LoadResult readEdidForEditing(const std::string& path, const EdidCheckOptions& options,
                              EdidBytes& bytes);

} // namespace pellam
