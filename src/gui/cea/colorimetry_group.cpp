#include "gui/cea/colorimetry_group.h"

#include "core/cea/data_block_edits.h"
#include "core/cea/extension_block.h"
#include "core/cea/modern_block_edits.h"
#include "gui/ui/control_family.h"
#include "gui/ui/widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QVBoxLayout>

namespace pellam {

namespace {

using CB = ColorimetryBits;

struct Bit {
    const char* name;
    const char* caption;
    bool CB::*field;
};

// The bits in order, first byte bit 0 first, captioned as colorimetryNames() names them.
constexpr Bit kBits[] = {
    {"ckxCDB_xvYCC601", "xvYCC601", &CB::xvYcc601},
    {"ckxCDB_xvYCC709", "xvYCC709", &CB::xvYcc709},
    {"ckxCDB_sYCC601", "sYCC601", &CB::sYcc601},
    {"ckxCDB_opYCC601", "opYCC601", &CB::opYcc601},
    {"ckxCDB_opRGB", "opRGB", &CB::opRgb},
    {"ckxCDB_BT2020cYCC", "BT2020cYCC", &CB::bt2020cYcc},
    {"ckxCDB_BT2020YCC", "BT2020YCC", &CB::bt2020Ycc},
    {"ckxCDB_BT2020RGB", "BT2020RGB", &CB::bt2020Rgb},
    {"ckxCDB_MD0", "MD0", &CB::md0},
    {"ckxCDB_MD1", "MD1", &CB::md1},
    {"ckxCDB_MD2", "MD2", &CB::md2},
    {"ckxCDB_MD3", "MD3", &CB::md3},
    {"ckxCDB_defaultRGB", "defaultRGB", &CB::defaultRgb},
    {"ckxCDB_sRGB", "sRGB", &CB::sRgb},
    {"ckxCDB_ICtCp", "ICtCp", &CB::ictcp},
    {"ckxCDB_DCIP3", "DCI-P3", &CB::dciP3},
};

} // namespace

ColorimetryGroup::ColorimetryGroup(const Block1Context& context, QWidget* parent)
    : QGroupBox(tr("色度数据"), parent)
    , m_context(context)
    , m_collection(context.collection) {
    setObjectName(QStringLiteral("gbxCDB"));
    ckxCDB_Enable = checkBox(this, "ckxCDB_Enable", tr("Enable"));
    gbxCDB_Colorimetry = groupBox(this, "gbxCDB_Colorimetry", tr("Colorimetry"));
    gbxCDB_Second = groupBox(this, "gbxCDB_Second", QStringLiteral("MD0-MD3, RGB, ICtCp, DCI-P3"));
    gbxCDB_Second->setToolTip(
        tr("MD0-MD3 are reserved in CTA-861-H; defaultRGB and sRGB from CTA-861.6"));
    auto* first = new QGridLayout(gbxCDB_Colorimetry);
    auto* second = new QGridLayout(gbxCDB_Second);
    for (QGridLayout* grid : {first, second}) {
        grid->setContentsMargins(8, 2, 8, 4);
        grid->setVerticalSpacing(1);
    }
    for (std::size_t i = 0; i < bits.size(); ++i) {
        QGroupBox* byte = i < 8 ? gbxCDB_Colorimetry : gbxCDB_Second;
        bits[i] = checkBox(byte, kBits[i].name, QString::fromLatin1(kBits[i].caption));
        (i < 8 ? first : second)
            ->addWidget(bits[i], static_cast<int>(i % 8 / 2), static_cast<int>(i % 2));
        connect(bits[i], &QCheckBox::toggled, this, &ColorimetryGroup::ckxCDB_BitClick);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 6);
    layout->setSpacing(3);
    layout->addWidget(ckxCDB_Enable);
    layout->addWidget(gbxCDB_Colorimetry);
    layout->addWidget(gbxCDB_Second);
    layout->addStretch();
    connect(ckxCDB_Enable, &QCheckBox::clicked, this, &ColorimetryGroup::ckxCDB_EnableClick);
}

void ColorimetryGroup::decode() {
    const ColorimetryBlock& record = m_collection.colorimetry;
    const bool present = m_collection.editable && record.present;
    const ColorimetryBits shown = present ? colorimetryBitsOf(record) : ColorimetryBits{};
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    ckxCDB_Enable->setEnabled(m_collection.editable);
    ckxCDB_Enable->setChecked(present);
    for (std::size_t i = 0; i < bits.size(); ++i) {
        bits[i]->setEnabled(present);
        bits[i]->setChecked(shown.*kBits[i].field);
    }
}

void ColorimetryGroup::ckxCDB_EnableClick() {
    if (filling() || !m_collection.editable)
        return;
    if (enableColorimetry(m_collection, ckxCDB_Enable->isChecked()) == EditResult::NoSpace)
        m_context.tell(this, kMsgNoSpaceOfExtendedBlock);
    decode();
}

void ColorimetryGroup::ckxCDB_BitClick() {
    const int index = indexOfSender(bits, sender());
    ColorimetryBlock& record = m_collection.colorimetry;
    if (filling() || index < 0 || !record.present)
        return;
    ColorimetryBits value = colorimetryBitsOf(record);
    value.*kBits[static_cast<std::size_t>(index)].field =
        bits[static_cast<std::size_t>(index)]->isChecked();
    setColorimetryBits(record, value);
}

} // namespace pellam
