// "B0/Timing": chromaticity, established and standard timings of block 0
// (bytes 25..53). Each control writes its field into the image as soon as it
// changes; decodePage() fills the controls from the image.
#pragma once

#include "core/base_block/colour_and_timings.h"
#include "core/edid/workspace.h"
#include "core/session/editor_state.h"
#include "gui/ui/editor_page.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace pellam {

class UserInteraction;

class TimingsPage : public EditorPage {
    Q_OBJECT

public:
    TimingsPage(EdidWorkspace& workspace, SharedPageState& pageState, UserInteraction& ui, QWidget* parent = nullptr);

    void decodePage() override;

    QGroupBox* GroupBox11;
    QLineEdit* LEdit_Rx;
    QLineEdit* LEdit_Ry;
    QLineEdit* LEdit_Gx;
    QLineEdit* LEdit_Gy;
    QLineEdit* LEdit_Bx;
    QLineEdit* LEdit_By;
    QLineEdit* LEdit_Wx;
    QLineEdit* LEdit_Wy;

    QGroupBox* GroupBox12;
    QCheckBox* CheckBox_T17;
    QCheckBox* CheckBox_T16;
    QCheckBox* CheckBox_T15;
    QCheckBox* CheckBox_T14;
    QCheckBox* CheckBox_T13;
    QCheckBox* CheckBox_T12;
    QCheckBox* CheckBox_T11;
    QCheckBox* CheckBox_T10;
    QCheckBox* CheckBox_T27;
    QCheckBox* CheckBox_T26;
    QCheckBox* CheckBox_T25;
    QCheckBox* CheckBox_T24;
    QCheckBox* CheckBox_T23;
    QCheckBox* CheckBox_T22;
    QCheckBox* CheckBox_T21;
    QCheckBox* CheckBox_T20;
    QCheckBox* CheckBox_T37;

    QGroupBox* GroupBox_SdtT1;
    QComboBox* cbxStdTiming;
    QCheckBox* CheckBox_SDT1;
    QLineEdit* LEdit_Hpxl1;
    QLineEdit* LEdit_Hz1;
    QGroupBox* GroupBox14;
    QRadioButton* RadioButton_SDT11; // 16:10
    QRadioButton* RadioButton_SDT13; // 4:3
    QRadioButton* RadioButton_SDT12; // 5:4
    QRadioButton* RadioButton_SDT14; // 16:9

public slots:
    // index: red x, red y, green x, green y, blue x, blue y, white x, white y.
    void LEdit_ChromaticityChange(int index);
    // box: position in the established-timing table (CheckBox_T17 first).
    void CheckBox_TimingClick(int box);
    void cbxStdTimingChange();
    void CheckBox_SDT1Click();
    void LEdit_Hpxl1Change();
    void LEdit_Hz1Change();
    // aspect: the code of bits 7-6 (0 16:10, 1 4:3, 2 5:4, 3 16:9).
    void RadioButton_SDTClick(int aspect);

private:
    void createChromaticityGroup();
    void createEstablishedGroup();
    void createStandardGroup();

    bool decoding() const;
    int selectedEntry() const;
    void decodeStandardTimingEntry();
    void enableEntryControls(bool enabled);
    void reportStandardTimingEdit(StandardTimingEdit result, const QString& text);

    std::array<QLineEdit*, kChromaticityCount> m_chromaticityEdits{};
    std::array<QCheckBox*, 17> m_establishedBoxes{};
    std::array<QRadioButton*, 4> m_aspectButtons{}; // by aspect code
    EdidWorkspace& m_workspace;
    SharedPageState& m_pageState;
    UserInteraction& m_ui;
};

} // namespace pellam
