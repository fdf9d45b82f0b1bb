#include "cea/extension_timings_page.h"

#include "ui/user_interaction.h"

namespace pellam {

ExtensionTimingsPage::ExtensionTimingsPage(EdidWorkspace& workspace,
                                           DataBlockCollection& collection, UserInteraction& ui,
                                           QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_collection(collection)
    , m_ui(ui) {
    setObjectName(QStringLiteral("sheetB1DetailTiming"));
}

void ExtensionTimingsPage::decodePage() {}

void ExtensionTimingsPage::fillTimingCandidates() {}

} // namespace pellam
