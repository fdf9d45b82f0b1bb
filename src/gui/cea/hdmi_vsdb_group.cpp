#include "gui/cea/hdmi_vsdb_group.h"

#include "core/cea/hdmi_vsdb_edits.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/control_family.h"
#include "gui/ui/widgets.h"

#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pellam {

HdmiVsdbGroup::HdmiVsdbGroup(const Block1Context& context, QWidget* parent)
    : QGroupBox(tr("供应商特定数据"), parent)
    , m_context(context)
    , m_collection(context.collection) {
    setObjectName(QStringLiteral("gbxVSDB"));
    QWidget* g = this;
    ckxVSDBEnable = checkBox(g, "ckxVSDBEnable", tr("Enabled"));

    GroupBox26 = groupBox(g, "GroupBox26", tr("物理地址(Hex)"));
    edtPhyAddr_1 = lineEdit(GroupBox26, "edtPhyAddr_1", 0, 26);
    edtPhyAddr_2 = lineEdit(GroupBox26, "edtPhyAddr_2", 0, 26);
    edtPhyAddr_3 = lineEdit(GroupBox26, "edtPhyAddr_3", 0, 26);
    edtPhyAddr_4 = lineEdit(GroupBox26, "edtPhyAddr_4", 0, 26);
    m_physicalAddress = {edtPhyAddr_1, edtPhyAddr_2, edtPhyAddr_3, edtPhyAddr_4};
    auto* address = new QHBoxLayout(GroupBox26);
    address->setContentsMargins(8, 2, 8, 4);
    for (QLineEdit* digit : m_physicalAddress) {
        digit->setAlignment(Qt::AlignCenter);
        address->addWidget(digit);
    }

    GroupBox30 = groupBox(g, "GroupBox30", tr("VSDB 拓展"));
    ckxVSDBExt = checkBox(GroupBox30, "ckxVSDBExt", tr("拓展打开"));
    ledVSDBLen = lineEdit(GroupBox30, "ledVSDBLen", 2, 34);
    auto* extension = new QHBoxLayout(GroupBox30);
    extension->setContentsMargins(8, 2, 8, 4);
    extension->addWidget(ckxVSDBExt);
    extension->addSpacing(8);
    extension->addLayout(labelled(GroupBox30, tr("长度"), ledVSDBLen));

    GroupBox44 = groupBox(g, "GroupBox44", QStringLiteral("HDMI_Video_Present"));
    cbHDMIVideoPresent_Enable = checkBox(GroupBox44, "cbHDMIVideoPresent_Enable", tr("Enable"));
    btHDMIVideoPresent_View = button(GroupBox44, "btHDMIVideoPresent_View", tr("View"));
    auto* hdmiVideo = new QHBoxLayout(GroupBox44);
    hdmiVideo->setContentsMargins(8, 2, 8, 4);
    hdmiVideo->addWidget(cbHDMIVideoPresent_Enable);
    hdmiVideo->addWidget(btHDMIVideoPresent_View);

    ckxSupport_AI = checkBox(g, "ckxSupport_AI", tr("Support AI"));
    ckxDC_48bit = checkBox(g, "ckxDC_48bit", QStringLiteral("DC_48bit"));
    ckxDC_36bit = checkBox(g, "ckxDC_36bit", QStringLiteral("DC_36bit"));
    ckxDC_30bit = checkBox(g, "ckxDC_30bit", QStringLiteral("DC_30bit"));
    ckxDC_Y444 = checkBox(g, "ckxDC_Y444", QStringLiteral("DC_Y444"));
    ckxDVI_Dual = checkBox(g, "ckxDVI_Dual", QStringLiteral("DVI_Dual"));
    ledVSDB_MaxTMDSClk = lineEdit(g, "ledVSDB_MaxTMDSClk", 0, 48);

    ckxLatencyFieldsPresent =
        checkBox(g, "ckxLatencyFieldsPresent", QStringLiteral("Latency_Fields_Present"));
    ledLatency_Video = lineEdit(g, "ledLatency_Video", 0, 52);
    ledLatency_Audio = lineEdit(g, "ledLatency_Audio", 0, 52);
    ckx_I_LatencyFieldsPresent =
        checkBox(g, "ckx_I_LatencyFieldsPresent", QStringLiteral("I_Latency_Fields_Present"));
    led_I_Latency_Video = lineEdit(g, "led_I_Latency_Video", 0, 52);
    led_I_Latency_Audio = lineEdit(g, "led_I_Latency_Audio", 0, 52);

    cbxVSDB_CNC0 = checkBox(g, "cbxVSDB_CNC0", QStringLiteral("CNC0"));
    cbxVSDB_CNC1 = checkBox(g, "cbxVSDB_CNC1", QStringLiteral("CNC1"));
    cbxVSDB_CNC2 = checkBox(g, "cbxVSDB_CNC2", QStringLiteral("CNC2"));
    cbxVSDB_CNC3 = checkBox(g, "cbxVSDB_CNC3", QStringLiteral("CNC3"));
    m_contentTypes = {cbxVSDB_CNC0, cbxVSDB_CNC1, cbxVSDB_CNC2, cbxVSDB_CNC3};
    const char* hints[] = {"Graphics(Text)", "Photo", "Cinema", "Game"};
    for (std::size_t i = 0; i < m_contentTypes.size(); ++i)
        m_contentTypes[i]->setToolTip(QString::fromLatin1(hints[i]));

    auto* first = new QHBoxLayout;
    first->addWidget(ckxVSDBEnable);
    first->addWidget(GroupBox26);
    first->addWidget(GroupBox30);
    first->addWidget(GroupBox44);
    first->addStretch();

    auto* flags = new QHBoxLayout;
    for (QCheckBox* box :
         {ckxSupport_AI, ckxDC_48bit, ckxDC_36bit, ckxDC_30bit, ckxDC_Y444, ckxDVI_Dual})
        flags->addWidget(box);
    flags->addSpacing(12);
    flags->addLayout(labelled(g, QStringLiteral("MaxTMDSClk(MHz)"), ledVSDB_MaxTMDSClk));
    flags->addStretch();

    auto* latency = new QGridLayout;
    latency->setHorizontalSpacing(10);
    latency->setVerticalSpacing(2);
    latency->addWidget(ckxLatencyFieldsPresent, 0, 0);
    latency->addLayout(labelled(g, QStringLiteral("Video(ms)"), ledLatency_Video), 0, 1);
    latency->addLayout(labelled(g, QStringLiteral("Audio(ms)"), ledLatency_Audio), 0, 2);
    latency->addWidget(ckx_I_LatencyFieldsPresent, 1, 0);
    latency->addLayout(labelled(g, QStringLiteral("Video(ms)"), led_I_Latency_Video), 1, 1);
    latency->addLayout(labelled(g, QStringLiteral("Audio(ms)"), led_I_Latency_Audio), 1, 2);
    latency->addWidget(cbxVSDB_CNC0, 0, 4);
    latency->addWidget(cbxVSDB_CNC1, 0, 5);
    latency->addWidget(cbxVSDB_CNC2, 1, 4);
    latency->addWidget(cbxVSDB_CNC3, 1, 5);
    latency->setColumnMinimumWidth(3, 16);
    latency->setColumnStretch(6, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 6);
    layout->setSpacing(4);
    layout->addLayout(first);
    layout->addLayout(flags);
    layout->addLayout(latency);

    connectHandlers();
}

