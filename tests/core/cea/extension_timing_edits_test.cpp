#include "core/cea/block1_builder.h"
#include "core/cea/extension_block.h"
#include "core/cea/extension_timing_edits.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;
using test::imageWithBlock1;

constexpr int k1080p60 = 12; // "1920x1080p 60Hz 16:9"
constexpr int k720p60 = 10;  // "1280x720p 60Hz 16:9"
constexpr int k480p60 = 8;   // "720x480p 59.94Hz 4:3"

// Block 1 with the timings and `free` bytes left, the rest taken by one-byte
// padding blocks in front of them.
EdidImage imageWithTimings(const std::vector<int>& rows, int free) {
    const int padding = 128 - 5 - 18 * static_cast<int>(rows.size()) - free;
    return imageWithBlock1({Bytes(static_cast<std::size_t>(padding), 0)}, rows);
}

DataBlockCollection parsed(const EdidImage& image) {
    DataBlockCollection c;
    parseExtensionBlock(image, c);
    EXPECT_TRUE(c.editable) << c.note;
    return c;
}

// Writes the collection into the image and reads the image back into it.
EdidImage rebuildAndParse(const EdidImage& image, DataBlockCollection& c) {
    EdidImage out = image;
    EXPECT_TRUE(rebuildExtensionBlock(out, c));
    parseExtensionBlock(out, c);
    return out;
}

TEST(SetTimingCountText, RaisingNeedsEighteenBytesPerTimingLoweringAlwaysSucceeds) {
    constexpr auto kDone = TimingCountOutcome::Done;
    constexpr auto kNoSpace = TimingCountOutcome::NoSpace;
    constexpr auto kRefused = TimingCountOutcome::Refused;
    const char* const noSpace = "No Space of Extended Block";
    const char* const notDigits = "Invalid data! Please Input positive integer";
    struct Case {
        int timings, free;
        const char* text;
        TimingCountOutcome outcome;
        const char* message;
        int count;
    };
    const Case cases[] = {
        {2, 17, "3", kNoSpace, noSpace, 2},
        {2, 18, "3", kDone, "", 3},
        {2, 35, "4", kNoSpace, noSpace, 2},
        {2, 36, "04", kDone, "", 4},
        {2, 0, "0", kDone, "", 0},
        {0, 123, "6", kDone, "", 6},
        {0, 123, "7", kNoSpace, noSpace, 0},
        {0, 123, "8", kNoSpace, noSpace, 0}, // the list's capacity
        // 18 bytes per added timing would overflow a 32-bit count of bytes.
        {2, 18, "2147483647", kNoSpace, noSpace, 2},
        {2, 18, "99999999999", kRefused, "'99999999999' is not a valid integer value", 2},
        {2, 18, "-1", kRefused, notDigits, 2},
        {2, 18, "3 ", kRefused, notDigits, 2},
        {2, 18, "", TimingCountOutcome::Empty, "", 2},
    };
    for (const Case& c : cases) {
        const std::vector<int> rows(static_cast<std::size_t>(c.timings), k720p60);
        DataBlockCollection collection = parsed(imageWithTimings(rows, c.free));
        const DataBlockCollection before = collection;
        const TimingCountEdit edit = setTimingCountText(collection, c.text);
        EXPECT_EQ(edit.outcome, c.outcome) << c.text;
        EXPECT_EQ(edit.message, c.message) << c.text;
        EXPECT_EQ(collection.timings.count, c.count) << c.text;
        if (c.outcome != kDone) {
            EXPECT_EQ(collection, before) << c.text;
        }
        EXPECT_TRUE(hasRoomFor(collection, 0)) << c.text;
    }
}

TEST(SetTimingCount, AnUntouchedNewTimingHasClockZeroAndEndsTheListAtTheNextParse) {
    struct Case {
        const char* what;
        int candidateAt; // index of the new record given a candidate, -1 none
        int countAfterParse;
    };
    const Case cases[] = {
        {"neither new timing touched", -1, 2},
        {"the first new timing given a candidate", 2, 3},
        {"only the second: the untouched first hides it", 3, 2},
    };
    for (const Case& c : cases) {
        const EdidImage image = imageWithTimings({k720p60, k480p60}, 40);
        DataBlockCollection collection = parsed(image);
        ASSERT_EQ(setTimingCount(collection, 4), EditResult::Done);
        EXPECT_EQ(collection.timings.timings[2], DetailedTiming{}) << c.what;
        EXPECT_EQ(collection.timings.timings[3], DetailedTiming{}) << c.what;
        if (c.candidateAt >= 0)
            applyTimingCandidate(collection.timings.timings[c.candidateAt], k1080p60);
        const EdidImage out = rebuildAndParse(image, collection);
        EXPECT_EQ(collection.timings.count, c.countAfterParse) << c.what;
        EXPECT_EQ(out[130], image[130]) << c.what;
    }
}

