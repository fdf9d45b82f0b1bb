#include "core/cea/extension_block.h"
#include "core/edid/hex.h"
#include "support/test_support.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace pellam {
namespace {

// The byte at offset i (at or after the end of the timings) once the
// records after the timings are written back: as they were up to the last
// one that holds anything but zeros, then zeros.
Byte rebuiltRecords(const EdidImage& image, int end, int i) {
    int keptEnd = end;
    for (int p = end; p + 18 < 256; p += 18)
        if (std::any_of(image.begin() + p, image.begin() + p + 18, [](Byte b) { return b; }))
            keptEnd = p + 18;
    return i < keptEnd ? image[static_cast<std::size_t>(i)] : Byte{0};
}

// For every real EDID: reading block 1 and writing it back changes nothing
// but the padding after the last timing (the 18-byte records up to the last
// that holds anything but zeros, display descriptors among them, are kept),
// and what is read back is the same collection. Blocks the model cannot edit are never written.
TEST(CorpusRebuild, EveryRealBlock1SurvivesParseAndRebuild) {
    int editable = 0;
    int withUnmodelledBlocks = 0;
    int withKeptRecords = 0;
    for (const auto& file : test::corpusFiles()) {
        const EdidImage image = test::imageFromBytes(test::readFile(file));
        DataBlockCollection c;
        parseExtensionBlock(image, c);
        EdidImage rebuilt = image;
        const bool written = rebuildExtensionBlock(rebuilt, c);
        const std::string name = file.filename().string();
        if (!c.editable) {
            EXPECT_FALSE(written) << name;
            EXPECT_EQ(rebuilt, image) << name;
            EXPECT_FALSE(c.note.empty()) << name;
            continue;
        }
        ++editable;
        for (const BlockOrderEntry& entry : c.blockOrder) {
            if (entry.isRaw() && entry.raw[0] != 0) {
                ++withUnmodelledBlocks;
                break;
            }
        }
        ASSERT_TRUE(written) << name;
        const int end = c.dtdStart + 18 * c.timings.count;
        int keptUpTo = end;
        for (int p = end; p + 18 < 256; p += 18)
            if (std::any_of(image.begin() + p, image.begin() + p + 18, [](Byte b) { return b; }))
                keptUpTo = p + 18;
        withKeptRecords += keptUpTo > end;
        for (int i = 0; i < 256; ++i) {
            const Byte expected = (i >= end && i < 255) ? rebuiltRecords(image, end, i) : image[i];
            ASSERT_EQ(rebuilt[i], expected)
                << name << ": offset " << i << " (" << hexByte(static_cast<Byte>(i)) << "h)";
        }
        DataBlockCollection again;
        parseExtensionBlock(rebuilt, again);
        EXPECT_EQ(again, c) << name;
    }
    // The corpus has 184 CTA extensions, most of them editable, and a third of
    // those carry blocks the model does not know.
    EXPECT_GT(editable, 150);
    EXPECT_GT(withUnmodelledBlocks, 50);
    EXPECT_GE(withKeptRecords, 2);
}

} // namespace
} // namespace pellam
