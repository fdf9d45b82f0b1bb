// "B1/音频": the audio data block and the speaker allocation block.
#pragma once

#include "cea/data_block_collection.h"
#include "edid/workspace.h"
#include "ui/editor_page.h"

namespace pellam {

class UserInteraction;

class AudioPage : public EditorPage {
    Q_OBJECT

public:
    AudioPage(EdidWorkspace& workspace, DataBlockCollection& collection, UserInteraction& ui,
              QWidget* parent = nullptr);

    void decodePage() override;

private:
    EdidWorkspace& m_workspace;
    DataBlockCollection& m_collection;
    UserInteraction& m_ui;
};

} // namespace pellam
