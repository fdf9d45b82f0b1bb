// "B1/详细Timing": the detailed timings of block 1.
#pragma once

#include "cea/data_block_collection.h"
#include "edid/workspace.h"
#include "ui/editor_page.h"

namespace pellam {

class UserInteraction;

class ExtensionTimingsPage : public EditorPage {
    Q_OBJECT

public:
    ExtensionTimingsPage(EdidWorkspace& workspace, DataBlockCollection& collection,
                         UserInteraction& ui, QWidget* parent = nullptr);

    void decodePage() override;

    // Fills the timing candidate list: "None" and the candidate names.
    void fillTimingCandidates();

private:
    EdidWorkspace& m_workspace;
    DataBlockCollection& m_collection;
    UserInteraction& m_ui;
};

} // namespace pellam
