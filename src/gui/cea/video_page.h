// "B1/视频": the video data block, the block-1 header flags and the HDMI
// vendor-specific data block, with the panel of its HDMI video fields.
// Every edit changes the data block collection only; the main window writes
// block 1 back when the page is left.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/cea/hdmi_vsdb_edits.h"
#include "core/session/editor_state.h"
#include "gui/ui/editor_page.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pellam {

class KeyValueList;
class UserInteraction;

class VideoPage : public EditorPage {
    Q_OBJECT

public:
    VideoPage(SharedPageState& pageState, DataBlockCollection& collection, UserInteraction& ui,
              QWidget* parent = nullptr);

    void decodePage() override;
    // Applies a length still being typed; closes the panel without saving.
    void leavePage() override;

    // What block 1 holds when it cannot be edited; hidden otherwise.
    QLabel* lblBlock1Note;

    QGroupBox* gbxDTV;
    QCheckBox* ckxUnderscan;
    QCheckBox* ckxBasicAudio;
    QCheckBox* ckxYCbCr444;
    QCheckBox* ckxYCbCr422;
    QGroupBox* gbxMisc;
    QLineEdit* edtCEA_ver;
    QGroupBox* GroupBox22;
    QLineEdit* edtNativeFormat;
    QGroupBox* gbxVideoBlock;
    QListWidget* lbxVideoDefault;
    QListWidget* clxVideoSupport; // check marks: the native flags
    QPushButton* btnVideoAdd;
    QPushButton* btnVideoDelete;

    QGroupBox* gbxVSDB;
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

    // The HDMI video panel, over the page while open.
    QGroupBox* gbxHDMIVideoPresent;
    QLabel* Label16;
    KeyValueList* vledtHVP_4K2KVIC;
    QLineEdit* ledtHVP_HDMIVICLen;
    QCheckBox* cbHVP_3Dpresent;
    QLineEdit* ledtHVP_3DMultiPresent;
    QLineEdit* ledtHVP_HDMI3DLen;
    QLabel* Label15;
    QListWidget* clxHVP_3DStructure;
    QLabel* Label17;
    QListWidget* clxHVP_3DMask;
    QLabel* Label18;
    KeyValueList* vledtHVP_IndividualVIC;
    QPushButton* btHDMIVideoPresent_Save;
    QPushButton* btHDMIVideoPresent_Cancel;

public slots:
    void ckxUnderscanClick();
    void ckxBasicAudioClick();
    void ckxYCbCr444Click();
    void ckxYCbCr422Click();
    void edtNativeFormatChange();
    void edtCEA_verChange();
    void clxVideoSupportClickCheck(QListWidgetItem* item);
    void btnVideoAddClick();
    void btnVideoDeleteClick();

    void ckxVSDBEnableClick();
    void edtPhyAddr_Change();
    void ckxVSDBExtClick();
    void ledVSDBLenChange();
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
    void btHDMIVideoPresent_SaveClick();
    void btHDMIVideoPresent_CancelClick();
    void cbHVP_3DpresentClick();
    void ledtHVP_3DMultiPresentChange();
    void ledtHVP_HDMIVICLenChange();
    void ledtHVP_HDMI3DLenChange();
    void clxHVP_3DStructureClickCheck(QListWidgetItem* item);
    void vledtHVP_4K2KVICValidate();
    void vledtHVP_IndividualVICValidate();

private:
    void createVideoControls(QWidget* content);
    QGroupBox* createVsdbGroup(QWidget* content);
    void createPanel();
    void connectHandlers();

    bool filling() const { return m_pageState.pageFillGuard != 0; }
    void tell(const std::string& message);
    void tell(const FieldEdit& edit) { tell(edit.message); }
    void setBlockEditable(bool editable);

    // The VSDB group: enabling rules, then the controls from the record.
    void decodeVsdbGroup();
    void applyEnablingRules();
    // After an edit of the block's presence, length or flags: the HDMI video
    // lengths are fitted to the block, then the group decoded.
    void vsdbGroupEdited();
    void storeFlag(bool& field, const QCheckBox* box);
    void storeLatency(int& field, const QLineEdit* edit);

    void showPanel();
    void fillPanel();
    void refreshPanel();
    void disable4K2KList(bool empty);
    void disableIndividualList(bool empty);

    SharedPageState& m_pageState;
    DataBlockCollection& m_collection;
    UserInteraction& m_ui;
    QWidget* m_content = nullptr;
    std::array<QLineEdit*, 4> m_physicalAddress{};
    std::array<QCheckBox*, 4> m_contentTypes{};
    // The panel's working copies of the HDMI_VIC codes and the 3D entries.
    std::array<int, HdmiVsdb::kMaxHdmiVics> m_workingCodes{};
    std::array<ThreeDEntry, kMaxListedEntries> m_workingEntries{};
};

} // namespace pellam
