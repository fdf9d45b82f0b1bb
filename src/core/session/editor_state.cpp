#include "core/session/editor_state.h"

namespace pellam {

void SyncModeMenus(ModeMenus& menus, const EdidWorkspace& ws) {
    const bool bytes128 = ws.image[kExtensionCountOffset] == 0;
    menus.n128Bytes1 = bytes128;
    menus.n256Bytes1 = !bytes128;
    menus.edidHdmiSel = ws.displayPortMode == 0;
    menus.edidDpSel = ws.displayPortMode != 0;
}

} // namespace pellam
