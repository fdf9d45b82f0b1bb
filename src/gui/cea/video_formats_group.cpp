#include "gui/cea/video_formats_group.h"

#include "core/cea/cea_formats.h"
#include "core/cea/video_block_edits.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/control_family.h"
#include "gui/ui/widgets.h"

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

// An entry of the selected formats: its box is the SVD's native flag, which
// only VIC 1..64 can carry, so the later ones have none.
QListWidgetItem* supportedItem(int vic, bool native) {
    QListWidgetItem* item = checkItem(qs(videoFormatItemText(vic)), native);
    if (!nativeFlagAllowed(vic)) {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(Qt::CheckStateRole, QVariant());
    }
    return item;
}

} // namespace

VideoFormatsGroup::VideoFormatsGroup(const Block1Context& context, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_collection(context.collection) {
    gbxDTV = groupBox(this, "gbxDTV", tr("DTV 选项"));
    ckxUnderscan = checkBox(gbxDTV, "ckxUnderscan", QStringLiteral("Underscan"));
    ckxBasicAudio = checkBox(gbxDTV, "ckxBasicAudio", tr("Basic Audio"));
    ckxYCbCr444 = checkBox(gbxDTV, "ckxYCbCr444", QStringLiteral("YCbCr 444"));
    ckxYCbCr422 = checkBox(gbxDTV, "ckxYCbCr422", QStringLiteral("YCbCr 422"));
    auto* dtv = new QVBoxLayout(gbxDTV);
    dtv->setContentsMargins(8, 2, 8, 4);
    dtv->setSpacing(2);
    for (QCheckBox* box : {ckxUnderscan, ckxBasicAudio, ckxYCbCr444, ckxYCbCr422})
        dtv->addWidget(box);

    gbxMisc = groupBox(this, "gbxMisc", tr("CEA Ext. 版本"));
    edtCEA_ver = lineEdit(gbxMisc, "edtCEA_ver", 3, 60);
    auto* misc = new QHBoxLayout(gbxMisc);
    misc->setContentsMargins(8, 2, 8, 4);
    misc->addWidget(edtCEA_ver);
    misc->addStretch();

    GroupBox22 = groupBox(this, "GroupBox22", tr("非本地DTD"));
    edtNativeFormat = lineEdit(GroupBox22, "edtNativeFormat", 0, 60);
    auto* native = new QHBoxLayout(GroupBox22);
    native->setContentsMargins(8, 2, 8, 4);
    native->addWidget(edtNativeFormat);
    native->addStretch();

    gbxVideoBlock = groupBox(this, "gbxVideoBlock", tr("视频详细描述"));
    lbxVideoDefault = singleSelection(named(new QListWidget(gbxVideoBlock), "lbxVideoDefault"));
    clxVideoSupport = singleSelection(named(new QListWidget(gbxVideoBlock), "clxVideoSupport"));
    btnVideoAdd = button(gbxVideoBlock, "btnVideoAdd", QStringLiteral("--->"));
    btnVideoDelete = button(gbxVideoBlock, "btnVideoDelete", QStringLiteral("<---"));
    for (QPushButton* b : {btnVideoAdd, btnVideoDelete})
        b->setFixedWidth(44);
    auto* supportedLabels = new QHBoxLayout;
    supportedLabels->addWidget(new QLabel(tr("选取的视频格式"), gbxVideoBlock));
    supportedLabels->addStretch();
    supportedLabels->addWidget(new QLabel(tr("(Naitve)"), gbxVideoBlock));
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnVideoAdd);
    buttons->addWidget(btnVideoDelete);
    buttons->addStretch();
    auto* video = new QGridLayout(gbxVideoBlock);
    video->setContentsMargins(8, 2, 8, 6);
    video->setVerticalSpacing(2);
    video->addWidget(new QLabel(tr("默认的视频格式"), gbxVideoBlock), 0, 0);
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
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(gbxVideoBlock, 1);
    layout->addLayout(right);

    connectHandlers();
}

