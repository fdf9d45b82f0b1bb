// Builds images whose block 1 is laid out from data blocks and timings given
// as bytes, so each test states exactly what the sink would show.
#pragma once

#include "core/base_block/timing_candidates.h"
#include "core/edid/edid_image.h"

#include <vector>

namespace pellam::test {

using Bytes = std::vector<Byte>;

// HDMI default block 0, then block 1: 02h, revision 3, d, flags, the blocks
// in order, the timings, zero padding; both checksums valid. A timing that
// runs past the end of the image is cut there.
inline EdidImage imageWithBlock1(const std::vector<Bytes>& blocks,
                                 const std::vector<int>& candidateTimings = {}, Byte flags = 0xF0) {
    EdidImage image = hdmiDefaultImage();
    std::fill(image.begin() + 128, image.end(), 0);
    std::size_t p = 132;
    for (const Bytes& block : blocks)
        for (Byte b : block)
            image.at(p++) = b;
    image[128] = 0x02;
    image[129] = 0x03;
    image[130] = static_cast<Byte>(p - 128);
    image[131] = flags;
    for (int row : candidateTimings) {
        for (Byte b : timingCandidateBytes(row))
            if (p < image.size())
                image[p++] = b;
    }
    ApplyAutoChecksums(image, true);
    return image;
}

// Block 1 holding the blocks, then zero padding bytes (one-byte blocks) and
// detailed timings, so that exactly `free` bytes are left (free <= 123 less
// the blocks' bytes).
inline EdidImage imageWithFreeBytes(std::vector<Bytes> blocks, int free, Byte flags = 0xF0) {
    int left = 128 - 5 - free;
    for (const Bytes& block : blocks)
        left -= static_cast<int>(block.size());
    const std::vector<int> timings(static_cast<std::size_t>(left / 18), 0);
    blocks.push_back(Bytes(static_cast<std::size_t>(left % 18), 0));
    return imageWithBlock1(blocks, timings, flags);
}

inline Bytes block1Of(const EdidImage& image) {
    return Bytes(image.begin() + 128, image.end());
}

} // namespace pellam::test
