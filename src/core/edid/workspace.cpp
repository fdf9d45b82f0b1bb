#include "core/edid/workspace.h"

namespace pellam {

void SyncModeMenus(EdidWorkspace& ws) {
    const bool bytes128 = ws.image[kExtensionCountOffset] == 0;
    ws.modeMenus.n128Bytes1 = bytes128;
    ws.modeMenus.n256Bytes1 = !bytes128;
    ws.modeMenus.edidHdmiSel = ws.displayPortMode == 0;
    ws.modeMenus.edidDpSel = ws.displayPortMode != 0;
}

void NewImage(EdidWorkspace& ws) {
    ws.image = ws.displayPortMode == 1 ? displayPortDefaultImage() : hdmiDefaultImage();
    SyncModeMenus(ws);
}

void SetExtensionMode(EdidWorkspace& ws, ExtensionMode mode) {
    ws.image[kExtensionCountOffset] = mode == ExtensionMode::Bytes128 ? 0 : 1;
    SyncModeMenus(ws);
}

void SetDisplayPortMode(EdidWorkspace& ws, Byte displayPortMode) {
    ws.displayPortMode = displayPortMode;
    SyncModeMenus(ws);
}

bool AdoptFileLoadBuffer(EdidWorkspace& ws) {
    if (!hasEdidHeader(ws.fileLoadBuffer))
        return false;
    ws.image = ws.fileLoadBuffer;
    ws.displayPortMode = displayPortModeFromImage(ws.image);
    ws.pageState.selectedDescriptorNumber = 1;
    SyncModeMenus(ws);
    return true;
}

} // namespace pellam