void HdmiVsdbGroup::connectHandlers() {
    const auto onToggle = [this](QCheckBox* box, void (HdmiVsdbGroup::*handler)()) {
        connect(box, &QCheckBox::toggled, this, handler);
    };
    // Each edit is taken when it is finished (Enter or leaving the field).
    const auto onText = [this](QLineEdit* edit, void (HdmiVsdbGroup::*handler)()) {
        commitWhenFinished(edit, this, [this, handler] { (this->*handler)(); });
    };
    onToggle(ckxVSDBEnable, &HdmiVsdbGroup::ckxVSDBEnableClick);
    for (std::size_t i = 0; i < m_physicalAddress.size(); ++i)
        commitWhenFinished(m_physicalAddress[i], this, [this, i] { physicalAddressDigitEdited(int(i)); });
    onToggle(ckxVSDBExt, &HdmiVsdbGroup::ckxVSDBExtClick);
    onText(ledVSDBLen, &HdmiVsdbGroup::ledVSDBLenExit);
    onToggle(ckxSupport_AI, &HdmiVsdbGroup::ckxSupport_AIClick);
    onToggle(ckxDC_30bit, &HdmiVsdbGroup::ckxDC_30bitClick);
    onToggle(ckxDC_36bit, &HdmiVsdbGroup::ckxDC_36bitClick);
    onToggle(ckxDC_48bit, &HdmiVsdbGroup::ckxDC_48bitClick);
    onToggle(ckxDC_Y444, &HdmiVsdbGroup::ckxDC_Y444Click);
    onToggle(ckxDVI_Dual, &HdmiVsdbGroup::ckxDVI_DualClick);
    onText(ledVSDB_MaxTMDSClk, &HdmiVsdbGroup::ledVSDB_MaxTMDSClkChange);
    onToggle(ckxLatencyFieldsPresent, &HdmiVsdbGroup::ckxLatencyFieldsPresentClick);
    onText(ledLatency_Video, &HdmiVsdbGroup::ledLatency_VideoChange);
    onText(ledLatency_Audio, &HdmiVsdbGroup::ledLatency_AudioChange);
    onToggle(ckx_I_LatencyFieldsPresent, &HdmiVsdbGroup::ckx_I_LatencyFieldsPresentClick);
    onText(led_I_Latency_Video, &HdmiVsdbGroup::led_I_Latency_VideoChange);
    onText(led_I_Latency_Audio, &HdmiVsdbGroup::led_I_Latency_AudioChange);
    for (QCheckBox* box : m_contentTypes)
        onToggle(box, &HdmiVsdbGroup::cbxVSDB_CNCClick);
    onToggle(cbHDMIVideoPresent_Enable, &HdmiVsdbGroup::cbHDMIVideoPresent_EnableClick);
    connect(btHDMIVideoPresent_View, &QPushButton::clicked, this,
            &HdmiVsdbGroup::btHDMIVideoPresent_ViewClick);
}

