#include "gui/cea/extension_timings_page.h"

#include "gui/base_block/detailed_timing_editor.h"
#include "core/base_block/timing_candidates.h"
#include "core/cea/extension_timing_edits.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/control_family.h"
#include "gui/ui/user_interaction.h"
#include "gui/ui/widgets.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

DetailedTimingEditorNames blockOneTimingNames() {
    DetailedTimingEditorNames n;
    n.timingGroup = QStringLiteral("GroupBox16");
    n.timingGroupCaption = ExtensionTimingsPage::tr("Timing");
    n.stereoGroup = QStringLiteral("gbxStereo");
    n.stereoGroupCaption = ExtensionTimingsPage::tr("立体模式");
    n.syncGroup = QStringLiteral("GroupBox17");
    n.syncGroupCaption = ExtensionTimingsPage::tr("同步方案");
    n.pixelClock = QStringLiteral("ledPixelClock");
    n.pixelClockCaption = ExtensionTimingsPage::tr("Pixel Clock:   MHz");
    n.geometryPrefix = QStringLiteral("ledTiming");
    n.geometryCaptions = {
        ExtensionTimingsPage::tr("H Active Pixel: "), ExtensionTimingsPage::tr("H Blanking: "),
        ExtensionTimingsPage::tr("H Sync Offset: "),  ExtensionTimingsPage::tr("H Sync Width: "),
        ExtensionTimingsPage::tr("H Image Size: "),   ExtensionTimingsPage::tr("H Border: "),
        ExtensionTimingsPage::tr("V Active Line: "),  ExtensionTimingsPage::tr("V Blanking: "),
        ExtensionTimingsPage::tr("V Sync Offset: "),  ExtensionTimingsPage::tr("V Sync Width: "),
        ExtensionTimingsPage::tr("V Image Size: "),   ExtensionTimingsPage::tr("V Border: "),
    };
    n.interlaced = QStringLiteral("ckxInterlaced");
    n.interlacedCaption = ExtensionTimingsPage::tr("Interlaced");
    n.clockAndInterlaceInTimingGroup = false;
    n.stereoPrefix = QStringLiteral("rbnStereo");
    n.stereoCaptions = {
        QStringLiteral("None(Normal)"),
        ExtensionTimingsPage::tr("FS, R on Sync"),
        ExtensionTimingsPage::tr("2 way, R on even"),
        ExtensionTimingsPage::tr("FS,L on Sync"),
        ExtensionTimingsPage::tr("2 way , L on even"),
        ExtensionTimingsPage::tr("4 way"),
        ExtensionTimingsPage::tr("Side by side"),
    };
    n.syncPrefix = QStringLiteral("rbnAD");
    n.syncCaptions = {ExtensionTimingsPage::tr("Analog Composite"),
                      ExtensionTimingsPage::tr("Bipolar Analog Composite"),
                      ExtensionTimingsPage::tr("Digital Composite"),
                      ExtensionTimingsPage::tr("Digital Separate")};
    n.flag1 = QStringLiteral("ckxSerrate");
    n.flag1Caption = ExtensionTimingsPage::tr("Serrate");
    n.flag2 = QStringLiteral("ckxOnRGB");
    n.flag2Caption = QStringLiteral("onRGB");
    return n;
}

} // namespace

ExtensionTimingsPage::ExtensionTimingsPage(SharedPageState& pageState,
                                           DataBlockCollection& collection, UserInteraction& ui,
                                           QWidget* parent)
    : EditorPage(parent)
    , m_pageState(pageState)
    , m_collection(collection)
    , m_ui(ui) {
    setObjectName(QStringLiteral("sheetB1DetailTiming"));
    createControls();
    layOutControls();
}

