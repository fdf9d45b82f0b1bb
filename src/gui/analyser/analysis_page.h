// "验证": runs the analyser over the image, a file or the sink and shows the
// report in the log.
#pragma once

#include "gui/ui/editor_page.h"

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace pellam {

class EditorSession;
class TfrmCDF;
class UserInteraction;

class AnalysisPage : public EditorPage {
    Q_OBJECT

public:
    AnalysisPage(EditorSession& session, UserInteraction& ui, TfrmCDF& declarationDialog,
                 QWidget* parent = nullptr);

    QGroupBox* GroupBox15;
    QPushButton* btnAnalysis;
    QRadioButton* rbnDDC;
    QRadioButton* rbnFile;
    QRadioButton* rbnCurrent;
    QGroupBox* GroupBox21;
    QPlainTextEdit* MemoLog;

    // The log's lines as the log save writes them.
    QStringList logLines() const;

public slots:
    void btnAnalysisClick();

private:
    EditorSession& m_session;
    UserInteraction& m_ui;
    TfrmCDF& m_declarationDialog;
};

} // namespace pellam
