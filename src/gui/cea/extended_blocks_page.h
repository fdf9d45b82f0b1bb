// "B1/扩展": the video capability and colorimetry data blocks (extended
// tags 0 and 5). Edits change the data block collection; block 1 is written
// back when the page is left.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/cea/data_block_edits.h"
#include "core/session/editor_state.h"
#include "gui/ui/editor_page.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace pellam {

class UserInteraction;

class ExtendedBlocksPage : public EditorPage {
    Q_OBJECT

public:
    ExtendedBlocksPage(SharedPageState& pageState, DataBlockCollection& collection,
                       UserInteraction& ui, QWidget* parent = nullptr);

    void decodePage() override;
    // The Enable boxes follow the blocks' presence, the other controls are
    // open exactly while their block is present.
    void enableStates();

    // Says what block 1 holds when it cannot be edited here.
    QLabel* lblBlock1Note;

    QGroupBox* GroupBox34;
    QCheckBox* CheckBox_B1Extended_En0;
    QGroupBox* GroupBox45;
    QRadioButton* RadioButton_QRSYCC0;
    QRadioButton* RadioButton_QRSYCC1;
    QGroupBox* GroupBox40;
    QRadioButton* RadioButton_QRS0;
    QRadioButton* RadioButton_QRS1;
    QGroupBox* GroupBox41;
    QRadioButton* RadioButton_PT0;
    QRadioButton* RadioButton_PT1;
    QRadioButton* RadioButton_PT2;
    QRadioButton* RadioButton_PT3;
    QGroupBox* GroupBox42;
    QRadioButton* RadioButton_IT0;
    QRadioButton* RadioButton_IT1;
    QRadioButton* RadioButton_IT2;
    QRadioButton* RadioButton_IT3;
    QGroupBox* GroupBox43;
    QRadioButton* RadioButton_CE0;
    QRadioButton* RadioButton_CE1;
    QRadioButton* RadioButton_CE2;
    QRadioButton* RadioButton_CE3;

    QGroupBox* GroupBox20;
    QCheckBox* CheckBox_B1Extended_En1;
    QGroupBox* GroupBox38;
    QCheckBox* CheckBox_Color0;
    QCheckBox* CheckBox_Color1;
    QCheckBox* CheckBox_Color2;
    QCheckBox* CheckBox_Color3;
    QCheckBox* CheckBox_Color4;
    QGroupBox* GroupBox39;
    QCheckBox* CheckBox_Meta0;
    QCheckBox* CheckBox_Meta1;
    QCheckBox* CheckBox_Meta2;
    QCheckBox* CheckBox_Meta3;

public slots:
    void CheckBox_B1Extended_EnClick();
    void RadioButton_QRSYCCClick();
    void RadioButton_QRSClick();
    void RadioButton_PTClick();
    void RadioButton_ITClick();
    void RadioButton_CEClick();
    void CheckBox_ColorClick();
    void CheckBox_MetaClick();

private:
    void createControls();
    bool filling() const { return m_pageState.pageFillGuard != 0; }
    // Stores the digit of the radio button that sent the click into its field.
    template <std::size_t N>
    void storeDigit(const std::array<QRadioButton*, N>& family, VideoCapabilityField field);

    SharedPageState& m_pageState;
    DataBlockCollection& m_collection;
    UserInteraction& m_ui;

    std::array<QCheckBox*, 2> m_enables{};
    std::array<QRadioButton*, 2> m_quantizationYcc{};
    std::array<QRadioButton*, 2> m_quantizationRgb{};
    std::array<QRadioButton*, 4> m_ptScan{};
    std::array<QRadioButton*, 4> m_itScan{};
    std::array<QRadioButton*, 4> m_ceScan{};
    std::array<QCheckBox*, 5> m_colorimetry{};
    std::array<QCheckBox*, 4> m_metadata{};
};

} // namespace pellam
