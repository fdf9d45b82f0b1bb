#include "gui/cea/hdmi_video_panel.h"

#include "core/cea/cea_formats.h"

#include "gui/ui/committed_edit.h"
#include "gui/ui/control_family.h"
#include "gui/ui/key_value_list.h"
#include "gui/ui/widgets.h"

#include <algorithm>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pellam {

HdmiVideoPanel::HdmiVideoPanel(const Block1Context& context, QWidget* parent)
    : QGroupBox(tr("HDMI Video Present"), parent)
    , m_context(context)
    , m_collection(context.collection) {
    setObjectName(QStringLiteral("gbxHDMIVideoPresent"));
    QWidget* p = this;
    setAutoFillBackground(true);
    setStyleSheet(
        QStringLiteral("QGroupBox#gbxHDMIVideoPresent { background-color: palette(window);"
                       " border: 2px solid #5a7fb0; border-radius: 3px; margin-top: 0px;"
                       " padding-top: 16px; }"
                       "QGroupBox#gbxHDMIVideoPresent::title { subcontrol-origin: padding;"
                       " subcontrol-position: top left; left: 8px; top: 2px; }"));

    Label16 = named(new QLabel(QStringLiteral("4K x 2K VIC"), p), "Label16");
    vledtHVP_4K2KVIC = named(new KeyValueList(p), "vledtHVP_4K2KVIC");
    ledtHVP_HDMIVICLen = lineEdit(p, "ledtHVP_HDMIVICLen", 1, 36);
    ledtHVP_HDMIVICLen->setToolTip(tr("Should be 0 ~ 7"));
    cbHVP_3Dpresent = checkBox(p, "cbHVP_3Dpresent", QStringLiteral("3D_present"));
    ledtHVP_3DMultiPresent = lineEdit(p, "ledtHVP_3DMultiPresent", 2, 36);
    ledtHVP_3DMultiPresent->setToolTip(tr("2 bits filled (00 ~ 11)"));
    ledtHVP_HDMI3DLen = lineEdit(p, "ledtHVP_HDMI3DLen", 2, 36);
    ledtHVP_HDMI3DLen->setToolTip(tr("Should be 0 ~ 31"));
    Label15 = named(new QLabel(QStringLiteral("3D_Structure_ALL"), p), "Label15");
    clxHVP_3DStructure = named(new QListWidget(p), "clxHVP_3DStructure");
    Label17 = named(new QLabel(QStringLiteral("3D_MASK"), p), "Label17");
    clxHVP_3DMask = named(new QListWidget(p), "clxHVP_3DMask");
    Label18 = named(new QLabel(tr("3D Individual VIC"), p), "Label18");
    vledtHVP_IndividualVIC = named(new KeyValueList(p), "vledtHVP_IndividualVIC");
    btHDMIVideoPresent_Save = button(p, "btHDMIVideoPresent_Save", tr("Save"));
    btHDMIVideoPresent_Cancel = button(p, "btHDMIVideoPresent_Cancel", tr("Cancel"));
    fillBitList(clxHVP_3DStructure, QStringLiteral("3D_Structure_ALL_"), 0);
    fillBitList(clxHVP_3DMask, QStringLiteral("3D_Mask_"), 0);

    const auto editRow = [&](const QString& caption, QLineEdit* edit) {
        auto* row = labelled(p, caption, edit);
        row->insertStretch(1);
        return row;
    };
    auto* left = new QVBoxLayout;
    left->addWidget(Label16);
    left->addWidget(vledtHVP_4K2KVIC, 1);
    left->addLayout(editRow(QStringLiteral("HDMI_VIC_LEN"), ledtHVP_HDMIVICLen));
    left->addSpacing(6);
    left->addWidget(cbHVP_3Dpresent);
    left->addLayout(editRow(QStringLiteral("3D_Multi_present"), ledtHVP_3DMultiPresent));
    left->addLayout(editRow(QStringLiteral("HDMI_3D_LEN"), ledtHVP_HDMI3DLen));

    const auto column = [](QLabel* label, QWidget* list) {
        auto* c = new QVBoxLayout;
        c->addWidget(label);
        c->addWidget(list, 1);
        return c;
    };
    auto* lists = new QHBoxLayout;
    lists->addLayout(left, 3);
    lists->addLayout(column(Label15, clxHVP_3DStructure), 3);
    lists->addLayout(column(Label17, clxHVP_3DMask), 3);
    lists->addLayout(column(Label18, vledtHVP_IndividualVIC), 4);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btHDMIVideoPresent_Save);
    buttons->addWidget(btHDMIVideoPresent_Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 14, 10, 8);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    hide();

    connectHandlers();
}

