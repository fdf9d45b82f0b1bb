#include "gui/cea/extended_blocks_page.h"

#include "core/cea/extension_block.h"
#include "gui/ui/control_family.h"
#include "gui/ui/user_interaction.h"
#include "gui/ui/widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

// Creates a numbered family of controls in a group, one per caption, named
// prefix0, prefix1, ..., stored both in the page's members and in family.
template <typename Control, std::size_t N>
void createFamily(QGroupBox* group, const char* prefix, const std::array<const char*, N>& captions,
                  const std::array<Control**, N>& members, std::array<Control*, N>& family) {
    auto* column = new QVBoxLayout(group);
    for (std::size_t i = 0; i < N; ++i) {
        family[i] = named(new Control(QString::fromLatin1(captions[i]), group),
                          QString::fromLatin1(prefix) + QString::number(i));
        *members[i] = family[i];
        column->addWidget(family[i]);
    }
}

QGroupBox* group(const QString& caption, const char* name, QWidget* parent) {
    return named(new QGroupBox(caption, parent), QString::fromLatin1(name));
}

const std::array<const char*, 4> kScanCaptions = {"None", "Overscanned", "Underscanned", "Both"};

} // namespace

ExtendedBlocksPage::ExtendedBlocksPage(SharedPageState& pageState, DataBlockCollection& collection,
                                       UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_pageState(pageState)
    , m_collection(collection)
    , m_ui(ui) {
    setObjectName(QStringLiteral("sheetB1ExtendedDB"));
    createControls();
}

void ExtendedBlocksPage::createControls() {
    lblBlock1Note = named(new QLabel(this), QStringLiteral("lblBlock1Note"));
    lblBlock1Note->hide();

    GroupBox34 = group(tr("视频能力数据"), "GroupBox34", this);
    CheckBox_B1Extended_En0 =
        named(new QCheckBox(tr("Enable"), GroupBox34), QStringLiteral("CheckBox_B1Extended_En0"));
    GroupBox45 = group(tr("Quantization Range (YCC)"), "GroupBox45", GroupBox34);
    createFamily<QRadioButton, 2>(GroupBox45, "RadioButton_QRSYCC",
                                  {"No data", "Selectable(via AVI YQ)"},
                                  {&RadioButton_QRSYCC0, &RadioButton_QRSYCC1}, m_quantizationYcc);
    GroupBox40 = group(tr("Quantization Range (RGB)"), "GroupBox40", GroupBox34);
    createFamily<QRadioButton, 2>(GroupBox40, "RadioButton_QRS",
                                  {"No data", "Selectable(via AVI Q)"},
                                  {&RadioButton_QRS0, &RadioButton_QRS1}, m_quantizationRgb);
    GroupBox41 = group(tr("PT Overscan/Underscan"), "GroupBox41", GroupBox34);
    createFamily<QRadioButton, 4>(
        GroupBox41, "RadioButton_PT", {"Refer CE/IT", "Overscanned", "Underscanned", "Both"},
        {&RadioButton_PT0, &RadioButton_PT1, &RadioButton_PT2, &RadioButton_PT3}, m_ptScan);
    GroupBox42 = group(tr("IT Overscan/Underscan"), "GroupBox42", GroupBox34);
    createFamily<QRadioButton, 4>(
        GroupBox42, "RadioButton_IT", kScanCaptions,
        {&RadioButton_IT0, &RadioButton_IT1, &RadioButton_IT2, &RadioButton_IT3}, m_itScan);
    GroupBox43 = group(tr("CE Overscan/Underscan"), "GroupBox43", GroupBox34);
    createFamily<QRadioButton, 4>(
        GroupBox43, "RadioButton_CE", kScanCaptions,
        {&RadioButton_CE0, &RadioButton_CE1, &RadioButton_CE2, &RadioButton_CE3}, m_ceScan);

    GroupBox20 = group(tr("Colorimetry Data Block"), "GroupBox20", this);
    CheckBox_B1Extended_En1 =
        named(new QCheckBox(tr("Enable"), GroupBox20), QStringLiteral("CheckBox_B1Extended_En1"));
    GroupBox38 = group(tr("Colorimetry"), "GroupBox38", GroupBox20);
    createFamily<QCheckBox, 5>(
        GroupBox38, "CheckBox_Color",
        {"xvYCC601", "xvYCC709", "sYCC601", "AdobeYCC601", "AdobeRGB"},
        {&CheckBox_Color0, &CheckBox_Color1, &CheckBox_Color2, &CheckBox_Color3, &CheckBox_Color4},
        m_colorimetry);
    GroupBox39 = group(tr("Metadata"), "GroupBox39", GroupBox20);
    createFamily<QCheckBox, 4>(GroupBox39, "CheckBox_Meta", {"MD0", "MD1", "MD2", "MD3"},
                               {&CheckBox_Meta0, &CheckBox_Meta1, &CheckBox_Meta2, &CheckBox_Meta3},
                               m_metadata);
    m_enables = {CheckBox_B1Extended_En0, CheckBox_B1Extended_En1};

    // Layout: each block's Enable box above its groups; the two blocks side
    // by side.
    auto* quantization = new QHBoxLayout;
    quantization->addWidget(GroupBox45);
    quantization->addWidget(GroupBox40);
    quantization->addStretch();
    auto* scan = new QHBoxLayout;
    for (QGroupBox* box : {GroupBox41, GroupBox42, GroupBox43})
        scan->addWidget(box);
    auto* capability = new QVBoxLayout(GroupBox34);
    capability->addWidget(CheckBox_B1Extended_En0);
    capability->addLayout(quantization);
    capability->addLayout(scan);
    capability->addStretch();

    auto* colorimetry = new QVBoxLayout(GroupBox20);
    colorimetry->addWidget(CheckBox_B1Extended_En1);
    colorimetry->addWidget(GroupBox38);
    colorimetry->addWidget(GroupBox39);
    colorimetry->addStretch();

    auto* blocks = new QHBoxLayout;
    blocks->addWidget(GroupBox34, 1);
    blocks->addWidget(GroupBox20);
    auto* page = new QVBoxLayout(this);
    page->addWidget(lblBlock1Note);
    page->addLayout(blocks);
    page->addStretch();

    for (QCheckBox* box : m_enables)
        connect(box, &QCheckBox::clicked, this, &ExtendedBlocksPage::CheckBox_B1Extended_EnClick);
    const auto connectFamily = [this](const auto& family, auto slot) {
        for (auto* control : family)
            connect(control, &QAbstractButton::clicked, this, slot);
    };
    connectFamily(m_quantizationYcc, &ExtendedBlocksPage::RadioButton_QRSYCCClick);
    connectFamily(m_quantizationRgb, &ExtendedBlocksPage::RadioButton_QRSClick);
    connectFamily(m_ptScan, &ExtendedBlocksPage::RadioButton_PTClick);
    connectFamily(m_itScan, &ExtendedBlocksPage::RadioButton_ITClick);
    connectFamily(m_ceScan, &ExtendedBlocksPage::RadioButton_CEClick);
    connectFamily(m_colorimetry, &ExtendedBlocksPage::CheckBox_ColorClick);
    connectFamily(m_metadata, &ExtendedBlocksPage::CheckBox_MetaClick);
}

void ExtendedBlocksPage::enableStates() {
    PageFillGuard guard(m_pageState.pageFillGuard);
    const bool editable = m_collection.editable;
    const bool capability = editable && m_collection.videoCapability.present;
    const bool colorimetry = editable && m_collection.colorimetry.present;
    CheckBox_B1Extended_En0->setChecked(m_collection.videoCapability.present);
    CheckBox_B1Extended_En1->setChecked(m_collection.colorimetry.present);
    for (QCheckBox* box : m_enables)
        box->setEnabled(editable);
    for (const auto* family : {&m_quantizationYcc, &m_quantizationRgb})
        for (QRadioButton* button : *family)
            button->setEnabled(capability);
    for (const auto* family : {&m_ptScan, &m_itScan, &m_ceScan})
        for (QRadioButton* button : *family)
            button->setEnabled(capability);
    for (QCheckBox* box : m_colorimetry)
        box->setEnabled(colorimetry);
    for (QCheckBox* box : m_metadata)
        box->setEnabled(colorimetry);
}

void ExtendedBlocksPage::decodePage() {
    lblBlock1Note->setVisible(!m_collection.editable);
    lblBlock1Note->setText(QString::fromStdString(m_collection.note));
    enableStates();
    PageFillGuard guard(m_pageState.pageFillGuard);
    // An absent block shows nothing checked: its record is all zero, and
    // another EDID's states must not stay on view.
    const auto check = [](const auto& family, int digit, bool present) {
        for (std::size_t i = 0; i < family.size(); ++i) {
            QRadioButton* button = family[i];
            const bool on = present && static_cast<int>(i) == digit;
            if (button->isChecked() == on)
                continue;
            // An exclusive button cannot be unchecked directly.
            button->setAutoExclusive(false);
            button->setChecked(on);
            button->setAutoExclusive(true);
        }
    };
    const VideoCapabilityBlock& capability = m_collection.videoCapability;
    using F = VideoCapabilityField;
    const auto field = [&](F f) { return videoCapabilityField(capability.value, f); };
    check(m_quantizationYcc, field(F::QuantizationYcc), capability.present);
    check(m_quantizationRgb, field(F::QuantizationRgb), capability.present);
    check(m_ptScan, field(F::PtScan), capability.present);
    check(m_itScan, field(F::ItScan), capability.present);
    check(m_ceScan, field(F::CeScan), capability.present);

    const auto showBits = [](const auto& boxes, int bits) {
        for (std::size_t bit = 0; bit < boxes.size(); ++bit)
            boxes[bit]->setChecked(getBit(static_cast<unsigned>(bits), static_cast<unsigned>(bit)));
    };
    showBits(m_colorimetry, m_collection.colorimetry.colorimetry);
    showBits(m_metadata, m_collection.colorimetry.metadata);
}

void ExtendedBlocksPage::CheckBox_B1Extended_EnClick() {
    const int digit = indexOfSender(m_enables, sender());
    if (filling() || digit < 0 || !m_collection.editable)
        return;
    QCheckBox* box = m_enables[static_cast<std::size_t>(digit)];
    const auto enable = digit == 0 ? enableVideoCapability : enableColorimetry;
    if (enable(m_collection, box->isChecked()) == EditResult::NoSpace) {
        m_ui.showMessage(this, QString::fromLatin1(kMsgNoSpaceOfExtendedBlock));
        PageFillGuard guard(m_pageState.pageFillGuard);
        box->setChecked(false);
        return;
    }
    decodePage();
}

template <std::size_t N>
void ExtendedBlocksPage::storeDigit(const std::array<QRadioButton*, N>& family,
                                    VideoCapabilityField field) {
    const int digit = indexOfSender(family, sender());
    VideoCapabilityBlock& block = m_collection.videoCapability;
    if (filling() || digit < 0 || !block.present)
        return;
    block.value = withVideoCapabilityField(block.value, field, digit);
}

void ExtendedBlocksPage::RadioButton_QRSYCCClick() {
    storeDigit(m_quantizationYcc, VideoCapabilityField::QuantizationYcc);
}

void ExtendedBlocksPage::RadioButton_QRSClick() {
    storeDigit(m_quantizationRgb, VideoCapabilityField::QuantizationRgb);
}

void ExtendedBlocksPage::RadioButton_PTClick() {
    storeDigit(m_ptScan, VideoCapabilityField::PtScan);
}

void ExtendedBlocksPage::RadioButton_ITClick() {
    storeDigit(m_itScan, VideoCapabilityField::ItScan);
}

void ExtendedBlocksPage::RadioButton_CEClick() {
    storeDigit(m_ceScan, VideoCapabilityField::CeScan);
}

void ExtendedBlocksPage::CheckBox_ColorClick() {
    const int bit = indexOfSender(m_colorimetry, sender());
    ColorimetryBlock& block = m_collection.colorimetry;
    if (filling() || bit < 0 || !block.present)
        return;
    block.colorimetry = setBit(static_cast<Byte>(block.colorimetry), static_cast<unsigned>(bit),
                               m_colorimetry[static_cast<std::size_t>(bit)]->isChecked());
}

void ExtendedBlocksPage::CheckBox_MetaClick() {
    const int bit = indexOfSender(m_metadata, sender());
    ColorimetryBlock& block = m_collection.colorimetry;
    if (filling() || bit < 0 || !block.present)
        return;
    block.metadata = setBit(static_cast<Byte>(block.metadata), static_cast<unsigned>(bit),
                            m_metadata[static_cast<std::size_t>(bit)]->isChecked());
}

} // namespace pellam
