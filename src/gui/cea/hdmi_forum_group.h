// The HDMI Forum VSDB or SCDB on "B1/HDMI 2.x": presence and kind, length,
// version, Max_TMDS_Character_Rate, every flag, FRL, VRR and DSC. A field
// the block's length does not reach is disabled until the length grows.
#pragma once

#include "core/cea/modern_block_edits.h"
#include "gui/cea/block1_context.h"

#include <functional>
#include <optional>
#include <vector>

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace pellam {

class HdmiForumGroup : public QGroupBox {
    Q_OBJECT

public:
    HdmiForumGroup(const Block1Context& context, QWidget* parent);

    // Enabling rules, then the controls from the first Forum block of block 1.
    void decode();

    QCheckBox* ckxHF_Enable;
    QRadioButton* rbnHF_VSDB;
    QRadioButton* rbnHF_SCDB;
    QLineEdit* ledHF_Len;
    QLineEdit* ledHF_Version;
    QLineEdit* ledHF_MaxTMDS;
    // Byte 6.
    QCheckBox* ckxHF_SCDC;
    QCheckBox* ckxHF_RR;
    QCheckBox* ckxHF_CableStatus;
    QCheckBox* ckxHF_CCBPCI;
    QCheckBox* ckxHF_LTE340Scramble;
    QCheckBox* ckxHF_IndependentView;
    QCheckBox* ckxHF_DualView;
    QCheckBox* ckxHF_3DOSD;
    // Byte 7.
    QComboBox* cbxHF_MaxFRL;
    QCheckBox* ckxHF_UHDVIC;
    QCheckBox* ckxHF_DC48_420;
    QCheckBox* ckxHF_DC36_420;
    QCheckBox* ckxHF_DC30_420;
    // Byte 8.
    QCheckBox* ckxHF_FAPAStart;
    QCheckBox* ckxHF_ALLM;
    QCheckBox* ckxHF_FVA;
    QCheckBox* ckxHF_CNMVRR;
    QCheckBox* ckxHF_CinemaVRR;
    QCheckBox* ckxHF_MDelta;
    QCheckBox* ckxHF_QMS;
    QCheckBox* ckxHF_FAPAEndExt;
    // Bytes 9 and 10.
    QLineEdit* ledHF_VRRMin;
    QLineEdit* ledHF_VRRMax;
    // Byte 11.
    QCheckBox* ckxHF_DSC12;
    QCheckBox* ckxHF_DSCNative420;
    QCheckBox* ckxHF_QMSTFRMax;
    QCheckBox* ckxHF_QMSTFRMin;
    QCheckBox* ckxHF_DSCAllBpp;
    QCheckBox* ckxHF_DSC16bpc;
    QCheckBox* ckxHF_DSC12bpc;
    QCheckBox* ckxHF_DSC10bpc;
    // Bytes 12 and 13.
    QComboBox* cbxHF_DSCMaxFRL;
    QComboBox* cbxHF_DSCMaxSlices;
    QLineEdit* ledHF_DSCChunk;
    QLabel* lblHF_DSCChunk; // the chunk size in bytes

public slots:
    void ckxHF_EnableClick();
    void rbnHF_KindClick();
    // The edits take their text when finished (Enter, or the focus leaving).
    void ledHF_LenExit();
    void ledHF_VersionChange();
    void ledHF_MaxTMDSChange();
    void ledHF_VRRMinChange();
    void ledHF_VRRMaxChange();
    void ledHF_DSCChunkChange();
    void cbxHF_MaxFRLChange();
    void cbxHF_DSCMaxFRLChange();
    void cbxHF_DSCMaxSlicesChange();
    // Every flag box: the field is the one the box stands for.
    void ckxHF_FlagClick();

private:
    // A flag box, its field and the block byte that holds it.
    struct Flag {
        QCheckBox* box;
        bool HdmiForumBlock::*field;
        int byteIndex;
    };

    QCheckBox* flag(const char* name, const char* caption, bool HdmiForumBlock::*field,
                    int byteIndex);
    void connectHandlers();
    bool filling() const { return m_context.filling(); }
    void tell(const std::string& message) { m_context.tell(this, message); }
    void applyEnablingRules(const std::optional<HdmiForumBlock>& block);
    // Changes the block through `change` and writes it back; a refusal of
    // either step is told, and the group shows the block as it is then.
    void edit(const std::function<FieldEdit(HdmiForumBlock&)>& change);
    // Takes the edit's text when finished; while typing, text `edit` would
    // refuse is marked.
    void commitNumber(QLineEdit* edit, void (HdmiForumGroup::*handler)(),
                      std::function<FieldEdit(HdmiForumBlock&, std::string_view)> field);
    void showChunkBytes(int code);

    Block1Context m_context;
    DataBlockCollection& m_collection;
    std::vector<Flag> m_flags;
};

} // namespace pellam
