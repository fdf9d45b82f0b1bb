#include "core/cea/extension_block.h"
#include "core/edid/hex.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

// For every real EDID: reading block 1 and writing it back changes nothing
// but the padding after the last timing, and what is read back is the same
// collection. Blocks the model cannot edit are never written.
TEST(CorpusRebuild, EveryRealBlock1SurvivesParseAndRebuild) {
    int editable = 0;
    int withUnmodelledBlocks = 0;
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
        for (int i = 0; i < 256; ++i) {
            const Byte expected = (i >= end && i < 255) ? 0 : image[i];
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
}

} // namespace
} // namespace pellam