void ExtensionTimingsPage::createControls() {
    lblBlock1Note = named(new QLabel(this), "lblBlock1Note");
    lblBlock1Note->hide();

    GroupBox2 = named(new QGroupBox(tr("选择描述"), this), "GroupBox2");
    lblDetailNo = named(new QLabel(tr("详细Timing描述"), GroupBox2), "lblDetailNo");
    ledDetailNo = named(new QLineEdit(GroupBox2), "ledDetailNo");
    lblDetailNo->setBuddy(ledDetailNo);
    cbxDetail = named(new QComboBox(GroupBox2), "cbxDetail");
    Label29 = named(new QLabel(tr("对应："), GroupBox2), "Label29");

    gbxTimingDescripter = named(new QGroupBox(tr("内容描述"), this), "gbxTimingDescripter");
    timingEditor = new DetailedTimingEditor(blockOneTimingNames(), m_pageState.pageFillGuard, m_ui,
                                            gbxTimingDescripter);
    timingEditor->setObjectName(QStringLiteral("timingEditor"));
    DetailedTimingEditor& e = *timingEditor;
    ledPixelClock = e.pixelClock;
    ckxInterlaced = e.interlaced;
    GroupBox16 = e.timingGroup;
    QLineEdit** geometry[] = {&ledTiming1, &ledTiming2,  &ledTiming3,  &ledTiming4,
                              &ledTiming5, &ledTiming6,  &ledTiming7,  &ledTiming8,
                              &ledTiming9, &ledTiming10, &ledTiming11, &ledTiming12};
    for (std::size_t i = 0; i < e.geometry.size(); ++i)
        *geometry[i] = e.geometry[i];
    gbxStereo = e.stereoGroup;
    QRadioButton** stereo[] = {&rbnStereo1, &rbnStereo2, &rbnStereo3, &rbnStereo4,
                               &rbnStereo5, &rbnStereo6, &rbnStereo7};
    for (std::size_t i = 0; i < e.stereo.size(); ++i)
        *stereo[i] = e.stereo[i];
    GroupBox17 = e.syncGroup;
    rbnAD1 = e.syncKind[0];
    rbnAD2 = e.syncKind[1];
    rbnAD3 = e.syncKind[2];
    rbnAD4 = e.syncKind[3];
    ckxSerrate = e.flag1;
    ckxOnRGB = e.flag2;

    GroupBox19 = named(new QGroupBox(tr("选择默认的Timing"), this), "GroupBox19");
    cbxTimingSelect_b1 = named(new QComboBox(GroupBox19), "cbxTimingSelect_b1");

    commitWhenFinished(ledDetailNo, this, [this] { ledDetailNoChange(); }, [this](const QString& text) {
        DataBlockCollection copy = m_collection;
        return QString::fromStdString(setTimingCountText(copy, text.toStdString()).message);
    });
    connect(cbxDetail, &QComboBox::currentIndexChanged, this,
            &ExtensionTimingsPage::cbxDetailChange);
    connect(cbxTimingSelect_b1, &QComboBox::activated, this,
            &ExtensionTimingsPage::cbxTimingSelect_b1Change);
    // The candidate a timing fits may change with every edit.
    connect(timingEditor, &DetailedTimingEditor::timingEdited, this,
            &ExtensionTimingsPage::showFitInWith);
}

void ExtensionTimingsPage::layOutControls() {
    ledDetailNo->setFixedWidth(40);
    cbxDetail->setMinimumWidth(130);
    auto* select = new QHBoxLayout(GroupBox2);
    select->addWidget(lblDetailNo);
    select->addWidget(ledDetailNo);
    select->addSpacing(16);
    select->addWidget(cbxDetail);
    select->addSpacing(16);
    select->addWidget(Label29, 1);

    cbxTimingSelect_b1->setMinimumWidth(220);
    auto* candidates = new QHBoxLayout(GroupBox19);
    candidates->addWidget(cbxTimingSelect_b1);

    const DetailedTimingEditor& e = *timingEditor;
    auto* clockRow = new QHBoxLayout;
    clockRow->addWidget(e.pixelClockLabel);
    clockRow->addWidget(ledPixelClock);
    clockRow->addSpacing(24);
    clockRow->addWidget(ckxInterlaced);
    clockRow->addStretch();
    auto* timingColumn = new QVBoxLayout;
    timingColumn->addLayout(clockRow);
    timingColumn->addWidget(GroupBox16);
    timingColumn->addStretch();
    auto* content = new QHBoxLayout(gbxTimingDescripter);
    content->addLayout(timingColumn, 1);
    content->addWidget(gbxStereo, 0, Qt::AlignTop);
    content->addWidget(GroupBox17, 0, Qt::AlignTop);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(GroupBox19);
    bottom->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addWidget(lblBlock1Note);
    page->addWidget(GroupBox2);
    page->addWidget(gbxTimingDescripter);
    page->addLayout(bottom);
    page->addStretch();
}

