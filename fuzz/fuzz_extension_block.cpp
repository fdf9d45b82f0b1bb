// Block 1 parse and rebuild. The first 256 bytes are the image; further
// bytes edit the collection the way pages could before it is written back.
// Checks: nothing outside bytes 128..254 is written; an unedited collection
// rebuilds to the same block (but the padding after the 18-byte records
// that follow the timings up to the last one holding anything but zeros,
// which become zero), reads back the same; an over-full layout writes
// nothing.
#include "core/cea/extension_block.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace pellam;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void edit(DataBlockCollection& c, const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const int value = data[i + 1];
        switch (data[i] % 12) {
        case 0:
            c.video.present = !c.video.present;
            c.video.size = value % 40;
            break;
        case 1:
            c.video.svdCount = value % 40;
            break;
        case 2:
            c.audio.present = !c.audio.present;
            c.audio.size = value % 40;
            break;
        case 3:
            c.audio.sadCount = value % 20;
            c.audio.sads[0].formatCode = value & 15;
            break;
        case 4:
            c.speaker.present = !c.speaker.present;
            c.speaker.size = value % 40;
            break;
        case 5:
            c.vsdb.present = !c.vsdb.present;
            c.vsdb.size = value % 40;
            break;
        case 6:
            c.vsdb.hdmiVideoPresent = value & 1;
            c.vsdb.threeDPresent = value & 2;
            c.vsdb.hdmiVicLen = value % 9;
            c.vsdb.entryCount = value % 17;
            break;
        case 7:
            c.vsdb.latencyFieldsPresent = value & 1;
            c.vsdb.iLatencyFieldsPresent = value & 2;
            c.vsdb.threeDMultiPresent = value % 12;
            break;
        case 8:
            c.videoCapability.present = !c.videoCapability.present;
            c.videoCapability.size = value % 40;
            break;
        case 9:
            c.colorimetry.present = !c.colorimetry.present;
            c.colorimetry.size = value % 40;
            break;
        case 10:
            c.timings.count = value % 9;
            break;
        case 11:
            ensureInOrder(c, value & 7, value >> 3);
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EdidImage image{};
    std::memcpy(image.data(), data, std::min(size, image.size()));

    DataBlockCollection c;
    parseExtensionBlock(image, c);
    EdidImage out = image;
    const bool written = rebuildExtensionBlock(out, c);
    check(written == c.editable);
    if (written) {
        const int end = c.dtdStart + 18 * c.timings.count;
        int keptEnd = end;
        for (int p = end; p + 18 < 256; p += 18)
            if (std::any_of(image.begin() + p, image.begin() + p + 18, [](Byte b) { return b; }))
                keptEnd = p + 18;
        const std::vector<Byte> kept(image.begin() + end, image.begin() + keptEnd);
        for (int i = 0; i < 256; ++i) {
            const std::size_t k = static_cast<std::size_t>(i - end);
            const Byte padding = i >= end && k < kept.size() ? kept[k] : 0;
            check(out[i] == ((i >= end && i < 255) ? padding : image[i]));
        }
        DataBlockCollection again;
        parseExtensionBlock(out, again);
        check(again == c);
    }

    if (size > image.size()) {
        parseExtensionBlock(image, c);
        edit(c, data + image.size(), size - image.size());
        out = image;
        const bool fits = hasRoomFor(c, 0);
        const bool rewritten = rebuildExtensionBlock(out, c);
        check(!rewritten || fits);
        check(std::equal(out.begin(), out.begin() + 128, image.begin()));
        check(out[255] == image[255]);
        if (!rewritten)
            check(out == image);
    }
    return 0;
}
