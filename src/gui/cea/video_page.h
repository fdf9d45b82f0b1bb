// "B1/视频": the video data block and header flags, the HDMI vendor-specific
// data block, and the panel of its HDMI video fields, each a group of its
// own. Every edit changes the data block collection only; the main window
// writes block 1 back when the page is left.
#pragma once

#include "gui/cea/block1_context.h"
#include "gui/cea/hdmi_video_panel.h"
#include "gui/cea/hdmi_vsdb_group.h"
#include "gui/cea/video_formats_group.h"
#include "gui/ui/editor_page.h"

class QLabel;

namespace pellam {

class VideoPage : public EditorPage {
    Q_OBJECT

public:
    VideoPage(SharedPageState& pageState, DataBlockCollection& collection, UserInteraction& ui,
              QWidget* parent = nullptr);

    void decodePage() override;
    // Applies a length still being typed; closes the panel without saving.
    void leavePage() override;

protected:
    // The HDMI video panel covers the page at any size.
    void resizeEvent(QResizeEvent* event) override;

public:

    // What block 1 holds when it cannot be edited; hidden otherwise.
    QLabel* lblBlock1Note;
    VideoFormatsGroup* formats;
    HdmiVsdbGroup* gbxVSDB;
    // Over the page while open.
    HdmiVideoPanel* gbxHDMIVideoPresent;

private:
    Block1Context m_context;
    QWidget* m_content = nullptr;
};

} // namespace pellam