void HdmiVsdbGroup::applyEnablingRules() {
    const HdmiVsdbControls on = hdmiVsdbControls(m_collection.vsdb);
    ckxVSDBExt->setEnabled(on.extendAndAddress);
    for (QLineEdit* digit : m_physicalAddress)
        digit->setEnabled(on.extendAndAddress);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ckxSupport_AI, ledVSDBLen, ckxDC_48bit, ckxDC_36bit,
                                         ckxDC_30bit, ckxDC_Y444, ckxDVI_Dual})
        w->setEnabled(on.extendedFields);
    ledVSDB_MaxTMDSClk->setEnabled(on.maxTmdsClock);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ckxLatencyFieldsPresent, ckx_I_LatencyFieldsPresent, cbHDMIVideoPresent_Enable,
             btHDMIVideoPresent_View, cbxVSDB_CNC0, cbxVSDB_CNC1, cbxVSDB_CNC2, cbxVSDB_CNC3})
        w->setEnabled(on.flagsByte);
    ledLatency_Video->setEnabled(on.latency[0]);
    ledLatency_Audio->setEnabled(on.latency[1]);
    led_I_Latency_Video->setEnabled(on.latency[2]);
    led_I_Latency_Audio->setEnabled(on.latency[3]);
}

void HdmiVsdbGroup::decode() {
    applyEnablingRules();
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    const HdmiVsdb& v = m_collection.vsdb;
    const bool present = m_collection.editable && v.present;
    const bool extended = present && v.extended;
    ckxVSDBEnable->setChecked(present);
    for (int digit = 1; digit <= 4; ++digit)
        m_physicalAddress[static_cast<std::size_t>(digit - 1)]->setText(
            present ? qs(physicalAddressText(v, digit)) : QString());
    ckxVSDBExt->setChecked(extended);
    // Fields of a block that is off or too short show empty.
    ckxSupport_AI->setChecked(extended && v.supportsAI);
    ckxDC_48bit->setChecked(extended && v.dc48bit);
    ckxDC_36bit->setChecked(extended && v.dc36bit);
    ckxDC_30bit->setChecked(extended && v.dc30bit);
    ckxDC_Y444->setChecked(extended && v.dcY444);
    ckxDVI_Dual->setChecked(extended && v.dviDual);
    ckxLatencyFieldsPresent->setChecked(extended && v.latencyFieldsPresent);
    ckx_I_LatencyFieldsPresent->setChecked(extended && v.iLatencyFieldsPresent);
    cbHDMIVideoPresent_Enable->setChecked(extended && v.hdmiVideoPresent);
    cbxVSDB_CNC0->setChecked(extended && v.cnc0);
    cbxVSDB_CNC1->setChecked(extended && v.cnc1);
    cbxVSDB_CNC2->setChecked(extended && v.cnc2);
    cbxVSDB_CNC3->setChecked(extended && v.cnc3);
    ledVSDBLen->setText(extended ? QString::number(v.size - 1) : QString());
    ledVSDB_MaxTMDSClk->setText(extended ? qs(maxTmdsClockText(v)) : QString());
    ledLatency_Video->setText(extended ? qs(latencyText(v.videoLatency)) : QString());
    ledLatency_Audio->setText(extended ? qs(latencyText(v.audioLatency)) : QString());
    led_I_Latency_Video->setText(extended ? qs(latencyText(v.iVideoLatency)) : QString());
    led_I_Latency_Audio->setText(extended ? qs(latencyText(v.iAudioLatency)) : QString());
}

