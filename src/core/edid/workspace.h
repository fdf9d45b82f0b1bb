// The EDID workspace: the image and the data kept beside it for the whole
// run, with the operations that replace the image or change its modes. The
// state of the editor's views (menus, pages, grid) lives in the session.
#pragma once

#include "core/edid/edid_image.h"

#include <cstdint>
#include <string>

namespace pellam {

enum class ExtensionMode { Bytes128, Bytes256 };

struct EdidWorkspace {
    EdidImage image = hdmiDefaultImage();
    // Target of the file readers; validated and copied into the image by a load,
    // compared with the image by the compare command.
    EdidImage fileLoadBuffer{};
    // Decimal text of the 32-bit serial number, written when it is encoded.
    std::string serialNumberText;
    Byte displayPortMode = 0; // 0 HDMI, 1 DisplayPort
};

// Replaces the image by the default image of the current DisplayPort mode.
// The caller then parses block 1 again and runs the page switch.
void newImage(EdidWorkspace& ws);

// Writes 0 (128-byte mode) or 1 (256-byte mode) into byte 126 and nothing
// else: block 1 stays in the image, only hidden in 128-byte mode.
void setExtensionMode(EdidWorkspace& ws, ExtensionMode mode);

// HDMI (0) or DisplayPort (1) mode; the image is not changed.
void setDisplayPortMode(EdidWorkspace& ws, Byte displayPortMode);

// The steps of a load that follow the file read: header check on the file
// load buffer, then the buffer becomes the image and the DisplayPort mode
// follows the image's video input byte. On a header mismatch nothing but the
// buffer has changed and false is returned.
bool adoptFileLoadBuffer(EdidWorkspace& ws);

} // namespace pellam
