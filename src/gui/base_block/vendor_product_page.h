// "B0/信息": vendor, product and basic display parameters (bytes 0..24 of
// block 0). Each control writes its field into the image as soon as it
// changes; decodePage() fills the controls from the image.
#pragma once

#include "core/edid/workspace.h"
#include "core/session/editor_state.h"
#include "gui/ui/editor_page.h"

#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QToolButton;

namespace pellam {

class UserInteraction;

// Two arrow buttons that step a position, without a text of their own: the
// serial number edit beside them shows what they change.
class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    int position() const { return m_position; }
    void setPosition(int position);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    QToolButton* upButton;
    QToolButton* downButton;

signals:
    // After the position has moved one step (it stays at the range's ends).
    void clicked(bool up);

private:
    void step(bool up);

    int m_position = 0;
    int m_minimum = -32768;
    int m_maximum = 32767;
};

class VendorProductPage : public EditorPage {
    Q_OBJECT

public:
    VendorProductPage(EdidWorkspace& workspace, SharedPageState& pageState, UserInteraction& ui, QWidget* parent = nullptr);

    void decodePage() override;

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* Edt_MfgID;
    QLineEdit* Edt_PrdCd;
    QLineEdit* Edt_SN;
    UpDown* UpDown1;
    QScrollBar* ScrollBar_Week;
    QLabel* Label_Week;
    QScrollBar* ScrollBar_Year;
    QLabel* Label_Year;

    QGroupBox* GroupBox3;
    QLineEdit* Edit_Ver;
    QLineEdit* Edit_Rev;

    QGroupBox* GroupBox4;
    QRadioButton* RadioButton_Analog;
    QRadioButton* RadioButton_Digital;
    QCheckBox* CheckBox1;
    QGroupBox* GroupBox5;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QCheckBox* CheckBox2;
    QGroupBox* GroupBox6;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QCheckBox* CheckBox5;
    QCheckBox* CheckBox6;
    QGroupBox* GroupBox53;
    QComboBox* ComboBox1;
    QGroupBox* GroupBox54;
    QComboBox* ComboBox2;

    QGroupBox* GroupBox7;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label_Hcm;
    QLabel* Label_Vcm;
    QLabel* Label_cm;
    QLabel* Label_cm2;
    QScrollBar* ScrollBar_Hsize;
    QScrollBar* ScrollBar_Vsize;

    QGroupBox* GroupBox8;
    QCheckBox* CheckBox_STby;
    QCheckBox* CheckBox_Susp;
    QCheckBox* CheckBox_Active;
    QCheckBox* CheckBox_sRGB;
    QCheckBox* CheckBox_GTF;
    QCheckBox* CheckBox_Pref;

    QGroupBox* GroupBox9;
    QRadioButton* RadioButton_Mono;
    QRadioButton* RadioButton_RGB;
    QRadioButton* RadioButton_Undef;
    QRadioButton* RadioButton_NonRGB;

    QGroupBox* GroupBox10;
    QLabel* Label8;
    QLabel* Label_Gamma;
    QScrollBar* ScrollBar_Gamma;

public slots:
    void Edt_MfgIDOnChange();
    void Edt_PrdCdChange();
    void Edt_SNChange();
    void UpDown1Click(bool up);
    void ScrollBar_WeekChange();
    void ScrollBar_YearChange();
    void Edit_RevChange();
    void ScrollBar_HsizeChange();
    void ScrollBar_VsizeChange();
    void ScrollBar_GammaChange();
    void RadioButton_InputClick();
    void RadioButton_VideoInputClick();
    void CheckBox_VideoInputClick();
    void CheckBox_FeatureClick();
    void RadioButton_FeatureClick();

private:
    void createIdentityGroups();
    void createVideoInputGroup();
    void createDisplayGroups();
    void connectHandlers();

    // The three decoders, in the order the page runs them.
    void decodeIdentity();
    void decodeVideoInputDefinition();
    void decodeFeatures();

    bool decoding() const;
    void setTextQuietly(QLineEdit* edit, const QString& text);
    void showSerialNumber(std::uint32_t value);
    void showScreenSize();
    void showVideoInputGroups();
    void applyFeatureCaptions();
    void encodeVideoInputByte();
    void encodeFeatureByte();
    // A finished edit that is refused: the message once, the stored value shown again.
    void refuse(QLineEdit* edit, const std::string& message);
    bool displayPort() const { return m_workspace.displayPortMode != 0; }

    EdidWorkspace& m_workspace;
    SharedPageState& m_pageState;
    UserInteraction& m_ui;
};

} // namespace pellam
