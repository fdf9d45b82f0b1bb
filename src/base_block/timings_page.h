// "B0/Timing": chromaticity, established and standard timings of block 0.
#pragma once

#include "edid/workspace.h"
#include "ui/editor_page.h"

namespace pellam {

class UserInteraction;

class TimingsPage : public EditorPage {
    Q_OBJECT

public:
    TimingsPage(EdidWorkspace& workspace, UserInteraction& ui, QWidget* parent = nullptr);

    void decodePage() override;

private:
    EdidWorkspace& m_workspace;
    UserInteraction& m_ui;
};

} // namespace pellam
