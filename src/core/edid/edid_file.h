// EDID files: raw binary (.bin, .dat), hex text in list form (.txt, read and
// written) and hex text in line form (.ddc, read only).
#pragma once

#include "core/edid/edid_image.h"
#include "core/edid/workspace.h"

#include <cstddef>
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

// The readers fill the buffer from offset 0 with at most 256 bytes and leave
// every byte after the last one stored as it was: the buffer is not cleared.
ReadResult readRawBinary(std::string_view data, EdidImage& buffer);
ReadResult readListText(std::string_view text, EdidImage& buffer);
ReadResult readLineText(std::string_view text, EdidImage& buffer);

// Reads the file with the reader its extension names.
ReadResult ReadEdidFile(const std::string& path, EdidImage& buffer);

// The first `length` bytes (128 or 256) in the two written forms.
std::string formatRawBinary(const EdidImage& image, std::size_t length);
// Two upper-case digits and a TAB per byte, 16 bytes and CR LF per line.
std::string formatListText(const EdidImage& image, std::size_t length);

struct WriteResult {
    bool ok = true;
    std::string message;
};

// Writes the contents to a new file beside the target and renames it over
// the target, so a failed or interrupted write leaves any old file whole.
WriteResult writeFileReplacing(const std::string& path, std::string_view contents);

// The two forms the save command offers, numbered as its dialog filters.
enum class SaveFilter { Binary = 1, Ascii = 2 };

// The chosen name with ".bin" or ".txt" appended, always (edid.bin becomes
// edid.bin.bin), as users of earlier versions have come to expect.
std::string savePath(std::string_view chosenName, SaveFilter filter);

// Writes the first `length` bytes of the image (128 or 256, by the extension
// mode in force) in the chosen form. The caller applies automatic checksums
// before.
WriteResult saveEdidFile(const EdidImage& image, std::size_t length, std::string_view chosenName,
                         SaveFilter filter);

// Writes each line followed by CR LF to exactly this path.
WriteResult writeLogFile(const std::string& path, const std::vector<std::string>& lines);

struct LoadResult {
    enum class Outcome { Loaded, HeaderMismatch, ReadFailed };
    Outcome outcome = Outcome::Loaded;
    std::string message; // the text to show for HeaderMismatch and ReadFailed
};

// Reads the file into the file load buffer and adopts it as the image
// (adoptFileLoadBuffer). A path of an unrecognised type reads nothing and the
// header check runs on the buffer as it is. On any failure the image and the
// DisplayPort mode are unchanged.
LoadResult loadEdidFile(EdidWorkspace& ws, const std::string& path);

} // namespace pellam
