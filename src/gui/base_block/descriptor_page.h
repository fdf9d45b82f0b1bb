// "B0/Timing详情": the four 18-byte descriptors of block 0, one at a time. A
// detailed timing is edited in Panel1 and written when the focus leaves its
// group; a display descriptor is edited in Panel2 and written when its edit
// is left or one of its buttons is clicked.
#pragma once

#include "core/base_block/detailed_timing.h"
#include "core/base_block/display_descriptor.h"
#include "core/edid/workspace.h"
#include "core/session/editor_state.h"
#include "gui/ui/editor_page.h"

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace pellam {

class DetailedTimingEditor;
class UserInteraction;

class DescriptorPage : public EditorPage {
    Q_OBJECT

public:
    DescriptorPage(EdidWorkspace& workspace, SharedPageState& pageState, UserInteraction& ui, QWidget* parent = nullptr);

    // Opening the page: the selected descriptor (1 when the page is opened)
    // is checked and shown. Edits not written yet are dropped, as the image
    // may have been replaced.
    void decodePage() override;
    // Writes what the editors still hold.
    void leavePage() override;
    void commitPending() override { writePending(); }

    // Fills the timing candidate list: "None" and the candidate names.
    void fillTimingCandidates();

    // The records of the four slots; one means something only while its slot
    // holds a detailed timing.
    const BaseTimingList& baseTimings() const { return m_baseTimings; }

    // Slot selection.
    QGroupBox* GroupBox23 = nullptr;
    QRadioButton* RadioButton_Block1 = nullptr;
    QRadioButton* RadioButton_Block2 = nullptr;
    QRadioButton* RadioButton_Block3 = nullptr;
    QRadioButton* RadioButton_Block4 = nullptr;
    QLabel* Label_Warning1 = nullptr;
    QGroupBox* GroupBox24 = nullptr;

    // Detailed timing editor.
    QWidget* Panel1 = nullptr;
    DetailedTimingEditor* timingEditor = nullptr;
    QGroupBox* GroupBox25 = nullptr;
    QLineEdit* LEdit_Pxl = nullptr;
    QLineEdit* led_b0Timing1 = nullptr;
    QLineEdit* led_b0Timing2 = nullptr;
    QLineEdit* led_b0Timing3 = nullptr;
    QLineEdit* led_b0Timing4 = nullptr;
    QLineEdit* led_b0Timing5 = nullptr;
    QLineEdit* led_b0Timing6 = nullptr;
    QLineEdit* led_b0Timing7 = nullptr;
    QLineEdit* led_b0Timing8 = nullptr;
    QLineEdit* led_b0Timing9 = nullptr;
    QLineEdit* led_b0Timing10 = nullptr;
    QLineEdit* led_b0Timing11 = nullptr;
    QLineEdit* led_b0Timing12 = nullptr;
    QCheckBox* CheckBox_Int = nullptr;
    QGroupBox* GroupBox27 = nullptr;
    QRadioButton* rbn_b0Stereo1 = nullptr;
    QRadioButton* rbn_b0Stereo2 = nullptr;
    QRadioButton* rbn_b0Stereo3 = nullptr;
    QRadioButton* rbn_b0Stereo4 = nullptr;
    QRadioButton* rbn_b0Stereo5 = nullptr;
    QRadioButton* rbn_b0Stereo6 = nullptr;
    QRadioButton* rbn_b0Stereo7 = nullptr;
    QGroupBox* GroupBox28 = nullptr;
    QRadioButton* rbn_b0AD1 = nullptr;
    QRadioButton* rbn_b0AD2 = nullptr;
    QRadioButton* rbn_b0AD3 = nullptr;
    QRadioButton* rbn_b0AD4 = nullptr;
    QCheckBox* CheckBox_Serrate = nullptr;
    QCheckBox* CheckBox_OnRGB = nullptr;
    QGroupBox* GroupBox18 = nullptr;
    QComboBox* cbxTimingSelect = nullptr;

    // Display descriptor editor.
    QWidget* Panel2 = nullptr;
    QGroupBox* GroupBox29 = nullptr;
    QRadioButton* RadioButton_DesSN = nullptr;
    QRadioButton* RadioButton_DesASC = nullptr;
    QRadioButton* RadioButton_DesRang = nullptr;
    QRadioButton* RadioButton_DesName = nullptr;
    QRadioButton* RadioButton_AddColor = nullptr;
    QRadioButton* RadioButton_AddTiming = nullptr;
    QRadioButton* RadioButton_Unused = nullptr;
    QRadioButton* RadioButton_Dummy = nullptr;
    QRadioButton* RadioButton_ManuDef = nullptr;
    QWidget* Panel3 = nullptr;
    QGroupBox* GroupBox31 = nullptr;
    QLabel* LEdit_DTMonitorLabel = nullptr;
    QLineEdit* LEdit_DTMonitor = nullptr;
    QWidget* Panel4 = nullptr;
    QGroupBox* GroupBox32 = nullptr;
    QLineEdit* ledLimit1 = nullptr;
    QLineEdit* ledLimit2 = nullptr;
    QLineEdit* ledLimit3 = nullptr;
    QLineEdit* ledLimit4 = nullptr;
    QLineEdit* ledLimit5 = nullptr;
    QCheckBox* CheckBox_GTF2 = nullptr;
    QLineEdit* LEdit_2GTF1 = nullptr;
    QLineEdit* LEdit_2GTF2 = nullptr;
    QLineEdit* LEdit_2GTF3 = nullptr;
    QLineEdit* LEdit_2GTF4 = nullptr;
    QLineEdit* LEdit_2GTF5 = nullptr;

public slots:
    // One handler for the four slot buttons; the sender gives the slot.
    void RadioButton_BlockClick();
    // One handler for the four kind buttons; the sender gives the tag.
    void RadioButton_DesClick();
    void CheckBox_GTF2Click();
    void cbxTimingSelectChange(int index);
    // Leaving the text edit, a range edit or the secondary GTF box.
    void LEdit_DTMonitorExit();
    void ledLimitExit();
    // Leaving a group of the detailed timing editor: the record is written
    // into the slot it was read from, if it was edited.
    void writeTimingBack();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createSlotSelection();
    void createTimingPanel();
    void createDescriptorPanel();
    QWidget* createTextPanel();
    QWidget* createRangePanel();

    int selectedSlot() const;
    // Runs the page decode of the selected slot.
    void decodeSelectedSlot();
    void showDisplayDescriptor(DtdBytes slot, DescriptorKind kind);
    void showRangeLimits(DtdBytes slot);
    void clearDescriptorEditors();
    // Writes the edits not written yet (before another slot or page is shown).
    void writePending();
    // The slot shown in Panel2, if it is still selected and still holds a
    // descriptor of the kind it was shown as.
    std::optional<DtdSlot> shownDescriptor();
    // Writes the range edits into the shown slot; false when nothing was
    // written (the reason shown).
    bool writeRangeLimits(bool secondaryGtf, bool rewriteGtfBytes = false);

    EdidWorkspace& m_workspace;
    SharedPageState& m_pageState;
    UserInteraction& m_ui;
    BaseTimingList m_baseTimings{};

    std::array<QRadioButton*, kDescriptorSlotCount> m_slotButtons{};
    std::array<QRadioButton*, 9> m_kindButtons{};
    std::array<QLineEdit*, 5> m_limitEdits{};
    std::array<QLineEdit*, 5> m_gtfEdits{};

    // The slot whose record the timing editor edits (0: none), and whether
    // the record was edited since it was read.
    int m_timingSlot = 0;
    bool m_timingEdited = false;
    // The slot shown in Panel2 (0: none) and its kind when it was shown.
    int m_descriptorSlot = 0;
    DescriptorKind m_descriptorKind = DescriptorKind::Malformed;
    bool m_rangeEdited = false;
    bool m_writing = false;
};

} // namespace pellam
