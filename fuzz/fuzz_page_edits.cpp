// The block-1 pages' edits, driven by fuzz input over a parsed real-looking
// block 1. The first 256 bytes are the image; each further pair of bytes is
// one edit through the functions the pages call. Checks: whatever the user
// does, the collection still fits block 1 and is written back (never the
// "No Space of Extended Block" refusal at the page switch), nothing outside
// bytes 128..254 changes, and writing the result again changes nothing.
#include "core/cea/data_block_edits.h"
#include "core/cea/extension_block.h"
#include "core/cea/extension_timing_edits.h"
#include "core/cea/hdmi_vsdb_edits.h"
#include "core/cea/video_block_edits.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace pellam;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void edit(DataBlockCollection& c, int op, int value) {
    const std::string number = std::to_string(value);
    switch (op % 17) {
    case 0:
        addShortVideoDescriptor(c, value % 64);
        break;
    case 1:
        removeShortVideoDescriptor(c, value % 64);
        break;
    case 2:
        setNativeFlag(c.video, value % 64, (value & 64) != 0);
        break;
    case 3:
        setSadCount(c, value % 20);
        break;
    case 4:
        enableSpeakerAllocation(c, (value & 1) != 0);
        break;
    case 5:
        enableVideoCapability(c, (value & 1) != 0);
        break;
    case 6:
        enableColorimetry(c, (value & 1) != 0);
        break;
    case 7:
        enableHdmiVsdb(c, (value & 1) != 0);
        break;
    case 8:
        extendHdmiVsdb(c, (value & 1) != 0);
        break;
    case 9:
        leaveHdmiVsdbLength(c, number);
        break;
    case 10:
        leaveHdmiVsdbLength(c, value % 3 == 0 ? std::string() : number);
        break;
    case 11:
        editMaxTmdsClock(c.vsdb, std::to_string(value * 5));
        break;
    case 12:
        c.vsdb.latencyFieldsPresent = (value & 1) != 0;
        c.vsdb.iLatencyFieldsPresent = (value & 2) != 0;
        c.vsdb.hdmiVideoPresent = (value & 4) != 0;
        fitHdmiVideoLengths(c.vsdb);
        break;
    case 13: {
        HdmiVideoPanelValues panel;
        panel.hdmiVicLen = std::to_string(value % 9);
        panel.threeDPresent = (value & 8) != 0;
        panel.threeDMultiPresent = value & 16 ? "10" : value & 32 ? "1" : "0";
        panel.hdmi3dLen = std::to_string(value % 32);
        panel.structureAll = value * 257;
        panel.structureMask = value * 97;
        commitHdmiVideoPanel(c.vsdb, panel);
        break;
    }
    case 14:
        editLatency(c.vsdb.videoLatency, number);
        break;
    case 15:
        editNativeDtdCount(c.header, number);
        break;
    case 16:
        setTimingCount(c, value % 9);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size <= 256)
        return 0;
    EdidImage image{};
    std::memcpy(image.data(), data, image.size());
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    if (!c.editable || !hasRoomFor(c, 0))
        return 0;
    EdidImage first = image;
    if (!rebuildExtensionBlock(first, c))
        return 0;

    for (std::size_t i = 256; i + 1 < size; i += 2)
        edit(c, data[i], data[i + 1]);

    check(hasRoomFor(c, 0));
    EdidImage out = image;
    check(rebuildExtensionBlock(out, c));
    check(std::equal(out.begin(), out.begin() + 128, image.begin()));
    check(out[255] == image[255]);

    // What was written reads back to a collection that writes the same bytes.
    DataBlockCollection again;
    parseExtensionBlock(out, again);
    EdidImage twice = out;
    check(rebuildExtensionBlock(twice, again));
    check(twice == out);
    return 0;
}
