#include "gui/cea/ycbcr420_group.h"

#include "core/cea/modern_block_edits.h"
#include "gui/ui/control_family.h"
#include "gui/ui/widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace pellam {

namespace {

// The item's SVD index or VIC position, kept with it.
constexpr int kIndexRole = Qt::UserRole;

} // namespace

Ycbcr420Group::Ycbcr420Group(const Block1Context& context, QWidget* parent)
    : QGroupBox(tr("YCbCr 4:2:0 视频数据"), parent)
    , m_context(context)
    , m_collection(context.collection) {
    setObjectName(QStringLiteral("gbxY420"));

    gbxY420Map = groupBox(this, "gbxY420Map", tr("4:2:0 能力映射 (Capability Map)"));
    clxY420Map = singleSelection(named(new QListWidget(gbxY420Map), "clxY420Map"));
    ckxY420Map_All = checkBox(gbxY420Map, "ckxY420Map_All", tr("所有 SVD (no bitmap)"));
    auto* map = new QVBoxLayout(gbxY420Map);
    map->setContentsMargins(8, 2, 8, 4);
    map->setSpacing(2);
    map->addWidget(new QLabel(tr("视频详细描述 (SVD)"), gbxY420Map));
    map->addWidget(clxY420Map);
    map->addWidget(ckxY420Map_All);

    gbxY420VDB = groupBox(this, "gbxY420VDB", tr("仅 4:2:0 的视频格式 (4:2:0 VDB)"));
    clxY420VDB = singleSelection(named(new QListWidget(gbxY420VDB), "clxY420VDB"));
    ledY420_VIC = lineEdit(gbxY420VDB, "ledY420_VIC", 3, 40);
    btnY420Add = button(gbxY420VDB, "btnY420Add", tr("添加"));
    btnY420Delete = button(gbxY420VDB, "btnY420Delete", tr("删除"));
    auto* buttons = new QHBoxLayout;
    buttons->addLayout(labelled(gbxY420VDB, QStringLiteral("VIC"), ledY420_VIC));
    buttons->addWidget(btnY420Add);
    buttons->addWidget(btnY420Delete);
    buttons->addStretch();
    auto* only = new QVBoxLayout(gbxY420VDB);
    only->setContentsMargins(8, 2, 8, 4);
    only->setSpacing(2);
    only->addWidget(new QLabel(QStringLiteral("(Native)"), gbxY420VDB));
    only->addWidget(clxY420VDB);
    only->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 6);
    layout->addWidget(gbxY420Map, 1);
    layout->addWidget(gbxY420VDB, 1);
    for (QListWidget* list : {clxY420Map, clxY420VDB})
        list->setMinimumHeight(110);

    connect(clxY420Map, &QListWidget::itemChanged, this, &Ycbcr420Group::clxY420MapClickCheck);
    connect(ckxY420Map_All, &QCheckBox::clicked, this, &Ycbcr420Group::ckxY420Map_AllClick);
    connect(clxY420VDB, &QListWidget::itemChanged, this, &Ycbcr420Group::clxY420VDBClickCheck);
    connect(btnY420Add, &QPushButton::clicked, this, &Ycbcr420Group::btnY420AddClick);
    connect(ledY420_VIC, &QLineEdit::returnPressed, this, &Ycbcr420Group::btnY420AddClick);
    connect(btnY420Delete, &QPushButton::clicked, this, &Ycbcr420Group::btnY420DeleteClick);
}

void Ycbcr420Group::decode() {
    const bool editable = m_collection.editable;
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    clxY420Map->clear();
    clxY420VDB->clear();
    ckxY420Map_All->setChecked(editable && ycbcr420MapsEverySvd(m_collection));
    for (QWidget* w : std::initializer_list<QWidget*>{clxY420Map, ckxY420Map_All, clxY420VDB,
                                                      ledY420_VIC, btnY420Add, btnY420Delete})
        w->setEnabled(editable);
    if (!editable)
        return;
    for (const Ycbcr420MapItem& svd : ycbcr420MapItems(m_collection)) {
        QListWidgetItem* item = checkItem(qs(ycbcr420ItemText(svd)), svd.mapped);
        item->setData(kIndexRole, svd.index);
        clxY420Map->addItem(item);
    }
    const std::vector<ShortVideoCode> only = ycbcr420OnlyVics(m_collection);
    for (std::size_t i = 0; i < only.size(); ++i) {
        const Ycbcr420MapItem asItem{static_cast<int>(i), only[i].vic, false, false};
        QListWidgetItem* item = checkItem(qs(ycbcr420ItemText(asItem)), only[i].native);
        item->setData(kIndexRole, static_cast<int>(i));
        clxY420VDB->addItem(item);
    }
}

void Ycbcr420Group::showMapChecks() {
    const std::vector<Ycbcr420MapItem> items = ycbcr420MapItems(m_collection);
    bool sameItems = static_cast<int>(items.size()) == clxY420Map->count();
    for (int i = 0; sameItems && i < clxY420Map->count(); ++i)
        sameItems = clxY420Map->item(i)->data(kIndexRole).toInt() ==
                    items[static_cast<std::size_t>(i)].index;
    if (!sameItems) {
        // A bit past the SVDs went: the list is filled again once the
        // check's own event is over (its item must live until then).
        QTimer::singleShot(0, this, &Ycbcr420Group::decode);
        return;
    }
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    for (int i = 0; i < clxY420Map->count(); ++i)
        clxY420Map->item(i)->setCheckState(
            items[static_cast<std::size_t>(i)].mapped ? Qt::Checked : Qt::Unchecked);
    ckxY420Map_All->setChecked(ycbcr420MapsEverySvd(m_collection));
}

void Ycbcr420Group::clxY420MapClickCheck(QListWidgetItem* item) {
    if (filling() || !item)
        return;
    const FieldEdit edit = markYcbcr420Svd(m_collection, item->data(kIndexRole).toInt(),
                                           item->checkState() == Qt::Checked);
    // The checks and the short-form box follow the map as it now is.
    showMapChecks();
    tell(edit.message);
}

void Ycbcr420Group::ckxY420Map_AllClick() {
    if (filling())
        return;
    const FieldEdit edit = setYcbcr420MapsEverySvd(m_collection, ckxY420Map_All->isChecked());
    showMapChecks();
    tell(edit.message);
}

void Ycbcr420Group::clxY420VDBClickCheck(QListWidgetItem* item) {
    if (filling() || !item)
        return;
    const bool native = item->checkState() == Qt::Checked;
    if (!setYcbcr420OnlyNative(m_collection, item->data(kIndexRole).toInt(), native)) {
        // Only VICs 1..64 have a native flag.
        PageFillGuard guard(m_context.pageState.pageFillGuard);
        item->setCheckState(native ? Qt::Unchecked : Qt::Checked);
    }
}

void Ycbcr420Group::btnY420AddClick() {
    if (filling())
        return;
    const FieldEdit edit = addYcbcr420OnlyVic(m_collection, textOf(ledY420_VIC));
    if (edit.stored)
        ledY420_VIC->clear();
    decode();
    tell(edit.message);
}

void Ycbcr420Group::btnY420DeleteClick() {
    QListWidgetItem* item = clxY420VDB->currentItem();
    if (filling() || !item || !item->isSelected())
        return;
    removeYcbcr420OnlyVic(m_collection, item->data(kIndexRole).toInt());
    decode();
}

} // namespace pellam
