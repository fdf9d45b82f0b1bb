#include "gui/base_block/detailed_timing_editor.h"

#include "core/base_block/detailed_timing_edit.h"
#include "core/base_block/timing_candidates.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/control_family.h"
#include "gui/ui/user_interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

constexpr int kEditWidth = 56;

QString numbered(const QString& prefix, std::size_t index) {
    return prefix + QString::number(index + 1);
}

} // namespace

DetailedTimingEditor::DetailedTimingEditor(const DetailedTimingEditorNames& names,
                                           std::int32_t& pageFillGuard, UserInteraction& ui,
                                           QWidget* parent)
    : QObject(parent)
    , m_pageFillGuard(pageFillGuard)
    , m_ui(ui)
    , m_parent(parent) {
    const auto group = [parent](const QString& name, const QString& caption) {
        auto* box = new QGroupBox(caption, parent);
        box->setObjectName(name);
        return box;
    };
    timingGroup = group(names.timingGroup, names.timingGroupCaption);
    stereoGroup = group(names.stereoGroup, names.stereoGroupCaption);
    syncGroup = group(names.syncGroup, names.syncGroupCaption);

    QWidget* clockParent = names.clockAndInterlaceInTimingGroup ? timingGroup : parent;
    pixelClockLabel = new QLabel(names.pixelClockCaption, clockParent);
    pixelClock = new QLineEdit(names.pixelClockText, clockParent);
    pixelClock->setObjectName(names.pixelClock);
    pixelClock->setToolTip(names.pixelClockHint);
    pixelClock->setFixedWidth(kEditWidth);
    pixelClockLabel->setBuddy(pixelClock);
    interlaced = new QCheckBox(names.interlacedCaption, clockParent);
    interlaced->setObjectName(names.interlaced);

    auto* timingLayout = new QGridLayout(timingGroup);
    timingLayout->setHorizontalSpacing(6);
    timingLayout->setVerticalSpacing(4);
    int firstGeometryRow = 0;
    if (names.clockAndInterlaceInTimingGroup) {
        timingLayout->addWidget(pixelClockLabel, 0, 0);
        timingLayout->addWidget(pixelClock, 0, 1);
        timingLayout->addWidget(interlaced, 0, 3, 1, 2);
        firstGeometryRow = 1;
    }
    // Horizontal fields 1..6 in the left column, vertical 7..12 in the right.
    constexpr int kPerColumn = DetailedTiming::kGeometryFieldCount / 2;
    for (std::size_t i = 0; i < geometry.size(); ++i) {
        geometryLabels[i] = new QLabel(names.geometryCaptions[i], timingGroup);
        geometry[i] = new QLineEdit(timingGroup);
        geometry[i]->setObjectName(numbered(names.geometryPrefix, i));
        geometry[i]->setToolTip(names.geometryHints[i]);
        geometry[i]->setFixedWidth(kEditWidth);
        geometryLabels[i]->setBuddy(geometry[i]);
        const int row = firstGeometryRow + static_cast<int>(i) % kPerColumn;
        const int column = static_cast<int>(i) < kPerColumn ? 0 : 3;
        timingLayout->addWidget(geometryLabels[i], row, column);
        timingLayout->addWidget(geometry[i], row, column + 1);
        const int field = static_cast<int>(i) + 1;
        commitWhenFinished(geometry[i], this, [this, field] { geometryChange(field); },
                           [field](const QString& text) {
                               return QString::fromStdString(
                                   parseGeometryText(text.toStdString(), field).message);
                           });
    }
    timingLayout->setColumnMinimumWidth(2, 12);
    timingLayout->setColumnStretch(2, 1);

    auto* stereoLayout = new QVBoxLayout(stereoGroup);
    stereoLayout->setSpacing(2);
    for (std::size_t i = 0; i < stereo.size(); ++i) {
        stereo[i] = new QRadioButton(names.stereoCaptions[i], stereoGroup);
        stereo[i]->setObjectName(numbered(names.stereoPrefix, i));
        stereoLayout->addWidget(stereo[i]);
        connect(stereo[i], &QRadioButton::clicked, this, &DetailedTimingEditor::stereoClick);
    }
    stereoLayout->addStretch();

    auto* syncLayout = new QVBoxLayout(syncGroup);
    syncLayout->setSpacing(2);
    for (std::size_t i = 0; i < syncKind.size(); ++i) {
        syncKind[i] = new QRadioButton(names.syncCaptions[i], syncGroup);
        syncKind[i]->setObjectName(numbered(names.syncPrefix, i));
        syncLayout->addWidget(syncKind[i]);
        connect(syncKind[i], &QRadioButton::clicked, this, &DetailedTimingEditor::syncKindClick);
    }
    syncLayout->addSpacing(4);
    flag1 = new QCheckBox(names.flag1Caption, syncGroup);
    flag1->setObjectName(names.flag1);
    flag2 = new QCheckBox(names.flag2Caption, syncGroup);
    flag2->setObjectName(names.flag2);
    syncLayout->addWidget(flag1);
    syncLayout->addWidget(flag2);
    // Room for the longest caption the sync kinds give the flag boxes.
    for (QCheckBox* box : {flag1, flag2}) {
        const QString caption = box->text();
        box->setText(tr("V Polarity (Positive)"));
        box->setMinimumWidth(box->sizeHint().width());
        box->setText(caption);
    }
    syncLayout->addStretch();

    commitWhenFinished(pixelClock, this, [this] { pixelClockChange(); }, [](const QString& text) {
        return QString::fromStdString(parsePixelClockText(text.toStdString()).message);
    });
    connect(interlaced, &QCheckBox::clicked, this, &DetailedTimingEditor::interlacedClick);
    connect(flag1, &QCheckBox::clicked, this, &DetailedTimingEditor::flag1Click);
    connect(flag2, &QCheckBox::clicked, this, &DetailedTimingEditor::flag2Click);
    connect(qApp, &QApplication::focusChanged, this, &DetailedTimingEditor::focusChanged);
    // A menu opened from the menu bar takes the keyboard without moving the
    // focus; its command may replace or re-read the image, so the edits are
    // given up before it runs.
    for (QWidget* control : controls())
        control->installEventFilter(this);
}

