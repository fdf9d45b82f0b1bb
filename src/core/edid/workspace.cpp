#include "core/edid/workspace.h"

#include <algorithm>

namespace pellam {

void newImage(EdidWorkspace& ws) {
    ws.image = ws.displayPortMode == 1 ? displayPortDefaultImage() : hdmiDefaultImage();
    ws.moreBlocks.clear();
}

void setExtensionMode(EdidWorkspace& ws, ExtensionMode mode) {
    ws.image[kExtensionCountOffset] =
        mode == ExtensionMode::Bytes128 ? 0 : static_cast<Byte>(1 + ws.moreBlocks.size() / kBlockSize);
}

void setDisplayPortMode(EdidWorkspace& ws, Byte displayPortMode) {
    ws.displayPortMode = displayPortMode;
}

void adoptEdidBytes(EdidWorkspace& ws, std::span<const Byte> bytes) {
    ws.image.fill(0);
    const std::size_t first = std::min(bytes.size(), kImageSize);
    std::copy_n(bytes.begin(), first, ws.image.begin());
    ws.moreBlocks.assign(bytes.begin() + static_cast<std::ptrdiff_t>(first), bytes.end());
    ws.displayPortMode = displayPortModeFromImage(ws.image);
}

EdidBytes edidBytes(const EdidWorkspace& ws, bool withExtensions) {
    EdidBytes bytes(ws.image.begin(), ws.image.begin() + (withExtensions ? kImageSize : kBlockSize));
    if (withExtensions)
        bytes.insert(bytes.end(), ws.moreBlocks.begin(), ws.moreBlocks.end());
    return bytes;
}

} // namespace pellam