void HdmiVsdbGroup::edited() {
    fitHdmiVideoLengths(m_collection.vsdb);
    decode();
    emit layoutChanged();
}

void HdmiVsdbGroup::ckxVSDBEnableClick() {
    if (filling())
        return;
    const FieldEdit edit = enableHdmiVsdb(m_collection, ckxVSDBEnable->isChecked());
    edited();
    tell(edit.message);
}

void HdmiVsdbGroup::edtPhyAddr_Change() {
    const int index = indexOfSender(m_physicalAddress, sender());
    if (index >= 0)
        physicalAddressDigitEdited(index);
}

void HdmiVsdbGroup::physicalAddressDigitEdited(int index) {
    if (filling())
        return;
    const QLineEdit* edit = m_physicalAddress[static_cast<std::size_t>(index)];
    refuseOrTake(editPhysicalAddress(m_collection.vsdb, index + 1, textOf(edit)));
}

void HdmiVsdbGroup::refuseOrTake(const FieldEdit& edit) {
    // A refused text changes nothing: the group shows the block again.
    if (!edit.message.empty() && !edit.stored)
        decode();
    tell(edit.message);
}

void HdmiVsdbGroup::ckxVSDBExtClick() {
    if (filling())
        return;
    const FieldEdit edit = extendHdmiVsdb(m_collection, ckxVSDBExt->isChecked());
    edited();
    tell(edit.message);
}

