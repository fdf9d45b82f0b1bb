// The three EDID file readers over any bytes: at most one byte more than an
// EDID can have is stored, nothing of an earlier read stays, and the
// list-form text the editor writes reads back to the same bytes.
#include "core/edid/edid_file.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

using namespace pellam;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void readWith(ReadResult (*reader)(std::string_view, EdidBytes&), std::string_view text) {
    EdidBytes bytes(300, 0xA5);
    const ReadResult result = reader(text, bytes);
    check(result.bytesStored == bytes.size());
    check(bytes.size() <= kMaxEdidSize + 1);
    if (result.failed())
        check(!result.message.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    readWith(readRawBinary, text);
    readWith(readListText, text);
    readWith(readLineText, text);

    EdidBytes bytes;
    readRawBinary(text, bytes);
    EdidBytes back;
    const ReadResult read = readListText(formatListText(bytes), back);
    check(!read.failed() && back == bytes);
    return 0;
}
