// "B0/Timing详情": the four 18-byte descriptors of block 0, one at a time.
#pragma once

#include "edid/workspace.h"
#include "ui/editor_page.h"

namespace pellam {

class UserInteraction;

class DescriptorPage : public EditorPage {
    Q_OBJECT

public:
    DescriptorPage(EdidWorkspace& workspace, UserInteraction& ui, QWidget* parent = nullptr);

    void decodePage() override;

    // Fills the timing candidate list: "None" and the candidate names.
    void fillTimingCandidates();

private:
    EdidWorkspace& m_workspace;
    UserInteraction& m_ui;
};

} // namespace pellam
