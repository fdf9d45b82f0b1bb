#include "core/edid/workspace.h"

namespace pellam {

void newImage(EdidWorkspace& ws) {
    ws.image = ws.displayPortMode == 1 ? displayPortDefaultImage() : hdmiDefaultImage();
}

void setExtensionMode(EdidWorkspace& ws, ExtensionMode mode) {
    ws.image[kExtensionCountOffset] = mode == ExtensionMode::Bytes128 ? 0 : 1;
}

void setDisplayPortMode(EdidWorkspace& ws, Byte displayPortMode) {
    ws.displayPortMode = displayPortMode;
}

bool adoptFileLoadBuffer(EdidWorkspace& ws) {
    if (!hasEdidHeader(ws.fileLoadBuffer))
        return false;
    ws.image = ws.fileLoadBuffer;
    ws.displayPortMode = displayPortModeFromImage(ws.image);
    return true;
}

} // namespace pellam
