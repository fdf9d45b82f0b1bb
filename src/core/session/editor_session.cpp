#include "core/session/editor_session.h"

#include "core/edid/hex.h"

#include <algorithm>

namespace pellam {

EditorSession::EditorSession(std::unique_ptr<DdcHardware> hardware)
    : m_ddc(std::move(hardware)) {
    parseBlock1();
    SyncModeMenus(m_modeMenus, m_workspace);
    markSaved();
}

void EditorSession::restore(const EditorSnapshot& snapshot, bool block1PageShown) {
    m_workspace = snapshot.workspace;
    m_modeMenus = snapshot.menus;
    m_block1 = snapshot.block1;
    m_pageState.block1RebuildFlag = block1PageShown || m_block1.modified() ? 1 : 0;
}

bool EditorSession::isModified() const {
    const bool pendingBlock1 = m_pageState.block1RebuildFlag != 0 &&
                               m_workspace.image[kExtensionCountOffset] != 0 && m_block1.modified();
    return pendingBlock1 || imageBytes() != m_savedBytes;
}

bool EditorSession::writePendingBlock1(bool autoChecksum) {
    bool fitted = true;
    if (m_pageState.block1RebuildFlag != 0 && m_workspace.image[kExtensionCountOffset] != 0)
        fitted = m_block1.rebuildIfModified(m_workspace.image) !=
                 ExtensionBlockModel::RebuildResult::NoSpace;
    applyChecksums(autoChecksum);
    return fitted;
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
    markSaved();
}

void EditorSession::setExtensionMode(ExtensionMode mode) {
    // A 128-byte image has no block 1: 256-byte mode gives it the default
    // image's CTA-861 extension rather than a block of zeros.
    const auto block1 = std::span<const Byte>(m_workspace.image).subspan(kBlock1Offset);
    if (mode == ExtensionMode::Bytes256 &&
        std::all_of(block1.begin(), block1.end(), [](Byte b) { return b == 0; })) {
        const EdidImage& fallback =
            m_workspace.displayPortMode ? displayPortDefaultImage() : hdmiDefaultImage();
        std::copy(fallback.begin() + kBlock1Offset, fallback.end(),
                  m_workspace.image.begin() + kBlock1Offset);
        parseBlock1();
    }
    pellam::setExtensionMode(m_workspace, mode);
    SyncModeMenus(m_modeMenus, m_workspace);
}

void EditorSession::setDisplayPortMode(Byte displayPortMode) {
    pellam::setDisplayPortMode(m_workspace, displayPortMode);
    SyncModeMenus(m_modeMenus, m_workspace);
}

LoadResult EditorSession::adoptChecked(LoadResult result, const EdidBytes& bytes) {
    if (result.outcome != LoadResult::Outcome::Loaded)
        return result;
    adoptEdidBytes(m_workspace, bytes);
    imageReplaced();
    markSaved();
    return result;
}

LoadResult EditorSession::loadFile(const std::string& path, bool autoChecksum) {
    EdidBytes bytes;
    LoadResult result = readEdidForEditing(path, {true, autoChecksum}, bytes);
    return adoptChecked(std::move(result), bytes);
}

LoadResult EditorSession::loadBytes(const std::vector<Byte>& bytes, bool autoChecksum) {
    EdidCheck check = checkEdidBytes(bytes, {true, autoChecksum});
    if (check.refused)
        return {check.refusal == kMsgEdidFileFormatIncorrect ? LoadResult::Outcome::HeaderMismatch
                                                            : LoadResult::Outcome::ReadFailed,
                check.refusal,
                {}};
    return adoptChecked({LoadResult::Outcome::Loaded, {}, std::move(check.notes)}, check.bytes);
}

void EditorSession::adoptEepromBytes(std::span<const Byte> bytes, std::size_t count,
                                     bool complete) {
    count = std::min(count, bytes.size());
    if (complete)
        m_workspace.image.fill(0);
    std::copy_n(bytes.begin(), std::min(count, kImageSize), m_workspace.image.begin());
    if (complete || count >= kImageSize)
        m_workspace.moreBlocks.clear();
    if (complete && count > kImageSize)
        m_workspace.moreBlocks.assign(bytes.begin() + kImageSize,
                                      bytes.begin() + static_cast<std::ptrdiff_t>(count));
    SyncModeMenus(m_modeMenus, m_workspace);
    parseBlock1();
    // A whole read is what the sink holds; a stopped one is not.
    if (complete)
        markSaved();
}

std::size_t EditorSession::imageLength() const {
    return m_modeMenus.n128Bytes1 ? kBlockSize : kImageSize + m_workspace.moreBlocks.size();
}

EdidBytes EditorSession::imageBytes() const {
    return edidBytes(m_workspace, !m_modeMenus.n128Bytes1);
}

Byte EditorSession::byteAt(std::size_t offset) const {
    if (offset < kImageSize)
        return m_workspace.image[offset];
    return offset - kImageSize < m_workspace.moreBlocks.size()
               ? m_workspace.moreBlocks[offset - kImageSize]
               : Byte{0};
}

WriteResult EditorSession::saveFile(std::string_view chosenName, SaveFilter filter) {
    const EdidBytes bytes = imageBytes();
    WriteResult result = saveEdidFile(bytes, chosenName, filter);
    if (result.ok)
        m_savedBytes = bytes;
    return result;
}

bool EditorSession::addExtensionBlock() {
    if (m_modeMenus.n128Bytes1) {
        setExtensionMode(ExtensionMode::Bytes256);
        return true;
    }
    if (gridLength() >= kMaxEdidSize)
        return false;
    // An empty CTA-861 extension: revision 3, no data blocks, no timings.
    std::array<Byte, kBlockSize> block{};
    block[0] = 0x02;
    block[1] = 0x03;
    block[2] = 0x04;
    block[kBlockSize - 1] = blockChecksum(block, 0);
    m_workspace.moreBlocks.insert(m_workspace.moreBlocks.end(), block.begin(), block.end());
    pellam::setExtensionMode(m_workspace, ExtensionMode::Bytes256);
    SyncModeMenus(m_modeMenus, m_workspace);
    return true;
}

bool EditorSession::removeLastExtensionBlock() {
    if (m_workspace.moreBlocks.size() < kBlockSize)
        return false;
    m_workspace.moreBlocks.resize(m_workspace.moreBlocks.size() - kBlockSize);
    if (!m_modeMenus.n128Bytes1)
        pellam::setExtensionMode(m_workspace, ExtensionMode::Bytes256);
    SyncModeMenus(m_modeMenus, m_workspace);
    return true;
}

void EditorSession::applyChecksums(bool autoChecksum) {
    ApplyAutoChecksums(m_workspace.image, autoChecksum);
    applyBlockChecksums(m_workspace.moreBlocks, autoChecksum);
}

bool EditorSession::beginPageSwitch(bool autoChecksum) {
    const bool fitted = writePendingBlock1(autoChecksum);
    m_pageState.block1RebuildFlag = 0;
    return fitted;
}

EditorSession::CellCommit EditorSession::commitCellText(std::size_t offset, std::string_view text) {
    CellCommit commit;
    const auto value = parseHexNumber(text);
    if (!value || offset >= gridLength()) {
        commit.message = invalidIntegerMessage(std::string("0x").append(text));
        return commit;
    }
    commit.ok = true;
    commit.value = static_cast<Byte>(*value & 0xFF);
    if (offset < kImageSize)
        m_workspace.image[offset] = commit.value;
    else
        m_workspace.moreBlocks[offset - kImageSize] = commit.value;
    return commit;
}

void EditorSession::afterGridKey(bool autoChecksum) {
    applyChecksums(autoChecksum);
    parseBlock1();
}

} // namespace pellam
