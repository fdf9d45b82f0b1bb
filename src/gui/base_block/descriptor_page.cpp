#include "gui/base_block/descriptor_page.h"

#include "gui/base_block/detailed_timing_editor.h"
#include "core/base_block/timing_candidates.h"
#include "core/edid/hex.h"
#include "gui/ui/control_family.h"
#include "gui/ui/user_interaction.h"
#include "gui/ui/widgets.h"

#include <optional>

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

constexpr int kEditWidth = 56;

// The kind buttons in the order of the page: the four editable kinds, then
// the kinds shown but not edited.
constexpr std::array<DescriptorKind, 9> kKindOfButton = {
    DescriptorKind::SerialNumber, DescriptorKind::AsciiString, DescriptorKind::RangeLimits,
    DescriptorKind::MonitorName,  DescriptorKind::WhitePoint,  DescriptorKind::StandardTimings,
    DescriptorKind::Undefined,    DescriptorKind::Dummy,       DescriptorKind::ManufacturerDefined,
};

int buttonOfKind(DescriptorKind kind) {
    for (std::size_t i = 0; i < kKindOfButton.size(); ++i)
        if (kKindOfButton[i] == kind)
            return static_cast<int>(i);
    return -1;
}

QString latin1Text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string latin1Bytes(const QString& text) {
    return text.toLatin1().toStdString();
}

DetailedTimingEditorNames blockZeroTimingNames() {
    DetailedTimingEditorNames n;
    n.timingGroup = QStringLiteral("GroupBox25");
    n.timingGroupCaption = DescriptorPage::tr("Timing");
    n.stereoGroup = QStringLiteral("GroupBox27");
    n.stereoGroupCaption = DescriptorPage::tr("立体模式");
    n.syncGroup = QStringLiteral("GroupBox28");
    n.syncGroupCaption = DescriptorPage::tr("同步说明");
    n.pixelClock = QStringLiteral("LEdit_Pxl");
    n.pixelClockCaption = DescriptorPage::tr("像素时钟: ");
    n.pixelClockHint = DescriptorPage::tr("Input Mode Pixel Clock in MHz.");
    n.pixelClockText = QStringLiteral("135.00");
    n.geometryPrefix = QStringLiteral("led_b0Timing");
    n.geometryCaptions = {
        DescriptorPage::tr("H Active Pixel : "), DescriptorPage::tr("H Blanking : "),
        DescriptorPage::tr("H同步偏移: "),       DescriptorPage::tr("H同步宽度 : "),
        DescriptorPage::tr("H图像大小: "),       DescriptorPage::tr("H边框 : "),
        DescriptorPage::tr("V Active Line : "),  DescriptorPage::tr("V Blanking : "),
        DescriptorPage::tr("V同步偏移: "),       DescriptorPage::tr("V同步宽度 : "),
        DescriptorPage::tr("V图像大小: "),       DescriptorPage::tr("V边框 : "),
    };
    n.geometryHints = {
        DescriptorPage::tr("Horizontal Active Pixels (1~4095)"),
        DescriptorPage::tr("Horizontal Blanking Pixels (1~4095)"),
        DescriptorPage::tr("Horizontal Snyc Offset (1~1023)"),
        DescriptorPage::tr("Horizontal Snyc Pulse Width (1~1023)"),
        DescriptorPage::tr("Horizontal Display Image Size (mm)(1~4095)"),
        DescriptorPage::tr("H 边框，必须设置为0"),
        DescriptorPage::tr("Vertical Active Lines (1~4095)"),
        DescriptorPage::tr("Vertical Blanking Lines (1~4095)"),
        DescriptorPage::tr("Vertical Snyc Offset (1~63)"),
        DescriptorPage::tr("V同步脉冲宽度(1~63)"),
        DescriptorPage::tr("Vertical Display Image Size ((mm)1~4095)"),
        DescriptorPage::tr("Vertical Border, must be set to  0"),
    };
    n.interlaced = QStringLiteral("CheckBox_Int");
    n.interlacedCaption = DescriptorPage::tr("隔行模式");
    n.stereoPrefix = QStringLiteral("rbn_b0Stereo");
    n.stereoCaptions = {
        DescriptorPage::tr("None (Normal)"),   DescriptorPage::tr("FS, R on Sync"),
        DescriptorPage::tr("2Way, R on even"), DescriptorPage::tr("FS, L on Sync"),
        DescriptorPage::tr("2Way, L on even"), QStringLiteral("4-Way"),
        DescriptorPage::tr("Side by Side"),
    };
    n.syncPrefix = QStringLiteral("rbn_b0AD");
    n.syncCaptions = {DescriptorPage::tr("模拟复合"), DescriptorPage::tr("双极模拟复合"),
                      DescriptorPage::tr("数字复合"), DescriptorPage::tr("数字分离")};
    n.flag1 = QStringLiteral("CheckBox_Serrate");
    n.flag1Caption = DescriptorPage::tr("锯齿状");
    n.flag2 = QStringLiteral("CheckBox_OnRGB");
    n.flag2Caption = QStringLiteral("On RGB");
    return n;
}

} // namespace

