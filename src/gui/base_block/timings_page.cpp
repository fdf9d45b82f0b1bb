#include "gui/base_block/timings_page.h"

#include "core/base_block/colour_and_timings.h"
#include "gui/ui/page_marker_scope.h"
#include "core/edid/hex.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/user_interaction.h"
#include "gui/ui/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

// A labelled edit: the caption in a label before the edit.
QLineEdit* labelledEdit(const char* name, const QString& caption, const QString& text,
                        QGridLayout* grid, int row, int column, QWidget* parent) {
    auto* edit = createNamed<QLineEdit>(name, text, parent);
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
    label->setBuddy(edit);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

} // namespace

TimingsPage::TimingsPage(EdidWorkspace& workspace, SharedPageState& pageState, UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_pageState(pageState)
    , m_ui(ui) {
    setObjectName(QStringLiteral("TabSheet4"));
    createChromaticityGroup();
    createEstablishedGroup();
    createStandardGroup();

    auto* top = new QHBoxLayout;
    top->addWidget(GroupBox11, 1);
    top->addWidget(GroupBox_SdtT1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(GroupBox12);
    layout->addStretch();
}

void TimingsPage::createChromaticityGroup() {
    GroupBox11 = createNamed<QGroupBox>("GroupBox11", tr("颜色特征"), this);
    auto* grid = new QGridLayout(GroupBox11);
    grid->setHorizontalSpacing(6);
    struct Row {
        const char* name;
        const char* caption;
        const char* text;
    };
    const Row rows[] = {
        {"LEdit_Rx", "Red x : ", "0.640"},   {"LEdit_Ry", "Red y : ", "0.340"},
        {"LEdit_Gx", "Green x : ", "0.290"}, {"LEdit_Gy", "Green y : ", "0.640"},
        {"LEdit_Bx", "Blue x : ", "0.140"},  {"LEdit_By", "Blue y : ", "0.070"},
        {"LEdit_Wx", "White x : ", "0.310"}, {"LEdit_Wy", "White y : ", "0.330"},
    };
    for (int i = 0; i < kChromaticityCount; ++i) {
        const Row& row = rows[i];
        QLineEdit* edit =
            labelledEdit(row.name, QString::fromLatin1(row.caption), QString::fromLatin1(row.text),
                         grid, i / 2, 2 * (i % 2), GroupBox11);
        edit->setMaxLength(5);
        edit->setMaximumWidth(64);
        m_chromaticityEdits[std::size_t(i)] = edit;
        commitWhenFinished(edit, this, [this, i] { LEdit_ChromaticityChange(i); },
                           [](const QString& text) {
                               const ChromaticityInput input =
                                   parseChromaticityText(text.toStdString());
                               return input.valid && input.value
                                          ? QString()
                                          : QString::fromLatin1(kMsgChromaticityInvalid);
                           });
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    LEdit_Rx = m_chromaticityEdits[0];
    LEdit_Ry = m_chromaticityEdits[1];
    LEdit_Gx = m_chromaticityEdits[2];
    LEdit_Gy = m_chromaticityEdits[3];
    LEdit_Bx = m_chromaticityEdits[4];
    LEdit_By = m_chromaticityEdits[5];
    LEdit_Wx = m_chromaticityEdits[6];
    LEdit_Wy = m_chromaticityEdits[7];
}

void TimingsPage::createEstablishedGroup() {
    GroupBox12 = createNamed<QGroupBox>("GroupBox12", tr("预选 Timing"), this);
    auto* grid = new QGridLayout(GroupBox12);
    grid->setVerticalSpacing(2);
    // The captions line up their numbers with blanks.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const auto boxes = establishedTimingBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto* box =
            createNamed<QCheckBox>(boxes[i].name, QString::fromLatin1(boxes[i].caption), GroupBox12);
        box->setFont(fixed);
        m_establishedBoxes[i] = box;
        // Byte 35 in the first column with byte 37 below it, byte 36 in the second.
        const int row = static_cast<int>(i < 16 ? i % 8 : 8);
        grid->addWidget(box, row, i < 8 || i == 16 ? 0 : 1);
        const int index = static_cast<int>(i);
        connect(box, &QCheckBox::clicked, this, [this, index] { CheckBox_TimingClick(index); });
    }
    CheckBox_T17 = m_establishedBoxes[0];
    CheckBox_T16 = m_establishedBoxes[1];
    CheckBox_T15 = m_establishedBoxes[2];
    CheckBox_T14 = m_establishedBoxes[3];
    CheckBox_T13 = m_establishedBoxes[4];
    CheckBox_T12 = m_establishedBoxes[5];
    CheckBox_T11 = m_establishedBoxes[6];
    CheckBox_T10 = m_establishedBoxes[7];
    CheckBox_T27 = m_establishedBoxes[8];
    CheckBox_T26 = m_establishedBoxes[9];
    CheckBox_T25 = m_establishedBoxes[10];
    CheckBox_T24 = m_establishedBoxes[11];
    CheckBox_T23 = m_establishedBoxes[12];
    CheckBox_T22 = m_establishedBoxes[13];
    CheckBox_T21 = m_establishedBoxes[14];
    CheckBox_T20 = m_establishedBoxes[15];
    CheckBox_T37 = m_establishedBoxes[16];
}

void TimingsPage::createStandardGroup() {
    GroupBox_SdtT1 = createNamed<QGroupBox>("GroupBox_SdtT1", tr("标准Timing"), this);
    cbxStdTiming = createNamed<QComboBox>("cbxStdTiming", GroupBox_SdtT1);
    for (int i = 1; i <= 7; ++i)
        cbxStdTiming->addItem(tr("Timing #%1").arg(i));
    cbxStdTiming->addItem(QStringLiteral("Timing#8"));
    cbxStdTiming->setCurrentIndex(0);
    CheckBox_SDT1 = createNamed<QCheckBox>("CheckBox_SDT1", tr("启用"), GroupBox_SdtT1);

    auto* grid = new QGridLayout;
    LEdit_Hpxl1 = labelledEdit("LEdit_Hpxl1", tr("H. active pixel:"), QStringLiteral("256"), grid,
                               0, 0, GroupBox_SdtT1);
    LEdit_Hz1 = labelledEdit("LEdit_Hz1", tr("V. refresh rate :"), QStringLiteral("60"), grid, 1, 0,
                             GroupBox_SdtT1);
    for (QLineEdit* edit : {LEdit_Hpxl1, LEdit_Hz1})
        edit->setMaximumWidth(64);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    GroupBox14 = createNamed<QGroupBox>("GroupBox14", tr("长宽比"), GroupBox_SdtT1);
    RadioButton_SDT11 =
        createNamed<QRadioButton>("RadioButton_SDT11", QStringLiteral("16:10"), GroupBox14);
    RadioButton_SDT13 =
        createNamed<QRadioButton>("RadioButton_SDT13", QStringLiteral("  4:3"), GroupBox14);
    RadioButton_SDT12 =
        createNamed<QRadioButton>("RadioButton_SDT12", QStringLiteral("  5:4"), GroupBox14);
    RadioButton_SDT14 =
        createNamed<QRadioButton>("RadioButton_SDT14", QStringLiteral("16:9"), GroupBox14);
    m_aspectButtons = {RadioButton_SDT11, RadioButton_SDT13, RadioButton_SDT12, RadioButton_SDT14};
    auto* aspects = new QHBoxLayout(GroupBox14);
    for (int code = 0; code < 4; ++code) {
        aspects->addWidget(m_aspectButtons[std::size_t(code)]);
        connect(m_aspectButtons[std::size_t(code)], &QRadioButton::clicked, this,
                [this, code] { RadioButton_SDTClick(code); });
    }

    auto* selector = new QHBoxLayout;
    selector->addWidget(cbxStdTiming);
    selector->addWidget(CheckBox_SDT1);
    selector->addStretch();
    auto* layout = new QVBoxLayout(GroupBox_SdtT1);
    layout->addLayout(selector);
    layout->addLayout(grid);
    layout->addWidget(GroupBox14);
    layout->addStretch();

    connect(cbxStdTiming, &QComboBox::currentIndexChanged, this, &TimingsPage::cbxStdTimingChange);
    connect(CheckBox_SDT1, &QCheckBox::clicked, this, &TimingsPage::CheckBox_SDT1Click);
    // A dry run on a copy of the image says what a finished edit would meet.
    const auto check = [this](StandardTimingEdit (*write)(EdidImage&, int, std::string_view)) {
        return [this, write](const QString& text) {
            EdidImage copy = m_workspace.image;
            return QString::fromStdString(standardTimingEditMessage(
                write(copy, selectedEntry(), text.toStdString()), text.toStdString()));
        };
    };
    commitWhenFinished(LEdit_Hpxl1, this, [this] { LEdit_Hpxl1Change(); },
                       check(writeStandardTimingPixels));
    commitWhenFinished(LEdit_Hz1, this, [this] { LEdit_Hz1Change(); },
                       check(writeStandardTimingRefresh));
}

bool TimingsPage::decoding() const {
    return m_pageState.pageDecodingMarker == kMarkerTimingPage;
}

int TimingsPage::selectedEntry() const {
    const int index = cbxStdTiming->currentIndex();
    return index < 1 ? 0 : index;
}

void TimingsPage::decodePage() {
    PageMarkerScope quiet(m_pageState.pageDecodingMarker, kMarkerTimingPage);
    const EdidImage& image = m_workspace.image;
    for (int i = 0; i < kChromaticityCount; ++i)
        m_chromaticityEdits[std::size_t(i)]->setText(
            QString::fromLatin1(chromaticityText(chromaticityValue(image, i))));
    const auto boxes = establishedTimingBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        m_establishedBoxes[i]->setChecked(establishedTiming(image, boxes[i]));
    decodeStandardTimingEntry();
}

void TimingsPage::decodeStandardTimingEntry() {
    const StandardTiming timing = decodeStandardTiming(m_workspace.image, selectedEntry());
    CheckBox_SDT1->setChecked(timing.used);
    enableEntryControls(timing.used);
    LEdit_Hpxl1->setText(QString::number(timing.horizontalPixels));
    LEdit_Hz1->setText(QString::number(timing.refreshHz));
    m_aspectButtons[std::size_t(timing.aspect)]->setChecked(true);
}

void TimingsPage::enableEntryControls(bool enabled) {
    LEdit_Hpxl1->setEnabled(enabled);
    LEdit_Hz1->setEnabled(enabled);
    for (QRadioButton* button : m_aspectButtons)
        button->setEnabled(enabled);
}

void TimingsPage::LEdit_ChromaticityChange(int index) {
    if (decoding())
        return;
    QLineEdit* edit = m_chromaticityEdits[std::size_t(index)];
    const ChromaticityInput input = parseChromaticityText(edit->text().toStdString());
    const bool taken = input.valid && input.value;
    if (taken)
        writeChromaticityValue(m_workspace.image, index, *input.value);
    // The field shows what the image holds now, written or not.
    {
        PageMarkerScope quiet(m_pageState.pageDecodingMarker, kMarkerTimingPage);
        edit->setText(QString::fromLatin1(
            chromaticityText(chromaticityValue(m_workspace.image, index))));
    }
    if (!taken)
        m_ui.showMessage(this, QString::fromLatin1(kMsgChromaticityInvalid));
}

void TimingsPage::CheckBox_TimingClick(int box) {
    if (decoding())
        return;
    writeEstablishedTiming(m_workspace.image, establishedTimingBoxes()[std::size_t(box)],
                           m_establishedBoxes[std::size_t(box)]->isChecked());
}

void TimingsPage::cbxStdTimingChange() {
    // Showing another entry writes nothing, not even the values just shown.
    PageMarkerScope quiet(m_pageState.pageDecodingMarker, kMarkerTimingPage);
    decodeStandardTimingEntry();
}

void TimingsPage::CheckBox_SDT1Click() {
    if (decoding())
        return;
    const bool used = CheckBox_SDT1->isChecked();
    enableEntryControls(used);
    // A checked box writes nothing yet: the entry stays unused until a field
    // of it is edited.
    if (!used)
        markStandardTimingUnused(m_workspace.image, selectedEntry());
}

void TimingsPage::reportStandardTimingEdit(StandardTimingEdit result, const QString& text) {
    // The entry's fields show what the image holds now, written or not.
    cbxStdTimingChange();
    const std::string message = standardTimingEditMessage(result, text.toStdString());
    if (!message.empty())
        m_ui.showMessage(this, QString::fromStdString(message));
}

void TimingsPage::LEdit_Hpxl1Change() {
    if (decoding())
        return;
    const QString text = LEdit_Hpxl1->text();
    reportStandardTimingEdit(
        writeStandardTimingPixels(m_workspace.image, selectedEntry(), text.toStdString()), text);
}

void TimingsPage::LEdit_Hz1Change() {
    if (decoding())
        return;
    const QString text = LEdit_Hz1->text();
    reportStandardTimingEdit(
        writeStandardTimingRefresh(m_workspace.image, selectedEntry(), text.toStdString()), text);
}

void TimingsPage::RadioButton_SDTClick(int aspect) {
    if (decoding())
        return;
    writeStandardTimingAspect(m_workspace.image, selectedEntry(), aspect);
}

} // namespace pellam
