// Loading and saving whole images through the session: every block of a file
// is taken, nothing of the previous image stays, and what looks wrong about
// a file is said before it is shown.
#include "core/edid/edid_file.h"
#include "core/session/editor_session.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

EdidBytes bytesOf(const EdidImage& image, std::size_t length = kImageSize) {
    return EdidBytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length));
}

// The default image with two more blocks: a CTA-861 one and a DisplayID one.
EdidBytes fourBlockImage() {
    EdidBytes bytes = bytesOf(hdmiDefaultImage());
    bytes[kExtensionCountOffset] = 3;
    bytes.insert(bytes.end(), hdmiDefaultImage().begin() + 128, hdmiDefaultImage().end());
    EdidBytes displayId(kBlockSize, 0x00);
    displayId[0] = 0x70;
    displayId[1] = 0x12;
    bytes.insert(bytes.end(), displayId.begin(), displayId.end());
    applyBlockChecksums(bytes, true);
    return bytes;
}

bool mentions(const std::vector<std::string>& notes, const std::string& text) {
    for (const std::string& note : notes)
        if (note.find(text) != std::string::npos)
            return true;
    return false;
}

class ImageLoadTest : public ::testing::Test {
protected:
    TempDir dir;
    EditorSession session;

    std::string file(const std::string& name, std::span<const Byte> bytes) {
        writeFile(dir.file(name), std::string(bytes.begin(), bytes.end()));
        return dir.file(name);
    }
};

TEST_F(ImageLoadTest, AShorterFileLeavesNothingOfTheLongerOneBefore) {
    ASSERT_EQ(session.loadFile(file("long.bin", fourBlockImage())).outcome,
              LoadResult::Outcome::Loaded);
    EXPECT_EQ(session.imageBytes(), fourBlockImage());
    EdidImage small = displayPortDefaultImage();
    small[kExtensionCountOffset] = 0;
    ApplyAutoChecksums(small, true);
    const LoadResult result = session.loadFile(file("small.bin", bytesOf(small, 128)));
    ASSERT_EQ(result.outcome, LoadResult::Outcome::Loaded);
    EXPECT_TRUE(result.notes.empty());
    EXPECT_EQ(session.imageBytes(), bytesOf(small, 128));
    EXPECT_EQ(session.gridLength(), kImageSize) << "no block of the earlier file stays";
    for (std::size_t i = 128; i < 256; ++i)
        ASSERT_EQ(session.image()[i], 0) << i;
    EXPECT_TRUE(session.modeMenus().n128Bytes1);
    EXPECT_FALSE(session.collection().editable);

    // 256-byte mode gives the image a CTA-861 block of its own, not zeros.
    session.setExtensionMode(ExtensionMode::Bytes256);
    EXPECT_EQ(session.image()[128], 0x02);
    EXPECT_TRUE(session.collection().editable);
    EXPECT_EQ(session.image()[kExtensionCountOffset], 1);
}