DescriptorPage::DescriptorPage(EdidWorkspace& workspace, SharedPageState& pageState, UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_pageState(pageState)
    , m_ui(ui) {
    setObjectName(QStringLiteral("TabSheet5"));
    createSlotSelection();

    GroupBox24 = named(new QGroupBox(tr("#Block 1"), this), "GroupBox24");
    createTimingPanel();
    createDescriptorPanel();
    auto* frame = new QVBoxLayout(GroupBox24);
    frame->setContentsMargins(6, 4, 6, 6);
    frame->addWidget(Panel1);
    frame->addWidget(Panel2);
    Panel2->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(GroupBox23);
    top->addSpacing(8);
    top->addWidget(Label_Warning1, 1);
    top->addStretch(0); // takes the room of the warning while it is hidden
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(GroupBox24, 1);
}

void DescriptorPage::createSlotSelection() {
    GroupBox23 = named(new QGroupBox(tr("描述"), this), "GroupBox23");
    GroupBox23->setToolTip(tr("选择详细的时序描述符块"));
    auto* row = new QHBoxLayout(GroupBox23);
    row->setContentsMargins(8, 2, 8, 4);
    const char* names[] = {"RadioButton_Block1", "RadioButton_Block2", "RadioButton_Block3",
                           "RadioButton_Block4"};
    for (std::size_t i = 0; i < m_slotButtons.size(); ++i) {
        m_slotButtons[i] = named(new QRadioButton(tr("Block %1").arg(i + 1), GroupBox23), names[i]);
        row->addWidget(m_slotButtons[i]);
        connect(m_slotButtons[i], &QRadioButton::clicked, this,
                &DescriptorPage::RadioButton_BlockClick);
    }
    RadioButton_Block1 = m_slotButtons[0];
    RadioButton_Block2 = m_slotButtons[1];
    RadioButton_Block3 = m_slotButtons[2];
    RadioButton_Block4 = m_slotButtons[3];
    RadioButton_Block1->setChecked(true);

    Label_Warning1 = named(new QLabel(tr("This Timing is \"Preferred Timing\". Please "
                                         "set to Native Timing and Native Resolution."),
                                      this),
                           "Label_Warning1");
    Label_Warning1->setWordWrap(true);
    Label_Warning1->setStyleSheet(QStringLiteral("color: #C00000;"));
}

void DescriptorPage::createTimingPanel() {
    Panel1 = named(new QWidget(GroupBox24), "Panel1");
    timingEditor =
        new DetailedTimingEditor(blockZeroTimingNames(), m_pageState.pageFillGuard, m_ui, Panel1);
    timingEditor->setObjectName(QStringLiteral("timingEditor"));
    DetailedTimingEditor& e = *timingEditor;
    GroupBox25 = e.timingGroup;
    LEdit_Pxl = e.pixelClock;
    QLineEdit** geometry[] = {&led_b0Timing1, &led_b0Timing2,  &led_b0Timing3,  &led_b0Timing4,
                              &led_b0Timing5, &led_b0Timing6,  &led_b0Timing7,  &led_b0Timing8,
                              &led_b0Timing9, &led_b0Timing10, &led_b0Timing11, &led_b0Timing12};
    for (std::size_t i = 0; i < e.geometry.size(); ++i)
        *geometry[i] = e.geometry[i];
    CheckBox_Int = e.interlaced;
    GroupBox27 = e.stereoGroup;
    QRadioButton** stereo[] = {&rbn_b0Stereo1, &rbn_b0Stereo2, &rbn_b0Stereo3, &rbn_b0Stereo4,
                               &rbn_b0Stereo5, &rbn_b0Stereo6, &rbn_b0Stereo7};
    for (std::size_t i = 0; i < e.stereo.size(); ++i)
        *stereo[i] = e.stereo[i];
    GroupBox28 = e.syncGroup;
    rbn_b0AD1 = e.syncKind[0];
    rbn_b0AD2 = e.syncKind[1];
    rbn_b0AD3 = e.syncKind[2];
    rbn_b0AD4 = e.syncKind[3];
    CheckBox_Serrate = e.flag1;
    CheckBox_OnRGB = e.flag2;

    GroupBox18 = named(new QGroupBox(tr("默认的Timing选择"), Panel1), "GroupBox18");
    cbxTimingSelect = named(new QComboBox(GroupBox18), "cbxTimingSelect");
    auto* select = new QVBoxLayout(GroupBox18);
    select->addWidget(cbxTimingSelect);

    auto* layout = new QGridLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox25, 0, 0, 2, 1);
    layout->addWidget(GroupBox27, 0, 1);
    layout->addWidget(GroupBox28, 0, 2);
    layout->addWidget(GroupBox18, 1, 1, 1, 2);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 1);

    connect(timingEditor, &DetailedTimingEditor::timingEdited, this,
            [this] { m_timingEdited = true; });
    connect(timingEditor, &DetailedTimingEditor::areaLeft, this, &DescriptorPage::writeTimingBack);
    connect(cbxTimingSelect, &QComboBox::activated, this, &DescriptorPage::cbxTimingSelectChange);
}

