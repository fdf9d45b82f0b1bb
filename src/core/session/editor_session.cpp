#include "core/session/editor_session.h"

#include "core/edid/hex.h"

#include <algorithm>

namespace pellam {

EditorSession::EditorSession(std::unique_ptr<DdcHardware> hardware)
    : m_ddc(std::move(hardware)) {
    parseBlock1();
    SyncModeMenus(m_modeMenus, m_workspace);
}

void EditorSession::parseBlock1() {
    m_block1.parse(m_workspace.image);
}

void EditorSession::imageReplaced() {
    m_pageState.selectedDescriptorNumber = 1;
    SyncModeMenus(m_modeMenus, m_workspace);
    parseBlock1();
}

void EditorSession::newImage() {
    pellam::newImage(m_workspace);
    SyncModeMenus(m_modeMenus, m_workspace);
    parseBlock1();
}

void EditorSession::setExtensionMode(ExtensionMode mode) {
    pellam::setExtensionMode(m_workspace, mode);
    SyncModeMenus(m_modeMenus, m_workspace);
}

void EditorSession::setDisplayPortMode(Byte displayPortMode) {
    pellam::setDisplayPortMode(m_workspace, displayPortMode);
    SyncModeMenus(m_modeMenus, m_workspace);
}

LoadResult EditorSession::loadFile(const std::string& path) {
    LoadResult result = loadEdidFile(m_workspace, path);
    if (result.outcome == LoadResult::Outcome::Loaded)
        imageReplaced();
    return result;
}

LoadResult EditorSession::loadBytes(const std::vector<Byte>& bytes) {
    m_workspace.fileLoadBuffer.fill(0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), kImageSize),
                m_workspace.fileLoadBuffer.begin());
    if (!adoptFileLoadBuffer(m_workspace))
        return {LoadResult::Outcome::HeaderMismatch, kMsgEdidFileFormatIncorrect};
    imageReplaced();
    return {};
}

void EditorSession::adoptEepromBytes(const EdidImage& bytes, std::size_t count) {
    std::copy_n(bytes.begin(), std::min(count, kImageSize), m_workspace.image.begin());
    SyncModeMenus(m_modeMenus, m_workspace);
    parseBlock1();
}

WriteResult EditorSession::saveFile(std::string_view chosenName, SaveFilter filter) const {
    return saveEdidFile(m_workspace.image, m_modeMenus.imageLength(), chosenName, filter);
}

bool EditorSession::beginPageSwitch(bool autoChecksum) {
    bool fitted = true;
    if (m_pageState.block1RebuildFlag != 0) {
        if (m_workspace.image[kExtensionCountOffset] != 0)
            fitted = m_block1.rebuildIfModified(m_workspace.image) !=
                     ExtensionBlockModel::RebuildResult::NoSpace;
        m_pageState.block1RebuildFlag = 0;
    }
    ApplyAutoChecksums(m_workspace.image, autoChecksum);
    return fitted;
}

EditorSession::CellCommit EditorSession::commitCellText(std::size_t offset, std::string_view text) {
    CellCommit commit;
    const auto value = parseHexNumber(text);
    if (!value || offset >= kImageSize) {
        commit.message = invalidIntegerMessage(std::string("0x").append(text));
        return commit;
    }
    commit.ok = true;
    commit.value = static_cast<Byte>(*value & 0xFF);
    m_workspace.image[offset] = commit.value;
    return commit;
}

void EditorSession::afterGridKey(bool autoChecksum) {
    ApplyAutoChecksums(m_workspace.image, autoChecksum);
    parseBlock1();
}

} // namespace pellam
