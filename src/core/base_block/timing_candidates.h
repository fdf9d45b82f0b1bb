// The named detailed timings offered by the two timing combo boxes.
#pragma once

#include "core/base_block/detailed_timing.h"

#include <optional>
#include <string_view>

namespace pellam {

inline constexpr int kTimingCandidateCount = 23;

// Name of candidate row i (0-based).
std::string_view timingCandidateName(int row);
// The 18 descriptor bytes of row i, as stored.
DtdBytes timingCandidateBytes(int row);

// The first row whose bytes 0..16 equal the descriptor's and whose byte 17
// equals it but for bit 0 (stereo bit 0 means nothing in normal mode).
std::optional<int> matchTimingCandidate(DtdBytes bytes);

} // namespace pellam