void DescriptorPage::createDescriptorPanel() {
    Panel2 = named(new QWidget(GroupBox24), "Panel2");
    GroupBox29 = named(new QGroupBox(tr("监视器说明"), Panel2), "GroupBox29");
    const struct {
        QRadioButton** member;
        const char* name;
        QString caption;
        QString hint;
    } kinds[] = {
        {&RadioButton_DesSN, "RadioButton_DesSN", tr("监视器序列号"),
         tr("Serial Number <= 13Bytes")},
        {&RadioButton_DesASC, "RadioButton_DesASC", tr("ASCII字符串"),
         tr("ASCII String <= 13Bytes")},
        {&RadioButton_DesRang, "RadioButton_DesRang", tr("监视器范围"),
         tr("Monitor Range, binary coded")},
        {&RadioButton_DesName, "RadioButton_DesName", tr("监视器名称"), tr("Monitor Name, ASCII")},
        {&RadioButton_AddColor, "RadioButton_AddColor", tr("额外信息"), {}},
        {&RadioButton_AddTiming, "RadioButton_AddTiming", tr("额外Timing"), {}},
        {&RadioButton_Unused, "RadioButton_Unused", tr("未使用"), {}},
        {&RadioButton_Dummy, "RadioButton_Dummy", tr("虚拟描述符"), {}},
        {&RadioButton_ManuDef, "RadioButton_ManuDef", tr("制造商定义"), {}},
    };
    auto* kindLayout = new QVBoxLayout(GroupBox29);
    kindLayout->setSpacing(3);
    for (std::size_t i = 0; i < m_kindButtons.size(); ++i) {
        auto* button = named(new QRadioButton(kinds[i].caption, GroupBox29), kinds[i].name);
        button->setToolTip(kinds[i].hint);
        *kinds[i].member = button;
        m_kindButtons[i] = button;
        kindLayout->addWidget(button);
        if (isEditableDisplayDescriptor(kKindOfButton[i]))
            connect(button, &QRadioButton::clicked, this, &DescriptorPage::RadioButton_DesClick);
        else
            button->setEnabled(false); // shown, with no behaviour
    }

    Panel3 = createTextPanel();
    Panel4 = createRangePanel();
    auto* editors = new QVBoxLayout;
    editors->addWidget(Panel3);
    editors->addWidget(Panel4);
    editors->addStretch();
    auto* layout = new QHBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox29, 0, Qt::AlignTop);
    layout->addLayout(editors, 1);
}

QWidget* DescriptorPage::createTextPanel() {
    auto* panel = named(new QWidget(Panel2), "Panel3");
    GroupBox31 = named(new QGroupBox(tr("序列号"), panel), "GroupBox31");
    LEdit_DTMonitorLabel = new QLabel(tr("字符串数据 (Max. 13 Byte)"), GroupBox31);
    LEdit_DTMonitor = named(new QLineEdit(GroupBox31), "LEdit_DTMonitor");
    LEdit_DTMonitor->setFixedWidth(200);
    LEdit_DTMonitorLabel->setBuddy(LEdit_DTMonitor);
    LEdit_DTMonitor->installEventFilter(this);
    auto* text = new QVBoxLayout(GroupBox31);
    text->addWidget(LEdit_DTMonitorLabel);
    text->addWidget(LEdit_DTMonitor);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox31);
    return panel;
}

