// CTA-861 video formats: the names of every VIC the standard defines (1..127
// and 193..219), which the video page offers, and the timing parameters of
// VIC 1..64 that detailed timings are matched against.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace pellam {

struct CeaFormat {
    int vic;
    const char* name;
    bool interlaced;
    float pixelClockMHz;
    int hActive;
    int vActive; // lines per field when interlaced
    int hTotal;
    float aspect; // 1.33 for 4:3, 1.78 for 16:9
};

inline constexpr int kCeaFormatCount = 64;

// Rows for VIC 1..64 in VIC order.
const std::array<CeaFormat, kCeaFormatCount>& ceaFormatTable();

// Name of a defined VIC as the video page shows it ("3840x2160p 59.94/60Hz
// 16:9"); none for a reserved code.
std::optional<std::string_view> videoFormatName(int vic);

// Every defined VIC in ascending order: 1..127, then 193..219.
std::span<const int> definedVics();

// Name of an HDMI_VIC of the HDMI VSDB (1..4, the 4K formats HDMI 1.4 adds);
// none for a reserved code.
std::optional<std::string_view> hdmiVicName(int code);

} // namespace pellam
