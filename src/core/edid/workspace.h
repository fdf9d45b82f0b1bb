// The EDID workspace: the image and the data kept beside it for the whole
// run, with the operations that replace the image or change its modes. The
// state of the editor's views (menus, pages, grid) lives in the session.
#pragma once

#include "core/edid/edid_bytes.h"

#include <cstdint>
#include <string>

namespace pellam {

enum class ExtensionMode { Bytes128, Bytes256 };

// The image is blocks 0 and 1, which the pages edit, and the blocks after
// them, kept whole beside.
struct EdidWorkspace {
    EdidImage image = hdmiDefaultImage();
    // Blocks 2 and later, whole blocks, as a file or the sink held them.
    EdidBytes moreBlocks;
    // Decimal text of the 32-bit serial number, written when it is encoded.
    std::string serialNumberText;
    Byte displayPortMode = 0; // 0 HDMI, 1 DisplayPort

    bool operator==(const EdidWorkspace&) const = default;
};

// Replaces the image by the default image of the current DisplayPort mode.
// The caller then parses block 1 again and runs the page switch.
void newImage(EdidWorkspace& ws);

// Writes 0 (128-byte mode) or the number of extension blocks (256-byte mode:
// 1, or more when blocks follow block 1) into byte 126 and nothing else: the
// extension blocks stay in the image, only hidden in 128-byte mode.
void setExtensionMode(EdidWorkspace& ws, ExtensionMode mode);

// HDMI (0) or DisplayPort (1) mode; the image is not changed.
void setDisplayPortMode(EdidWorkspace& ws, Byte displayPortMode);

// The bytes (an EDID of whole blocks, checked by the caller) replace the
// whole image: blocks 0 and 1 (block 1 zero when there is none), the blocks
// after them, and the DisplayPort mode follows the video input byte.
void adoptEdidBytes(EdidWorkspace& ws, std::span<const Byte> bytes);

// The image's bytes: block 0, and with extensions block 1 and the blocks
// after it.
EdidBytes edidBytes(const EdidWorkspace& ws, bool withExtensions);

} // namespace pellam
