#include "core/session/editor_session.h"
#include "core/edid/hex.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

// Default image with a byte of padding after the last timing that a rebuild
// would zero, so that an unwanted rebuild shows.
EdidImage imageWithPadding() {
    EdidImage image = hdmiDefaultImage();
    image[250] = 0x5A;
    ApplyAutoChecksums(image, true);
    return image;
}

TEST(EditorSession, StartsWithTheDefaultImageParsed) {
    EditorSession session;
    EXPECT_EQ(session.image(), hdmiDefaultImage());
    EXPECT_TRUE(session.collection().editable);
    EXPECT_TRUE(session.collection().video.present);
    EXPECT_TRUE(session.modeMenus().n256Bytes1);
}

TEST(EditorSession, PageSwitchWritesBlock1BackOnlyAfterAChange) {
    EditorSession session;
    session.image() = imageWithPadding();
    session.parseBlock1();

    session.block1PageShown();
    EXPECT_TRUE(session.beginPageSwitch(true));
    EXPECT_EQ(session.image(), imageWithPadding()) << "nothing edited: block 1 as it was";
    EXPECT_EQ(session.pageState().block1RebuildFlag, 0);

    session.block1PageShown();
    session.block1().collection().speaker.allocation = 0x4B;
    EXPECT_TRUE(session.beginPageSwitch(true));
    EXPECT_EQ(session.image()[148], 0x4B);
    EXPECT_EQ(session.image()[250], 0x00);
    EXPECT_EQ(Checksum(session.image(), 1), session.image()[255]);
    EXPECT_EQ(Checksum(session.image(), 0), session.image()[127]);
}

TEST(EditorSession, AnEditIsNotWrittenWithoutABlock1PageOrIn128ByteMode) {
    EditorSession session;
    session.block1().collection().speaker.allocation = 0x4B;
    EXPECT_TRUE(session.beginPageSwitch(true));
    EXPECT_EQ(session.image()[148], 0x01) << "the flag was not set";

    session.setExtensionMode(ExtensionMode::Bytes128);
    session.block1PageShown();
    EXPECT_TRUE(session.beginPageSwitch(true));
    EXPECT_EQ(session.image()[148], 0x01);
    EXPECT_EQ(session.pageState().block1RebuildFlag, 0) << "cleared in either mode";
}

TEST(EditorSession, ATooLargeCollectionKeepsBlock1) {
    EditorSession session;
    session.block1PageShown();
    session.block1().collection().vsdb.size = 31;
    session.block1().collection().audio.size = 31;
    const EdidImage before = session.image();
    EXPECT_FALSE(session.beginPageSwitch(false));
    EXPECT_EQ(session.image(), before);
}

TEST(EditorSession, ChecksumsFollowTheOption) {
    EditorSession session;
    session.image()[127] = 0;
    session.image()[255] = 0;
    session.beginPageSwitch(false);
    EXPECT_EQ(session.image()[127], 0);
    session.beginPageSwitch(true);
    EXPECT_EQ(session.image()[127], 0x21);
    EXPECT_EQ(session.image()[255], 0x68);
}

