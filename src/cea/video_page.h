// "B1/视频": the video data block, the block-1 header flags and the HDMI
// vendor-specific data block.
#pragma once

#include "cea/data_block_collection.h"
#include "edid/workspace.h"
#include "ui/editor_page.h"

namespace pellam {

class UserInteraction;

class VideoPage : public EditorPage {
    Q_OBJECT

public:
    VideoPage(EdidWorkspace& workspace, DataBlockCollection& collection, UserInteraction& ui,
              QWidget* parent = nullptr);

    void decodePage() override;

private:
    EdidWorkspace& m_workspace;
    DataBlockCollection& m_collection;
    UserInteraction& m_ui;
};

} // namespace pellam
