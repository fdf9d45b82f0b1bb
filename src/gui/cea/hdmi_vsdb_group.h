// The HDMI vendor-specific data block on "B1/视频": presence, physical
// address, extension and length, deep colour, Max_TMDS_Clock, latencies and
// content types. Its HDMI_Video_present box and View button open the HDMI
// video panel (hdmi_video_panel.h).
#pragma once

#include "core/cea/video_block_edits.h"
#include "gui/cea/block1_context.h"
#include "gui/ui/committed_edit.h"

#include <array>

#include <QGroupBox>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace pellam {

class HdmiVsdbGroup : public QGroupBox {
    Q_OBJECT

public:
    HdmiVsdbGroup(const Block1Context& context, QWidget* parent);

    // Enabling rules, then the controls from the record.
    void decode();
    // Applies what is still being typed.
    void leave() { finishEditing(this); }

    QCheckBox* ckxVSDBEnable;
    QGroupBox* GroupBox26;
    QLineEdit* edtPhyAddr_1;
    QLineEdit* edtPhyAddr_2;
    QLineEdit* edtPhyAddr_3;
    QLineEdit* edtPhyAddr_4;
    QGroupBox* GroupBox30;
    QCheckBox* ckxVSDBExt;
    QLineEdit* ledVSDBLen;
    QCheckBox* ckxSupport_AI;
    QCheckBox* ckxDC_48bit;
    QCheckBox* ckxDC_36bit;
    QCheckBox* ckxDC_30bit;
    QCheckBox* ckxDC_Y444;
    QCheckBox* ckxDVI_Dual;
    QLineEdit* ledVSDB_MaxTMDSClk;
    QCheckBox* ckxLatencyFieldsPresent;
    QLineEdit* ledLatency_Video;
    QLineEdit* ledLatency_Audio;
    QCheckBox* ckx_I_LatencyFieldsPresent;
    QLineEdit* led_I_Latency_Video;
    QLineEdit* led_I_Latency_Audio;
    QCheckBox* cbxVSDB_CNC0;
    QCheckBox* cbxVSDB_CNC1;
    QCheckBox* cbxVSDB_CNC2;
    QCheckBox* cbxVSDB_CNC3;
    QGroupBox* GroupBox44;
    QCheckBox* cbHDMIVideoPresent_Enable;
    QPushButton* btHDMIVideoPresent_View;

signals:
    // The user asked to see the HDMI video fields.
    void panelRequested();
    // The lengths or flags that the panel's fields depend on changed.
    void layoutChanged();

public slots:
    void ckxVSDBEnableClick();
    void edtPhyAddr_Change();
    void ckxVSDBExtClick();
    void ledVSDBLenExit();
    void ckxSupport_AIClick();
    void ckxDC_30bitClick();
    void ckxDC_36bitClick();
    void ckxDC_48bitClick();
    void ckxDC_Y444Click();
    void ckxDVI_DualClick();
    void ledVSDB_MaxTMDSClkChange();
    void ckxLatencyFieldsPresentClick();
    void ledLatency_VideoChange();
    void ledLatency_AudioChange();
    void ckx_I_LatencyFieldsPresentClick();
    void led_I_Latency_VideoChange();
    void led_I_Latency_AudioChange();
    void cbxVSDB_CNCClick();
    void cbHDMIVideoPresent_EnableClick();
    void btHDMIVideoPresent_ViewClick();

private:
    void connectHandlers();
    bool filling() const { return m_context.filling(); }
    void tell(const std::string& message) { m_context.tell(this, message); }
    void applyEnablingRules();
    // After an edit of the block's presence, length or flags: the HDMI video
    // lengths are fitted to the block, then the group decoded.
    void edited();
    void storeFlag(bool& field, const QCheckBox* box);
    void storeLatency(int& field, const QLineEdit* edit);
    void physicalAddressDigitEdited(int index);
    // Says why an edit was refused (the group showing the block again) or
    // what the taken edit has to say.
    void refuseOrTake(const FieldEdit& edit);

    Block1Context m_context;
    DataBlockCollection& m_collection;
    std::array<QLineEdit*, 4> m_physicalAddress{};
    std::array<QCheckBox*, 4> m_contentTypes{};
};

} // namespace pellam
