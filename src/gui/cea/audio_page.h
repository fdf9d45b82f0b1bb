// "B1/音频": the audio data block (short audio descriptors) and the speaker
// allocation block of block 1. Edits change the data block collection; block
// 1 is written back when the page is left.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/session/editor_state.h"
#include "gui/ui/editor_page.h"

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;

namespace pellam {

class UserInteraction;

class AudioPage : public EditorPage {
    Q_OBJECT

public:
    AudioPage(SharedPageState& pageState, DataBlockCollection& collection, UserInteraction& ui,
              QWidget* parent = nullptr);

    void decodePage() override;

    // Fills the descriptor controls from descriptor `index` (0-based).
    void sadDecode(int index);
    // Enables and labels the third-byte controls for a format code.
    void formatAdjust(int formatCode);
    // Enables or disables the descriptor controls and the count edit.
    void audioEnable(bool on);
    // Shows the speaker allocation block.
    void speakerDecode();

    // Says what block 1 holds when it cannot be edited here.
    QLabel* lblBlock1Note;

    QLabel* lblAudioNo;
    QLineEdit* ledAudioNo;
    QComboBox* cbxAudio;

    QGroupBox* GroupBox36;
    QRadioButton* RadioButton_AudFom1;
    QRadioButton* RadioButton_AudFom2;
    QRadioButton* RadioButton_AudFom3;
    QRadioButton* RadioButton_AudFom4;
    QRadioButton* RadioButton_AudFom5;
    QRadioButton* RadioButton_AudFom6;
    QRadioButton* RadioButton_AudFom7;
    QRadioButton* RadioButton_AudFom8;
    QRadioButton* RadioButton_AudFom9;
    QRadioButton* RadioButton_AudFom10;
    QRadioButton* RadioButton_AudFom11;
    QRadioButton* RadioButton_AudFom12;
    QRadioButton* RadioButton_AudFom13;
    QRadioButton* RadioButton_AudFom14;
    QRadioButton* RadioButton_AudFom15;

    QGroupBox* GroupBox37;
    QCheckBox* CheckBox_SR1;
    QCheckBox* CheckBox_SR2;
    QCheckBox* CheckBox_SR3;
    QCheckBox* CheckBox_SR4;
    QCheckBox* CheckBox_SR5;
    QCheckBox* CheckBox_SR6;
    QCheckBox* CheckBox_SR7;

    QGroupBox* gbxSampleSize;
    QCheckBox* CheckBox_SampSize1;
    QCheckBox* CheckBox_SampSize2;
    QCheckBox* CheckBox_SampSize3;

    QScrollBar* slbMaxChannel;
    QLabel* Label26;
    QLabel* lblMaxBitRate; // the label of ledMaxBitRate, which follows the format
    QLineEdit* ledMaxBitRate;

    QGroupBox* GroupBox13;
    QCheckBox* CheckBox_SpeakerEN;
    QCheckBox* CheckBox_Speaker0;
    QCheckBox* CheckBox_Speaker1;
    QCheckBox* CheckBox_Speaker2;
    QCheckBox* CheckBox_Speaker3;
    QCheckBox* CheckBox_Speaker4;
    QCheckBox* CheckBox_Speaker5;
    QCheckBox* CheckBox_Speaker6;

    // Controls without behaviour, present but kept hidden.
    QFrame* Panel7;
    QLabel* Label27;
    QLabel* Label28;
    QScrollBar* ScrollBar2;

public slots:
    void ledAudioNoChange();
    void cbxAudioChange();
    void RadioButton_AudFomClick();
    void CheckBox_SRClick();
    void CheckBox_SampSizeClick();
    void slbMaxChannelChange();
    void ledMaxBitRateChange();
    void CheckBox_SpeakerENClick();
    void CheckBox_SpeakerClick();

private:
    void createControls();
    void layOutControls();
    bool filling() const { return m_pageState.pageFillGuard != 0; }
    int selectedSadIndex() const;
    // The selected descriptor, or none when the block holds none.
    ShortAudioDescriptor* selectedSad();
    // Refills the descriptor list and shows the first descriptor.
    void showSadList();
    void showSad(const ShortAudioDescriptor& sad);
    void updateEnabledStates();

    SharedPageState& m_pageState;
    DataBlockCollection& m_collection;
    UserInteraction& m_ui;
    bool m_audioOn = true;     // the count edit is open (basic audio is set)
    int m_shownFormatCode = 0; // format code of the descriptor shown
    bool m_sampleSizeBlue = false;

    std::array<QRadioButton*, 15> m_formats{};
    std::array<QCheckBox*, 7> m_sampleRates{};
    std::array<QCheckBox*, 3> m_sampleSizes{};
    std::array<QCheckBox*, 7> m_speakers{};
};

} // namespace pellam