void HdmiVideoPanel::connectHandlers() {
    // The lengths are taken when their edit is finished: "12" typed where one
    // code fits is answered once, not cut to "1" under the user's fingers.
    const auto onText = [this](QLineEdit* edit, void (HdmiVideoPanel::*handler)()) {
        commitWhenFinished(edit, this, [this, handler] { (this->*handler)(); });
    };
    connect(btHDMIVideoPresent_Save, &QPushButton::clicked, this,
            &HdmiVideoPanel::btHDMIVideoPresent_SaveClick);
    connect(btHDMIVideoPresent_Cancel, &QPushButton::clicked, this,
            &HdmiVideoPanel::btHDMIVideoPresent_CancelClick);
    connect(cbHVP_3Dpresent, &QCheckBox::toggled, this, &HdmiVideoPanel::cbHVP_3DpresentClick);
    onText(ledtHVP_3DMultiPresent, &HdmiVideoPanel::ledtHVP_3DMultiPresentChange);
    onText(ledtHVP_HDMIVICLen, &HdmiVideoPanel::ledtHVP_HDMIVICLenChange);
    onText(ledtHVP_HDMI3DLen, &HdmiVideoPanel::ledtHVP_HDMI3DLenChange);
    connect(clxHVP_3DStructure, &QListWidget::itemChanged, this,
            &HdmiVideoPanel::clxHVP_3DStructureClickCheck);
    connect(vledtHVP_4K2KVIC, &KeyValueList::lineValidated, this,
            &HdmiVideoPanel::vledtHVP_4K2KVICValidate);
    connect(vledtHVP_IndividualVIC, &KeyValueList::lineValidated, this,
            &HdmiVideoPanel::vledtHVP_IndividualVICValidate);
}

void HdmiVideoPanel::applyEnablingRules() {
    const HdmiVsdbControls on = hdmiVsdbControls(m_collection.vsdb);
    cbHVP_3Dpresent->setEnabled(on.threeD);
    ledtHVP_3DMultiPresent->setEnabled(on.threeD);
    ledtHVP_HDMIVICLen->setEnabled(on.hdmiVideoLengths);
    ledtHVP_HDMI3DLen->setEnabled(on.hdmiVideoLengths);
}

void HdmiVideoPanel::showOver(QWidget* page) {
    const int margin = 6;
    setGeometry(margin, margin, page->width() - 2 * margin, page->height() - 2 * margin);
    show();
    raise();
    fill();
    refresh();
}

void HdmiVideoPanel::fill() {
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    const HdmiVsdb& v = m_collection.vsdb;
    std::copy(v.hdmiVic.begin(), v.hdmiVic.end(), m_workingCodes.begin());
    std::copy_n(v.entries.begin(), m_workingEntries.size(), m_workingEntries.begin());

    ledtHVP_HDMIVICLen->setText(QString::number(v.hdmiVicLen));
    Label16->setEnabled(true);
    vledtHVP_4K2KVIC->setEnabled(true);
    vledtHVP_4K2KVIC->showLines(hdmiVicLines(m_workingCodes, v.hdmiVicLen));
    showHdmiVicNames();

    cbHVP_3Dpresent->setChecked(v.threeDPresent);
    ledtHVP_3DMultiPresent->setText(QString::number(v.threeDMultiPresent));
    ledtHVP_HDMI3DLen->setText(QString::number(v.hdmi3dLen));
    fillBitList(clxHVP_3DStructure, QStringLiteral("3D_Structure_ALL_"), v.structureAll);
    fillBitList(clxHVP_3DMask, QStringLiteral("3D_Mask_"), v.structureMask);
    vledtHVP_IndividualVIC->showLines(
        threeDEntryLines(m_workingEntries, v.hdmi3dLen - threeDFieldBytes(v.threeDMultiPresent)));
}

void HdmiVideoPanel::disable4K2KList(bool empty) {
    if (empty)
        vledtHVP_4K2KVIC->clearLines();
    vledtHVP_4K2KVIC->setEnabled(false);
    Label16->setEnabled(false);
}