void HdmiVsdbGroup::ledVSDBLenExit() {
    const HdmiVsdb& v = m_collection.vsdb;
    if (filling() || !m_collection.editable || !v.present || !v.extended ||
        ledVSDBLen->text() == QString::number(v.size - 1))
        return;
    // The group shows the length taken before the message box can take the
    // focus (and end the editing once more).
    const FieldEdit edit = leaveHdmiVsdbLength(m_collection, textOf(ledVSDBLen));
    edited();
    tell(edit.message);
}

void HdmiVsdbGroup::storeFlag(bool& field, const QCheckBox* box) {
    if (!filling())
        field = box->isChecked();
}

void HdmiVsdbGroup::ckxSupport_AIClick() {
    storeFlag(m_collection.vsdb.supportsAI, ckxSupport_AI);
}

void HdmiVsdbGroup::ckxDC_30bitClick() {
    storeFlag(m_collection.vsdb.dc30bit, ckxDC_30bit);
}

void HdmiVsdbGroup::ckxDC_36bitClick() {
    storeFlag(m_collection.vsdb.dc36bit, ckxDC_36bit);
}

void HdmiVsdbGroup::ckxDC_48bitClick() {
    storeFlag(m_collection.vsdb.dc48bit, ckxDC_48bit);
}

void HdmiVsdbGroup::ckxDC_Y444Click() {
    storeFlag(m_collection.vsdb.dcY444, ckxDC_Y444);
}

void HdmiVsdbGroup::ckxDVI_DualClick() {
    storeFlag(m_collection.vsdb.dviDual, ckxDVI_Dual);
}

void HdmiVsdbGroup::ledVSDB_MaxTMDSClkChange() {
    if (!filling())
        refuseOrTake(editMaxTmdsClock(m_collection.vsdb, textOf(ledVSDB_MaxTMDSClk)));
}

void HdmiVsdbGroup::ckxLatencyFieldsPresentClick() {
    if (filling())
        return;
    m_collection.vsdb.latencyFieldsPresent = ckxLatencyFieldsPresent->isChecked();
    edited();
}

void HdmiVsdbGroup::ckx_I_LatencyFieldsPresentClick() {
    if (filling())
        return;
    m_collection.vsdb.iLatencyFieldsPresent = ckx_I_LatencyFieldsPresent->isChecked();
    edited();
}

void HdmiVsdbGroup::storeLatency(int& field, const QLineEdit* edit) {
    if (!filling())
        refuseOrTake(editLatency(field, textOf(edit)));
}

void HdmiVsdbGroup::ledLatency_VideoChange() {
    storeLatency(m_collection.vsdb.videoLatency, ledLatency_Video);
}

void HdmiVsdbGroup::ledLatency_AudioChange() {
    storeLatency(m_collection.vsdb.audioLatency, ledLatency_Audio);
}

void HdmiVsdbGroup::led_I_Latency_VideoChange() {
    storeLatency(m_collection.vsdb.iVideoLatency, led_I_Latency_Video);
}

void HdmiVsdbGroup::led_I_Latency_AudioChange() {
    storeLatency(m_collection.vsdb.iAudioLatency, led_I_Latency_Audio);
}

void HdmiVsdbGroup::cbxVSDB_CNCClick() {
    if (filling())
        return;
    const auto* box = qobject_cast<const QCheckBox*>(sender());
    HdmiVsdb& v = m_collection.vsdb;
    bool* fields[] = {&v.cnc0, &v.cnc1, &v.cnc2, &v.cnc3};
    const int index = indexOfSender(m_contentTypes, box);
    if (index >= 0)
        *fields[index] = box->isChecked();
}

void HdmiVsdbGroup::cbHDMIVideoPresent_EnableClick() {
    if (filling())
        return;
    const bool on = cbHDMIVideoPresent_Enable->isChecked();
    m_collection.vsdb.hdmiVideoPresent = on;
    edited();
    if (on)
        emit panelRequested();
}

void HdmiVsdbGroup::btHDMIVideoPresent_ViewClick() {
    emit panelRequested();
}

} // namespace pellam
