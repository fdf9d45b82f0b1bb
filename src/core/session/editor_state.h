// The state of the editor's views kept for the run beside the workspace:
// the check marks of the configuration menu and what the pages share.
#pragma once

#include "core/edid/workspace.h"

#include <cstdint>

namespace pellam {

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

    bool operator==(const ModeMenus&) const = default;
};

// Copies byte 126 and the DisplayPort mode into the menu check marks.
void SyncModeMenus(ModeMenus& menus, const EdidWorkspace& ws);

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
    // 1 while the descriptor page or a block-1 page fills its controls.
    std::int32_t pageFillGuard = 0;
};

} // namespace pellam
