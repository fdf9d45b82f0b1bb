#include "cea/video_page.h"

#include "ui/user_interaction.h"

namespace pellam {

VideoPage::VideoPage(EdidWorkspace& workspace, DataBlockCollection& collection, UserInteraction& ui,
                     QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_collection(collection)
    , m_ui(ui) {
    setObjectName(QStringLiteral("sheetHDMIVideo"));
}

void VideoPage::decodePage() {}

} // namespace pellam
