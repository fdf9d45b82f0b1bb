// The three EDID file readers over any bytes: at most 256 bytes stored, no
// byte past the last one stored touched, and the list-form text the editor
// writes reads back to the same bytes.
#include "core/edid/edid_file.h"

#include <cstdlib>
#include <string_view>

using namespace pellam;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void readWith(ReadResult (*reader)(std::string_view, EdidImage&), std::string_view text) {
    EdidImage buffer;
    buffer.fill(0xA5);
    const ReadResult result = reader(text, buffer);
    check(result.bytesStored <= buffer.size());
    for (std::size_t i = result.bytesStored; i < buffer.size(); ++i)
        check(buffer[i] == 0xA5);
    if (result.failed())
        check(!result.message.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    readWith(readRawBinary, text);
    readWith(readListText, text);
    readWith(readLineText, text);

    EdidImage image{};
    readRawBinary(text, image);
    const std::size_t length = size >= 256 ? 256 : 128;
    EdidImage back{};
    const ReadResult read = readListText(formatListText(std::span(image).first(length)), back);
    check(!read.failed() && read.bytesStored == length);
    check(std::equal(back.begin(), back.begin() + static_cast<std::ptrdiff_t>(length),
                     image.begin()));
    return 0;
}
