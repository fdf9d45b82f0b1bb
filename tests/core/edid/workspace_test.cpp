#include "core/edid/workspace.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

TEST(Workspace, StartsWithTheHdmiImageIn256ByteHdmiMode) {
    EdidWorkspace ws;
    EXPECT_EQ(ws.image, hdmiDefaultImage());
    EXPECT_EQ(ws.fileLoadBuffer, EdidImage{});
    EXPECT_EQ(ws.displayPortMode, 0);
    EXPECT_EQ(ws.pageFillGuard, 0);
    EXPECT_EQ(ws.pageState.pageDecodingMarker, 0);
    EXPECT_EQ(ws.pageState.selectedDescriptorNumber, 0);
    EXPECT_EQ(ws.pageState.block1RebuildFlag, 0);
    for (std::size_t i = 0; i < kImageSize; ++i) {
        EXPECT_EQ(ws.cellMarks[i], 0);
        EXPECT_EQ(ws.cellStates[i], 0);
    }
    EXPECT_TRUE(ws.modeMenus.n256Bytes1);
    EXPECT_FALSE(ws.modeMenus.n128Bytes1);
    EXPECT_TRUE(ws.modeMenus.edidHdmiSel);
    EXPECT_FALSE(ws.modeMenus.edidDpSel);
}

TEST(SyncModeMenus, AnyNonZeroByte126Is256ByteMode) {
    const std::pair<Byte, bool> cases[] = {{0, false}, {1, true}, {2, true}, {0xFF, true}};
    for (const auto& [count, is256] : cases) {
        EdidWorkspace ws;
        ws.image[126] = count;
        SyncModeMenus(ws);
        EXPECT_EQ(ws.modeMenus.n256Bytes1, is256) << "byte 126 = " << int(count);
        EXPECT_EQ(ws.modeMenus.n128Bytes1, !is256) << "byte 126 = " << int(count);
        EXPECT_EQ(ws.modeMenus.imageLength(), is256 ? 256u : 128u);
    }
}

TEST(SyncModeMenus, MarksFollowByte126OnlyWhenRun) {
    EdidWorkspace ws;
    ws.image[126] = 0; // an edit in the grid does not change the mode by itself
    EXPECT_EQ(ws.modeMenus.extensionMode(), ExtensionMode::Bytes256);
    SyncModeMenus(ws);
    EXPECT_EQ(ws.modeMenus.extensionMode(), ExtensionMode::Bytes128);
}

TEST(ExtensionMode, SwitchingTo128AndBackTouchesOnlyByte126) {
    EdidWorkspace ws;
    const EdidImage before = ws.image;
    SetExtensionMode(ws, ExtensionMode::Bytes128);
    EXPECT_EQ(ws.image[126], 0);
    EXPECT_TRUE(ws.modeMenus.n128Bytes1);
    EXPECT_FALSE(ws.modeMenus.n256Bytes1);
    SetExtensionMode(ws, ExtensionMode::Bytes256);
    EXPECT_EQ(ws.image[126], 1);
    EXPECT_TRUE(ws.modeMenus.n256Bytes1);
    EXPECT_EQ(ws.image, before) << "checksums and block 1 as they were";
}

TEST(ExtensionMode, WithAutoChecksumsByte127FollowsByte126) {
    EdidWorkspace ws;
    SetExtensionMode(ws, ExtensionMode::Bytes128);
    ApplyAutoChecksums(ws.image, true); // the page switch that follows
    EXPECT_EQ(ws.image[127], 0x22);
    EXPECT_EQ(ws.image[255], hdmiDefaultImage()[255]);
}

TEST(DisplayPortModeCommands, ChangeMarksButNotTheImage) {
    EdidWorkspace ws;
    SetDisplayPortMode(ws, 1);
    EXPECT_EQ(ws.displayPortMode, 1);
    EXPECT_TRUE(ws.modeMenus.edidDpSel);
    EXPECT_FALSE(ws.modeMenus.edidHdmiSel);
    EXPECT_EQ(ws.image, hdmiDefaultImage());
    SetDisplayPortMode(ws, 0);
    EXPECT_TRUE(ws.modeMenus.edidHdmiSel);
    EXPECT_FALSE(ws.modeMenus.edidDpSel);
}

TEST(NewImage, CopiesTheDefaultOfTheCurrentModeAndKeepsTheMode) {
    for (Byte dpMode : {Byte(0), Byte(1)}) {
        EdidWorkspace ws;
        SetDisplayPortMode(ws, dpMode);
        SetExtensionMode(ws, ExtensionMode::Bytes128);
        ws.image[60] = 0x99;
        NewImage(ws);
        EXPECT_EQ(ws.image, dpMode ? displayPortDefaultImage() : hdmiDefaultImage());
        EXPECT_EQ(ws.displayPortMode, dpMode);
        EXPECT_TRUE(ws.modeMenus.n256Bytes1) << "both default images have byte 126 = 1";
        EXPECT_EQ(ws.modeMenus.edidDpSel, dpMode == 1);
    }
}

TEST(AdoptFileLoadBuffer, TakesModesFromTheLoadedImage) {
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
        EdidWorkspace ws;
        ws.fileLoadBuffer = displayPortDefaultImage();
        ws.fileLoadBuffer[20] = c.videoInput;
        ws.fileLoadBuffer[126] = c.extensionCount;
        ASSERT_TRUE(AdoptFileLoadBuffer(ws));
        EXPECT_EQ(ws.image, ws.fileLoadBuffer);
        EXPECT_EQ(ws.displayPortMode, c.dpMode) << "byte 20 = " << int(c.videoInput);
        EXPECT_EQ(ws.modeMenus.edidDpSel, c.dpMode == 1);
        EXPECT_EQ(ws.modeMenus.edidHdmiSel, c.dpMode == 0);
        EXPECT_EQ(ws.modeMenus.n256Bytes1, c.is256);
        EXPECT_EQ(ws.pageState.selectedDescriptorNumber, 1);
    }
}

TEST(AdoptFileLoadBuffer, AHeaderMismatchChangesNothing) {
    EdidWorkspace ws;
    SetDisplayPortMode(ws, 1);
    ws.pageState.selectedDescriptorNumber = 3;
    ws.fileLoadBuffer = hdmiDefaultImage();
    ws.fileLoadBuffer[126] = 0;
    for (std::size_t broken : {0u, 1u, 6u, 7u}) {
        EdidWorkspace before = ws;
        ws.fileLoadBuffer[broken] ^= 0x01;
        EXPECT_FALSE(AdoptFileLoadBuffer(ws)) << "header byte " << broken;
        EXPECT_EQ(ws.image, before.image);
        EXPECT_EQ(ws.displayPortMode, 1);
        EXPECT_TRUE(ws.modeMenus.edidDpSel);
        EXPECT_TRUE(ws.modeMenus.n256Bytes1);
        EXPECT_EQ(ws.pageState.selectedDescriptorNumber, 3);
        ws.fileLoadBuffer[broken] ^= 0x01;
    }
}

} // namespace
} // namespace pellam
