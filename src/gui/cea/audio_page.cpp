#include "gui/cea/audio_page.h"

#include "core/cea/data_block_codecs.h"
#include "core/cea/data_block_edits.h"
#include "core/cea/extension_block.h"
#include "core/edid/decimal.h"
#include "core/edid/hex.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/control_family.h"
#include "gui/ui/user_interaction.h"
#include "gui/ui/widgets.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace pellam {

namespace {

const char* const kFormatCaptions[] = {
    "Linear PCM",
    "AC3",
    "MPEG1(Layer 1,2)",
    "MP3(Layer 3)",
    "MPEG2(multichannel)",
    "AAC",
    "DTS",
    "ATRAC",
    "One Bit Audio",
    "Dolby Digital+",
    "DTS-HD",
    "MAT(MLP)",
    "DST",
    "WMA Pro",
    "CXT referred",
};
const char* const kSampleRateCaptions[] = {"32KHz", "44.1KHz", "48KHz", "88KHz",
                                           "96KHz", "172KHz",  "196KHz"};
const char* const kSampleSizeCaptions[] = {"16 bit", "20 bit", "24 bit"};
const char* const kSpeakerCaptions[] = {"FL/FR", "LFE", "FC", "RL/RR", "RC", "FLC/FRC", "RLC/RRC"};

constexpr int kMinChannelPosition = 2;
constexpr int kMaxChannelPosition = 8;

// Translated where they are shown.
constexpr const char* kMsgInvalidCount =
    QT_TRANSLATE_NOOP("pellam::AudioPage", "Invalid data! Please Input positive integer");
constexpr const char* kMsgOutOfRange = QT_TRANSLATE_NOOP("pellam::AudioPage", "Out of Range");

QString channelsText(int channels) {
    return QString::number(channels) + AudioPage::tr(" Channels");
}

// Unchecks every button of an exclusive group, which Qt does not allow
// while the buttons are exclusive.
void uncheckAll(const std::array<QRadioButton*, 15>& buttons) {
    for (QRadioButton* button : buttons) {
        if (!button->isChecked())
            continue;
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

} // namespace

AudioPage::AudioPage(SharedPageState& pageState, DataBlockCollection& collection, UserInteraction& ui,
                     QWidget* parent)
    : EditorPage(parent)
    , m_pageState(pageState)
    , m_collection(collection)
    , m_ui(ui) {
    setObjectName(QStringLiteral("sheetAudio"));
    createControls();
    layOutControls();
}

void AudioPage::createControls() {
    lblBlock1Note = named(new QLabel(this), QStringLiteral("lblBlock1Note"));
    lblBlock1Note->hide();

    lblAudioNo =
        named(new QLabel(tr("No of Audio Short Descriptor:"), this), QStringLiteral("lblAudioNo"));
    ledAudioNo = named(new QLineEdit(this), QStringLiteral("ledAudioNo"));
    lblAudioNo->setBuddy(ledAudioNo);
    cbxAudio = named(new QComboBox(this), QStringLiteral("cbxAudio"));

    GroupBox36 = named(new QGroupBox(tr("音频格式"), this), QStringLiteral("GroupBox36"));
    QRadioButton** formats[] = {
        &RadioButton_AudFom1,  &RadioButton_AudFom2,  &RadioButton_AudFom3,  &RadioButton_AudFom4,
        &RadioButton_AudFom5,  &RadioButton_AudFom6,  &RadioButton_AudFom7,  &RadioButton_AudFom8,
        &RadioButton_AudFom9,  &RadioButton_AudFom10, &RadioButton_AudFom11, &RadioButton_AudFom12,
        &RadioButton_AudFom13, &RadioButton_AudFom14, &RadioButton_AudFom15,
    };
    for (std::size_t i = 0; i < m_formats.size(); ++i) {
        *formats[i] = named(new QRadioButton(QString::fromLatin1(kFormatCaptions[i]), GroupBox36),
                            QStringLiteral("RadioButton_AudFom%1").arg(i + 1));
        m_formats[i] = *formats[i];
        connect(m_formats[i], &QRadioButton::clicked, this, &AudioPage::RadioButton_AudFomClick);
    }

    GroupBox37 = named(new QGroupBox(tr("采样率"), this), QStringLiteral("GroupBox37"));
    QCheckBox** rates[] = {&CheckBox_SR1, &CheckBox_SR2, &CheckBox_SR3, &CheckBox_SR4,
                           &CheckBox_SR5, &CheckBox_SR6, &CheckBox_SR7};
    for (std::size_t i = 0; i < m_sampleRates.size(); ++i) {
        *rates[i] = named(new QCheckBox(QString::fromLatin1(kSampleRateCaptions[i]), GroupBox37),
                          QStringLiteral("CheckBox_SR%1").arg(i + 1));
        m_sampleRates[i] = *rates[i];
        connect(m_sampleRates[i], &QCheckBox::clicked, this, &AudioPage::CheckBox_SRClick);
    }

    gbxSampleSize = named(new QGroupBox(tr("样本大小"), this), QStringLiteral("gbxSampleSize"));
    QCheckBox** sizes[] = {&CheckBox_SampSize1, &CheckBox_SampSize2, &CheckBox_SampSize3};
    for (std::size_t i = 0; i < m_sampleSizes.size(); ++i) {
        *sizes[i] = named(new QCheckBox(QString::fromLatin1(kSampleSizeCaptions[i]), gbxSampleSize),
                          QStringLiteral("CheckBox_SampSize%1").arg(i + 1));
        m_sampleSizes[i] = *sizes[i];
        connect(m_sampleSizes[i], &QCheckBox::clicked, this, &AudioPage::CheckBox_SampSizeClick);
    }

    slbMaxChannel = named(new QScrollBar(Qt::Horizontal, this), QStringLiteral("slbMaxChannel"));
    slbMaxChannel->setRange(kMinChannelPosition, kMaxChannelPosition);
    slbMaxChannel->setPageStep(1);
    slbMaxChannel->setValue(kMinChannelPosition);
    Label26 = named(new QLabel(tr("2 Channels "), this), QStringLiteral("Label26"));
    const FormatValueEdit bitRate = formatValueEdit(SadThirdByte::MaxBitRate);
    lblMaxBitRate = named(new QLabel(QString::fromLatin1(bitRate.label), this),
                          QStringLiteral("lblMaxBitRate"));
    ledMaxBitRate = named(new QLineEdit(this), QStringLiteral("ledMaxBitRate"));
    ledMaxBitRate->setMaxLength(bitRate.maxLength);
    lblMaxBitRate->setBuddy(ledMaxBitRate);

    GroupBox13 = named(new QGroupBox(tr("扬声器系统"), this), QStringLiteral("GroupBox13"));
    CheckBox_SpeakerEN =
        named(new QCheckBox(tr("Enable"), GroupBox13), QStringLiteral("CheckBox_SpeakerEN"));
    QCheckBox** speakers[] = {&CheckBox_Speaker0, &CheckBox_Speaker1, &CheckBox_Speaker2,
                              &CheckBox_Speaker3, &CheckBox_Speaker4, &CheckBox_Speaker5,
                              &CheckBox_Speaker6};
    for (std::size_t i = 0; i < m_speakers.size(); ++i) {
        *speakers[i] = named(new QCheckBox(QString::fromLatin1(kSpeakerCaptions[i]), GroupBox13),
                             QStringLiteral("CheckBox_Speaker%1").arg(i));
        m_speakers[i] = *speakers[i];
        connect(m_speakers[i], &QCheckBox::clicked, this, &AudioPage::CheckBox_SpeakerClick);
    }

    Panel7 = named(new QFrame(this), QStringLiteral("Panel7"));
    Label27 = named(new QLabel(tr("Max. bit rate: "), Panel7), QStringLiteral("Label27"));
    Label28 = named(new QLabel(QStringLiteral("KHz"), Panel7), QStringLiteral("Label28"));
    ScrollBar2 = named(new QScrollBar(Qt::Horizontal, Panel7), QStringLiteral("ScrollBar2"));
    Panel7->hide();

    commitWhenFinished(ledAudioNo, this, [this] { ledAudioNoChange(); });
    connect(cbxAudio, &QComboBox::currentIndexChanged, this, &AudioPage::cbxAudioChange);
    connect(slbMaxChannel, &QScrollBar::valueChanged, this, &AudioPage::slbMaxChannelChange);
    commitWhenFinished(ledMaxBitRate, this, [this] { ledMaxBitRateChange(); });
    connect(CheckBox_SpeakerEN, &QCheckBox::clicked, this, &AudioPage::CheckBox_SpeakerENClick);
}

void AudioPage::layOutControls() {
    auto* formatGrid = new QGridLayout(GroupBox36);
    constexpr int kFormatRows = 5;
    for (std::size_t i = 0; i < m_formats.size(); ++i)
        formatGrid->addWidget(m_formats[i], static_cast<int>(i) % kFormatRows,
                              static_cast<int>(i) / kFormatRows);

    auto* rateColumn = new QVBoxLayout(GroupBox37);
    for (QCheckBox* box : m_sampleRates)
        rateColumn->addWidget(box);

    auto* sizeColumn = new QVBoxLayout(gbxSampleSize);
    for (QCheckBox* box : m_sampleSizes)
        sizeColumn->addWidget(box);

    auto* countRow = new QHBoxLayout;
    ledAudioNo->setFixedWidth(48);
    cbxAudio->setMinimumWidth(120);
    countRow->addWidget(lblAudioNo);
    countRow->addWidget(ledAudioNo);
    countRow->addSpacing(24);
    countRow->addWidget(cbxAudio);
    countRow->addStretch();

    auto* channelRow = new QHBoxLayout;
    slbMaxChannel->setFixedWidth(160);
    Label26->setMinimumWidth(80);
    ledMaxBitRate->setFixedWidth(60);
    lblMaxBitRate->setMinimumWidth(130);
    channelRow->addWidget(slbMaxChannel);
    channelRow->addWidget(Label26);
    channelRow->addSpacing(24);
    channelRow->addWidget(lblMaxBitRate);
    channelRow->addWidget(ledMaxBitRate);
    channelRow->addStretch();

    auto* formatColumn = new QVBoxLayout;
    formatColumn->addWidget(GroupBox36);
    formatColumn->addLayout(channelRow);
    formatColumn->addStretch();
    auto* sizeAndStretch = new QVBoxLayout;
    sizeAndStretch->addWidget(gbxSampleSize);
    sizeAndStretch->addStretch();
    auto* descriptorRow = new QHBoxLayout;
    descriptorRow->addLayout(formatColumn);
    descriptorRow->addWidget(GroupBox37);
    descriptorRow->addLayout(sizeAndStretch);
    descriptorRow->addStretch();

    auto* speakerRow = new QHBoxLayout(GroupBox13);
    speakerRow->addWidget(CheckBox_SpeakerEN);
    speakerRow->addSpacing(24);
    for (QCheckBox* box : m_speakers)
        speakerRow->addWidget(box);
    speakerRow->addStretch();

    auto* page = new QVBoxLayout(this);
    page->addWidget(lblBlock1Note);
    page->addLayout(countRow);
    page->addLayout(descriptorRow);
    page->addWidget(GroupBox13);
    page->addStretch();
}

void AudioPage::decodePage() {
    PageFillGuard guard(m_pageState.pageFillGuard);
    lblBlock1Note->setVisible(!m_collection.editable);
    lblBlock1Note->setText(QString::fromStdString(m_collection.note));
    // The count edit opens with the basic-audio flag of block 1. Showing the
    // page changes nothing: the block keeps its presence and its size.
    m_audioOn = m_collection.header.basicAudio;
    ledAudioNo->setText(QString::number(m_collection.audio.sadCount));
    showSadList();
    speakerDecode();
    audioEnable(m_audioOn);
}

void AudioPage::audioEnable(bool on) {
    m_audioOn = on;
    updateEnabledStates();
}

void AudioPage::updateEnabledStates() {
    const bool editable = m_collection.editable;
    const bool countOn = editable && m_audioOn;
    const bool sadOn = countOn && m_collection.audio.sadCount > 0;
    lblAudioNo->setEnabled(countOn);
    ledAudioNo->setEnabled(countOn);
    cbxAudio->setEnabled(sadOn);
    for (QRadioButton* button : m_formats)
        button->setEnabled(sadOn);
    for (QCheckBox* box : m_sampleRates)
        box->setEnabled(sadOn);
    slbMaxChannel->setEnabled(sadOn);
    Label26->setEnabled(sadOn);
    const SadThirdByte kind = sadThirdByte(m_shownFormatCode);
    for (QCheckBox* box : m_sampleSizes)
        box->setEnabled(sadOn && kind == SadThirdByte::SampleSizes);
    const bool valueOn = sadOn && kind != SadThirdByte::SampleSizes && kind != SadThirdByte::None;
    lblMaxBitRate->setEnabled(valueOn);
    ledMaxBitRate->setEnabled(valueOn);

    CheckBox_SpeakerEN->setEnabled(editable);
    for (QCheckBox* box : m_speakers)
        box->setEnabled(editable && m_collection.speaker.present);
}

int AudioPage::selectedSadIndex() const {
    return std::max(cbxAudio->currentIndex(), 0);
}

ShortAudioDescriptor* AudioPage::selectedSad() {
    const int index = selectedSadIndex();
    if (!m_collection.editable || index >= m_collection.audio.sadCount ||
        index >= AudioDataBlock::kMaxSads)
        return nullptr;
    return &m_collection.audio.sads[static_cast<std::size_t>(index)];
}

void AudioPage::showSadList() {
    {
        PageFillGuard guard(m_pageState.pageFillGuard);
        cbxAudio->clear();
        const int count = std::clamp(m_collection.audio.sadCount, 0, AudioDataBlock::kMaxSads);
        for (int k = 1; k <= count; ++k)
            cbxAudio->addItem(tr("Audio #%1").arg(k));
        cbxAudio->setCurrentIndex(count > 0 ? 0 : -1);
    }
    sadDecode(0);
}

void AudioPage::sadDecode(int index) {
    PageFillGuard guard(m_pageState.pageFillGuard);
    const AudioDataBlock& audio = m_collection.audio;
    // With no descriptor in the block the controls show an empty one.
    const bool held = index >= 0 && index < audio.sadCount && index < AudioDataBlock::kMaxSads;
    showSad(held ? audio.sads[static_cast<std::size_t>(index)]
                 : decodeShortAudioDescriptor(0, 0, 0));
}

void AudioPage::showSad(const ShortAudioDescriptor& sad) {
    PageFillGuard guard(m_pageState.pageFillGuard);
    uncheckAll(m_formats);
    if (sad.formatCode >= 1 && sad.formatCode <= 15) {
        m_formats[static_cast<std::size_t>(sad.formatCode - 1)]->setChecked(true);
    } else {
        // A descriptor of no known format: nothing of the third byte is shown.
        for (QCheckBox* box : m_sampleSizes)
            box->setChecked(false);
        ledMaxBitRate->setText(QStringLiteral("0"));
    }
    for (std::size_t bit = 0; bit < m_sampleRates.size(); ++bit)
        m_sampleRates[bit]->setChecked(
            getBit(static_cast<unsigned>(sad.sampleRates), static_cast<unsigned>(bit)));
    formatAdjust(sad.formatCode);
    switch (sadThirdByte(sad.formatCode)) {
    case SadThirdByte::SampleSizes:
        if (!m_sampleSizeBlue) {
            // The group's caption turns blue and stays so; its boxes keep
            // the page's colours.
            m_sampleSizeBlue = true;
            const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive};
            const QPalette::ColorRole roles[] = {QPalette::Text, QPalette::WindowText};
            for (QCheckBox* box : m_sampleSizes) {
                QPalette own = box->palette();
                for (auto group : groups)
                    for (auto role : roles)
                        own.setColor(group, role, own.color(group, role));
                box->setPalette(own);
            }
            QPalette caption = gbxSampleSize->palette();
            for (auto group : groups)
                for (auto role : roles)
                    caption.setColor(group, role, Qt::blue);
            gbxSampleSize->setPalette(caption);
        }
        for (std::size_t bit = 0; bit < m_sampleSizes.size(); ++bit)
            m_sampleSizes[bit]->setChecked(
                getBit(static_cast<unsigned>(sad.lpcmSizes), static_cast<unsigned>(bit)));
        break;
    case SadThirdByte::MaxBitRate:
    case SadThirdByte::DependentValue:
    case SadThirdByte::Profile:
        ledMaxBitRate->setText(QString::number(sad.formatValue));
        break;
    case SadThirdByte::None:
        break;
    }
    // The bar cannot show one channel; the label does, and the field keeps it.
    slbMaxChannel->setValue(std::clamp(sad.channels, kMinChannelPosition, kMaxChannelPosition));
    Label26->setText(channelsText(sad.channels));
}

void AudioPage::formatAdjust(int formatCode) {
    PageFillGuard guard(m_pageState.pageFillGuard);
    m_shownFormatCode = formatCode;
    const SadThirdByte kind = sadThirdByte(formatCode);
    if (kind != SadThirdByte::SampleSizes && kind != SadThirdByte::None) {
        const FormatValueEdit edit = formatValueEdit(kind);
        ledMaxBitRate->setMaxLength(edit.maxLength);
        lblMaxBitRate->setText(QString::fromLatin1(edit.label));
    }
    updateEnabledStates();
}

void AudioPage::speakerDecode() {
    PageFillGuard guard(m_pageState.pageFillGuard);
    const SpeakerAllocationBlock& speaker = m_collection.speaker;
    CheckBox_SpeakerEN->setChecked(speaker.present);
    // An absent block shows no speakers (its record is all zero).
    for (std::size_t bit = 0; bit < m_speakers.size(); ++bit)
        m_speakers[bit]->setChecked(
            getBit(static_cast<unsigned>(speaker.allocation), static_cast<unsigned>(bit)));
    updateEnabledStates();
}

void AudioPage::ledAudioNoChange() {
    if (filling() || !m_collection.editable)
        return;
    const QString text = ledAudioNo->text();
    const std::string digits = text.toStdString();
    // A refused count shows the count the block has again.
    const auto refuse = [this](const QString& message) {
        {
            PageFillGuard guard(m_pageState.pageFillGuard);
            ledAudioNo->setText(QString::number(m_collection.audio.sadCount));
        }
        m_ui.showMessage(this, message);
    };
    if (!digits.empty() && !isDigitsOnly(digits))
        return refuse(tr(kMsgInvalidCount));
    const auto count = parseDecimalInt32(digits);
    if (!count)
        return refuse(QString::fromStdString(invalidIntegerMessage(digits)));
    if (setSadCount(m_collection, *count) == EditResult::NoSpace)
        return refuse(QString::fromLatin1(kMsgNoSpaceOfExtendedBlock));
    showSadList();
}

void AudioPage::cbxAudioChange() {
    if (filling())
        return;
    sadDecode(selectedSadIndex());
}

void AudioPage::RadioButton_AudFomClick() {
    const int index = indexOfSender(m_formats, sender());
    if (filling() || index < 0)
        return;
    ShortAudioDescriptor* sad = selectedSad();
    if (!sad) {
        sadDecode(selectedSadIndex());
        return;
    }
    sad->formatCode = index + 1;
    // The third byte keeps its fields; the page shows what the new format
    // will make of them.
    showSad(sadAsWritten(*sad));
}

void AudioPage::CheckBox_SRClick() {
    const int index = indexOfSender(m_sampleRates, sender());
    ShortAudioDescriptor* sad = selectedSad();
    if (filling() || index < 0 || !sad)
        return;
    sad->sampleRates = setBit(static_cast<Byte>(sad->sampleRates), static_cast<unsigned>(index),
                              m_sampleRates[static_cast<std::size_t>(index)]->isChecked());
}

void AudioPage::CheckBox_SampSizeClick() {
    const int index = indexOfSender(m_sampleSizes, sender());
    ShortAudioDescriptor* sad = selectedSad();
    if (filling() || index < 0 || !sad)
        return;
    sad->lpcmSizes = setBit(static_cast<Byte>(sad->lpcmSizes), static_cast<unsigned>(index),
                            m_sampleSizes[static_cast<std::size_t>(index)]->isChecked());
}

void AudioPage::slbMaxChannelChange() {
    ShortAudioDescriptor* sad = selectedSad();
    if (filling() || !sad)
        return;
    sad->channels = slbMaxChannel->value();
    Label26->setText(channelsText(sad->channels));
}

void AudioPage::ledMaxBitRateChange() {
    ShortAudioDescriptor* sad = selectedSad();
    if (filling() || !sad)
        return;
    const std::string text = ledMaxBitRate->text().toStdString();
    const auto value = parseDecimalInt32(text);
    // A value the third byte cannot hold would be written cut to 8 bits.
    const QString problem = !value ? QString::fromStdString(invalidIntegerMessage(text))
                            : !formatValueFits(sad->formatCode, *value) ? tr(kMsgOutOfRange)
                                                                        : QString();
    if (!problem.isEmpty()) {
        sadDecode(selectedSadIndex());
        m_ui.showMessage(this, problem);
        return;
    }
    sad->formatValue = *value;
}

void AudioPage::CheckBox_SpeakerENClick() {
    if (filling() || !m_collection.editable)
        return;
    if (enableSpeakerAllocation(m_collection, CheckBox_SpeakerEN->isChecked()) ==
        EditResult::NoSpace) {
        m_ui.showMessage(this, QString::fromLatin1(kMsgNoSpaceOfExtendedBlock));
        PageFillGuard guard(m_pageState.pageFillGuard);
        CheckBox_SpeakerEN->setChecked(false);
        return;
    }
    speakerDecode();
}

void AudioPage::CheckBox_SpeakerClick() {
    const int index = indexOfSender(m_speakers, sender());
    SpeakerAllocationBlock& speaker = m_collection.speaker;
    if (filling() || index < 0 || !speaker.present)
        return;
    speaker.allocation = setBit(static_cast<Byte>(speaker.allocation), static_cast<unsigned>(index),
                                m_speakers[static_cast<std::size_t>(index)]->isChecked());
}

} // namespace pellam