TEST_F(ImageLoadTest, WhatAFileIsFoundToBeIsSaidAndWhatWasDone) {
    const EdidBytes good = bytesOf(hdmiDefaultImage());
    EdidBytes wrapped = good;
    wrapped.insert(wrapped.end(), good.begin(), good.end());
    EdidBytes odd = good;
    odd.resize(200);
    EdidBytes badChecksum = good;
    badChecksum[255] ^= 0x01;
    EdidBytes undeclared = fourBlockImage();
    undeclared[kExtensionCountOffset] = 1;
    applyBlockChecksums(undeclared, true);

    struct Case {
        const char* name;
        EdidBytes file;
        EdidBytes taken;
        const char* note; // empty: no note
    };
    EdidBytes oddPadded = odd;
    oddPadded.resize(256, 0);
    const Case cases[] = {
        {"a whole image", good, good, ""},
        {"a read that wrapped around", wrapped, good, "wrapped around"},
        {"a partial block", odd, oddPadded, "the last block was filled up with 00h"},
        {"a wrong checksum", badChecksum, badChecksum,
         "Wrong checksum: block 1 (69h, should be 68h)"},
        {"more blocks than byte 126 declares", undeclared, undeclared,
         "Byte 126 declares 1 extension block, but the file holds 3: every block is kept."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult result = session.loadFile(file("in.bin", c.file), false);
        ASSERT_EQ(result.outcome, LoadResult::Outcome::Loaded) << result.message;
        EXPECT_EQ(session.imageBytes(), c.taken);
        if (*c.note == '\0')
            EXPECT_TRUE(result.notes.empty()) << result.notes.front();
        else
            EXPECT_TRUE(mentions(result.notes, c.note))
                << (result.notes.empty() ? "no note" : result.notes.front());
    }
}

TEST_F(ImageLoadTest, FilesThatHoldNoEdidAreRefusedAndTheImageStays) {
    ASSERT_EQ(session.loadFile(file("long.bin", fourBlockImage())).outcome,
              LoadResult::Outcome::Loaded);
    writeFile(dir.file("edid.DDC"), "00\nFF\nFF\nFF\nFF\nFF\nFF\n00\n");
    const struct {
        const char* name;
        std::string path;
        const char* message;
    } cases[] = {
        {"empty", file("empty.bin", {}), "The file is empty: it holds no EDID."},
        {"too large", file("big.bin", EdidBytes(kMaxEdidSize + 128, 0)),
         "The file is larger than an EDID can be (at most 256 blocks, 32768 bytes)."},
        {"no header", file("zeros.bin", EdidBytes(256, 0)), "EDID File Format incorrect!!"},
        {"not an EDID file type", dir.file("edid.DDC"),
         "is not an EDID file type (use .bin, .dat, .txt or .ddc)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult result = session.loadFile(c.path);
        EXPECT_NE(result.outcome, LoadResult::Outcome::Loaded);
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
        EXPECT_EQ(session.imageBytes(), fourBlockImage());
    }
}

TEST_F(ImageLoadTest, ExtensionBlocksAreAddedAndRemovedWithByte126) {
    session.addExtensionBlock();
    session.addExtensionBlock();
    EXPECT_EQ(session.imageLength(), 512u);
    EXPECT_EQ(session.image()[kExtensionCountOffset], 3);
    EXPECT_EQ(session.byteAt(256), 0x02);
    EXPECT_EQ(blockListText(session.imageBytes()), "4 blocks: base, CTA-861, CTA-861, CTA-861");
    session.setExtensionMode(ExtensionMode::Bytes128);
    EXPECT_EQ(session.imageLength(), 128u);
    session.setExtensionMode(ExtensionMode::Bytes256);
    EXPECT_EQ(session.imageLength(), 512u) << "128-byte mode hides the blocks, it keeps them";
    EXPECT_EQ(session.image()[kExtensionCountOffset], 3);
    EXPECT_TRUE(session.removeLastExtensionBlock());
    EXPECT_TRUE(session.removeLastExtensionBlock());
    EXPECT_FALSE(session.removeLastExtensionBlock()) << "block 1 goes with 128-byte mode only";
    EXPECT_EQ(session.image()[kExtensionCountOffset], 1);
    session.applyChecksums(true);
    EXPECT_EQ(session.imageBytes(), bytesOf(hdmiDefaultImage()));
}

TEST_F(ImageLoadTest, EveryRealEdidLoadsAndSavesWithEveryBlock) {
    int longer = 0;
    for (const auto& path : test::corpusFiles()) {
        SCOPED_TRACE(path.filename().string());
        const std::string raw = readFile(path);
        const EdidCheck check = checkEdidBytes(EdidBytes(raw.begin(), raw.end()));
        const LoadResult result = session.loadFile(path.string(), false);
        if (check.refused) {
            EXPECT_NE(result.outcome, LoadResult::Outcome::Loaded);
            continue;
        }
        ASSERT_EQ(result.outcome, LoadResult::Outcome::Loaded) << result.message;
        // 128-byte mode saves block 0 only (byte 126 = 0); otherwise every
        // block, and at least blocks 0 and 1 (empty when the file has none).
        EdidBytes expected = check.bytes;
        if (raw[kExtensionCountOffset] == 0)
            expected.resize(kBlockSize);
        else if (expected.size() < kImageSize)
            expected.resize(kImageSize, 0);
        ASSERT_TRUE(session.saveFile(dir.file("out"), SaveFilter::Binary).ok);
        const std::string saved = readFile(dir.file("out.bin"));
        ASSERT_EQ(EdidBytes(saved.begin(), saved.end()), expected);
        longer += raw.size() > kImageSize;
    }
    EXPECT_GE(longer, 30);
}

} // namespace
} // namespace pellam