QWidget* DescriptorPage::createRangePanel() {
    auto* panel = named(new QWidget(Panel2), "Panel4");
    GroupBox32 = named(new QGroupBox(tr("监视器范围限制"), panel), "GroupBox32");
    auto* grid = new QGridLayout(GroupBox32);
    grid->setVerticalSpacing(6);
    const auto edit = [this, grid](QLineEdit** member, const char* name, const QString& caption,
                                   int row, int column) {
        auto* label = new QLabel(caption, GroupBox32);
        auto* e = named(new QLineEdit(GroupBox32), name);
        e->setFixedWidth(kEditWidth);
        label->setBuddy(e);
        grid->addWidget(label, row, column);
        grid->addWidget(e, row, column + 1);
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (m_pageState.pageFillGuard == 0)
                m_rangeEdited = true;
        });
        *member = e;
        return e;
    };
    m_limitEdits = {
        edit(&ledLimit1, "ledLimit1", tr("Min. V rate (Hz) :"), 0, 0),
        edit(&ledLimit2, "ledLimit2", tr("Max. V rate (Hz) :"), 1, 0),
        edit(&ledLimit3, "ledLimit3", tr("Min. H freq (KHz) :"), 2, 0),
        edit(&ledLimit4, "ledLimit4", tr("Max. H freq (KHz) :"), 3, 0),
        edit(&ledLimit5, "ledLimit5", tr("Max. Pixel (MHz) :"), 4, 0),
    };
    CheckBox_GTF2 = named(new QCheckBox(tr("Support 2 GTF"), GroupBox32), "CheckBox_GTF2");
    CheckBox_GTF2->installEventFilter(this);
    grid->addWidget(CheckBox_GTF2, 0, 3, 1, 2);
    m_gtfEdits = {
        edit(&LEdit_2GTF1, "LEdit_2GTF1", tr("Start F (KHz): "), 1, 3),
        edit(&LEdit_2GTF2, "LEdit_2GTF2", QStringLiteral("C*2: "), 2, 3),
        edit(&LEdit_2GTF3, "LEdit_2GTF3", QStringLiteral("M: "), 3, 3),
        edit(&LEdit_2GTF4, "LEdit_2GTF4", QStringLiteral("K: "), 4, 3),
        edit(&LEdit_2GTF5, "LEdit_2GTF5", QStringLiteral("J*2:  "), 5, 3),
    };
    for (QLineEdit* e : m_gtfEdits)
        e->setEnabled(false);
    grid->setColumnMinimumWidth(2, 16);
    grid->setColumnStretch(5, 1);
    connect(CheckBox_GTF2, &QCheckBox::clicked, this, &DescriptorPage::CheckBox_GTF2Click);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox32);
    panel->hide();
    return panel;
}

void DescriptorPage::fillTimingCandidates() {
    DetailedTimingEditor::fillTimingCandidates(cbxTimingSelect);
}

int DescriptorPage::selectedSlot() const {
    const std::int32_t selected = m_pageState.selectedDescriptorNumber;
    return selected >= 1 && selected <= kDescriptorSlotCount ? selected : 1;
}

void DescriptorPage::decodePage() {
    m_pageState.selectedDescriptorNumber = selectedSlot();
    {
        PageFillGuard guard(m_pageState.pageFillGuard);
        checkOnly(m_slotButtons, selectedSlot() - 1);
    }
    decodeSelectedSlot();
}

void DescriptorPage::leavePage() {
    writePending();
}

void DescriptorPage::decodeSelectedSlot() {
    PageFillGuard guard(m_pageState.pageFillGuard);
    const int k = selectedSlot();
    Label_Warning1->setVisible(k == 1);
    GroupBox24->setTitle(tr("#Block %1").arg(k));

    const DtdBytes slot = descriptorSlot(m_workspace.image, k);
    const DescriptorKind kind = classifyDescriptor(slot);
    m_timingSlot = 0;
    m_timingEdited = false;
    m_descriptorSlot = 0;
    m_rangeEdited = false;
    if (kind == DescriptorKind::DetailedTiming) {
        Panel2->hide();
        Panel1->show();
        DetailedTiming& record = m_baseTimings[static_cast<std::size_t>(k - 1)];
        record = decodeDetailedTiming(slot);
        timingEditor->setTiming(&record);
        timingEditor->showTiming();
        m_timingSlot = k;
        return;
    }
    timingEditor->setTiming(nullptr);
    Panel1->hide();
    Panel2->show();
    m_descriptorSlot = k;
    m_descriptorKind = kind;
    showDisplayDescriptor(slot, kind);
}

