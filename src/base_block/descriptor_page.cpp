#include "base_block/descriptor_page.h"

#include "ui/user_interaction.h"

namespace pellam {

DescriptorPage::DescriptorPage(EdidWorkspace& workspace, UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_ui(ui) {
    setObjectName(QStringLiteral("TabSheet5"));
}

void DescriptorPage::decodePage() {}

void DescriptorPage::fillTimingCandidates() {}

} // namespace pellam