std::vector<QWidget*> DetailedTimingEditor::controls() const {
    std::vector<QWidget*> all{pixelClock, interlaced, flag1, flag2};
    all.insert(all.end(), geometry.begin(), geometry.end());
    all.insert(all.end(), stereo.begin(), stereo.end());
    all.insert(all.end(), syncKind.begin(), syncKind.end());
    return all;
}

bool DetailedTimingEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) {
        // A menu takes the keyboard without ending the edit: take its text first.
        finishTyping();
        emit areaLeft();
    }
    return QObject::eventFilter(watched, event);
}

void DetailedTimingEditor::finishTyping() {
    std::vector<QLineEdit*> edits{pixelClock};
    edits.insert(edits.end(), geometry.begin(), geometry.end());
    for (QLineEdit* edit : edits)
        if (edit->isModified())
            emit edit->editingFinished();
}

void DetailedTimingEditor::fillTimingCandidates(QComboBox* box) {
    box->clear();
    box->addItem(tr("None"));
    for (int row = 0; row < kTimingCandidateCount; ++row) {
        const std::string_view name = timingCandidateName(row);
        box->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
}

void DetailedTimingEditor::showTiming() {
    if (!m_timing)
        return;
    const DetailedTiming& t = *m_timing;
    PageFillGuard guard(m_pageFillGuard);
    pixelClock->setText(QString::fromStdString(formatPixelClock(t.pixelClock)));
    for (std::size_t i = 0; i < geometry.size(); ++i)
        geometry[i]->setText(QString::number(t.geometry(static_cast<int>(i) + 1)));
    checkOnly(stereo, static_cast<int>(t.stereoMode) - 1);
    checkOnly(syncKind, static_cast<int>(t.syncKind));
    interlaced->setChecked(t.interlaced != 0);
    showSyncFlags(t.syncKind, t.syncFlags);
}

void DetailedTimingEditor::clearTiming() {
    m_timing = nullptr;
    PageFillGuard guard(m_pageFillGuard);
    pixelClock->clear();
    for (QLineEdit* edit : geometry)
        edit->clear();
    checkOnly(stereo, -1);
    checkOnly(syncKind, -1);
    interlaced->setChecked(false);
    showSyncFlags(0, 0);
}

void DetailedTimingEditor::setControlsEnabled(bool enabled) {
    for (QWidget* control : controls())
        control->setEnabled(enabled);
}

void DetailedTimingEditor::showSyncFlags(unsigned kind, unsigned flags) {
    const SyncFlagDisplay display = syncFlagDisplay(kind, flags);
    const auto text = [](std::string_view s) {
        return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
    };
    flag1->setText(text(display.flag1Caption));
    flag2->setText(text(display.flag2Caption));
    flag1->setChecked(display.flag1Checked);
    flag2->setChecked(display.flag2Checked);
}

int DetailedTimingEditor::areaOf(const QWidget* widget) const {
    if (!widget)
        return 0;
    if (widget == pixelClock || widget == interlaced || timingGroup->isAncestorOf(widget))
        return 1;
    if (stereoGroup->isAncestorOf(widget))
        return 2;
    if (syncGroup->isAncestorOf(widget))
        return 3;
    return 0;
}

void DetailedTimingEditor::focusChanged(QWidget* old, QWidget* now) {
    const int left = areaOf(old);
    if (left != 0 && left != areaOf(now))
        emit areaLeft();
}

void DetailedTimingEditor::pixelClockChange() {
    if (ignoring())
        return;
    const TimingInput<float> input = parsePixelClockText(pixelClock->text().toStdString());
    if (!input.value) {
        refuse(input.message);
        return;
    }
    m_timing->pixelClock = *input.value;
    edited();
}

void DetailedTimingEditor::geometryChange(int field) {
    if (ignoring() || field < 1 || field > DetailedTiming::kGeometryFieldCount)
        return;
    const TimingInput<std::uint16_t> input = parseGeometryText(
        geometry[static_cast<std::size_t>(field - 1)]->text().toStdString(), field);
    if (!input.value) {
        refuse(input.message);
        return;
    }
    m_timing->geometry(field) = *input.value;
    edited();
}

void DetailedTimingEditor::refuse(const std::string& message) {
    // The fields show the timing as it stands again; the message says why.
    showTiming();
    m_ui.showMessage(m_parent, QString::fromStdString(message));
}

void DetailedTimingEditor::interlacedClick() {
    if (ignoring())
        return;
    m_timing->interlaced = interlaced->isChecked() ? 1 : 0;
    edited();
}

void DetailedTimingEditor::stereoClick() {
    const int index = indexOfSender(stereo, sender());
    if (ignoring() || index < 0 || !stereo[static_cast<std::size_t>(index)]->isChecked())
        return;
    m_timing->stereoMode = static_cast<std::uint16_t>(index + 1);
    edited();
}

void DetailedTimingEditor::syncKindClick() {
    const int index = indexOfSender(syncKind, sender());
    if (ignoring() || index < 0 || !syncKind[static_cast<std::size_t>(index)]->isChecked())
        return;
    m_timing->syncKind = static_cast<std::uint16_t>(index);
    showSyncFlags(m_timing->syncKind, m_timing->syncFlags);
    edited();
}

void DetailedTimingEditor::flag1Click() {
    if (ignoring())
        return;
    m_timing->syncFlags = static_cast<std::uint16_t>(flag1->isChecked() ? m_timing->syncFlags | 2u
                                                                        : m_timing->syncFlags & 1u);
    edited();
}

void DetailedTimingEditor::flag2Click() {
    if (ignoring())
        return;
    m_timing->syncFlags = static_cast<std::uint16_t>(flag2->isChecked() ? m_timing->syncFlags | 1u
                                                                        : m_timing->syncFlags & 2u);
    edited();
}

} // namespace pellam