void DescriptorPage::showDisplayDescriptor(DtdBytes slot, DescriptorKind kind) {
    checkOnly(m_kindButtons, buttonOfKind(kind));
    // A monitor name stays a monitor name; every other slot may change kind.
    GroupBox29->setEnabled(kind != DescriptorKind::MonitorName);

    if (isTextDescriptor(kind)) {
        Panel4->hide();
        Panel3->show();
        const QString caption = kind == DescriptorKind::SerialNumber  ? tr("Serial Number")
                                : kind == DescriptorKind::AsciiString ? tr("ASCII String")
                                                                      : tr("Monitor Name");
        GroupBox31->setTitle(caption);
        LEdit_DTMonitorLabel->setText(tr("String Data (Max. 13 Byte)"));
        LEdit_DTMonitor->setEnabled(true);
        LEdit_DTMonitor->setText(latin1Text(decodeDescriptorText(descriptorText(slot))));
    } else if (kind == DescriptorKind::RangeLimits) {
        Panel3->hide();
        Panel4->show();
        showRangeLimits(slot);
    } else {
        // Nothing here is edited: no editor shows values, least of all
        // those of the slot shown before.
        Panel3->hide();
        Panel4->hide();
        clearDescriptorEditors();
    }
}

void DescriptorPage::showRangeLimits(DtdBytes slot) {
    const RangeLimits r = decodeRangeLimits(slot);
    const int limits[] = {r.minVerticalHz, r.maxVerticalHz, r.minHorizontalKHz, r.maxHorizontalKHz,
                          r.maxPixelClockMHz};
    for (std::size_t i = 0; i < m_limitEdits.size(); ++i) {
        m_limitEdits[i]->setEnabled(true);
        m_limitEdits[i]->setText(QString::number(limits[i]));
    }
    CheckBox_GTF2->setEnabled(true);
    CheckBox_GTF2->setChecked(r.secondaryGtf);
    for (QLineEdit* e : m_gtfEdits)
        e->setEnabled(r.secondaryGtf);
    // Without the secondary curve bytes 12..17 hold no parameters: the edits
    // show none, so switching the curve on starts from zeros.
    const int gtf[] = {r.gtfStartKHz, r.gtfC2, r.gtfM, r.gtfK, r.gtfJ2};
    for (std::size_t i = 0; i < m_gtfEdits.size(); ++i)
        m_gtfEdits[i]->setText(r.secondaryGtf ? QString::number(gtf[i]) : QString());
}

void DescriptorPage::clearDescriptorEditors() {
    LEdit_DTMonitor->setText(QString());
    LEdit_DTMonitor->setEnabled(false);
    for (QLineEdit* e : m_limitEdits) {
        e->setText(QString());
        e->setEnabled(false);
    }
    for (QLineEdit* e : m_gtfEdits) {
        e->setText(QString());
        e->setEnabled(false);
    }
    CheckBox_GTF2->setChecked(false);
    CheckBox_GTF2->setEnabled(false);
}

std::optional<DtdSlot> DescriptorPage::shownDescriptor() {
    const int k = m_descriptorSlot;
    if (k == 0 || k != selectedSlot())
        return std::nullopt;
    const DtdSlot slot = descriptorSlot(m_workspace.image, k);
    if (classifyDescriptor(slot) != m_descriptorKind)
        return std::nullopt;
    return slot;
}

void DescriptorPage::writePending() {
    writeTimingBack();
    if (LEdit_DTMonitor->isModified())
        LEdit_DTMonitorExit();
    if (m_rangeEdited)
        ledLimitExit();
}

void DescriptorPage::writeTimingBack() {
    timingEditor->finishTyping();
    if (!m_timingEdited || m_timingSlot == 0)
        return;
    m_timingEdited = false;
    const DtdSlot slot = descriptorSlot(m_workspace.image, m_timingSlot);
    // The record belongs to the detailed timing it was read from; a slot that
    // no longer holds one is not overwritten.
    if (!isDetailedTiming(slot))
        return;
    encodeDetailedTiming(m_baseTimings[static_cast<std::size_t>(m_timingSlot - 1)], slot);
}

