#include "gui/cea/video_page.h"

#include "core/cea/video_block_edits.h"
#include "gui/ui/control_family.h"
#include "gui/ui/key_value_list.h"
#include "gui/ui/user_interaction.h"

#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

// Like the edits of the original layout: setting the text it already holds
// raises no change.
void setEditText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text)
        edit->setText(text);
}

// An edit's number; 0 when it holds none.
int numberOf(const QLineEdit* edit) {
    return digitsValue(textOf(edit)).value_or(0);
}

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption) {
    return named(new QCheckBox(caption, parent), name);
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption) {
    return named(new QGroupBox(caption, parent), name);
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength, int width) {
    auto* edit = named(new QLineEdit(parent), name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    edit->setFixedWidth(width);
    return edit;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    return named(new QPushButton(caption, parent), name);
}

// A labelled edit: its caption on the left.
QHBoxLayout* labelled(QWidget* parent, const QString& caption, QLineEdit* edit) {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    auto* label = new QLabel(caption, parent);
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit);
    return row;
}

QListWidgetItem* checkItem(const QString& text, bool checked) {
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

// The 16 items of a bit list, item i checked when bit i is set.
void fillBitList(QListWidget* list, const QString& prefix, int bits) {
    list->clear();
    for (int i = 0; i < 16; ++i)
        list->addItem(
            checkItem(prefix + QString::number(i), getBit(static_cast<unsigned>(bits), i)));
}

int checkedBits(const QListWidget* list) {
    int bits = 0;
    for (int i = 0; i < list->count() && i < 16; ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            bits |= 1 << i;
    return bits;
}

KeyValueLines linesOf(const KeyValueList* list) {
    KeyValueLines lines;
    for (int row = 0; row < list->lineCount(); ++row)
        lines.emplace_back(list->key(row).toStdString(), list->valueText(row).toStdString());
    return lines;
}

void showLines(KeyValueList* list, const KeyValueLines& lines) {
    list->clearLines();
    for (const KeyValueLine& line : lines)
        list->addLine(qs(line.first), qs(line.second));
}

QListWidget* selectedList(QListWidget* list) {
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

VideoPage::VideoPage(SharedPageState& pageState, DataBlockCollection& collection, UserInteraction& ui,
                     QWidget* parent)
    : EditorPage(parent)
    , m_pageState(pageState)
    , m_collection(collection)
    , m_ui(ui) {
    setObjectName(QStringLiteral("sheetHDMIVideo"));

    lblBlock1Note = named(new QLabel(this), "lblBlock1Note");
    lblBlock1Note->setStyleSheet(QStringLiteral("color: #a00000;"));
    lblBlock1Note->hide();

    m_content = new QWidget(this);
    createVideoControls(m_content);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 4, 6, 4);
    page->setSpacing(2);
    page->addWidget(lblBlock1Note);
    page->addWidget(m_content, 1);

    createPanel();
    connectHandlers();
}

void VideoPage::createVideoControls(QWidget* content) {
    gbxDTV = groupBox(content, "gbxDTV", QStringLiteral("DTV 选项"));
    ckxUnderscan = checkBox(gbxDTV, "ckxUnderscan", QStringLiteral("Underscan"));
    ckxBasicAudio = checkBox(gbxDTV, "ckxBasicAudio", QStringLiteral("Basic Audio"));
    ckxYCbCr444 = checkBox(gbxDTV, "ckxYCbCr444", QStringLiteral("YCbCr 444"));
    ckxYCbCr422 = checkBox(gbxDTV, "ckxYCbCr422", QStringLiteral("YCbCr 422"));
    auto* dtv = new QVBoxLayout(gbxDTV);
    dtv->setContentsMargins(8, 2, 8, 4);
    dtv->setSpacing(2);
    for (QCheckBox* box : {ckxUnderscan, ckxBasicAudio, ckxYCbCr444, ckxYCbCr422})
        dtv->addWidget(box);

    gbxMisc = groupBox(content, "gbxMisc", QStringLiteral("CEA Ext. 版本"));
    edtCEA_ver = lineEdit(gbxMisc, "edtCEA_ver", 3, 60);
    auto* misc = new QHBoxLayout(gbxMisc);
    misc->setContentsMargins(8, 2, 8, 4);
    misc->addWidget(edtCEA_ver);
    misc->addStretch();

    GroupBox22 = groupBox(content, "GroupBox22", QStringLiteral("非本地DTD"));
    edtNativeFormat = lineEdit(GroupBox22, "edtNativeFormat", 0, 60);
    auto* native = new QHBoxLayout(GroupBox22);
    native->setContentsMargins(8, 2, 8, 4);
    native->addWidget(edtNativeFormat);
    native->addStretch();

    gbxVideoBlock = groupBox(content, "gbxVideoBlock", QStringLiteral("视频详细描述"));
    lbxVideoDefault = selectedList(named(new QListWidget(gbxVideoBlock), "lbxVideoDefault"));
    clxVideoSupport = selectedList(named(new QListWidget(gbxVideoBlock), "clxVideoSupport"));
    btnVideoAdd = button(gbxVideoBlock, "btnVideoAdd", QStringLiteral("--->"));
    btnVideoDelete = button(gbxVideoBlock, "btnVideoDelete", QStringLiteral("<---"));
    for (QPushButton* b : {btnVideoAdd, btnVideoDelete})
        b->setFixedWidth(44);
    auto* supportedLabels = new QHBoxLayout;
    supportedLabels->addWidget(new QLabel(QStringLiteral("选取的视频格式"), gbxVideoBlock));
    supportedLabels->addStretch();
    supportedLabels->addWidget(new QLabel(QStringLiteral("(Naitve)"), gbxVideoBlock));
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnVideoAdd);
    buttons->addWidget(btnVideoDelete);
    buttons->addStretch();
    auto* video = new QGridLayout(gbxVideoBlock);
    video->setContentsMargins(8, 2, 8, 6);
    video->setVerticalSpacing(2);
    video->addWidget(new QLabel(QStringLiteral("默认的视频格式"), gbxVideoBlock), 0, 0);
    video->addLayout(supportedLabels, 0, 2);
    video->addWidget(lbxVideoDefault, 1, 0);
    video->addLayout(buttons, 1, 1);
    video->addWidget(clxVideoSupport, 1, 2);
    video->setColumnStretch(0, 1);
    video->setColumnStretch(2, 1);

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    for (QGroupBox* group : {gbxDTV, gbxMisc, GroupBox22})
        group->setFixedWidth(130);
    right->addWidget(gbxDTV);
    right->addWidget(gbxMisc);
    right->addWidget(GroupBox22);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(gbxVideoBlock, 1);
    top->addLayout(right);

    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(top, 1);
    layout->addWidget(createVsdbGroup(content));
}

QGroupBox* VideoPage::createVsdbGroup(QWidget* content) {
    gbxVSDB = groupBox(content, "gbxVSDB", QStringLiteral("供应商特定数据"));
    QWidget* g = gbxVSDB;
    ckxVSDBEnable = checkBox(g, "ckxVSDBEnable", QStringLiteral("Enabled"));

    GroupBox26 = groupBox(g, "GroupBox26", QStringLiteral("物理地址(Hex)"));
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

    GroupBox30 = groupBox(g, "GroupBox30", QStringLiteral("VSDB 拓展"));
    ckxVSDBExt = checkBox(GroupBox30, "ckxVSDBExt", QStringLiteral("拓展打开"));
    ledVSDBLen = lineEdit(GroupBox30, "ledVSDBLen", 2, 34);
    auto* extension = new QHBoxLayout(GroupBox30);
    extension->setContentsMargins(8, 2, 8, 4);
    extension->addWidget(ckxVSDBExt);
    extension->addSpacing(8);
    extension->addLayout(labelled(GroupBox30, QStringLiteral("长度"), ledVSDBLen));

    GroupBox44 = groupBox(g, "GroupBox44", QStringLiteral("HDMI_Video_Present"));
    cbHDMIVideoPresent_Enable =
        checkBox(GroupBox44, "cbHDMIVideoPresent_Enable", QStringLiteral("Enable"));
    btHDMIVideoPresent_View = button(GroupBox44, "btHDMIVideoPresent_View", QStringLiteral("View"));
    auto* hdmiVideo = new QHBoxLayout(GroupBox44);
    hdmiVideo->setContentsMargins(8, 2, 8, 4);
    hdmiVideo->addWidget(cbHDMIVideoPresent_Enable);
    hdmiVideo->addWidget(btHDMIVideoPresent_View);

    ckxSupport_AI = checkBox(g, "ckxSupport_AI", QStringLiteral("Support AI"));
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

    auto* layout = new QVBoxLayout(gbxVSDB);
    layout->setContentsMargins(8, 2, 8, 6);
    layout->setSpacing(4);
    layout->addLayout(first);
    layout->addLayout(flags);
    layout->addLayout(latency);
    return gbxVSDB;
}

void VideoPage::createPanel() {
    gbxHDMIVideoPresent =
        groupBox(this, "gbxHDMIVideoPresent", QStringLiteral("HDMI Video Present"));
    QWidget* p = gbxHDMIVideoPresent;
    p->setAutoFillBackground(true);
    p->setStyleSheet(
        QStringLiteral("QGroupBox#gbxHDMIVideoPresent { background-color: palette(window);"
                       " border: 2px solid #5a7fb0; border-radius: 3px; margin-top: 0px;"
                       " padding-top: 16px; }"
                       "QGroupBox#gbxHDMIVideoPresent::title { subcontrol-origin: padding;"
                       " subcontrol-position: top left; left: 8px; top: 2px; }"));

    Label16 = named(new QLabel(QStringLiteral("4K x 2K VIC"), p), "Label16");
    vledtHVP_4K2KVIC = named(new KeyValueList(p), "vledtHVP_4K2KVIC");
    ledtHVP_HDMIVICLen = lineEdit(p, "ledtHVP_HDMIVICLen", 1, 36);
    ledtHVP_HDMIVICLen->setToolTip(QStringLiteral("Should be 0 ~ 7"));
    cbHVP_3Dpresent = checkBox(p, "cbHVP_3Dpresent", QStringLiteral("3D_present"));
    ledtHVP_3DMultiPresent = lineEdit(p, "ledtHVP_3DMultiPresent", 2, 36);
    ledtHVP_3DMultiPresent->setToolTip(QStringLiteral("2 bits filled (00 ~ 11)"));
    ledtHVP_HDMI3DLen = lineEdit(p, "ledtHVP_HDMI3DLen", 2, 36);
    ledtHVP_HDMI3DLen->setToolTip(QStringLiteral("Should be 0 ~ 31"));
    Label15 = named(new QLabel(QStringLiteral("3D_Structure_ALL"), p), "Label15");
    clxHVP_3DStructure = named(new QListWidget(p), "clxHVP_3DStructure");
    Label17 = named(new QLabel(QStringLiteral("3D_MASK"), p), "Label17");
    clxHVP_3DMask = named(new QListWidget(p), "clxHVP_3DMask");
    Label18 = named(new QLabel(QStringLiteral("3D Individual VIC"), p), "Label18");
    vledtHVP_IndividualVIC = named(new KeyValueList(p), "vledtHVP_IndividualVIC");
    btHDMIVideoPresent_Save = button(p, "btHDMIVideoPresent_Save", QStringLiteral("Save"));
    btHDMIVideoPresent_Cancel = button(p, "btHDMIVideoPresent_Cancel", QStringLiteral("Cancel"));
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

    auto* layout = new QVBoxLayout(gbxHDMIVideoPresent);
    layout->setContentsMargins(10, 14, 10, 8);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    gbxHDMIVideoPresent->hide();
}

void VideoPage::connectHandlers() {
    const auto onToggle = [this](QCheckBox* box, void (VideoPage::*handler)()) {
        connect(box, &QCheckBox::toggled, this, handler);
    };
    const auto onText = [this](QLineEdit* edit, void (VideoPage::*handler)()) {
        connect(edit, &QLineEdit::textChanged, this, handler);
    };
    onToggle(ckxUnderscan, &VideoPage::ckxUnderscanClick);
    onToggle(ckxBasicAudio, &VideoPage::ckxBasicAudioClick);
    onToggle(ckxYCbCr444, &VideoPage::ckxYCbCr444Click);
    onToggle(ckxYCbCr422, &VideoPage::ckxYCbCr422Click);
    onText(edtNativeFormat, &VideoPage::edtNativeFormatChange);
    onText(edtCEA_ver, &VideoPage::edtCEA_verChange);
    connect(clxVideoSupport, &QListWidget::itemChanged, this,
            &VideoPage::clxVideoSupportClickCheck);
    connect(btnVideoAdd, &QPushButton::clicked, this, &VideoPage::btnVideoAddClick);
    connect(btnVideoDelete, &QPushButton::clicked, this, &VideoPage::btnVideoDeleteClick);

    onToggle(ckxVSDBEnable, &VideoPage::ckxVSDBEnableClick);
    for (QLineEdit* digit : m_physicalAddress)
        onText(digit, &VideoPage::edtPhyAddr_Change);
    onToggle(ckxVSDBExt, &VideoPage::ckxVSDBExtClick);
    onText(ledVSDBLen, &VideoPage::ledVSDBLenChange);
    connect(ledVSDBLen, &QLineEdit::editingFinished, this, &VideoPage::ledVSDBLenExit);
    onToggle(ckxSupport_AI, &VideoPage::ckxSupport_AIClick);
    onToggle(ckxDC_30bit, &VideoPage::ckxDC_30bitClick);
    onToggle(ckxDC_36bit, &VideoPage::ckxDC_36bitClick);
    onToggle(ckxDC_48bit, &VideoPage::ckxDC_48bitClick);
    onToggle(ckxDC_Y444, &VideoPage::ckxDC_Y444Click);
    onToggle(ckxDVI_Dual, &VideoPage::ckxDVI_DualClick);
    onText(ledVSDB_MaxTMDSClk, &VideoPage::ledVSDB_MaxTMDSClkChange);
    onToggle(ckxLatencyFieldsPresent, &VideoPage::ckxLatencyFieldsPresentClick);
    onText(ledLatency_Video, &VideoPage::ledLatency_VideoChange);
    onText(ledLatency_Audio, &VideoPage::ledLatency_AudioChange);
    onToggle(ckx_I_LatencyFieldsPresent, &VideoPage::ckx_I_LatencyFieldsPresentClick);
    onText(led_I_Latency_Video, &VideoPage::led_I_Latency_VideoChange);
    onText(led_I_Latency_Audio, &VideoPage::led_I_Latency_AudioChange);
    for (QCheckBox* box : m_contentTypes)
        onToggle(box, &VideoPage::cbxVSDB_CNCClick);

    onToggle(cbHDMIVideoPresent_Enable, &VideoPage::cbHDMIVideoPresent_EnableClick);
    connect(btHDMIVideoPresent_View, &QPushButton::clicked, this,
            &VideoPage::btHDMIVideoPresent_ViewClick);
    connect(btHDMIVideoPresent_Save, &QPushButton::clicked, this,
            &VideoPage::btHDMIVideoPresent_SaveClick);
    connect(btHDMIVideoPresent_Cancel, &QPushButton::clicked, this,
            &VideoPage::btHDMIVideoPresent_CancelClick);
    onToggle(cbHVP_3Dpresent, &VideoPage::cbHVP_3DpresentClick);
    onText(ledtHVP_3DMultiPresent, &VideoPage::ledtHVP_3DMultiPresentChange);
    onText(ledtHVP_HDMIVICLen, &VideoPage::ledtHVP_HDMIVICLenChange);
    onText(ledtHVP_HDMI3DLen, &VideoPage::ledtHVP_HDMI3DLenChange);
    connect(clxHVP_3DStructure, &QListWidget::itemChanged, this,
            &VideoPage::clxHVP_3DStructureClickCheck);
    connect(vledtHVP_4K2KVIC, &KeyValueList::lineValidated, this,
            &VideoPage::vledtHVP_4K2KVICValidate);
    connect(vledtHVP_IndividualVIC, &KeyValueList::lineValidated, this,
            &VideoPage::vledtHVP_IndividualVICValidate);
}

void VideoPage::tell(const std::string& message) {
    if (!message.empty())
        m_ui.showMessage(this, qs(message));
}

// ---------------------------------------------------------------- decode

void VideoPage::decodePage() {
    gbxHDMIVideoPresent->hide();
    const bool editable = m_collection.editable;
    setBlockEditable(editable);
    {
        PageFillGuard guard(m_pageState.pageFillGuard);
        const CeaHeader& header = m_collection.header;
        ckxUnderscan->setChecked(header.underscan);
        ckxBasicAudio->setChecked(header.basicAudio);
        ckxYCbCr444->setChecked(header.ycbcr444);
        ckxYCbCr422->setChecked(header.ycbcr422);
        edtNativeFormat->setText(editable ? QString::number(header.nativeDtdCount) : QString());
        edtCEA_ver->setText(editable ? QString::number(header.revision) : QString());

        lbxVideoDefault->clear();
        clxVideoSupport->clear();
        if (editable) {
            const VideoFormatLists lists = videoFormatLists(m_collection.video);
            for (const VideoFormatItem& format : lists.inBlock)
                clxVideoSupport->addItem(
                    checkItem(qs(videoFormatItemText(format.vic)), format.native));
            for (int vic : lists.notInBlock)
                lbxVideoDefault->addItem(qs(videoFormatItemText(vic)));
        }
    }
    decodeVsdbGroup();
}

void VideoPage::setBlockEditable(bool editable) {
    lblBlock1Note->setVisible(!editable);
    lblBlock1Note->setText(editable ? QString() : qs(m_collection.note));
    m_content->setEnabled(editable);
}

void VideoPage::leavePage() {
    ledVSDBLenExit();
    gbxHDMIVideoPresent->hide();
}

void VideoPage::applyEnablingRules() {
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
    cbHVP_3Dpresent->setEnabled(on.threeD);
    ledtHVP_3DMultiPresent->setEnabled(on.threeD);
    ledtHVP_HDMIVICLen->setEnabled(on.hdmiVideoLengths);
    ledtHVP_HDMI3DLen->setEnabled(on.hdmiVideoLengths);
}

void VideoPage::decodeVsdbGroup() {
    applyEnablingRules();
    PageFillGuard guard(m_pageState.pageFillGuard);
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

void VideoPage::vsdbGroupEdited() {
    fitHdmiVideoLengths(m_collection.vsdb);
    decodeVsdbGroup();
}

// ------------------------------------------------ header flags and formats

void VideoPage::ckxUnderscanClick() {
    if (!filling())
        m_collection.header.underscan = ckxUnderscan->isChecked();
}

void VideoPage::ckxBasicAudioClick() {
    if (!filling())
        m_collection.header.basicAudio = ckxBasicAudio->isChecked();
}

void VideoPage::ckxYCbCr444Click() {
    if (!filling())
        m_collection.header.ycbcr444 = ckxYCbCr444->isChecked();
}

void VideoPage::ckxYCbCr422Click() {
    if (!filling())
        m_collection.header.ycbcr422 = ckxYCbCr422->isChecked();
}

void VideoPage::edtNativeFormatChange() {
    if (!filling())
        tell(editNativeDtdCount(m_collection.header, textOf(edtNativeFormat)));
}

void VideoPage::edtCEA_verChange() {
    if (!filling())
        editRevision(m_collection.header, textOf(edtCEA_ver));
}

void VideoPage::clxVideoSupportClickCheck(QListWidgetItem* item) {
    if (filling() || !item)
        return;
    if (const auto vic = vicFromItemText(item->text().toStdString()))
        setNativeFlag(m_collection.video, *vic, item->checkState() == Qt::Checked);
}

void VideoPage::btnVideoAddClick() {
    QListWidgetItem* item = lbxVideoDefault->currentItem();
    if (!item || !item->isSelected())
        return;
    const auto vic = vicFromItemText(item->text().toStdString());
    if (!vic)
        return;
    const FieldEdit added = addShortVideoDescriptor(m_collection, *vic);
    if (!added.stored) {
        tell(added);
        return;
    }
    PageFillGuard guard(m_pageState.pageFillGuard);
    clxVideoSupport->addItem(checkItem(item->text(), false));
    delete lbxVideoDefault->takeItem(lbxVideoDefault->row(item));
}

void VideoPage::btnVideoDeleteClick() {
    QListWidgetItem* item = clxVideoSupport->currentItem();
    if (!item || !item->isSelected())
        return;
    const auto vic = vicFromItemText(item->text().toStdString());
    if (!vic || !removeShortVideoDescriptor(m_collection, *vic))
        return;
    PageFillGuard guard(m_pageState.pageFillGuard);
    lbxVideoDefault->addItem(item->text());
    delete clxVideoSupport->takeItem(clxVideoSupport->row(item));
}

// ------------------------------------------------------------- VSDB group

void VideoPage::ckxVSDBEnableClick() {
    if (filling())
        return;
    const FieldEdit edit = enableHdmiVsdb(m_collection, ckxVSDBEnable->isChecked());
    vsdbGroupEdited();
    tell(edit);
}

void VideoPage::edtPhyAddr_Change() {
    if (filling())
        return;
    const auto* edit = qobject_cast<const QLineEdit*>(sender());
    const auto at = std::find(m_physicalAddress.begin(), m_physicalAddress.end(), edit);
    if (at == m_physicalAddress.end())
        return;
    const int digit = static_cast<int>(at - m_physicalAddress.begin()) + 1;
    tell(editPhysicalAddress(m_collection.vsdb, digit, textOf(*at)));
}

void VideoPage::ckxVSDBExtClick() {
    if (filling())
        return;
    const FieldEdit edit = extendHdmiVsdb(m_collection, ckxVSDBExt->isChecked());
    vsdbGroupEdited();
    tell(edit);
}

void VideoPage::ledVSDBLenChange() {
    if (filling())
        return;
    // The length is taken when the edit is left; only a length that can
    // never be right is answered at once.
    const FieldEdit edit = typeHdmiVsdbLength(m_collection, textOf(ledVSDBLen));
    if (!edit.stored && edit.message.empty())
        return;
    vsdbGroupEdited();
    tell(edit);
}

void VideoPage::ledVSDBLenExit() {
    const HdmiVsdb& v = m_collection.vsdb;
    if (filling() || !m_collection.editable || !v.present || !v.extended ||
        ledVSDBLen->text() == QString::number(v.size - 1))
        return;
    // The group shows the length taken before the message box can take the
    // focus (and end the editing once more).
    const FieldEdit edit = leaveHdmiVsdbLength(m_collection, textOf(ledVSDBLen));
    vsdbGroupEdited();
    tell(edit);
}

void VideoPage::storeFlag(bool& field, const QCheckBox* box) {
    if (!filling())
        field = box->isChecked();
}

void VideoPage::ckxSupport_AIClick() {
    storeFlag(m_collection.vsdb.supportsAI, ckxSupport_AI);
}

void VideoPage::ckxDC_30bitClick() {
    storeFlag(m_collection.vsdb.dc30bit, ckxDC_30bit);
}

void VideoPage::ckxDC_36bitClick() {
    storeFlag(m_collection.vsdb.dc36bit, ckxDC_36bit);
}

void VideoPage::ckxDC_48bitClick() {
    storeFlag(m_collection.vsdb.dc48bit, ckxDC_48bit);
}

void VideoPage::ckxDC_Y444Click() {
    storeFlag(m_collection.vsdb.dcY444, ckxDC_Y444);
}

void VideoPage::ckxDVI_DualClick() {
    storeFlag(m_collection.vsdb.dviDual, ckxDVI_Dual);
}

void VideoPage::ledVSDB_MaxTMDSClkChange() {
    if (!filling())
        tell(editMaxTmdsClock(m_collection.vsdb, textOf(ledVSDB_MaxTMDSClk)));
}

void VideoPage::ckxLatencyFieldsPresentClick() {
    if (filling())
        return;
    m_collection.vsdb.latencyFieldsPresent = ckxLatencyFieldsPresent->isChecked();
    vsdbGroupEdited();
}

void VideoPage::ckx_I_LatencyFieldsPresentClick() {
    if (filling())
        return;
    m_collection.vsdb.iLatencyFieldsPresent = ckx_I_LatencyFieldsPresent->isChecked();
    vsdbGroupEdited();
}

void VideoPage::storeLatency(int& field, const QLineEdit* edit) {
    if (!filling())
        tell(editLatency(field, textOf(edit)));
}

void VideoPage::ledLatency_VideoChange() {
    storeLatency(m_collection.vsdb.videoLatency, ledLatency_Video);
}

void VideoPage::ledLatency_AudioChange() {
    storeLatency(m_collection.vsdb.audioLatency, ledLatency_Audio);
}

void VideoPage::led_I_Latency_VideoChange() {
    storeLatency(m_collection.vsdb.iVideoLatency, led_I_Latency_Video);
}

void VideoPage::led_I_Latency_AudioChange() {
    storeLatency(m_collection.vsdb.iAudioLatency, led_I_Latency_Audio);
}

void VideoPage::cbxVSDB_CNCClick() {
    if (filling())
        return;
    const auto* box = qobject_cast<const QCheckBox*>(sender());
    HdmiVsdb& v = m_collection.vsdb;
    bool* fields[] = {&v.cnc0, &v.cnc1, &v.cnc2, &v.cnc3};
    for (std::size_t i = 0; i < m_contentTypes.size(); ++i)
        if (m_contentTypes[i] == box)
            *fields[i] = box->isChecked();
}

// ------------------------------------------------------ HDMI video panel

void VideoPage::cbHDMIVideoPresent_EnableClick() {
    if (filling())
        return;
    const bool on = cbHDMIVideoPresent_Enable->isChecked();
    m_collection.vsdb.hdmiVideoPresent = on;
    vsdbGroupEdited();
    if (on)
        showPanel();
}

void VideoPage::btHDMIVideoPresent_ViewClick() {
    showPanel();
}

void VideoPage::showPanel() {
    // Over the page, below the header flags.
    const int margin = 6;
    gbxHDMIVideoPresent->setGeometry(margin, margin, width() - 2 * margin, height() - 2 * margin);
    gbxHDMIVideoPresent->show();
    gbxHDMIVideoPresent->raise();
    fillPanel();
    refreshPanel();
}

void VideoPage::fillPanel() {
    PageFillGuard guard(m_pageState.pageFillGuard);
    const HdmiVsdb& v = m_collection.vsdb;
    std::copy(v.hdmiVic.begin(), v.hdmiVic.end(), m_workingCodes.begin());
    std::copy_n(v.entries.begin(), m_workingEntries.size(), m_workingEntries.begin());

    ledtHVP_HDMIVICLen->setText(QString::number(v.hdmiVicLen));
    Label16->setEnabled(true);
    vledtHVP_4K2KVIC->setEnabled(true);
    showLines(vledtHVP_4K2KVIC, hdmiVicLines(m_workingCodes, v.hdmiVicLen));

    cbHVP_3Dpresent->setChecked(v.threeDPresent);
    ledtHVP_3DMultiPresent->setText(QString::number(v.threeDMultiPresent));
    ledtHVP_HDMI3DLen->setText(QString::number(v.hdmi3dLen));
    fillBitList(clxHVP_3DStructure, QStringLiteral("3D_Structure_ALL_"), v.structureAll);
    fillBitList(clxHVP_3DMask, QStringLiteral("3D_Mask_"), v.structureMask);
    showLines(
        vledtHVP_IndividualVIC,
        threeDEntryLines(m_workingEntries, v.hdmi3dLen - threeDFieldBytes(v.threeDMultiPresent)));
}

void VideoPage::disable4K2KList(bool empty) {
    if (empty)
        vledtHVP_4K2KVIC->clearLines();
    vledtHVP_4K2KVIC->setEnabled(false);
    Label16->setEnabled(false);
}

void VideoPage::disableIndividualList(bool empty) {
    if (empty)
        vledtHVP_IndividualVIC->clearLines();
    vledtHVP_IndividualVIC->setEnabled(false);
    Label18->setEnabled(false);
}

void VideoPage::refreshPanel() {
    std::vector<std::string> messages;
    {
        PageFillGuard guard(m_pageState.pageFillGuard);
        const int codes = std::min(numberOf(ledtHVP_HDMIVICLen), kMaxHdmiVicLen);
        if (codes > 0) {
            if (vledtHVP_4K2KVIC->lineCount() > 0 &&
                readHdmiVicLines(linesOf(vledtHVP_4K2KVIC), codes, m_workingCodes))
                messages.emplace_back(kMsgValueAbove15);
            Label16->setEnabled(true);
            vledtHVP_4K2KVIC->setEnabled(true);
            showLines(vledtHVP_4K2KVIC, hdmiVicLines(m_workingCodes, codes));
        }

        const std::string multiText = textOf(ledtHVP_3DMultiPresent);
        if (!multiText.empty()) {
            clxHVP_3DStructure->setEnabled(false);
            clxHVP_3DMask->setEnabled(false);
            if (const auto multi = digitsValue(multiText)) {
                const int len3d = ledtHVP_HDMI3DLen->isEnabled() ? numberOf(ledtHVP_HDMI3DLen) : 0;
                if (len3d > 1) {
                    clxHVP_3DStructure->setEnabled(*multi == 1 || *multi == 10);
                    clxHVP_3DMask->setEnabled(len3d > 3 && *multi == 10);
                }
                if (*multi != 0 && *multi != 1 && *multi != 10 && *multi != 11)
                    messages.emplace_back(kMsgThreeDMultiPresent);
            } else {
                messages.emplace_back(kMsgIntegerValue);
            }
        }

        if (cbHVP_3Dpresent->isChecked() && cbHVP_3Dpresent->isEnabled()) {
            const int n = numberOf(ledtHVP_HDMI3DLen) - 2 * clxHVP_3DStructure->isEnabled() -
                          2 * clxHVP_3DMask->isEnabled();
            if (n < 1) {
                disableIndividualList(false);
            } else {
                Label18->setEnabled(true);
                vledtHVP_IndividualVIC->setEnabled(true);
                bool above15 = false;
                if (vledtHVP_IndividualVIC->lineCount() > 0)
                    readThreeDEntryLines(linesOf(vledtHVP_IndividualVIC), n, m_workingEntries,
                                         above15);
                if (above15)
                    messages.emplace_back(kMsgValueAbove15);
                showLines(vledtHVP_IndividualVIC, threeDEntryLines(m_workingEntries, n));
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

void VideoPage::ledtHVP_HDMIVICLenChange() {
    if (filling())
        return;
    const std::string text = textOf(ledtHVP_HDMIVICLen);
    if (text.empty())
        return;
    const auto value = digitsValue(text);
    if (!value) {
        disable4K2KList(false);
        tell(kMsgIntegerValue);
        refreshPanel();
        return;
    }
    const HdmiVsdb& v = m_collection.vsdb;
    const int room = hdmiVideoRoom(v);
    if (room > 0) {
        // HDMI_VIC_LEN has three bits: at most 7 codes, whatever the room.
        const int limit = std::min(room, kMaxHdmiVicLen);
        int codes = *value;
        if (codes > limit) {
            codes = limit;
            {
                PageFillGuard guard(m_pageState.pageFillGuard);
                ledtHVP_HDMIVICLen->setText(QString::number(limit));
            }
            tell(withinRoomMessage(limit));
        } else if (codes == 0) {
            disable4K2KList(true);
        }
        PageFillGuard guard(m_pageState.pageFillGuard);
        setEditText(ledtHVP_HDMI3DLen, QString::number(std::max(room - codes, 0)));
    } else {
        {
            PageFillGuard guard(m_pageState.pageFillGuard);
            setEditText(ledtHVP_HDMIVICLen, QStringLiteral("0"));
            setEditText(ledtHVP_HDMI3DLen, QStringLiteral("0"));
        }
        disable4K2KList(true);
        disableIndividualList(false);
        tell(increaseVsdbLengthMessage(v));
    }
    refreshPanel();
}

void VideoPage::ledtHVP_HDMI3DLenChange() {
    if (filling())
        return;
    const std::string text = textOf(ledtHVP_HDMI3DLen);
    if (text.empty())
        return;
    const auto value = digitsValue(text);
    if (!value) {
        disableIndividualList(false);
        tell(kMsgIntegerValue);
        refreshPanel();
        return;
    }
    const HdmiVsdb& v = m_collection.vsdb;
    const int room = hdmiVideoRoom(v);
    if (room > 0) {
        int len3d = *value;
        if (len3d > room) {
            len3d = room;
            {
                PageFillGuard guard(m_pageState.pageFillGuard);
                ledtHVP_HDMI3DLen->setText(QString::number(room));
            }
            tell(withinRoomMessage(room));
        }
        const int structureBytes =
            4 - 2 * !clxHVP_3DStructure->isEnabled() - 2 * !clxHVP_3DMask->isEnabled();
        if (len3d <= structureBytes) {
            if (len3d == structureBytes) {
                clxHVP_3DStructure->setEnabled(false);
                clxHVP_3DMask->setEnabled(false);
            }
            disableIndividualList(true);
        }
        const int codes = std::clamp(room - len3d, 0, kMaxHdmiVicLen);
        {
            PageFillGuard guard(m_pageState.pageFillGuard);
            setEditText(ledtHVP_HDMIVICLen, QString::number(codes));
        }
        if (codes == 0)
            disable4K2KList(true);
    } else {
        {
            PageFillGuard guard(m_pageState.pageFillGuard);
            setEditText(ledtHVP_HDMIVICLen, QStringLiteral("0"));
            setEditText(ledtHVP_HDMI3DLen, QStringLiteral("0"));
        }
        disable4K2KList(true);
        disableIndividualList(false);
        tell(increaseVsdbLengthMessage(v));
    }
    refreshPanel();
}

void VideoPage::cbHVP_3DpresentClick() {
    if (!filling())
        refreshPanel();
}

void VideoPage::ledtHVP_3DMultiPresentChange() {
    if (!filling())
        refreshPanel();
}

void VideoPage::clxHVP_3DStructureClickCheck(QListWidgetItem* item) {
    if (filling() || !item || item->checkState() != Qt::Checked)
        return;
    // Codes 7 and 9..15 are reserved (HDMI 1.4b, table 8-19).
    const int bit = clxHVP_3DStructure->row(item);
    if (bit != 7 && bit < 9)
        return;
    {
        PageFillGuard guard(m_pageState.pageFillGuard);
        item->setCheckState(Qt::Unchecked);
    }
    tell(kMsgReservedStructure);
}

void VideoPage::btHDMIVideoPresent_SaveClick() {
    HdmiVideoPanelValues values;
    values.hdmiVicLen = textOf(ledtHVP_HDMIVICLen);
    values.threeDPresent = cbHVP_3Dpresent->isChecked();
    values.threeDMultiPresent = textOf(ledtHVP_3DMultiPresent);
    values.hdmi3dLen = textOf(ledtHVP_HDMI3DLen);
    values.structureAll = checkedBits(clxHVP_3DStructure);
    values.structureMask = checkedBits(clxHVP_3DMask);
    values.hdmiVicLines = linesOf(vledtHVP_4K2KVIC);
    values.entryLines = linesOf(vledtHVP_IndividualVIC);
    const PanelCommit commit = commitHdmiVideoPanel(m_collection.vsdb, values);
    gbxHDMIVideoPresent->hide();
    for (const std::string& message : commit.messages)
        tell(message);
}

void VideoPage::btHDMIVideoPresent_CancelClick() {
    gbxHDMIVideoPresent->hide();
}

void VideoPage::vledtHVP_4K2KVICValidate() {
    if (!filling())
        btHDMIVideoPresent_SaveClick();
}

void VideoPage::vledtHVP_IndividualVICValidate() {
    if (!filling())
        btHDMIVideoPresent_SaveClick();
}

} // namespace pellam
