// "B0/信息": vendor, product and basic display parameters (bytes 0..24 of block 0).
#pragma once

#include "edid/workspace.h"
#include "ui/editor_page.h"

namespace pellam {

class UserInteraction;

class VendorProductPage : public EditorPage {
    Q_OBJECT

public:
    VendorProductPage(EdidWorkspace& workspace, UserInteraction& ui, QWidget* parent = nullptr);

    void decodePage() override;

private:
    EdidWorkspace& m_workspace;
    UserInteraction& m_ui;
};

} // namespace pellam
