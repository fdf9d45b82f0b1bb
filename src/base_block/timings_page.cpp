#include "base_block/timings_page.h"

#include "ui/user_interaction.h"

namespace pellam {

TimingsPage::TimingsPage(EdidWorkspace& workspace, UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_ui(ui) {
    setObjectName(QStringLiteral("TabSheet4"));
}

void TimingsPage::decodePage() {}

} // namespace pellam
