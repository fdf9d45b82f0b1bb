// "B1/HDMI 2.x": the data blocks of an HDMI 2.x sink, each a group of its
// own: the HDMI Forum VSDB or SCDB, HDR static metadata, every colorimetry
// bit, and the YCbCr 4:2:0 map and formats. Every edit changes the data block
// collection only; the main window writes block 1 back when the page is left.
#pragma once

#include "gui/cea/block1_context.h"
#include "gui/cea/colorimetry_group.h"
#include "gui/cea/hdmi_forum_group.h"
#include "gui/cea/hdr_metadata_group.h"
#include "gui/cea/ycbcr420_group.h"
#include "gui/ui/editor_page.h"

class QLabel;

namespace pellam {

class Hdmi2Page : public EditorPage {
    Q_OBJECT

public:
    Hdmi2Page(SharedPageState& pageState, DataBlockCollection& collection, UserInteraction& ui,
              QWidget* parent = nullptr);

    void decodePage() override;

    // What block 1 holds when it cannot be edited; hidden otherwise.
    QLabel* lblBlock1Note;
    HdmiForumGroup* gbxHF;
    HdrMetadataGroup* gbxHDR;
    ColorimetryGroup* gbxCDB;
    Ycbcr420Group* gbxY420;

private:
    Block1Context m_context;
    QWidget* m_scroll = nullptr;
};

} // namespace pellam
