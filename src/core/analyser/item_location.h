// Where in the image each item of the report looks: the block, the offset in
// it and the bytes a finding concerns, so that a machine-readable report can
// point at them.
#pragma once

#include "core/edid/edid_image.h"

namespace pellam {

struct AnalyserResult;

struct ItemLocation {
    int block = -1; // -1: the item judges no bytes in particular
    int offset = 0; // within the block
    int length = 0;

    bool known() const { return block >= 0; }
    bool operator==(const ItemLocation&) const = default;
};

// The bytes item k judged in the buffer the result was evaluated over. index
// is the 1-based detailed timing for the items of 8-17 (0 otherwise). An item
// about a structure the image lacks (no range limits descriptor, no HDMI
// VSDB), or about the sink's declarations alone, has no location.
ItemLocation locateAnalyserItem(int item, int index, const EdidImage& buffer,
                                const AnalyserResult& result);

} // namespace pellam