void DescriptorPage::LEdit_DTMonitorExit() {
    if (m_pageState.pageFillGuard != 0 || !LEdit_DTMonitor->isModified())
        return;
    LEdit_DTMonitor->setModified(false);
    const std::optional<DtdSlot> slot = shownDescriptor();
    if (!slot || !isTextDescriptor(m_descriptorKind))
        return;
    encodeDescriptorText(latin1Bytes(LEdit_DTMonitor->text()), descriptorText(*slot));
}

void DescriptorPage::ledLimitExit() {
    writeRangeLimits(CheckBox_GTF2->isChecked());
}

bool DescriptorPage::writeRangeLimits(bool secondaryGtf, bool rewriteGtfBytes) {
    if (m_pageState.pageFillGuard != 0 || m_writing)
        return false;
    m_rangeEdited = false;
    const std::optional<DtdSlot> slot = shownDescriptor();
    if (!slot || m_descriptorKind != DescriptorKind::RangeLimits)
        return false;
    RangeLimitsTexts texts;
    for (std::size_t i = 0; i < texts.limits.size(); ++i)
        texts.limits[i] = m_limitEdits[i]->text().toStdString();
    texts.secondaryGtf = secondaryGtf;
    for (std::size_t i = 0; i < texts.gtf.size(); ++i)
        texts.gtf[i] = m_gtfEdits[i]->text().toStdString();
    const RangeLimitsWrite result = encodeRangeLimits(*slot, texts, rewriteGtfBytes);
    if (!result.written) {
        // The message box takes the focus: its focus events must not come back here.
        m_writing = true;
        m_ui.showMessage(this, QString::fromStdString(result.refusal));
        m_writing = false;
        // The edits show the slot again, as it still is.
        decodeSelectedSlot();
    }
    return result.written;
}

bool DescriptorPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason) {
        if (watched == LEdit_DTMonitor)
            LEdit_DTMonitorExit();
        else
            ledLimitExit();
    }
    return EditorPage::eventFilter(watched, event);
}

void DescriptorPage::RadioButton_BlockClick() {
    const int index = indexOfSender(m_slotButtons, sender());
    if (m_pageState.pageFillGuard != 0 || index < 0 ||
        !m_slotButtons[static_cast<std::size_t>(index)]->isChecked())
        return;
    writePending();
    m_pageState.selectedDescriptorNumber = index + 1;
    decodeSelectedSlot();
}

void DescriptorPage::RadioButton_DesClick() {
    const int index = indexOfSender(m_kindButtons, sender());
    if (m_pageState.pageFillGuard != 0 || index < 0 ||
        !m_kindButtons[static_cast<std::size_t>(index)]->isChecked())
        return;
    const DescriptorKind kind = kKindOfButton[static_cast<std::size_t>(index)];
    if (!isEditableDisplayDescriptor(kind) || !shownDescriptor())
        return;
    writePending();
    setDescriptorKind(descriptorSlot(m_workspace.image, m_descriptorSlot), kind);
    decodeSelectedSlot();
}

void DescriptorPage::CheckBox_GTF2Click() {
    if (m_pageState.pageFillGuard != 0 || m_descriptorKind != DescriptorKind::RangeLimits ||
        !shownDescriptor())
        return;
    // Range texts not written yet go in under the box's state before the click.
    if (m_rangeEdited && !writeRangeLimits(!CheckBox_GTF2->isChecked()))
        return;
    // The click writes byte 10 and what follows it (the curve's parameters,
    // or a line feed and spaces), whatever byte 10 held: a descriptor made
    // from a text one, or one with code 01h or 04h, becomes what the box says.
    writeRangeLimits(CheckBox_GTF2->isChecked(), true);
    decodeSelectedSlot();
}

void DescriptorPage::cbxTimingSelectChange(int index) {
    const int k = selectedSlot();
    if (m_pageState.pageFillGuard != 0 || index < 1 || index > kTimingCandidateCount ||
        m_timingSlot != k)
        return;
    const DtdBytes candidate = timingCandidateBytes(index - 1);
    const DtdSlot slot = descriptorSlot(m_workspace.image, k);
    std::copy(candidate.begin(), candidate.end(), slot.begin());
    decodeSelectedSlot();
}

} // namespace pellam
