#include "cea/extended_blocks_page.h"

#include "ui/user_interaction.h"

namespace pellam {

ExtendedBlocksPage::ExtendedBlocksPage(EdidWorkspace& workspace, DataBlockCollection& collection,
                                       UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_collection(collection)
    , m_ui(ui) {
    setObjectName(QStringLiteral("sheetB1ExtendedDB"));
}

void ExtendedBlocksPage::decodePage() {}

} // namespace pellam
