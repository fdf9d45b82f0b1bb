#pragma once

#include "edid/workspace.h"

#include <QMainWindow>

namespace pellam {

// The editor's main window. It owns the EDID workspace for the whole run.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);

    EdidWorkspace& workspace() { return m_workspace; }

private:
    EdidWorkspace m_workspace;
};

} // namespace pellam