void VideoFormatsGroup::connectHandlers() {
    const auto onToggle = [this](QCheckBox* box, void (VideoFormatsGroup::*handler)()) {
        connect(box, &QCheckBox::toggled, this, handler);
    };
    const auto onText = [this](QLineEdit* edit, void (VideoFormatsGroup::*handler)()) {
        commitWhenFinished(edit, this, [this, handler] { (this->*handler)(); });
    };
    onToggle(ckxUnderscan, &VideoFormatsGroup::ckxUnderscanClick);
    onToggle(ckxBasicAudio, &VideoFormatsGroup::ckxBasicAudioClick);
    onToggle(ckxYCbCr444, &VideoFormatsGroup::ckxYCbCr444Click);
    onToggle(ckxYCbCr422, &VideoFormatsGroup::ckxYCbCr422Click);
    onText(edtNativeFormat, &VideoFormatsGroup::edtNativeFormatChange);
    onText(edtCEA_ver, &VideoFormatsGroup::edtCEA_verChange);
    connect(clxVideoSupport, &QListWidget::itemChanged, this,
            &VideoFormatsGroup::clxVideoSupportClickCheck);
    connect(btnVideoAdd, &QPushButton::clicked, this, &VideoFormatsGroup::btnVideoAddClick);
    connect(btnVideoDelete, &QPushButton::clicked, this, &VideoFormatsGroup::btnVideoDeleteClick);
}

void VideoFormatsGroup::decode() {
    const bool editable = m_collection.editable;
    PageFillGuard guard(m_context.pageState.pageFillGuard);
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
            clxVideoSupport->addItem(supportedItem(format.vic, format.native));
        for (int vic : lists.notInBlock)
            lbxVideoDefault->addItem(qs(videoFormatItemText(vic)));
    }
}

void VideoFormatsGroup::ckxUnderscanClick() {
    if (!filling())
        m_collection.header.underscan = ckxUnderscan->isChecked();
}

void VideoFormatsGroup::ckxBasicAudioClick() {
    if (!filling())
        m_collection.header.basicAudio = ckxBasicAudio->isChecked();
}

void VideoFormatsGroup::ckxYCbCr444Click() {
    if (!filling())
        m_collection.header.ycbcr444 = ckxYCbCr444->isChecked();
}

void VideoFormatsGroup::ckxYCbCr422Click() {
    if (!filling())
        m_collection.header.ycbcr422 = ckxYCbCr422->isChecked();
}

void VideoFormatsGroup::edtNativeFormatChange() {
    if (filling())
        return;
    const FieldEdit edit = editNativeDtdCount(m_collection.header, textOf(edtNativeFormat));
    if (!edit.stored)
        decode();
    m_context.tell(this, edit.message);
}

void VideoFormatsGroup::edtCEA_verChange() {
    if (filling())
        return;
    const FieldEdit edit = editRevision(m_collection.header, textOf(edtCEA_ver));
    if (!edit.stored)
        decode();
    m_context.tell(this, edit.message);
}

void VideoFormatsGroup::clxVideoSupportClickCheck(QListWidgetItem* item) {
    if (filling() || !item)
        return;
    const auto vic = vicFromItemText(item->text().toStdString());
    if (vic && !setNativeFlag(m_collection.video, *vic, item->checkState() == Qt::Checked)) {
        PageFillGuard guard(m_context.pageState.pageFillGuard);
        item->setCheckState(Qt::Unchecked);
    }
}

void VideoFormatsGroup::btnVideoAddClick() {
    QListWidgetItem* item = lbxVideoDefault->currentItem();
    if (!item || !item->isSelected())
        return;
    const auto vic = vicFromItemText(item->text().toStdString());
    if (!vic)
        return;
    const FieldEdit added = addShortVideoDescriptor(m_collection, *vic);
    if (!added.stored) {
        m_context.tell(this, added.message);
        return;
    }
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    clxVideoSupport->addItem(supportedItem(*vic, false));
    delete lbxVideoDefault->takeItem(lbxVideoDefault->row(item));
}

void VideoFormatsGroup::btnVideoDeleteClick() {
    QListWidgetItem* item = clxVideoSupport->currentItem();
    if (!item || !item->isSelected())
        return;
    const auto vic = vicFromItemText(item->text().toStdString());
    if (!vic || !removeShortVideoDescriptor(m_collection, *vic))
        return;
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    // A code no format has goes with its SVD; a format can be picked again.
    if (videoFormatName(*vic))
        lbxVideoDefault->addItem(item->text());
    delete clxVideoSupport->takeItem(clxVideoSupport->row(item));
}

} // namespace pellam