void ExtensionTimingsPage::fillTimingCandidates() {
    PageFillGuard guard(m_pageState.pageFillGuard);
    DetailedTimingEditor::fillTimingCandidates(cbxTimingSelect_b1);
}

int ExtensionTimingsPage::count() const {
    if (!m_collection.editable)
        return 0;
    return std::clamp(m_collection.timings.count, 0, kMaxExtensionTimings);
}

void ExtensionTimingsPage::decodePage() {
    lblBlock1Note->setVisible(!m_collection.editable);
    lblBlock1Note->setText(QString::fromStdString(m_collection.note));
    {
        PageFillGuard guard(m_pageState.pageFillGuard);
        ledDetailNo->setText(QString::number(count()));
    }
    lblDetailNo->setEnabled(m_collection.editable);
    ledDetailNo->setEnabled(m_collection.editable);
    timingEnable(count() > 0);
    showDescriptorList();
}

void ExtensionTimingsPage::timingEnable(bool on) {
    on = on && m_collection.editable;
    cbxDetail->setEnabled(on);
    timingEditor->setControlsEnabled(on);
    cbxTimingSelect_b1->setEnabled(on);
}

void ExtensionTimingsPage::showDescriptorList() {
    const int n = count();
    {
        PageFillGuard guard(m_pageState.pageFillGuard);
        cbxDetail->clear();
        for (int k = 1; k <= n; ++k)
            cbxDetail->addItem(tr("Descriptor #%1").arg(k));
        cbxDetail->setCurrentIndex(n > 0 ? 0 : -1);
    }
    if (n > 0) {
        descriptorDecode(0);
        return;
    }
    m_shownIndex = -1;
    timingEditor->clearTiming();
    Label29->setText(QString::fromLatin1(fitInWithText(DetailedTiming{}).c_str()));
}

void ExtensionTimingsPage::descriptorDecode(int index) {
    // What is still being typed belongs to the descriptor shown until now.
    timingEditor->finishTyping();
    if (index < 0 || index >= count())
        return;
    m_shownIndex = index;
    timingEditor->setTiming(&m_collection.timings.timings[static_cast<std::size_t>(index)]);
    showFitInWith();
    timingEditor->showTiming();
}

void ExtensionTimingsPage::showFitInWith() {
    if (const DetailedTiming* timing = timingEditor->timing())
        Label29->setText(QString::fromLatin1(fitInWithText(*timing).c_str()));
}

void ExtensionTimingsPage::ledDetailNoChange() {
    if (filling() || !m_collection.editable)
        return;
    const TimingCountEdit edit =
        setTimingCountText(m_collection, ledDetailNo->text().toStdString());
    switch (edit.outcome) {
    case TimingCountOutcome::Empty:
        timingEnable(false);
        return;
    case TimingCountOutcome::Refused:
    case TimingCountOutcome::NoSpace: {
        m_ui.showMessage(this, QString::fromStdString(edit.message));
        PageFillGuard guard(m_pageState.pageFillGuard);
        ledDetailNo->setText(QString::number(count()));
        timingEnable(count() > 0);
        return;
    }
    case TimingCountOutcome::Done:
        break;
    }
    timingEnable(count() > 0);
    showDescriptorList();
}

void ExtensionTimingsPage::cbxDetailChange() {
    if (filling())
        return;
    descriptorDecode(cbxDetail->currentIndex());
}

void ExtensionTimingsPage::cbxTimingSelect_b1Change(int index) {
    if (filling() || !m_collection.editable || index < 1 || index > kTimingCandidateCount ||
        m_shownIndex < 0 || m_shownIndex >= count())
        return;
    applyTimingCandidate(m_collection.timings.timings[static_cast<std::size_t>(m_shownIndex)],
                         index - 1);
    descriptorDecode(m_shownIndex);
}

} // namespace pellam
