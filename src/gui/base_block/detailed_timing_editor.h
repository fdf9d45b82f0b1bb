// The controls that edit one DetailedTiming record: pixel clock, the twelve
// geometry fields, interlace, stereo mode, sync kind and the two sync flags.
// Both detailed timing pages use it, each with its own control names and
// captions. The editor changes the record at every accepted edit and says
// so; where the record goes from there is the page's business.
#pragma once

#include "core/base_block/detailed_timing.h"

#include <array>
#include <cstdint>
#include <vector>

#include <QObject>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace pellam {

class UserInteraction;

// Object names, captions and hints of the editor's controls. Numbered
// families take their number (from 1) after the prefix.
struct DetailedTimingEditorNames {
    QString timingGroup, timingGroupCaption;
    QString stereoGroup, stereoGroupCaption;
    QString syncGroup, syncGroupCaption;

    QString pixelClock, pixelClockCaption, pixelClockHint, pixelClockText;
    QString geometryPrefix;
    std::array<QString, DetailedTiming::kGeometryFieldCount> geometryCaptions, geometryHints;
    QString interlaced, interlacedCaption;
    // When false, the clock edit (with its label) and the interlace box are
    // created without a place; the page lays them out itself.
    bool clockAndInterlaceInTimingGroup = true;

    QString stereoPrefix;
    std::array<QString, 7> stereoCaptions; // stereo codes 1..7
    QString syncPrefix;
    std::array<QString, 4> syncCaptions; // sync kinds 0..3
    // Flag box 1 is byte 17 bit 2, flag box 2 byte 17 bit 1. Their captions
    // show until the first record is shown; then they follow the sync kind.
    QString flag1, flag1Caption;
    QString flag2, flag2Caption;
};

class DetailedTimingEditor : public QObject {
    Q_OBJECT

public:
    // The controls are created with parent as their parent. The handlers do
    // nothing while pageFillGuard is set (the guard shared by the pages that
    // fill their controls from a model); showTiming() sets it while it fills.
    DetailedTimingEditor(const DetailedTimingEditorNames& names, std::int32_t& pageFillGuard,
                         UserInteraction& ui, QWidget* parent);

    // The record the handlers change; nullptr: edits change nothing.
    void setTiming(DetailedTiming* timing) { m_timing = timing; }
    DetailedTiming* timing() const { return m_timing; }

    // Fills every control from the record (under the page-fill guard).
    void showTiming();
    // Empties every control (under the page-fill guard) and edits no record:
    // for a page that has no timing to show.
    void clearTiming();

    // Enables or disables every control of the editor (not the groups).
    void setControlsEnabled(bool enabled);

    // Captions and states of the two flag boxes for a sync kind and flags.
    void showSyncFlags(unsigned syncKind, unsigned syncFlags);

    // "None" followed by the names of the timing candidates.
    static void fillTimingCandidates(QComboBox* box);

    // Which of the three areas (1 timing, 2 stereo, 3 sync) holds the
    // widget; 0 for none. The clock edit and the interlace box belong to the
    // timing area wherever they are placed.
    int areaOf(const QWidget* widget) const;

    QGroupBox* timingGroup = nullptr;
    QGroupBox* stereoGroup = nullptr;
    QGroupBox* syncGroup = nullptr;
    QLabel* pixelClockLabel = nullptr;
    QLineEdit* pixelClock = nullptr;
    std::array<QLabel*, DetailedTiming::kGeometryFieldCount> geometryLabels{};
    std::array<QLineEdit*, DetailedTiming::kGeometryFieldCount> geometry{}; // fields 1..12
    QCheckBox* interlaced = nullptr;
    std::array<QRadioButton*, 7> stereo{};   // stereo codes 1..7
    std::array<QRadioButton*, 4> syncKind{}; // sync kinds 0..3
    QCheckBox* flag1 = nullptr;
    QCheckBox* flag2 = nullptr;

signals:
    // A handler changed the record.
    void timingEdited();
    // The focus went from one of the three areas to somewhere outside it, or
    // a menu took the keyboard from one of the controls.
    void areaLeft();

public slots:
    void pixelClockChange();
    void refuse(const std::string& message);
    // Takes the text of a field still being typed, as when the focus leaves it.
    void finishTyping();
    // One handler for the twelve geometry edits; the sender gives the field.
    void geometryChange(int field);
    void interlacedClick();
    void stereoClick();
    void syncKindClick();
    void flag1Click();
    void flag2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<QWidget*> controls() const;
    void focusChanged(QWidget* old, QWidget* now);
    bool ignoring() const { return m_pageFillGuard != 0 || m_timing == nullptr; }
    void edited() { emit timingEdited(); }

    std::int32_t& m_pageFillGuard;
    UserInteraction& m_ui;
    QWidget* m_parent;
    DetailedTiming* m_timing = nullptr;
};

} // namespace pellam
