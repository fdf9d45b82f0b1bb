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
    // Load: read, check and adopt the file; block 1 parsed again on success.
    LoadResult loadFile(const std::string& path);
    // Load of an EDID held in memory (a display's, as the kernel read it):
    // the bytes go into the zeroed file load buffer (at most 256) and are
    // adopted as a file load would; block 1 parsed again on success.
    LoadResult loadBytes(const std::vector<Byte>& bytes);
    // Bytes read from the sink's EEPROM: the first `count` become the image
    // (a read the user stopped leaves the rest as it was), the menus follow
    // byte 126 and the DisplayPort mode, and block 1 is parsed again.
    void adoptEepromBytes(const EdidImage& bytes, std::size_t count);
    // Save: the image in the chosen form, 128 or 256 bytes by the mode.
    WriteResult saveFile(std::string_view chosenName, SaveFilter filter) const;

    // The page switch before the new page is decoded: when a block-1 page was
    // shown since the last switch and byte 126 is not 0, block 1 is written
    // back if the collection changed; the flag is cleared; then automatic
    // checksums. Returns false when the collection did not fit and block 1
    // was kept (the caller shows "No Space of Extended Block").
    bool beginPageSwitch(bool autoChecksum);
    // A block-1 page was shown and decoded.
    void block1PageShown() { m_pageState.block1RebuildFlag = 1; }

    // Enter in the grid: the cell text read as hexadecimal (with "0x" in
    // front) becomes the byte at offset, its low 8 bits. On bad text the image
    // is unchanged and the message is returned.
    struct CellCommit {
        bool ok = false;
        Byte value = 0;
        std::string message;
    };
    CellCommit commitCellText(std::size_t offset, std::string_view text);
    // After every key in the grid: automatic checksums, then block 1 parsed again.
    void afterGridKey(bool autoChecksum);

private:
    // After the image was replaced: the menus follow it, the first
    // descriptor is selected, block 1 is parsed again.
    void imageReplaced();

    EdidWorkspace m_workspace;
    ModeMenus m_modeMenus;
    SharedPageState m_pageState;
    GridCells m_gridCells;
    ExtensionBlockModel m_block1;
    DdcContext m_ddc;
};

} // namespace pellam
