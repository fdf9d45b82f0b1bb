#include "gui/cea/hdr_metadata_group.h"

#include "core/cea/modern_block_edits.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/control_family.h"
#include "gui/ui/widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pellam {

namespace {

using HDR = HdrStaticMetadataBlock;

constexpr std::array<bool HDR::*, 4> kEotfFields = {&HDR::sdrGamma, &HDR::hdrGamma,
                                                    &HDR::smpteSt2084, &HDR::hlg};
constexpr std::array<std::optional<int> HDR::*, 3> kCodeFields = {
    &HDR::maxLuminance, &HDR::maxFrameAverageLuminance, &HDR::minLuminance};

} // namespace

HdrMetadataGroup::HdrMetadataGroup(const Block1Context& context, QWidget* parent)
    : QGroupBox(tr("HDR 静态元数据"), parent)
    , m_context(context)
    , m_collection(context.collection) {
    setObjectName(QStringLiteral("gbxHDR"));
    ckxHDR_Enable = checkBox(this, "ckxHDR_Enable", tr("Enable"));

    gbxHDR_EOTF = groupBox(this, "gbxHDR_EOTF", QStringLiteral("EOTF"));
    ckxHDR_SDR = checkBox(gbxHDR_EOTF, "ckxHDR_SDR", tr("Traditional gamma - SDR"));
    ckxHDR_HDR = checkBox(gbxHDR_EOTF, "ckxHDR_HDR", tr("Traditional gamma - HDR"));
    ckxHDR_PQ = checkBox(gbxHDR_EOTF, "ckxHDR_PQ", QStringLiteral("SMPTE ST 2084"));
    ckxHDR_HLG = checkBox(gbxHDR_EOTF, "ckxHDR_HLG", QStringLiteral("HLG"));
    m_eotfs = {ckxHDR_SDR, ckxHDR_HDR, ckxHDR_PQ, ckxHDR_HLG};
    auto* eotf = new QGridLayout(gbxHDR_EOTF);
    eotf->setContentsMargins(8, 2, 8, 4);
    eotf->setVerticalSpacing(1);
    for (std::size_t i = 0; i < m_eotfs.size(); ++i)
        eotf->addWidget(m_eotfs[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    ckxHDR_SMType1 = checkBox(this, "ckxHDR_SMType1", tr("Static Metadata Type 1"));

    gbxHDR_Luminance = groupBox(this, "gbxHDR_Luminance", tr("亮度"));
    QWidget* l = gbxHDR_Luminance;
    ckxHDR_MaxLum = checkBox(l, "ckxHDR_MaxLum", tr("Max Luminance"));
    ckxHDR_MaxFALL = checkBox(l, "ckxHDR_MaxFALL", tr("Max Frame-average"));
    ckxHDR_MinLum = checkBox(l, "ckxHDR_MinLum", tr("Min Luminance"));
    ledHDR_MaxLum = lineEdit(l, "ledHDR_MaxLum", 3, 40);
    ledHDR_MaxFALL = lineEdit(l, "ledHDR_MaxFALL", 3, 40);
    ledHDR_MinLum = lineEdit(l, "ledHDR_MinLum", 3, 40);
    lblHDR_MaxLum = named(new QLabel(l), "lblHDR_MaxLum");
    lblHDR_MaxFALL = named(new QLabel(l), "lblHDR_MaxFALL");
    lblHDR_MinLum = named(new QLabel(l), "lblHDR_MinLum");
    m_present = {ckxHDR_MaxLum, ckxHDR_MaxFALL, ckxHDR_MinLum};
    m_codes = {ledHDR_MaxLum, ledHDR_MaxFALL, ledHDR_MinLum};
    m_values = {lblHDR_MaxLum, lblHDR_MaxFALL, lblHDR_MinLum};
    auto* luminance = new QGridLayout(gbxHDR_Luminance);
    luminance->setContentsMargins(8, 2, 8, 4);
    luminance->setVerticalSpacing(1);
    for (int i = 0; i < 3; ++i) {
        const auto k = static_cast<std::size_t>(i);
        m_values[k]->setMinimumWidth(100);
        luminance->addWidget(m_present[k], i, 0);
        luminance->addWidget(m_codes[k], i, 1);
        luminance->addWidget(m_values[k], i, 2);
    }
    luminance->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 6);
    layout->setSpacing(3);
    layout->addWidget(ckxHDR_Enable);
    layout->addWidget(gbxHDR_EOTF);
    layout->addWidget(ckxHDR_SMType1);
    layout->addWidget(gbxHDR_Luminance);
    layout->addStretch();

    connect(ckxHDR_Enable, &QCheckBox::clicked, this, &HdrMetadataGroup::ckxHDR_EnableClick);
    for (QCheckBox* box : m_eotfs)
        connect(box, &QCheckBox::toggled, this, &HdrMetadataGroup::ckxHDR_EOTFClick);
    connect(ckxHDR_SMType1, &QCheckBox::toggled, this, &HdrMetadataGroup::ckxHDR_SMType1Click);
    for (QCheckBox* box : m_present)
        connect(box, &QCheckBox::clicked, this, &HdrMetadataGroup::ckxHDR_LumClick);
    for (std::size_t i = 0; i < m_codes.size(); ++i)
        commitWhenFinished(
            m_codes[i], this, [this, i] { luminanceCodeEdited(static_cast<int>(i)); },
            [](const QString& text) {
                int code = 0;
                return qs(editNumber(code, text.toStdString(), 255, kMsgByteValue).message);
            });
}

void HdrMetadataGroup::decode() {
    const auto block = m_collection.editable ? hdrStaticMetadata(m_collection) : std::nullopt;
    const HDR h = block.value_or(HDR{});
    const int codes = block ? hdrLuminanceCount(h) : 0;
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    ckxHDR_Enable->setEnabled(m_collection.editable);
    ckxHDR_Enable->setChecked(block.has_value());
    for (std::size_t i = 0; i < m_eotfs.size(); ++i) {
        m_eotfs[i]->setEnabled(block.has_value());
        m_eotfs[i]->setChecked(h.*kEotfFields[i]);
    }
    ckxHDR_SMType1->setEnabled(block.has_value());
    ckxHDR_SMType1->setChecked(h.staticMetadataType1);
    for (std::size_t i = 0; i < m_present.size(); ++i) {
        const bool held = static_cast<int>(i) < codes;
        m_present[i]->setEnabled(block.has_value());
        m_present[i]->setChecked(held);
        m_codes[i]->setEnabled(held);
        m_codes[i]->setText(held ? QString::number((h.*kCodeFields[i]).value_or(0)) : QString());
    }
    showLuminance();
}

void HdrMetadataGroup::showLuminance() {
    const auto block = m_collection.editable ? hdrStaticMetadata(m_collection) : std::nullopt;
    for (QLabel* label : m_values)
        label->clear();
    if (!block)
        return;
    const int max = block->maxLuminance.value_or(0);
    if (block->maxLuminance)
        lblHDR_MaxLum->setText(qs(luminanceText(maxLuminanceCdM2(max))));
    if (block->maxFrameAverageLuminance)
        lblHDR_MaxFALL->setText(
            qs(luminanceText(maxLuminanceCdM2(*block->maxFrameAverageLuminance))));
    if (block->minLuminance)
        lblHDR_MinLum->setText(qs(luminanceText(minLuminanceCdM2(max, *block->minLuminance))));
}

void HdrMetadataGroup::ckxHDR_EnableClick() {
    if (filling())
        return;
    const FieldEdit edit = enableHdrStaticMetadata(m_collection, ckxHDR_Enable->isChecked());
    decode();
    m_context.tell(this, edit.message);
}

void HdrMetadataGroup::ckxHDR_EOTFClick() {
    const int index = indexOfSender(m_eotfs, sender());
    auto block = hdrStaticMetadata(m_collection);
    if (filling() || index < 0 || !block)
        return;
    (*block).*kEotfFields[static_cast<std::size_t>(index)] =
        m_eotfs[static_cast<std::size_t>(index)]->isChecked();
    storeHdrStaticMetadata(m_collection, *block);
}

void HdrMetadataGroup::ckxHDR_SMType1Click() {
    auto block = hdrStaticMetadata(m_collection);
    if (filling() || !block)
        return;
    block->staticMetadataType1 = ckxHDR_SMType1->isChecked();
    storeHdrStaticMetadata(m_collection, *block);
}

void HdrMetadataGroup::ckxHDR_LumClick() {
    const int index = indexOfSender(m_present, sender());
    auto block = hdrStaticMetadata(m_collection);
    if (filling() || index < 0 || !block)
        return;
    // Codes are held in order: checking one holds the earlier ones too,
    // clearing one lets the later ones go with it.
    const bool on = m_present[static_cast<std::size_t>(index)]->isChecked();
    setHdrLuminanceCount(*block, on ? index + 1 : index);
    const FieldEdit edit = storeHdrStaticMetadata(m_collection, *block);
    decode();
    m_context.tell(this, edit.message);
}

void HdrMetadataGroup::ledHDR_LumChange() {
    const int index = indexOfSender(m_codes, sender());
    if (index >= 0)
        luminanceCodeEdited(index);
}

void HdrMetadataGroup::luminanceCodeEdited(int index) {
    auto block = hdrStaticMetadata(m_collection);
    if (filling() || !block)
        return;
    std::optional<int>& code = (*block).*kCodeFields[static_cast<std::size_t>(index)];
    int value = code.value_or(0);
    const FieldEdit edit =
        editNumber(value, textOf(m_codes[static_cast<std::size_t>(index)]), 255, kMsgByteValue);
    if (edit.stored && code) {
        code = value;
        storeHdrStaticMetadata(m_collection, *block);
        showLuminance();
    } else if (!edit.stored) {
        // A refused text changes nothing: the group shows the block again.
        decode();
    }
    m_context.tell(this, edit.message);
}

} // namespace pellam
