// The four 18-byte descriptor slots of block 0 (VESA E-EDID 3.10.3): which
// kind a slot holds, and the codecs of the display descriptors the editor
// edits (serial number, ASCII string, monitor name, monitor range limits).
#pragma once

#include "core/base_block/detailed_timing.h"
#include "core/edid/edid_image.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pellam {

inline constexpr int kDescriptorSlotCount = 4;

// Slot 1..4 of block 0: offsets 54, 72, 90, 108.
constexpr std::size_t descriptorSlotOffset(int slot) {
    return 36 + 18 * static_cast<std::size_t>(slot);
}
DtdSlot descriptorSlot(EdidImage& image, int slot);
DtdBytes descriptorSlot(const EdidImage& image, int slot);

enum class DescriptorKind {
    DetailedTiming, // pixel clock word not zero
    // The four display descriptors the editor edits.
    SerialNumber, // tag FF
    AsciiString,  // tag FE
    RangeLimits,  // tag FD
    MonitorName,  // tag FC
    // Display descriptors shown but not edited.
    WhitePoint,          // tag FB, additional white points
    StandardTimings,     // tag FA, additional standard timings
    Undefined,           // tags 11..F9, not defined by EDID 1.3
    Dummy,               // tag 10
    ManufacturerDefined, // tags 00..0F
    Malformed,           // byte 2 is not zero
};

// Decided on bytes 0 to 3 together: a display descriptor starts 00 00 00 tag.
DescriptorKind classifyDescriptor(DtdBytes slot);

// Serial number, ASCII string, range limits or monitor name.
bool isEditableDisplayDescriptor(DescriptorKind kind);
bool isTextDescriptor(DescriptorKind kind);

// The tag of an editable kind (FF, FE, FD, FC).
Byte descriptorTag(DescriptorKind kind);

// Turns the slot into a display descriptor of an editable kind: bytes 0..3
// become 00 00 00 tag, bytes 4..17 stay as they are.
void setDescriptorKind(DtdSlot slot, DescriptorKind kind);

// The text payload, bytes 5..17 of the slot.
inline constexpr std::size_t kDescriptorTextLength = 13;
using DescriptorTextBytes = std::span<const Byte, kDescriptorTextLength>;
using DescriptorTextSlot = std::span<Byte, kDescriptorTextLength>;
DescriptorTextBytes descriptorText(DtdBytes slot);
DescriptorTextSlot descriptorText(DtdSlot slot);

// The characters before the first line feed, all 13 when there is none; each
// byte is one character, nothing is trimmed.
std::string decodeDescriptorText(DescriptorTextBytes payload);

// The first 13 characters; a shorter text is ended by a line feed and padded
// with spaces, as VESA E-EDID asks.
void encodeDescriptorText(std::string_view text, DescriptorTextSlot payload);

// Monitor range limits (tag FD), as the editor shows them.
struct RangeLimits {
    int minVerticalHz = 0;     // byte 5
    int maxVerticalHz = 0;     // byte 6
    int minHorizontalKHz = 0;  // byte 7
    int maxHorizontalKHz = 0;  // byte 8
    int maxPixelClockMHz = 0;  // byte 9 x 10
    bool secondaryGtf = false; // byte 10 is exactly 02
    int gtfStartKHz = 0;       // byte 12 x 2
    int gtfC2 = 0;             // byte 13
    int gtfM = 0;              // byte 14 x 256 + byte 15
    int gtfK = 0;              // byte 16
    int gtfJ2 = 0;             // byte 17
};

// Byte 10: secondary GTF curve supported / default GTF.
inline constexpr Byte kSecondaryGtf = 0x02;
inline constexpr Byte kDefaultGtf = 0x00;

RangeLimits decodeRangeLimits(DtdBytes slot);

// The texts of the range edits.
struct RangeLimitsTexts {
    std::array<std::string, 5> limits; // min V, max V, min H, max H, max pixel clock (MHz)
    bool secondaryGtf = false;         // the secondary GTF box
    std::array<std::string, 5> gtf;    // start frequency (kHz), C x 2, M, K, J x 2
};

struct RangeLimitsWrite {
    bool written = false;
    // When nothing was written: the text refused, and why ("'x' is not a
    // valid integer value", or the range its byte holds).
    std::string badText;
    std::string refusal;
};

// Writes the edit texts into the slot. Every text is checked first; one that
// is not an integer, or a value its byte cannot hold exactly (each limit 0 to
// 255, the pixel clock 0 to 2550 MHz in steps of 10, the GTF start frequency
// 0 to 510 kHz in steps of 2, M 0 to 65535, C, K and J 0 to 255), stops the
// write before any byte changes.
//
// Bytes 5..9 are always written. Bytes 10..17 are rewritten only when byte
// 10 holds 00 or 02 (default or secondary GTF), or when rewriteGtfBytes asks
// for it (the user clicked the secondary GTF box): byte 10 from the box, then
// either the secondary GTF parameters (empty texts write 0) or 0A and six
// spaces. Otherwise any other byte 10 (01 range limits only, 04 CVT, or a
// character left by a text descriptor) keeps bytes 10..17, since their
// meaning is not the one the edits show. Byte 4 (the EDID 1.4 rate offset
// flags) is never touched.
RangeLimitsWrite encodeRangeLimits(DtdSlot slot, const RangeLimitsTexts& texts,
                                   bool rewriteGtfBytes = false);

} // namespace pellam