TEST(SetTimingCount, LoweringThenRaisingBringsBackTheOldValuesUntilTheNextParse) {
    const EdidImage image = imageWithTimings({k720p60, k480p60, k1080p60}, 20);
    DataBlockCollection c = parsed(image);
    const ExtensionTimingList read = c.timings;

    ASSERT_EQ(setTimingCount(c, 1), EditResult::Done);
    EdidImage out = image;
    ASSERT_TRUE(rebuildExtensionBlock(out, c));
    const int end = c.dtdStart + 18;
    EXPECT_TRUE(std::all_of(out.begin() + end, out.begin() + 255, [](Byte b) { return b == 0; }))
        << "timings 2 and 3 dropped from block 1";

    // Raised again without a parse in between: the records still hold them.
    ASSERT_EQ(setTimingCount(c, 3), EditResult::Done);
    EXPECT_EQ(c.timings.timings[1], read.timings[1]);
    EXPECT_EQ(c.timings.timings[2], read.timings[2]);
    ASSERT_TRUE(rebuildExtensionBlock(out, c));
    EXPECT_EQ(test::block1Of(out), test::block1Of(image)) << "checksum byte aside, all as read";

    // After a parse a position that held nothing in that block starts empty.
    ASSERT_EQ(setTimingCount(c, 1), EditResult::Done);
    rebuildAndParse(out, c);
    ASSERT_EQ(c.timings.count, 1);
    ASSERT_EQ(setTimingCount(c, 2), EditResult::Done);
    EXPECT_EQ(c.timings.timings[1], DetailedTiming{});
}

TEST(ExtensionTimings, NormalStereoKeepsBit0OfByte17AsBlock1HoldsIt) {
    struct Case {
        Byte read;  // byte 17 in block 1
        int stereo; // stereo code set on the page
        Byte written;
    };
    const Case cases[] = {
        {0x1F, 1, 0x1F}, // normal with bit 0 set: kept
        {0x3F, 1, 0x1F}, // 2-way interleaved to normal: bit 0 stays 1
        {0x3E, 1, 0x1E}, // field sequential to normal: bit 0 stays 0
        {0x1F, 2, 0x3E}, // to a stereo mode: bit 0 is the mode's
    };
    for (const Case& c : cases) {
        EdidImage image = imageWithTimings({k720p60, k1080p60}, 30);
        const int second = 128 + image[130] + 18;
        image[second + 17] = c.read;
        DataBlockCollection collection = parsed(image);
        DetailedTiming& timing = collection.timings.timings[1];
        timing.hImageSize = 600;
        timing.stereoMode = static_cast<std::uint16_t>(c.stereo);
        EdidImage out = image;
        ASSERT_TRUE(rebuildExtensionBlock(out, collection));
        EXPECT_EQ(out[second + 17], c.written) << std::hex << int(c.read) << " " << c.stereo;
        EXPECT_EQ(out[second + 12], 600 & 0xFF);
    }
}

TEST(FitInWith, NamesTheCandidateTheTimingIsWrittenAs) {
    const auto candidate = [](int row) { return decodeDetailedTiming(timingCandidateBytes(row)); };
    struct Case {
        const char* what;
        DetailedTiming timing;
        const char* text;
    };
    DetailedTiming widerField = candidate(k1080p60);
    widerField.hSyncOffset += 1024; // 10 bits written: still 88
    DetailedTiming otherSize = candidate(k1080p60);
    otherSize.vImageSize = 399;
    DetailedTiming stereo = candidate(k1080p60);
    stereo.stereoMode = 3;
    DetailedTiming slotted = candidate(k720p60);
    slotted.slotOffset = 150;
    applyTimingCandidate(slotted, 6);
    const Case cases[] = {
        {"a candidate", candidate(k1080p60), "Fit in With:  1920x1080p 60Hz 16:9"},
        {"a field beyond its width", widerField, "Fit in With:  1920x1080p 60Hz 16:9"},
        {"another image size", otherSize, "Fit in With:"},
        {"a stereo mode", stereo, "Fit in With:"},
        {"a candidate applied", slotted, "Fit in With:  720x480i 59.94Hz 4:3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitInWithText(c.timing), c.text) << c.what;
    EXPECT_EQ(slotted.slotOffset, 150) << "a candidate applied keeps the timing's place";
}

} // namespace
} // namespace pellam
