// CTA-861 video formats: the names of VIC 1..59 that the video page offers and
// the timing parameters of VIC 1..64 that detailed timings are matched against.
#pragma once

#include <array>
#include <optional>
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
// The video page offers VIC 1..59.
inline constexpr int kVideoFormatNameCount = 59;

// Rows for VIC 1..64 in VIC order.
const std::array<CeaFormat, kCeaFormatCount>& ceaFormatTable();

// Name of VIC 1..59 as the video page shows it; none for other codes.
std::optional<std::string_view> videoFormatName(int vic);

} // namespace pellam
