// "B1/详细Timing": the detailed timings of block 1. Edits change the timing
// records of the data block collection at once; block 1 is written back when
// the page is left.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/session/editor_state.h"
#include "gui/ui/editor_page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace pellam {

class DetailedTimingEditor;
class UserInteraction;

class ExtensionTimingsPage : public EditorPage {
    Q_OBJECT

public:
    ExtensionTimingsPage(SharedPageState& pageState, DataBlockCollection& collection,
                         UserInteraction& ui, QWidget* parent = nullptr);

    // Shows the count and the first timing. Changes nothing in the collection.
    void decodePage() override;

    // Fills the timing candidate list: "None" and the candidate names.
    void fillTimingCandidates();

    // Shows timing `index` (0-based) and makes it the one the controls edit.
    void descriptorDecode(int index);
    // Opens or closes the controls of the selected timing (not the count).
    void timingEnable(bool on);

    // Says what block 1 holds when it cannot be edited here.
    QLabel* lblBlock1Note = nullptr;

    QGroupBox* GroupBox2 = nullptr;
    QLabel* lblDetailNo = nullptr; // the caption of ledDetailNo
    QLineEdit* ledDetailNo = nullptr;
    QComboBox* cbxDetail = nullptr;
    QLabel* Label29 = nullptr;

    QGroupBox* gbxTimingDescripter = nullptr;
    DetailedTimingEditor* timingEditor = nullptr;
    QLineEdit* ledPixelClock = nullptr;
    QCheckBox* ckxInterlaced = nullptr;
    QGroupBox* GroupBox16 = nullptr;
    QLineEdit* ledTiming1 = nullptr;
    QLineEdit* ledTiming2 = nullptr;
    QLineEdit* ledTiming3 = nullptr;
    QLineEdit* ledTiming4 = nullptr;
    QLineEdit* ledTiming5 = nullptr;
    QLineEdit* ledTiming6 = nullptr;
    QLineEdit* ledTiming7 = nullptr;
    QLineEdit* ledTiming8 = nullptr;
    QLineEdit* ledTiming9 = nullptr;
    QLineEdit* ledTiming10 = nullptr;
    QLineEdit* ledTiming11 = nullptr;
    QLineEdit* ledTiming12 = nullptr;
    QGroupBox* gbxStereo = nullptr;
    QRadioButton* rbnStereo1 = nullptr;
    QRadioButton* rbnStereo2 = nullptr;
    QRadioButton* rbnStereo3 = nullptr;
    QRadioButton* rbnStereo4 = nullptr;
    QRadioButton* rbnStereo5 = nullptr;
    QRadioButton* rbnStereo6 = nullptr;
    QRadioButton* rbnStereo7 = nullptr;
    QGroupBox* GroupBox17 = nullptr;
    QRadioButton* rbnAD1 = nullptr;
    QRadioButton* rbnAD2 = nullptr;
    QRadioButton* rbnAD3 = nullptr;
    QRadioButton* rbnAD4 = nullptr;
    QCheckBox* ckxSerrate = nullptr;
    QCheckBox* ckxOnRGB = nullptr;

    QGroupBox* GroupBox19 = nullptr;
    QComboBox* cbxTimingSelect_b1 = nullptr;

public slots:
    void ledDetailNoChange();
    void cbxDetailChange();
    void cbxTimingSelect_b1Change(int index);

private:
    void createControls();
    void layOutControls();
    bool filling() const { return m_pageState.pageFillGuard != 0; }
    int count() const;
    // Refills the descriptor list up to the count and shows the first
    // timing, or empties the controls when there is none.
    void showDescriptorList();
    void showFitInWith();

    SharedPageState& m_pageState;
    DataBlockCollection& m_collection;
    UserInteraction& m_ui;
    int m_shownIndex = -1; // the timing the controls edit, -1 none
};

} // namespace pellam