void HdmiVideoPanel::disableIndividualList(bool empty) {
    if (empty)
        vledtHVP_IndividualVIC->clearLines();
    vledtHVP_IndividualVIC->setEnabled(false);
    Label18->setEnabled(false);
}

void HdmiVideoPanel::refresh() {
    std::vector<std::string> messages;
    {
        PageFillGuard guard(m_context.pageState.pageFillGuard);
        const int codes = std::min(numberOf(ledtHVP_HDMIVICLen), kMaxHdmiVicLen);
        if (codes > 0) {
            if (vledtHVP_4K2KVIC->lineCount() > 0 &&
                readHdmiVicLines(vledtHVP_4K2KVIC->keyValueLines(), codes, m_workingCodes))
                messages.emplace_back(kMsgValueAbove15);
            Label16->setEnabled(true);
            vledtHVP_4K2KVIC->setEnabled(true);
            vledtHVP_4K2KVIC->showLines(hdmiVicLines(m_workingCodes, codes));
            showHdmiVicNames();
        }

        const std::string multiText = textOf(ledtHVP_3DMultiPresent);
        if (!multiText.empty()) {
            clxHVP_3DStructure->setEnabled(false);
            clxHVP_3DMask->setEnabled(false);
            if (const auto multi = digitsValue(multiText)) {
                const int len3d = ledtHVP_HDMI3DLen->isEnabled() ? numberOf(ledtHVP_HDMI3DLen) : 0;
                const ThreeDFieldsShown shown = threeDFieldsShown(*multi, len3d);
                clxHVP_3DStructure->setEnabled(shown.structure);
                clxHVP_3DMask->setEnabled(shown.mask);
                if (*multi != 0 && *multi != 1 && *multi != 10 && *multi != 11)
                    messages.emplace_back(kMsgThreeDMultiPresent);
            } else {
                messages.emplace_back(kMsgIntegerValue);
            }
        }

        if (cbHVP_3Dpresent->isChecked() && cbHVP_3Dpresent->isEnabled()) {
            const int n = threeDEntryBytes(numberOf(ledtHVP_HDMI3DLen),
                                           {clxHVP_3DStructure->isEnabled(),
                                            clxHVP_3DMask->isEnabled()});
            if (n < 1) {
                disableIndividualList(false);
            } else {
                Label18->setEnabled(true);
                vledtHVP_IndividualVIC->setEnabled(true);
                bool above15 = false;
                if (vledtHVP_IndividualVIC->lineCount() > 0)
                    readThreeDEntryLines(vledtHVP_IndividualVIC->keyValueLines(), n,
                                         m_workingEntries, above15);
                if (above15)
                    messages.emplace_back(kMsgValueAbove15);
                vledtHVP_IndividualVIC->showLines(threeDEntryLines(m_workingEntries, n));
            }
        } else {
            clxHVP_3DStructure->setEnabled(false);
            clxHVP_3DMask->setEnabled(false);
            disableIndividualList(false);
        }
    }
    for (const std::string& message : messages)
        tell(message);
}

void HdmiVideoPanel::showSplit(const HdmiVideoSplit& split, QLineEdit* typed) {
    if (split.noRoom) {
        {
            PageFillGuard guard(m_context.pageState.pageFillGuard);
            setEditText(ledtHVP_HDMIVICLen, QStringLiteral("0"));
            setEditText(ledtHVP_HDMI3DLen, QStringLiteral("0"));
        }
        disable4K2KList(true);
        disableIndividualList(false);
        tell(split.message);
        return;
    }
    if (split.limited) {
        {
            PageFillGuard guard(m_context.pageState.pageFillGuard);
            typed->setText(QString::number(typed == ledtHVP_HDMIVICLen ? split.hdmiVicLen
                                                                       : split.hdmi3dLen));
        }
        tell(split.message);
    }
}