TEST(EditorSession, CellTextIsReadAsHexadecimalWithItsLowByteKept) {
    struct Case {
        const char* text;
        bool ok;
        int value;
        const char* message;
    };
    const Case cases[] = {
        {"1F", true, 0x1F, ""},
        {"1ff", true, 0xFF, ""},
        {"0", true, 0, ""},
        {"", false, 0, "'0x' is not a valid integer value"},
        {" 1", false, 0, "'0x 1' is not a valid integer value"},
        {"0x10", false, 0, "'0x0x10' is not a valid integer value"},
        {"-1", false, 0, "'0x-1' is not a valid integer value"},
        {"G", false, 0, "'0xG' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        EditorSession session;
        const auto commit = session.commitCellText(0x50, c.text);
        EXPECT_EQ(commit.ok, c.ok) << c.text;
        EXPECT_EQ(commit.message, c.message) << c.text;
        EXPECT_EQ(session.image()[0x50], c.ok ? c.value : hdmiDefaultImage()[0x50]) << c.text;
    }
}

TEST(EditorSession, GridKeysParseBlock1AgainAndDropUnwrittenEdits) {
    EditorSession session;
    session.block1().collection().speaker.allocation = 0x4B;
    ASSERT_TRUE(session.commitCellText(0x94, "0F").ok);
    session.afterGridKey(true);
    EXPECT_EQ(session.collection().speaker.allocation, 0x0F);
    EXPECT_FALSE(session.block1().modified());
    EXPECT_EQ(Checksum(session.image(), 1), session.image()[255]);
}

TEST(EditorSession, LoadParsesBlock1AndAFailedLoadChangesNothing) {
    test::TempDir dir;
    EditorSession session;
    EdidImage dp = displayPortDefaultImage();
    dp[0x94] = 0x0B;
    ApplyAutoChecksums(dp, true);
    test::writeFile(dir.file("dp.bin"), formatRawBinary(std::span(dp).first(256)));
    ASSERT_EQ(session.loadFile(dir.file("dp.bin")).outcome, LoadResult::Outcome::Loaded);
    EXPECT_EQ(session.collection().speaker.allocation, 0x0B);
    EXPECT_EQ(session.workspace().displayPortMode, 1);

    session.block1().collection().speaker.allocation = 0x01;
    test::writeFile(dir.file("bad.bin"), std::string(128, '\x01'));
    const LoadResult failed = session.loadFile(dir.file("bad.bin"));
    EXPECT_EQ(failed.outcome, LoadResult::Outcome::HeaderMismatch);
    EXPECT_EQ(session.image(), dp);
    EXPECT_EQ(session.collection().speaker.allocation, 0x01) << "the collection is kept too";
}

TEST(EditorSession, ModifiedMeansDifferentFromWhatWasLastLoadedSavedOrMade) {
    test::TempDir dir;
    EditorSession session;
    EXPECT_FALSE(session.isModified()) << "the new image";

    ASSERT_TRUE(session.commitCellText(0x10, "2A").ok);
    EXPECT_TRUE(session.isModified()) << "a grid edit";
    ASSERT_TRUE(session.commitCellText(0x10, hexByte(hdmiDefaultImage()[0x10])).ok);
    EXPECT_FALSE(session.isModified()) << "the byte typed back";

    // A block-1 edit a page holds counts before it is written.
    session.block1PageShown();
    session.block1().collection().speaker.allocation = 0x4B;
    EXPECT_TRUE(session.isModified());
    ASSERT_TRUE(session.saveFile(dir.file("a"), SaveFilter::Binary).ok);
    EXPECT_TRUE(session.isModified()) << "a save writes the image, not what a page holds";
    ASSERT_TRUE(session.writePendingBlock1(true));
    EXPECT_EQ(session.image()[148], 0x4B);
    EXPECT_EQ(session.pageState().block1RebuildFlag, 1) << "the page stays on view";
    ASSERT_TRUE(session.saveFile(dir.file("a"), SaveFilter::Binary).ok);
    EXPECT_FALSE(session.isModified());

    session.setExtensionMode(ExtensionMode::Bytes128);
    EXPECT_TRUE(session.isModified()) << "byte 126 and the length changed";
    ASSERT_EQ(session.loadFile(dir.file("a.bin")).outcome, LoadResult::Outcome::Loaded);
    EXPECT_FALSE(session.isModified());
    ASSERT_TRUE(session.addExtensionBlock());
    EXPECT_TRUE(session.isModified());
    session.newImage();
    EXPECT_FALSE(session.isModified());

    // A read the user stopped is not what the sink holds.
    EdidImage read = hdmiDefaultImage();
    read[0x10] = 0x77;
    session.adoptEepromBytes(read, 64, false);
    EXPECT_TRUE(session.isModified());
    session.adoptEepromBytes(read, kImageSize, true);
    EXPECT_FALSE(session.isModified());
}

TEST(EditorSession, ARestoredSnapshotIsTheStateTakenWithItsPendingEdits) {
    EditorSession session;
    session.block1PageShown();
    session.block1().collection().speaker.allocation = 0x4B;
    const EditorSnapshot pending = session.snapshot();

    ASSERT_TRUE(session.beginPageSwitch(true));
    ASSERT_TRUE(session.addExtensionBlock());
    ASSERT_NE(session.snapshot(), pending);

    // Restored with the grid on view, the edit is still to be written at
    // the next switch.
    session.restore(pending, false);
    EXPECT_EQ(session.snapshot(), pending);
    EXPECT_EQ(session.gridLength(), kImageSize);
    EXPECT_EQ(session.image()[148], 0x01);
    EXPECT_EQ(session.pageState().block1RebuildFlag, 1);
    ASSERT_TRUE(session.beginPageSwitch(true));
    EXPECT_EQ(session.image()[148], 0x4B);

    // Nothing pending and no block-1 page on view: nothing to write.
    const EditorSnapshot clean = session.snapshot();
    session.restore(clean, false);
    EXPECT_EQ(session.pageState().block1RebuildFlag, 0);
    session.restore(clean, true);
    EXPECT_EQ(session.pageState().block1RebuildFlag, 1);
}

TEST(EditorSession, NewParsesTheDefaultImageOfTheMode) {
    EditorSession session;
    session.setDisplayPortMode(1);
    session.block1().collection().video.present = false;
    session.newImage();
    EXPECT_EQ(session.image(), displayPortDefaultImage());
    EXPECT_TRUE(session.collection().video.present);
}

TEST(ModeCommands, SwitchingTo128AndBackTouchesOnlyByte126) {
    EditorSession session;
    const EdidImage before = session.image();
    session.setExtensionMode(ExtensionMode::Bytes128);
    EXPECT_EQ(session.image()[126], 0);
    EXPECT_TRUE(session.modeMenus().n128Bytes1);
    EXPECT_FALSE(session.modeMenus().n256Bytes1);
    session.setExtensionMode(ExtensionMode::Bytes256);
    EXPECT_EQ(session.image()[126], 1);
    EXPECT_TRUE(session.modeMenus().n256Bytes1);
    EXPECT_EQ(session.image(), before) << "checksums and block 1 as they were";
}

TEST(ModeCommands, DisplayPortModeChangesMarksButNotTheImage) {
    EditorSession session;
    session.setDisplayPortMode(1);
    EXPECT_EQ(session.workspace().displayPortMode, 1);
    EXPECT_TRUE(session.modeMenus().edidDpSel);
    EXPECT_FALSE(session.modeMenus().edidHdmiSel);
    EXPECT_EQ(session.image(), hdmiDefaultImage());
    session.setDisplayPortMode(0);
    EXPECT_TRUE(session.modeMenus().edidHdmiSel);
    EXPECT_FALSE(session.modeMenus().edidDpSel);
}

TEST(ModeCommands, NewCopiesTheDefaultOfTheCurrentModeAndKeepsTheMode) {
    for (Byte dpMode : {Byte(0), Byte(1)}) {
        EditorSession session;
        session.setDisplayPortMode(dpMode);
        session.setExtensionMode(ExtensionMode::Bytes128);
        session.image()[60] = 0x99;
        session.newImage();
        EXPECT_EQ(session.image(), dpMode ? displayPortDefaultImage() : hdmiDefaultImage());
        EXPECT_EQ(session.workspace().displayPortMode, dpMode);
        EXPECT_TRUE(session.modeMenus().n256Bytes1) << "both default images have byte 126 = 1";
        EXPECT_EQ(session.modeMenus().edidDpSel, dpMode == 1);
    }
}

TEST(LoadBytes, TakesModesFromTheLoadedImage) {
    struct Case {
        Byte videoInput;
        Byte extensionCount;
        Byte dpMode;
        bool is256;
    };
    const Case cases[] = {
        {0xA5, 1, 1, true}, {0xA2, 1, 0, true},  {0x80, 0, 0, false},
        {0xA1, 2, 1, true}, {0x0F, 0, 0, false},
    };
    for (const Case& c : cases) {
        EditorSession session;
        EdidImage file = displayPortDefaultImage();
        file[20] = c.videoInput;
        file[126] = c.extensionCount;
        ASSERT_EQ(session.loadBytes({file.begin(), file.end()}).outcome,
                  LoadResult::Outcome::Loaded);
        EXPECT_EQ(session.image(), file);
        EXPECT_EQ(session.workspace().displayPortMode, c.dpMode) << "byte 20 = " << int(c.videoInput);
        EXPECT_EQ(session.modeMenus().edidDpSel, c.dpMode == 1);
        EXPECT_EQ(session.modeMenus().edidHdmiSel, c.dpMode == 0);
        EXPECT_EQ(session.modeMenus().n256Bytes1, c.is256);
        EXPECT_EQ(session.pageState().selectedDescriptorNumber, 1);
    }
}

TEST(LoadBytes, AHeaderMismatchChangesNothing) {
    EditorSession session;
    session.setDisplayPortMode(1);
    session.pageState().selectedDescriptorNumber = 3;
    EdidImage file = hdmiDefaultImage();
    file[126] = 0;
    for (std::size_t broken : {0u, 1u, 6u, 7u}) {
        const EdidImage before = session.image();
        file[broken] ^= 0x01;
        EXPECT_EQ(session.loadBytes({file.begin(), file.end()}).outcome,
                  LoadResult::Outcome::HeaderMismatch)
            << "header byte " << broken;
        EXPECT_EQ(session.image(), before);
        EXPECT_EQ(session.workspace().displayPortMode, 1);
        EXPECT_TRUE(session.modeMenus().edidDpSel);
        EXPECT_TRUE(session.modeMenus().n256Bytes1);
        EXPECT_EQ(session.pageState().selectedDescriptorNumber, 3);
        file[broken] ^= 0x01;
    }
}

} // namespace
} // namespace pellam
