#include "gui/analyser/capability_dialog.h"

#include "core/edid/decimal.h"
#include "core/edid/hex.h"
#include "gui/ui/user_interaction.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption, bool checked = false) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

QGroupBox* group(QWidget* parent, const char* name, const char* title) {
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

TfrmCDF::TfrmCDF(UserInteraction& ui, QWidget* parent)
    : QDialog(parent)
    , m_ui(ui) {
    setObjectName(QStringLiteral("frmCDF"));
    setWindowTitle(tr("能力声明表"));

    gbCDF_General = group(this, "gbCDF_General", "General");
    ckxCDF_General_ledOutputCount = new QLineEdit(QStringLiteral("0"), gbCDF_General);
    ckxCDF_General_ledOutputCount->setObjectName(QStringLiteral("ckxCDF_General_ledOutputCount"));
    ckxCDF_General_ledOutputCount->setMaximumWidth(60);
    auto* countLabel = new QLabel(tr("HDMI output count"), gbCDF_General);
    auto* general = new QHBoxLayout(gbCDF_General);
    general->addWidget(ckxCDF_General_ledOutputCount);
    general->addWidget(countLabel);
    general->addStretch();

    gbCDF_Video = group(this, "gbCDF_Video", "Video");
    ckxCDF_Video_HDTV = checkBox(gbCDF_Video, "ckxCDF_Video_HDTV", "Sink HDTV");
    ckxCDF_Video_YUV_OnOther =
        checkBox(gbCDF_Video, "ckxCDF_Video_YUV_OnOther", "Sink YUV On Other");
    ckxCDF_Video_60Hz = checkBox(gbCDF_Video, "ckxCDF_Video_60Hz", "Sink 60Hz");
    ckxCDF_Video_50Hz = checkBox(gbCDF_Video, "ckxCDF_Video_50Hz", "Sink 50 Hz");
    ckxCDF_Video_720p60_Other =
        checkBox(gbCDF_Video, "ckxCDF_Video_720p60_Other", "Sink 720p60 Other");
    ckxCDF_Video_720p50_Other =
        checkBox(gbCDF_Video, "ckxCDF_Video_720p50_Other", "Sink 720p50 Other");
    ckxCDF_Video_1080i60_Other =
        checkBox(gbCDF_Video, "ckxCDF_Video_1080i60_Other", "Sink 1080i60 Other");
    ckxCDF_Video_1080i50_Other =
        checkBox(gbCDF_Video, "ckxCDF_Video_1080i50_Other", "Sink 1080i50 Other");
    ckxCDF_Video_Sink3D = checkBox(gbCDF_Video, "ckxCDF_Video_Sink3D", "Sink 3D");
    ckxCDF_Video_Sink3D_Additional =
        checkBox(gbCDF_Video, "ckxCDF_Video_Sink3D_Additional", "Sink 3D Additional");
    ckxCDF_Video_Sink4Kx2K = checkBox(gbCDF_Video, "ckxCDF_Video_Sink4Kx2K", "Sink 4Kx2K");
    auto* video = new QGridLayout(gbCDF_Video);
    QCheckBox* const videoBoxes[] = {ckxCDF_Video_HDTV,          ckxCDF_Video_YUV_OnOther,
                                     ckxCDF_Video_60Hz,          ckxCDF_Video_50Hz,
                                     ckxCDF_Video_720p60_Other,  ckxCDF_Video_720p50_Other,
                                     ckxCDF_Video_1080i60_Other, ckxCDF_Video_1080i50_Other,
                                     ckxCDF_Video_Sink3D,        ckxCDF_Video_Sink3D_Additional,
                                     ckxCDF_Video_Sink4Kx2K};
    for (int i = 0; i < static_cast<int>(std::size(videoBoxes)); ++i)
        video->addWidget(videoBoxes[i], i / 2, i % 2);

    gbCDF_Audio = group(this, "gbCDF_Audio", "Audio");
    ckxCDF_Audio_SupportAI = checkBox(gbCDF_Audio, "ckxCDF_Audio_SupportAI", "Sink Support AI");
    ckxCDF_Audio_BasicAudio =
        checkBox(gbCDF_Audio, "ckxCDF_Audio_BasicAudio", "Sink Basic Audio", true);
    auto* audio = new QHBoxLayout(gbCDF_Audio);
    audio->addWidget(ckxCDF_Audio_SupportAI);
    audio->addWidget(ckxCDF_Audio_BasicAudio);

    gbCDF_CEC = group(this, "gbCDF_CEC", "CEC");
    ckxCDF_CEC_RootDevice = checkBox(gbCDF_CEC, "ckxCDF_CEC_RootDevice", "CEC Root Device", true);
    auto* cec = new QHBoxLayout(gbCDF_CEC);
    cec->addWidget(ckxCDF_CEC_RootDevice);

    gbCDF_HDMI2 = group(this, "gbCDF_HDMI2", "HDMI 2.x");
    ckxCDF_HDMI2_Section = checkBox(gbCDF_HDMI2, "ckxCDF_HDMI2_Section",
                                    "HDMI 2.x section (HDMI 2.1, CTA-861-H rules)");
    auto* hdmi2 = new QHBoxLayout(gbCDF_HDMI2);
    hdmi2->addWidget(ckxCDF_HDMI2_Section);

    Button1 = new QPushButton(tr("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(tr("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setStyleSheet(QStringLiteral("color: #FF0000;"));
    connect(Button1, &QPushButton::clicked, this, &TfrmCDF::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmCDF::Button2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbCDF_General);
    layout->addWidget(gbCDF_Video);
    layout->addWidget(gbCDF_Audio);
    layout->addWidget(gbCDF_CEC);
    layout->addWidget(gbCDF_HDMI2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmCDF::Button1Click() {
    const QString text = ckxCDF_General_ledOutputCount->text();
    const auto count = parseDecimalInt32(text.toStdString());
    if (!count) {
        m_ui.showMessage(this, QString::fromStdString(invalidIntegerMessage(text.toStdString())));
        return;
    }
    m_record.hdmiOutputCount = *count;
    m_record.sinkHdtv = ckxCDF_Video_HDTV->isChecked();
    m_record.sinkYuvOnOther = ckxCDF_Video_YUV_OnOther->isChecked();
    m_record.sink60Hz = ckxCDF_Video_60Hz->isChecked();
    m_record.sink50Hz = ckxCDF_Video_50Hz->isChecked();
    m_record.sink720p60Other = ckxCDF_Video_720p60_Other->isChecked();
    m_record.sink720p50Other = ckxCDF_Video_720p50_Other->isChecked();
    m_record.sink1080i60Other = ckxCDF_Video_1080i60_Other->isChecked();
    m_record.sink1080i50Other = ckxCDF_Video_1080i50_Other->isChecked();
    m_record.sink3D = ckxCDF_Video_Sink3D->isChecked();
    m_record.sink3DAdditional = ckxCDF_Video_Sink3D_Additional->isChecked();
    m_record.sink4Kx2K = ckxCDF_Video_Sink4Kx2K->isChecked();
    m_record.sinkSupportAI = ckxCDF_Audio_SupportAI->isChecked();
    m_record.sinkBasicAudio = ckxCDF_Audio_BasicAudio->isChecked();
    m_record.cecRootDevice = ckxCDF_CEC_RootDevice->isChecked();
    m_record.hdmi2Section = ckxCDF_HDMI2_Section->isChecked();
    m_cancelFlag = 0;
    accept();
}

void TfrmCDF::Button2Click() {
    m_cancelFlag = 1;
    reject();
}

void TfrmCDF::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && childAt(event->position().toPoint()) == nullptr)
        Button1Click();
    else
        QDialog::mousePressEvent(event);
}

} // namespace pellam
