// The editor's state for the whole run and the commands of the main window,
// without widgets: the EDID workspace, the block-1 model the pages edit, and
// the steps each command takes before the window redraws.
#pragma once

#include "core/cea/extension_block.h"
#include "core/ddc/ddc_context.h"
#include "core/edid/edid_file.h"
#include "core/edid/workspace.h"
#include "core/session/editor_state.h"
#include "core/session/grid_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace pellam {

// What undo and redo take back: the image, the menus, and block 1 as the
// pages edit it (with edits not yet written into the image). The view state
// (page shown, descriptor selected) is not part of it.
struct EditorSnapshot {
    EdidWorkspace workspace;
    ModeMenus menus;
    ExtensionBlockModel block1;

    bool operator==(const EditorSnapshot&) const = default;
};

class EditorSession {
public:
    // Starts with the HDMI default image, its block 1 parsed, the menus set.
    // The DDC transports reach the given hardware (the machine's own by
    // default); no device is opened here.
    explicit EditorSession(std::unique_ptr<DdcHardware> hardware = makeSystemHardware());

    EdidWorkspace& workspace() { return m_workspace; }
    const EdidWorkspace& workspace() const { return m_workspace; }
    EdidImage& image() { return m_workspace.image; }
    const EdidImage& image() const { return m_workspace.image; }
    // The configuration menu's marks, the pages' shared state, the grid's tables.
    ModeMenus& modeMenus() { return m_modeMenus; }
    const ModeMenus& modeMenus() const { return m_modeMenus; }
    SharedPageState& pageState() { return m_pageState; }
    GridCells& gridCells() { return m_gridCells; }
    ExtensionBlockModel& block1() { return m_block1; }
    const DataBlockCollection& collection() const { return m_block1.collection(); }
    // The I2C settings and transports for the run.
    DdcContext& ddc() { return m_ddc; }

    // Reads block 1 into the collection again (after any change of the image
    // that did not come from the collection).
    void parseBlock1();

    // New: the default image of the current DisplayPort mode.
    void newImage();
    // The four mode commands of the configuration menu.
    void setExtensionMode(ExtensionMode mode);
    void setDisplayPortMode(Byte displayPortMode);
    // Load: read and check the file, and on success its bytes replace the
    // whole image (nothing of the previous one stays); block 1 parsed again.
    // The notes say what the check found (autoChecksum: whether the wrong
    // checksums it names get corrected).
    LoadResult loadFile(const std::string& path, bool autoChecksum = true);
    // Load of an EDID held in memory (a display's, as the kernel read it),
    // checked and adopted as a file load would.
    LoadResult loadBytes(const std::vector<Byte>& bytes, bool autoChecksum = true);
    // Bytes read from the sink's EEPROM: the first `count` become the image
    // (a read the user stopped leaves the rest as it was; a complete read
    // replaces the whole image, blocks after block 1 included), the menus
    // follow byte 126 and the DisplayPort mode, and block 1 is parsed again.
    void adoptEepromBytes(std::span<const Byte> bytes, std::size_t count, bool complete);
    // Save: the image in the chosen form, at the length in force (to
    // savePath(chosenName, filter)); a written image counts as saved.
    WriteResult saveFile(std::string_view chosenName, SaveFilter filter);

    EditorSnapshot snapshot() const { return {m_workspace, m_modeMenus, m_block1}; }
    // Puts a snapshot back. Block-1 edits it holds are written into the image
    // at the next page switch, as they would have been; block1PageShown says
    // whether a block-1 page is on view (and is to be written back when left).
    void restore(const EditorSnapshot& snapshot, bool block1PageShown);

    // Whether the image differs from what was last loaded, read, saved or
    // newly made, counting block-1 edits a page holds and not yet written.
    bool isModified() const;
    // The image as it is now counts as saved (after a save, or a load the
    // window made its own).
    void markSaved() { m_savedBytes = imageBytes(); }

    // Writes block-1 edits a page still holds into the image, as a page
    // switch would, with the page staying on view; then the automatic
    // checksums. False when they did not fit (block 1 kept).
    bool writePendingBlock1(bool autoChecksum);

    // The image's length in force: 128 bytes in 128-byte mode, else 256 and
    // the blocks after block 1.
    std::size_t imageLength() const;
    // The image's bytes at that length.
    EdidBytes imageBytes() const;
    // The bytes of the grid: blocks 0 and 1 and every block after them,
    // whatever the mode (block 1 and later are shown greyed in 128-byte mode).
    std::size_t gridLength() const { return kImageSize + m_workspace.moreBlocks.size(); }
    Byte byteAt(std::size_t offset) const;

    // Extension blocks after block 1. Adding one appends an empty CTA-861
    // extension block (the image switches to 256-byte mode first when it is
    // in 128-byte mode); removing takes the last block after block 1. Byte
    // 126 follows. False when there is nothing to remove, or no room for
    // another block.
    bool addExtensionBlock();
    bool removeLastExtensionBlock();

    // The page switch before the new page is decoded: when a block-1 page was
    // shown since the last switch and byte 126 is not 0, block 1 is written
    // back if the collection changed; the flag is cleared; then automatic
    // checksums. Returns false when the collection did not fit and block 1
    // was kept (the caller shows "No Space of Extended Block").
    bool beginPageSwitch(bool autoChecksum);
    // A block-1 page was shown and decoded.
    void block1PageShown() { m_pageState.block1RebuildFlag = 1; }

    // Enter in the grid: the cell text read as hexadecimal (with "0x" in
    // front) becomes the byte at offset (any block of the grid), its low 8
    // bits. On bad text the image is unchanged and the message is returned.
    struct CellCommit {
        bool ok = false;
        Byte value = 0;
        std::string message;
    };
    CellCommit commitCellText(std::size_t offset, std::string_view text);
    // After every key in the grid: automatic checksums, then block 1 parsed again.
    void afterGridKey(bool autoChecksum);
    // The checksums of every block, when autoChecksum is on.
    void applyChecksums(bool autoChecksum);

private:
    // After the image was replaced: the menus follow it, the first
    // descriptor is selected, block 1 is parsed again.
    void imageReplaced();
    LoadResult adoptChecked(LoadResult result, const EdidBytes& bytes);

    EdidWorkspace m_workspace;
    ModeMenus m_modeMenus;
    SharedPageState m_pageState;
    GridCells m_gridCells;
    ExtensionBlockModel m_block1;
    DdcContext m_ddc;
    EdidBytes m_savedBytes;
};

} // namespace pellam
