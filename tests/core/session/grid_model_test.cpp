#include "core/cea/extension_block.h"
#include "core/session/grid_model.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

DataBlockCollection defaultCollection() {
    DataBlockCollection c;
    parseExtensionBlock(hdmiDefaultImage(), c);
    return c;
}

int hintAtByte(int b, const DataBlockCollection& c) {
    return HintTypeAt(b / 16, b % 16, c);
}

TEST(FillCellStates, ColoursDescriptorsTimingsAndModelledBlocks) {
    const DataBlockCollection c = defaultCollection();
    std::array<std::int32_t, kImageSize> states;
    FillCellStates(states, c);
    const std::pair<int, int> expected[] = {
        {0, 0},   {53, 0},  {54, 1},  {71, 1},  {72, 2},  {90, 3},  {107, 3},
        {108, 4}, {125, 4}, {126, 0}, {127, 0}, {128, 0}, {131, 0}, {132, 5},
        {142, 5}, {143, 6}, {147, 7}, {150, 7}, {151, 8}, {156, 8}, {157, 1},
        {174, 1}, {175, 2}, {193, 1}, {211, 2}, {228, 2}, {229, 0}, {255, 0},
    };
    for (const auto& [offset, state] : expected)
        EXPECT_EQ(states[offset], state) << "offset " << offset;

    FillCellStates(states, c, false);
    for (std::int32_t s : states)
        ASSERT_EQ(s, 0);
}

TEST(FillCellStates, ExtendedBlocksAndNoTimingsOutsideAnEditableBlock) {
    DataBlockCollection c = defaultCollection();
    c.videoCapability = {true, 3, 200, 0, {}};
    c.colorimetry = {true, 4, 203, 0, 0, {}};
    std::array<std::int32_t, kImageSize> states;
    FillCellStates(states, c);
    EXPECT_EQ(states[202], 9);
    EXPECT_EQ(states[203], 10);
    EXPECT_EQ(states[206], 10);
    c.video.present = false; // a block a page removed is not coloured
    FillCellStates(states, c);
    EXPECT_EQ(states[132], 0);
}

TEST(HintTypeAt, NamesStructuresByPositionAndTheCollection) {
    const DataBlockCollection c = defaultCollection();
    const std::pair<int, int> cases[] = {
        {0, 11},  {53, 11},  {54, 1},   {72, 2},   {90, 3},  {107, 3},  {108, 4},
        {125, 4}, {126, 11}, {127, 11}, {128, 11}, {132, 5}, {143, 6},  {147, 7},
        {151, 8}, {156, 8},  {157, 1},  {200, 1},  {228, 1}, {229, 11}, {255, 11},
    };
    for (const auto& [b, type] : cases)
        EXPECT_EQ(hintAtByte(b, c), type) << "byte " << b;
    EXPECT_EQ(HintTypeAt(-1, 3, c), 11);
    EXPECT_EQ(HintTypeAt(3, 16, c), 11);
    EXPECT_EQ(HintTypeAt(16, 0, c), 11);
}

TEST(HintTypeAt, DescriptorsAreNamedByPositionWhateverTheyHold) {
    DataBlockCollection empty; // nothing parsed: block 1 not editable
    EXPECT_EQ(hintAtByte(95, empty), 3);
    EXPECT_EQ(hintAtByte(110, empty), 4);
    EXPECT_EQ(hintAtByte(160, empty), 11);
}

TEST(GridPositionAt, UsesThePitchAndTruncatesTowardZero) {
    struct Case {
        int x, y, row, column;
    };
    const Case cases[] = {
        {45, 30, 0, 0},
        {79, 47, 0, 0},
        {80, 48, 1, 1},
        {679, 407, 15, 15},
        {10, 150, 5, 0}, // the row-header column counts as the first data
                         // column
        {0, 150, 5, -1},
        {100, 10, -1, 1}, // the column-header row is outside
    };
    for (const Case& c : cases) {
        const GridPosition at = gridPositionAt(c.x, c.y);
        EXPECT_EQ(at.row, c.row) << c.x << "," << c.y;
        EXPECT_EQ(at.column, c.column) << c.x << "," << c.y;
    }
}

TEST(GridHintState, TextChangesOnlyWithTheTypeAndIsOffOverNothing) {
    GridHintState hint;
    EXPECT_FALSE(hint.enabled());
    hint.hover(8);
    EXPECT_TRUE(hint.enabled());
    EXPECT_EQ(hint.text(), "VSDB Block");
    hint.hover(11);
    EXPECT_FALSE(hint.enabled());
    hint.hover(8);
    EXPECT_TRUE(hint.enabled());
    EXPECT_EQ(hint.text(), "VSDB Block");
    hint.hover(2);
    EXPECT_EQ(hint.text(), "Detail Timing Block");
    hint.hover(10);
    EXPECT_EQ(hint.text(), "Extended Colorimetry Data Block");
}

TEST(renderGridState, HidesBlock1In128ByteMode) {
    GridCells cells;
    ModeMenus menus;
    const DataBlockCollection c = defaultCollection();
    cells.marks.assign(kImageSize, kCellDiffers);
    renderGridState(cells, menus, c);
    for (std::size_t i = 0; i < kImageSize; ++i)
        ASSERT_EQ(cells.marks[i], kCellNormal) << i;
    menus.n128Bytes1 = true;
    menus.n256Bytes1 = false;
    renderGridState(cells, menus, c);
    EXPECT_EQ(cells.marks[127], kCellNormal);
    EXPECT_EQ(cells.marks[128], kCellHidden);
    EXPECT_EQ(cells.marks[255], kCellHidden);
    EXPECT_EQ(cells.states[132], kStateVideo) << "block 1 keeps its colours";
}

TEST(CompareView, MarksEachDifferingByteAndClearsTheColours) {
    struct Case {
        const char* name;
        std::vector<std::size_t> changed; // offsets where the other bytes differ
        std::size_t count;                // bytes of the other that are known
        std::vector<std::size_t> marked;
    };
    const Case cases[] = {
        {"identical", {}, 256, {}},
        {"first and last", {0, 255}, 256, {0, 255}},
        {"beyond the known bytes", {10, 200}, 128, {10}},
    };
    for (const Case& c : cases) {
        GridCells cells;
        const EdidImage image = hdmiDefaultImage();
        cells.states.assign(kImageSize, kStateVideo);
        cells.marks.assign(kImageSize, kCellHidden);
        EdidImage other = image;
        for (std::size_t i : c.changed)
            other[i] ^= 0xFF;
        EXPECT_EQ(applyCompareMarks(cells, image, other, c.count), c.marked.size()) << c.name;
        std::vector<std::int32_t> marks(kImageSize);
        for (std::size_t i : c.marked)
            marks[i] = kCellDiffers;
        EXPECT_EQ(cells.marks, marks) << c.name;
        EXPECT_EQ(cells.states, std::vector<std::int32_t>(kImageSize)) << c.name;
    }
    EXPECT_EQ(compareCellText(0x5A, 0x5A), "5A");
    EXPECT_EQ(compareCellText(0x0a, 0xFF), "0A/FF");
}

TEST(CellStateColour, FollowsTheStructureTable) {
    EXPECT_EQ(cellStateColour(0), -1);
    EXPECT_EQ(cellStateColour(1), 0xC0DCC0);
    EXPECT_EQ(cellStateColour(8), 0xFBF58A);
    EXPECT_EQ(cellStateColour(10), 0xABC58A);
    EXPECT_EQ(cellStateColour(11), -1);
}

} // namespace
} // namespace pellam
