// Edits of the detailed timings of block 1 ("B1/详细Timing"): their number,
// the name of the candidate a timing equals, and a candidate applied to a
// timing. The timings live in the data block collection; block 1 changes
// when the collection is written back.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/cea/data_block_edits.h"

#include <string>
#include <string_view>

namespace pellam {

inline constexpr const char* kMsgInvalidTimingCount = "Invalid data! Please Input positive integer";

// The most detailed timings block 1 holds: with no data blocks, 4 header
// bytes, six 18-byte timings and the checksum take 113 of its 128 bytes.
inline constexpr int kMaxExtensionTimings = 6;

// Sets the number of detailed timings. Lowering always succeeds; raising is
// refused above kMaxExtensionTimings or when block 1 has no room for 18
// bytes per added timing. A timing that comes back keeps what its record
// holds: zeros when the position never held one since the last parse, else
// the values it had when the count was lowered.
EditResult setTimingCount(DataBlockCollection& collection, int count);

// What a text typed into the count edit did.
enum class TimingCountOutcome {
    Done,    // the count is the number typed
    Empty,   // no number: the count stays, the timing controls close
    Refused, // message says why; the collection is unchanged
    NoSpace, // as Refused; the edit should show the count again
};
struct TimingCountEdit {
    TimingCountOutcome outcome;
    std::string message;
};

// The count edit's rule: digits only ("Invalid data! Please Input positive
// integer" otherwise), a number within 32 bits (a conversion error
// otherwise), then setTimingCount ("No Space of Extended Block").
TimingCountEdit setTimingCountText(DataBlockCollection& collection, std::string_view text);

// "Fit in With:" followed, when the timing as written equals a timing
// candidate (stereo bit 0 aside), by two blanks and the candidate's name.
std::string fitInWithText(const DetailedTiming& timing);

// Replaces the timing by candidate row (0-based); the timing keeps its place
// in block 1 (slotOffset).
void applyTimingCandidate(DetailedTiming& timing, int row);

} // namespace pellam