void HdmiVideoPanel::ledtHVP_HDMIVICLenChange() {
    if (filling())
        return;
    const std::string text = textOf(ledtHVP_HDMIVICLen);
    if (text.empty())
        return;
    const auto value = digitsValue(text);
    if (!value) {
        disable4K2KList(false);
        tell(kMsgIntegerValue);
        refresh();
        return;
    }
    const HdmiVideoSplit split = splitForHdmiVicLen(m_collection.vsdb, *value);
    showSplit(split, ledtHVP_HDMIVICLen);
    if (!split.noRoom) {
        if (!split.limited && split.hdmiVicLen == 0)
            disable4K2KList(true);
        PageFillGuard guard(m_context.pageState.pageFillGuard);
        setEditText(ledtHVP_HDMI3DLen, QString::number(split.hdmi3dLen));
    }
    refresh();
}

void HdmiVideoPanel::ledtHVP_HDMI3DLenChange() {
    if (filling())
        return;
    const std::string text = textOf(ledtHVP_HDMI3DLen);
    if (text.empty())
        return;
    const auto value = digitsValue(text);
    if (!value) {
        disableIndividualList(false);
        tell(kMsgIntegerValue);
        refresh();
        return;
    }
    const HdmiVideoSplit split = splitForHdmi3dLen(m_collection.vsdb, *value);
    showSplit(split, ledtHVP_HDMI3DLen);
    if (!split.noRoom) {
        const int entryBytes = threeDEntryBytes(
            split.hdmi3dLen, {clxHVP_3DStructure->isEnabled(), clxHVP_3DMask->isEnabled()});
        if (entryBytes <= 0) {
            if (entryBytes == 0) {
                clxHVP_3DStructure->setEnabled(false);
                clxHVP_3DMask->setEnabled(false);
            }
            disableIndividualList(true);
        }
        {
            PageFillGuard guard(m_context.pageState.pageFillGuard);
            setEditText(ledtHVP_HDMIVICLen, QString::number(split.hdmiVicLen));
        }
        if (split.hdmiVicLen == 0)
            disable4K2KList(true);
    }
    refresh();
}

void HdmiVideoPanel::cbHVP_3DpresentClick() {
    if (!filling())
        refresh();
}

void HdmiVideoPanel::ledtHVP_3DMultiPresentChange() {
    if (!filling())
        refresh();
}

void HdmiVideoPanel::clxHVP_3DStructureClickCheck(QListWidgetItem* item) {
    if (filling() || !item || item->checkState() != Qt::Checked)
        return;
    if (!isReservedThreeDStructure(clxHVP_3DStructure->row(item)))
        return;
    {
        PageFillGuard guard(m_context.pageState.pageFillGuard);
        item->setCheckState(Qt::Unchecked);
    }
    tell(kMsgReservedStructure);
}

void HdmiVideoPanel::btHDMIVideoPresent_SaveClick() {
    HdmiVideoPanelValues values;
    values.hdmiVicLen = textOf(ledtHVP_HDMIVICLen);
    values.threeDPresent = cbHVP_3Dpresent->isChecked();
    values.threeDMultiPresent = textOf(ledtHVP_3DMultiPresent);
    values.hdmi3dLen = textOf(ledtHVP_HDMI3DLen);
    values.structureAll = checkedBits(clxHVP_3DStructure);
    values.structureMask = checkedBits(clxHVP_3DMask);
    values.hdmiVicLines = vledtHVP_4K2KVIC->keyValueLines();
    values.entryLines = vledtHVP_IndividualVIC->keyValueLines();
    const PanelCommit commit = commitHdmiVideoPanel(m_collection.vsdb, values);
    hide();
    for (const std::string& message : commit.messages)
        tell(message);
}

void HdmiVideoPanel::btHDMIVideoPresent_CancelClick() {
    hide();
}

void HdmiVideoPanel::showHdmiVicNames() {
    for (int row = 0; row < vledtHVP_4K2KVIC->lineCount(); ++row) {
        QTableWidgetItem* value = vledtHVP_4K2KVIC->item(row, 1);
        if (!value)
            continue;
        const auto name = hdmiVicName(vledtHVP_4K2KVIC->valueText(row).trimmed().toInt());
        value->setToolTip(name ? qs(std::string(*name)) : QString());
    }
}

void HdmiVideoPanel::vledtHVP_4K2KVICValidate() {
    showHdmiVicNames();
    if (!filling())
        btHDMIVideoPresent_SaveClick();
}

void HdmiVideoPanel::vledtHVP_IndividualVICValidate() {
    if (!filling())
        btHDMIVideoPresent_SaveClick();
}

} // namespace pellam
