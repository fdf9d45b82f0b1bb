#include "core/cea/extension_timing_edits.h"

#include "core/base_block/timing_candidates.h"
#include "core/cea/extension_block.h"
#include "core/edid/decimal.h"
#include "core/edid/hex.h"

#include <array>

namespace pellam {

static_assert(kMaxExtensionTimings <= ExtensionTimingList::kCapacity);

EditResult setTimingCount(DataBlockCollection& c, int count) {
    ExtensionTimingList& list = c.timings;
    if (count < 0 || count > kMaxExtensionTimings)
        return EditResult::NoSpace;
    if (count > list.count && !hasRoomFor(c, static_cast<int>(kDtdSize) * (count - list.count)))
        return EditResult::NoSpace;
    // The records beyond the count are left as they are, so a timing dropped
    // by lowering the count comes back with its values when it is raised.
    list.count = count;
    return EditResult::Done;
}

TimingCountEdit setTimingCountText(DataBlockCollection& c, std::string_view text) {
    if (text.empty())
        return {TimingCountOutcome::Empty, {}};
    if (!isDigitsOnly(text))
        return {TimingCountOutcome::Refused, kMsgInvalidTimingCount};
    const std::optional<std::int32_t> count = parseDecimalInt32(text);
    if (!count)
        return {TimingCountOutcome::Refused, invalidIntegerMessage(text)};
    if (setTimingCount(c, *count) == EditResult::NoSpace)
        return {TimingCountOutcome::NoSpace, kMsgNoSpaceOfExtendedBlock};
    return {TimingCountOutcome::Done, {}};
}

std::string fitInWithText(const DetailedTiming& timing) {
    std::array<Byte, kDtdSize> bytes{};
    encodeDetailedTiming(timing, bytes);
    std::string text = "Fit in With:";
    if (const std::optional<int> row = matchTimingCandidate(bytes)) {
        text += "  ";
        text += timingCandidateName(*row);
    }
    return text;
}

void applyTimingCandidate(DetailedTiming& timing, int row) {
    const std::int32_t slotOffset = timing.slotOffset;
    timing = decodeDetailedTiming(timingCandidateBytes(row));
    timing.slotOffset = slotOffset;
}

} // namespace pellam
