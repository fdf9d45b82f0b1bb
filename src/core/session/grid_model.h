// The hex grid without widgets: which structure each byte belongs to (its
// background colour and hover name), how a cell's text is marked, and the
// hover hint state.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/edid/workspace.h"
#include "core/session/editor_state.h"

#include <span>
#include <string>
#include <vector>
#include <string_view>

namespace pellam {

// Text state of a grid cell.
enum CellMark : std::int32_t {
    kCellNormal = 0,
    kCellDiffers = 1, // differs from the comparison file: red text
    kCellHidden = 2,  // block-1 byte in 128-byte mode: grey "00"
};

// The two per-byte tables the grid is drawn from, one entry per byte of the
// grid: blocks 0 and 1, and every block after them.
struct GridCells {
    std::vector<std::int32_t> marks = std::vector<std::int32_t>(kImageSize);
    // Structure type of each byte (grid background colour), 0 = none.
    std::vector<std::int32_t> states = std::vector<std::int32_t>(kImageSize);
};

// Structure type of a byte (cell state table); 11 is "no structure" for hints.
enum CellState : std::int32_t {
    kStateNone = 0,
    kStateDescriptor1 = 1, // block-0 descriptor 1, block-1 timings 1, 3, 5
    kStateDescriptor2 = 2, // block-0 descriptor 2, block-1 timings 2, 4, 6
    kStateMonitorName = 3,
    kStateMonitorRange = 4,
    kStateVideo = 5,
    kStateAudio = 6,
    kStateSpeaker = 7,
    kStateVsdb = 8,
    kStateVideoCapability = 9,
    kStateColorimetry = 10,
    kHintNone = 11,
    kStateOtherExtension = 12, // a block after block 1 that is not CTA-861
};

// The hover name of a structure type; empty for none.
std::string_view hintText(int type);

// Background colour of a structure type as 0xRRGGBB; -1 for the window colour.
int cellStateColour(int state);

// Sets all states to 0; with fill, marks the four block-0 descriptors by
// position, then block 1's timings and its modelled data blocks.
void FillCellStates(std::array<std::int32_t, kImageSize>& states,
                    const DataBlockCollection& collection, bool fill = true);

// Structure type for the hover hint at a data row and column (0..15),
// computed from positions and the collection, not from the state table.
int HintTypeAt(int row, int column, const DataBlockCollection& collection);

// Data row and column under a pointer position in grid pixels (header row and
// column included, 40 x 24 pixel pitch, data cells from x = 40 on). Over the
// row-header column this gives the row's first data column.
struct GridPosition {
    int row;
    int column;
};
GridPosition gridPositionAt(int x, int y);

// Cell marks and states as the grid is rendered: block 0 normal, block 1
// and the blocks after it hidden in 128-byte mode. The blocks after block 1
// (moreBlocks) are coloured as block 1 is when they are CTA-861 extensions,
// and as "other extension" otherwise; the tables get one entry per byte.
void renderGridState(GridCells& cells, const ModeMenus& menus,
                     const DataBlockCollection& collection,
                     std::span<const Byte> moreBlocks = {});

// The hover hint over a byte of a block after block 1 (offset 256 and
// beyond): the data block or timing of a CTA-861 extension, else the block
// named by its kind ("Block 3: DisplayID extension").
std::string extensionHintAt(std::size_t offset, const GridCells& cells,
                            std::span<const Byte> moreBlocks);

// The compare view: no structure colours (all states 0), mark 1 on each of
// the first `count` bytes where the image and the other bytes differ (a byte
// only one of them has differs), mark 0 everywhere else; the tables get one
// entry per byte of the image. Returns the number of differing bytes.
std::size_t applyCompareMarks(GridCells& cells, std::span<const Byte> image,
                              std::span<const Byte> other, std::size_t count);

// A cell of the compare view: the byte, and after a "/" the other byte when
// they differ ("5A", "5A/FF").
std::string compareCellText(Byte shown, Byte other);

// Hover hints: the text changes only when the type differs from the last
// type shown; hints are off over bytes of no structure.
class GridHintState {
public:
    void hover(int type);
    bool enabled() const { return m_enabled; }
    std::string_view text() const { return m_text; }

private:
    bool m_enabled = false;
    int m_lastType = -1;
    std::string_view m_text;
};

} // namespace pellam
