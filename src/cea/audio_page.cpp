#include "cea/audio_page.h"

#include "ui/user_interaction.h"

namespace pellam {

AudioPage::AudioPage(EdidWorkspace& workspace, DataBlockCollection& collection, UserInteraction& ui,
                     QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_collection(collection)
    , m_ui(ui) {
    setObjectName(QStringLiteral("sheetAudio"));
}

void AudioPage::decodePage() {}

} // namespace pellam
