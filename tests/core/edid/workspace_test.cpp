#include "core/edid/workspace.h"
#include "core/session/editor_state.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

TEST(Workspace, StartsWithTheHdmiImageIn256ByteHdmiMode) {
    EdidWorkspace ws;
    EXPECT_EQ(ws.image, hdmiDefaultImage());
    EXPECT_TRUE(ws.moreBlocks.empty());
    EXPECT_EQ(ws.displayPortMode, 0);
    const SharedPageState state;
    EXPECT_EQ(state.pageFillGuard, 0);
    EXPECT_EQ(state.pageDecodingMarker, 0);
    EXPECT_EQ(state.selectedDescriptorNumber, 0);
    EXPECT_EQ(state.block1RebuildFlag, 0);
    const ModeMenus menus;
    EXPECT_TRUE(menus.n256Bytes1);
    EXPECT_FALSE(menus.n128Bytes1);
    EXPECT_TRUE(menus.edidHdmiSel);
    EXPECT_FALSE(menus.edidDpSel);
}

TEST(SyncModeMenus, AnyNonZeroByte126Is256ByteMode) {
    const std::pair<Byte, bool> cases[] = {{0, false}, {1, true}, {2, true}, {0xFF, true}};
    for (const auto& [count, is256] : cases) {
        EdidWorkspace ws;
        ModeMenus menus;
        ws.image[126] = count;
        SyncModeMenus(menus, ws);
        EXPECT_EQ(menus.n256Bytes1, is256) << "byte 126 = " << int(count);
        EXPECT_EQ(menus.n128Bytes1, !is256) << "byte 126 = " << int(count);
        EXPECT_EQ(menus.imageLength(), is256 ? 256u : 128u);
    }
}

TEST(SyncModeMenus, MarksFollowByte126OnlyWhenRun) {
    EdidWorkspace ws;
    ModeMenus menus;
    ws.image[126] = 0; // an edit in the grid does not change the mode by itself
    EXPECT_EQ(menus.extensionMode(), ExtensionMode::Bytes256);
    SyncModeMenus(menus, ws);
    EXPECT_EQ(menus.extensionMode(), ExtensionMode::Bytes128);
}

TEST(ExtensionMode, WithAutoChecksumsByte127FollowsByte126) {
    EdidWorkspace ws;
    setExtensionMode(ws, ExtensionMode::Bytes128);
    ApplyAutoChecksums(ws.image, true); // the page switch that follows
    EXPECT_EQ(ws.image[127], 0x22);
    EXPECT_EQ(ws.image[255], hdmiDefaultImage()[255]);
}

} // namespace
} // namespace pellam
