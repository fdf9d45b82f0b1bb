// The EDID workspace: the image and the state kept beside it for the whole
// run, with the operations that replace the image or change its modes.
// Windows call these and then redraw; nothing here knows about widgets.
#pragma once

#include "core/edid/edid_image.h"

#include <cstdint>
#include <string>

namespace pellam {

enum class ExtensionMode { Bytes128, Bytes256 };

// Check marks of the configuration menu. They hold the extension mode in
// force between two synchronisations, even while byte 126 is edited in the
// grid. Exactly one item of each pair is checked.
struct ModeMenus {
    bool n128Bytes1 = false;
    bool n256Bytes1 = true;
    bool edidHdmiSel = true;
    bool edidDpSel = false;

    ExtensionMode extensionMode() const {
        return n128Bytes1 ? ExtensionMode::Bytes128 : ExtensionMode::Bytes256;
    }
    // Image bytes that files and transfers cover in the mode in force.
    std::size_t imageLength() const { return n128Bytes1 ? kBlockSize : kImageSize; }
};

// Which block-0 page is filling its controls; its change handlers ignore the
// notifications that filling raises.
enum PageDecodingMarker : Byte {
    kMarkerIdle = 0,
    kMarkerInfoPage = 1,
    kMarkerTimingPage = 2,
    kMarkerTimingDetailPage = 3,
};

struct SharedPageState {
    Byte pageDecodingMarker = kMarkerIdle;
    // 1..4: the block-0 descriptor (offsets 54, 72, 90, 108) the descriptor page edits.
    std::int32_t selectedDescriptorNumber = 0;
    // Set when a block-1 page is shown; the next page switch rebuilds block 1.
    std::int32_t block1RebuildFlag = 0;
};

// Text state of a grid cell.
enum CellMark : std::int32_t {
    kCellNormal = 0,
    kCellDiffers = 1, // differs from the comparison file: red text
    kCellHidden = 2,  // block-1 byte in 128-byte mode: grey "00"
};

struct EdidWorkspace {
    EdidImage image = hdmiDefaultImage();
    // Target of the file readers; validated and copied into the image by a load,
    // compared with the image by the compare command.
    EdidImage fileLoadBuffer{};
    std::array<std::int32_t, kImageSize> cellMarks{};
    // Structure type of each byte (grid background colour), 0 = none.
    std::array<std::int32_t, kImageSize> cellStates{};
    // Decimal text of the 32-bit serial number, written when it is encoded.
    std::string serialNumberText;
    Byte displayPortMode = 0; // 0 HDMI, 1 DisplayPort
    // 1 while the descriptor page or a block-1 page fills its controls.
    std::int32_t pageFillGuard = 0;

    SharedPageState pageState;
    ModeMenus modeMenus;
};

// Copies byte 126 and the DisplayPort mode into the menu check marks.
void SyncModeMenus(EdidWorkspace& ws);

// Replaces the image by the default image of the current DisplayPort mode.
// The caller then parses block 1 again and runs the page switch.
void NewImage(EdidWorkspace& ws);

// Writes 0 (128-byte mode) or 1 (256-byte mode) into byte 126 and nothing
// else: block 1 stays in the image, only hidden in 128-byte mode.
void SetExtensionMode(EdidWorkspace& ws, ExtensionMode mode);

// HDMI (0) or DisplayPort (1) mode; the image is not changed.
void SetDisplayPortMode(EdidWorkspace& ws, Byte displayPortMode);

// The steps of a load that follow the file read: header check on the file
// load buffer, then the buffer becomes the image, the DisplayPort mode follows
// the image's video input byte, the first descriptor is selected and the menus
// follow byte 126. On a header mismatch nothing but the buffer has changed and
// false is returned.
bool AdoptFileLoadBuffer(EdidWorkspace& ws);

} // namespace pellam
