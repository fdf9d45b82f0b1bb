// "B1/扩展": the video capability and colorimetry data blocks.
#pragma once

#include "cea/data_block_collection.h"
#include "edid/workspace.h"
#include "ui/editor_page.h"

namespace pellam {

class UserInteraction;

class ExtendedBlocksPage : public EditorPage {
    Q_OBJECT

public:
    ExtendedBlocksPage(EdidWorkspace& workspace, DataBlockCollection& collection,
                       UserInteraction& ui, QWidget* parent = nullptr);

    void decodePage() override;

private:
    EdidWorkspace& m_workspace;
    DataBlockCollection& m_collection;
    UserInteraction& m_ui;
};

} // namespace pellam
