#include "gui/analyser/analysis_page.h"

#include "gui/analyser/capability_dialog.h"
#include "core/analyser/report.h"
#include "core/cea/extension_block.h"
#include "core/ddc/eeprom_workflow.h"
#include "core/session/editor_session.h"
#include "gui/ui/user_interaction.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellam {

AnalysisPage::AnalysisPage(EditorSession& session, UserInteraction& ui, TfrmCDF& declarationDialog,
                           QWidget* parent)
    : EditorPage(parent)
    , m_session(session)
    , m_ui(ui)
    , m_declarationDialog(declarationDialog) {
    setObjectName(QStringLiteral("TabSheet2"));

    GroupBox15 = new QGroupBox(QStringLiteral("ATC "), this);
    GroupBox15->setObjectName(QStringLiteral("GroupBox15"));
    btnAnalysis = new QPushButton(tr("分析"), GroupBox15);
    btnAnalysis->setObjectName(QStringLiteral("btnAnalysis"));
    rbnDDC = new QRadioButton(tr("Source from DDC"), GroupBox15);
    rbnDDC->setObjectName(QStringLiteral("rbnDDC"));
    rbnFile = new QRadioButton(tr("Source from File"), GroupBox15);
    rbnFile->setObjectName(QStringLiteral("rbnFile"));
    rbnCurrent = new QRadioButton(tr("Current Source"), GroupBox15);
    rbnCurrent->setObjectName(QStringLiteral("rbnCurrent"));
    rbnCurrent->setChecked(true);
    auto* controls = new QHBoxLayout(GroupBox15);
    controls->addWidget(btnAnalysis);
    controls->addSpacing(16);
    controls->addWidget(rbnDDC);
    controls->addWidget(rbnFile);
    controls->addWidget(rbnCurrent);
    controls->addStretch();

    GroupBox21 = new QGroupBox(tr("Test Log"), this);
    GroupBox21->setObjectName(QStringLiteral("GroupBox21"));
    MemoLog = new QPlainTextEdit(GroupBox21);
    MemoLog->setObjectName(QStringLiteral("MemoLog"));
    MemoLog->setReadOnly(true);
    MemoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* log = new QVBoxLayout(GroupBox21);
    log->addWidget(MemoLog);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox15);
    layout->addWidget(GroupBox21, 1);

    connect(btnAnalysis, &QPushButton::clicked, this, &AnalysisPage::btnAnalysisClick);
}

QStringList AnalysisPage::logLines() const {
    const QString text = MemoLog->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void AnalysisPage::btnAnalysisClick() {
    // Every byte of the EDID being analysed. The rules read the decoded
    // block 1 of that EDID: the editor's own for the image, a fresh one for
    // a file or the sink.
    EdidBytes bytes = m_session.imageBytes();
    DataBlockCollection fileModel;
    const DataBlockCollection* model = &m_session.collection();
    if (rbnDDC->isChecked()) {
        // A sink that does not answer leaves nothing to analyse.
        OpenTransfer open(m_session.ddc());
        if (!open.ready()) {
            m_ui.showMessage(this, QString::fromStdString(open.problem()));
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        TransferObserver unobserved;
        const EepromReadResult read = readEeprom(open.transfer(), unobserved);
        open.close();
        QApplication::restoreOverrideCursor();
        if (read.status != EepromReadResult::Status::Complete) {
            m_ui.showMessage(this,
                             QString::fromStdString(read.message) + tr("\nNothing was analysed."));
            return;
        }
        bytes.assign(read.bytes.begin(), read.bytes.end());
        model = &fileModel;
    } else if (rbnFile->isChecked()) {
        const QString path =
            m_ui.openFileName(this, QString::fromLatin1(kOpenDialogFilter), QStringLiteral("bin"));
        // No file chosen: nothing to analyse (an earlier file is not taken again).
        if (path.isEmpty())
            return;
        const LoadResult read = readEdidAsRead(path.toStdString(), bytes);
        if (read.outcome != LoadResult::Outcome::Loaded) {
            m_ui.showMessage(this, QString::fromStdString(read.message));
            return;
        }
        model = &fileModel;
    }
    if (model == &fileModel) {
        EdidImage first{};
        std::copy_n(bytes.begin(), std::min(bytes.size(), first.size()), first.begin());
        parseExtensionBlock(first, fileModel);
    }

    m_declarationDialog.exec();
    if (m_declarationDialog.cancelFlag() != 0)
        return;

    const AnalyserReport report =
        writeAnalyserReport(bytes, m_declarationDialog.declaration(), *model);
    QStringList lines;
    for (const std::string& line : report.lines)
        lines << QString::fromStdString(line);
    MemoLog->setPlainText(lines.join(QLatin1Char('\n')));
}

} // namespace pellam
