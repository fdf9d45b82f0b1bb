// The HDMI video panel of "B1/视频", shown over the page: the HDMI_VIC
// codes (4K x 2K) and the 3D fields of the HDMI vendor-specific data block.
// It edits working copies; Save commits them into the block.
#pragma once

#include "core/cea/hdmi_vsdb_edits.h"
#include "gui/cea/block1_context.h"

#include <array>

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pellam {

class KeyValueList;

class HdmiVideoPanel : public QGroupBox {
    Q_OBJECT

public:
    HdmiVideoPanel(const Block1Context& context, QWidget* parent);

    // Shows the panel over the whole of `page` and fills it from the block.
    void showOver(QWidget* page);
    // Which of its fields the block's length and flags leave editable.
    void applyEnablingRules();

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
    void connectHandlers();
    bool filling() const { return m_context.filling(); }
    void tell(const std::string& message) { m_context.tell(this, message); }
    void fill();
    void refresh();
    void disable4K2KList(bool empty);
    // Each HDMI_VIC value's tooltip names its format.
    void showHdmiVicNames();
    void disableIndividualList(bool empty);
    // Shows what a typed length leaves for the other one.
    void showSplit(const HdmiVideoSplit& split, QLineEdit* typed);

    Block1Context m_context;
    DataBlockCollection& m_collection;
    // The working copies of the HDMI_VIC codes and the 3D entries.
    std::array<int, HdmiVsdb::kMaxHdmiVics> m_workingCodes{};
    std::array<ThreeDEntry, kMaxListedEntries> m_workingEntries{};
};

} // namespace pellam
