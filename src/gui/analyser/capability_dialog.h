// "能力声明表": the sink's capability declaration, asked before every analysis.
// Created once, so its controls keep their state between analyses.
#pragma once

#include "core/analyser/capability_declaration.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace pellam {

class UserInteraction;

class TfrmCDF : public QDialog {
    Q_OBJECT

public:
    explicit TfrmCDF(UserInteraction& ui, QWidget* parent = nullptr);

    // The values of the last OK (all zero before the first).
    const CapabilityDeclaration& declaration() const { return m_record; }
    // 1 after Cancel, 0 after OK; closing the window changes neither.
    int cancelFlag() const { return m_cancelFlag; }

    QGroupBox* gbCDF_General;
    QLineEdit* ckxCDF_General_ledOutputCount;
    QGroupBox* gbCDF_Video;
    QCheckBox* ckxCDF_Video_HDTV;
    QCheckBox* ckxCDF_Video_YUV_OnOther;
    QCheckBox* ckxCDF_Video_60Hz;
    QCheckBox* ckxCDF_Video_50Hz;
    QCheckBox* ckxCDF_Video_720p60_Other;
    QCheckBox* ckxCDF_Video_720p50_Other;
    QCheckBox* ckxCDF_Video_1080i60_Other;
    QCheckBox* ckxCDF_Video_1080i50_Other;
    QCheckBox* ckxCDF_Video_Sink3D;
    QCheckBox* ckxCDF_Video_Sink3D_Additional;
    QCheckBox* ckxCDF_Video_Sink4Kx2K;
    QGroupBox* gbCDF_Audio;
    QCheckBox* ckxCDF_Audio_SupportAI;
    QCheckBox* ckxCDF_Audio_BasicAudio;
    QGroupBox* gbCDF_CEC;
    QCheckBox* ckxCDF_CEC_RootDevice;
    // Not a declaration: whether the report adds its HDMI 2.x section.
    QGroupBox* gbCDF_HDMI2;
    QCheckBox* ckxCDF_HDMI2_Section;
    QPushButton* Button1;
    QPushButton* Button2;

public slots:
    void Button1Click();
    void Button2Click();

protected:
    // A click on the form's background confirms like OK.
    void mousePressEvent(QMouseEvent* event) override;

private:
    UserInteraction& m_ui;
    CapabilityDeclaration m_record;
    int m_cancelFlag = 0;
};

} // namespace pellam
