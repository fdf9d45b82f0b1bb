#include "gui/base_block/vendor_product_page.h"

#include "gui/ui/page_marker_scope.h"
#include "core/base_block/vendor_product.h"
#include "core/edid/hex.h"
#include "gui/ui/user_interaction.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/widgets.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

QScrollBar* horizontalScrollBar(const char* name, int minimum, int maximum, int position,
                                QWidget* parent) {
    auto* bar = createNamed<QScrollBar>(name, Qt::Horizontal, parent);
    bar->setRange(minimum, maximum);
    bar->setValue(position);
    bar->setPageStep(1);
    bar->setMinimumWidth(110);
    return bar;
}

// A week as the label shows it: 0 is "not specified".
QString weekText(int week) {
    return week == 0 ? VendorProductPage::tr("not specified") : QString::number(week);
}

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

UpDown::UpDown(QWidget* parent)
    : QWidget(parent) {
    upButton = new QToolButton(this);
    upButton->setArrowType(Qt::UpArrow);
    downButton = new QToolButton(this);
    downButton->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {upButton, downButton}) {
        button->setAutoRepeat(true);
        button->setFixedSize(18, 11);
        button->setFocusPolicy(Qt::NoFocus);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(upButton);
    layout->addWidget(downButton);
    connect(upButton, &QToolButton::clicked, this, [this] { step(true); });
    connect(downButton, &QToolButton::clicked, this, [this] { step(false); });
}

void UpDown::setPosition(int position) {
    m_position = std::clamp(position, m_minimum, m_maximum);
}

void UpDown::step(bool up) {
    setPosition(m_position + (up ? 1 : -1));
    emit clicked(up);
}

VendorProductPage::VendorProductPage(EdidWorkspace& workspace, SharedPageState& pageState, UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_pageState(pageState)
    , m_ui(ui) {
    setObjectName(QStringLiteral("TabSheet3"));
    createIdentityGroups();
    createVideoInputGroup();
    createDisplayGroups();

    auto* left = new QVBoxLayout;
    left->addWidget(GroupBox1);
    left->addWidget(GroupBox3);
    left->addWidget(GroupBox10);
    left->addStretch();
    auto* middle = new QVBoxLayout;
    middle->addWidget(GroupBox4);
    middle->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(GroupBox7);
    right->addWidget(GroupBox8);
    right->addWidget(GroupBox9);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(left, 5);
    layout->addLayout(middle, 4);
    layout->addLayout(right, 5);

    connectHandlers();
}

void VendorProductPage::createIdentityGroups() {
    GroupBox1 = createNamed<QGroupBox>("GroupBox1", tr("Vender/Product ID"), this);
    Label1 = createNamed<QLabel>("Label1", tr("制造商 ID: "), GroupBox1);
    Label2 = createNamed<QLabel>("Label2", tr("产品代码:"), GroupBox1);
    Label3 = createNamed<QLabel>("Label3", tr("序列号:"), GroupBox1);
    Label4 = createNamed<QLabel>("Label4", tr("制造周:"), GroupBox1);
    Label5 = createNamed<QLabel>("Label5", tr("制造年:"), GroupBox1);

    Edt_MfgID = createNamed<QLineEdit>("Edt_MfgID", QStringLiteral("AAA"), GroupBox1);
    Edt_MfgID->setMaxLength(3);
    Edt_MfgID->setToolTip(tr("ID只能填写3个字母"));
    Edt_PrdCd = createNamed<QLineEdit>("Edt_PrdCd", QStringLiteral("0000"), GroupBox1);
    Edt_PrdCd->setMaxLength(4);
    Edt_PrdCd->setToolTip(tr("四位十六进制产品代码"));
    Edt_SN = createNamed<QLineEdit>("Edt_SN", QStringLiteral("0"), GroupBox1);
    Edt_SN->setMaxLength(10);
    UpDown1 = createNamed<UpDown>("UpDown1", GroupBox1);

    // 0 stands for "not specified" (EDID 1.3 and 1.4).
    ScrollBar_Week = horizontalScrollBar("ScrollBar_Week", 0, kLastWeek, 1, GroupBox1);
    ScrollBar_Week->setToolTip(tr("制造周 (1~53, 0: not specified)"));
    Label_Week = createNamed<QLabel>("Label_Week", QStringLiteral("1"), GroupBox1);
    ScrollBar_Year =
        horizontalScrollBar("ScrollBar_Year", kFirstYear, kFirstYear + 255, 2017, GroupBox1);
    ScrollBar_Year->setToolTip(tr("制造年 (2017~2245)"));
    Label_Year = createNamed<QLabel>("Label_Year", QStringLiteral("2017"), GroupBox1);
    for (QLabel* value : {Label_Week, Label_Year})
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("00000")));

    auto* sn = new QHBoxLayout;
    sn->setSpacing(1);
    sn->addWidget(Edt_SN, 1);
    sn->addWidget(UpDown1);
    auto* grid = new QGridLayout(GroupBox1);
    grid->setVerticalSpacing(4);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edt_MfgID, 0, 1, 1, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edt_PrdCd, 1, 1, 1, 2);
    grid->addWidget(Label3, 2, 0);
    grid->addLayout(sn, 2, 1, 1, 2);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(ScrollBar_Week, 3, 1);
    grid->addWidget(Label_Week, 3, 2);
    grid->addWidget(Label5, 4, 0);
    grid->addWidget(ScrollBar_Year, 4, 1);
    grid->addWidget(Label_Year, 4, 2);
    grid->setColumnStretch(1, 1);

    GroupBox3 = createNamed<QGroupBox>("GroupBox3", tr("EDID 版本."), this);
    Edit_Ver = createNamed<QLineEdit>("Edit_Ver", QStringLiteral("1"), GroupBox3);
    Edit_Ver->setReadOnly(true);
    Edit_Rev = createNamed<QLineEdit>("Edit_Rev", QStringLiteral("3"), GroupBox3);
    auto* version = new QHBoxLayout(GroupBox3);
    version->addWidget(new QLabel(tr("版本首位:"), GroupBox3));
    version->addWidget(Edit_Ver);
    version->addSpacing(8);
    version->addWidget(new QLabel(tr("版本末位:"), GroupBox3));
    version->addWidget(Edit_Rev);
    for (QLineEdit* edit : {Edit_Ver, Edit_Rev})
        edit->setMaximumWidth(48);

    GroupBox10 = createNamed<QGroupBox>("GroupBox10", QStringLiteral("Gamma"), this);
    Label8 = createNamed<QLabel>("Label8", QStringLiteral("Gamma"), GroupBox10);
    ScrollBar_Gamma = horizontalScrollBar("ScrollBar_Gamma", 0, 255, 0, GroupBox10);
    Label_Gamma = createNamed<QLabel>("Label_Gamma", QStringLiteral("1.00"), GroupBox10);
    Label_Gamma->setMinimumWidth(Label_Gamma->fontMetrics().horizontalAdvance(tr("Not Def.")));
    auto* gamma = new QHBoxLayout(GroupBox10);
    gamma->addWidget(Label8);
    gamma->addWidget(ScrollBar_Gamma, 1);
    gamma->addWidget(Label_Gamma);
}

void VendorProductPage::createVideoInputGroup() {
    GroupBox4 = createNamed<QGroupBox>("GroupBox4", tr("视频输入定义"), this);
    RadioButton_Analog = createNamed<QRadioButton>("RadioButton_Analog", tr("模拟信号"), GroupBox4);
    RadioButton_Analog->setChecked(true);
    RadioButton_Digital =
        createNamed<QRadioButton>("RadioButton_Digital", tr("数字信号"), GroupBox4);
    CheckBox1 = createNamed<QCheckBox>("CheckBox1", QStringLiteral("DFP 1.x"), GroupBox4);
    CheckBox1->setEnabled(false);
    CheckBox1->setToolTip(tr("接口与VESA信号兼容 DFP1.x"));

    GroupBox5 = createNamed<QGroupBox>("GroupBox5", tr("信号电平"), GroupBox4);
    RadioButton1 = createNamed<QRadioButton>("RadioButton1", QStringLiteral("0.700, 0.300"), GroupBox5);
    RadioButton1->setChecked(true);
    RadioButton2 = createNamed<QRadioButton>("RadioButton2", QStringLiteral("0.714, 0.286"), GroupBox5);
    RadioButton3 = createNamed<QRadioButton>("RadioButton3", QStringLiteral("1.000, 0.400"), GroupBox5);
    RadioButton4 = createNamed<QRadioButton>("RadioButton4", QStringLiteral("0.700, 0.000"), GroupBox5);
    const QString level = tr("Ref White Above balnk, Level of Sync. tip below blank. (%1)");
    RadioButton1->setToolTip(level.arg(QStringLiteral("1.0Vpp")));
    RadioButton2->setToolTip(level.arg(QStringLiteral("1.0Vpp")));
    RadioButton3->setToolTip(level.arg(QStringLiteral("1.4Vpp")));
    RadioButton4->setToolTip(level.arg(QStringLiteral("0.7Vpp")));
    CheckBox2 = createNamed<QCheckBox>("CheckBox2", tr("预期设置"), GroupBox5);
    CheckBox2->setToolTip(tr("Disp expects a blonk to black setup or pedestal"));
    auto* levels = new QGridLayout(GroupBox5);
    levels->setVerticalSpacing(2);
    levels->addWidget(RadioButton1, 0, 0);
    levels->addWidget(RadioButton2, 1, 0);
    levels->addWidget(RadioButton3, 2, 0);
    levels->addWidget(RadioButton4, 3, 0);
    levels->addWidget(CheckBox2, 4, 0);

    GroupBox6 = createNamed<QGroupBox>("GroupBox6", tr("同步类型"), GroupBox4);
    CheckBox3 = createNamed<QCheckBox>("CheckBox3", tr("单独同步"), GroupBox6);
    CheckBox4 = createNamed<QCheckBox>("CheckBox4", tr("复合同步"), GroupBox6);
    CheckBox5 = createNamed<QCheckBox>("CheckBox5", tr("绿色同步"), GroupBox6);
    CheckBox6 = createNamed<QCheckBox>("CheckBox6", tr("锯齿同步"), GroupBox6);
    auto* sync = new QGridLayout(GroupBox6);
    sync->setVerticalSpacing(2);
    sync->addWidget(CheckBox3, 0, 0);
    sync->addWidget(CheckBox4, 0, 1);
    sync->addWidget(CheckBox5, 1, 0);
    sync->addWidget(CheckBox6, 1, 1);

    GroupBox53 = createNamed<QGroupBox>("GroupBox53", tr("颜色位深"), GroupBox4);
    ComboBox1 = createNamed<QComboBox>("ComboBox1", GroupBox53);
    ComboBox1->addItems({tr("000: Undefined"), tr("001: 6 bits color"), tr("010: 8 bits color"),
                         tr("011: 10 bits color"), tr("100: 12 bits color"),
                         tr("101: 14 bits color"), tr("110: 16 bits color"),
                         tr("111: Reserved(don't use)")});
    ComboBox1->setCurrentIndex(-1);
    (new QVBoxLayout(GroupBox53))->addWidget(ComboBox1);

    GroupBox54 = createNamed<QGroupBox>("GroupBox54", tr("数字视频接口"), GroupBox4);
    ComboBox2 = createNamed<QComboBox>("ComboBox2", GroupBox54);
    ComboBox2->addItems({tr("0000: Undefined"), QStringLiteral("0001: DVI"),
                         QStringLiteral("0010: HDMI-A"), QStringLiteral("0011: HDMI-B"),
                         QStringLiteral("0100: MDDI"), QStringLiteral("0101: DP"),
                         tr("xxxx: Reserved(don't use)")});
    ComboBox2->setCurrentIndex(-1);
    (new QVBoxLayout(GroupBox54))->addWidget(ComboBox2);
    GroupBox53->hide();
    GroupBox54->hide();

    auto* kind = new QHBoxLayout;
    kind->addWidget(RadioButton_Analog);
    kind->addWidget(RadioButton_Digital);
    kind->addWidget(CheckBox1);
    kind->addStretch();
    auto* layout = new QVBoxLayout(GroupBox4);
    layout->addLayout(kind);
    layout->addWidget(GroupBox5);
    layout->addWidget(GroupBox6);
    layout->addWidget(GroupBox53);
    layout->addWidget(GroupBox54);
}

void VendorProductPage::createDisplayGroups() {
    GroupBox7 = createNamed<QGroupBox>("GroupBox7", tr("图像大小"), this);
    Label9 = createNamed<QLabel>("Label9", tr("最大H尺寸:"), GroupBox7);
    Label10 = createNamed<QLabel>("Label10", tr("最大V尺寸"), GroupBox7);
    Label_Hcm = createNamed<QLabel>("Label_Hcm", QStringLiteral("255"), GroupBox7);
    Label_Vcm = createNamed<QLabel>("Label_Vcm", QStringLiteral("255"), GroupBox7);
    Label_cm = createNamed<QLabel>("Label_cm", QStringLiteral("cm"), GroupBox7);
    Label_cm2 = createNamed<QLabel>("Label_cm2", QStringLiteral("cm"), GroupBox7);
    ScrollBar_Hsize = horizontalScrollBar("ScrollBar_Hsize", 0, 255, 255, GroupBox7);
    ScrollBar_Vsize = horizontalScrollBar("ScrollBar_Vsize", 0, 255, 255, GroupBox7);
    for (QLabel* value : {Label_Hcm, Label_Vcm}) {
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(tr("Not Def.")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    auto* size = new QGridLayout(GroupBox7);
    size->setVerticalSpacing(2);
    size->addWidget(Label9, 0, 0);
    size->addWidget(Label_Hcm, 0, 1);
    size->addWidget(Label_cm, 0, 2);
    size->addWidget(ScrollBar_Hsize, 1, 0, 1, 3);
    size->addWidget(Label10, 2, 0);
    size->addWidget(Label_Vcm, 2, 1);
    size->addWidget(Label_cm2, 2, 2);
    size->addWidget(ScrollBar_Vsize, 3, 0, 1, 3);
    size->setColumnStretch(0, 1);
    size->setColumnMinimumWidth(2, Label_cm->fontMetrics().horizontalAdvance(QStringLiteral("cm")));

    GroupBox8 = createNamed<QGroupBox>("GroupBox8", tr("功能支持"), this);
    CheckBox_STby = createNamed<QCheckBox>("CheckBox_STby", tr("Standby"), GroupBox8);
    CheckBox_STby->setToolTip(tr("显示支持DPMS待机模式"));
    CheckBox_Susp = createNamed<QCheckBox>("CheckBox_Susp", tr("Suspend"), GroupBox8);
    CheckBox_Susp->setToolTip(tr("显示支持DPMS休眠模式"));
    CheckBox_Active = createNamed<QCheckBox>("CheckBox_Active", tr("主动关闭/超低功耗"), GroupBox8);
    CheckBox_sRGB = createNamed<QCheckBox>("CheckBox_sRGB", QStringLiteral("sRGB"), GroupBox8);
    CheckBox_GTF = createNamed<QCheckBox>("CheckBox_GTF", tr("默认 GTF"), GroupBox8);
    CheckBox_Pref = createNamed<QCheckBox>("CheckBox_Pref", tr("首选定时模式"), GroupBox8);
    CheckBox_Pref->setChecked(true);
    CheckBox_Pref->setEnabled(false);
    auto* features = new QGridLayout(GroupBox8);
    features->setVerticalSpacing(2);
    features->addWidget(CheckBox_STby, 0, 0);
    features->addWidget(CheckBox_Susp, 0, 1);
    features->addWidget(CheckBox_Active, 1, 0, 1, 2);
    features->addWidget(CheckBox_sRGB, 2, 0);
    features->addWidget(CheckBox_GTF, 2, 1);
    features->addWidget(CheckBox_Pref, 3, 0, 1, 2);

    const FeatureCaptions captions = featureCaptions(false, false);
    GroupBox9 = createNamed<QGroupBox>("GroupBox9", tr("显示类型"), this);
    RadioButton_Mono = createNamed<QRadioButton>("RadioButton_Mono",
                                           QString::fromUtf8(captions.displayTypes[0]), GroupBox9);
    RadioButton_RGB = createNamed<QRadioButton>("RadioButton_RGB",
                                          QString::fromUtf8(captions.displayTypes[1]), GroupBox9);
    RadioButton_RGB->setChecked(true);
    RadioButton_NonRGB = createNamed<QRadioButton>(
        "RadioButton_NonRGB", QString::fromUtf8(captions.displayTypes[2]), GroupBox9);
    RadioButton_Undef = createNamed<QRadioButton>("RadioButton_Undef",
                                            QString::fromUtf8(captions.displayTypes[3]), GroupBox9);
    auto* types = new QGridLayout(GroupBox9);
    types->setVerticalSpacing(2);
    types->addWidget(RadioButton_Mono, 0, 0);
    types->addWidget(RadioButton_RGB, 1, 0);
    types->addWidget(RadioButton_NonRGB, 2, 0);
    types->addWidget(RadioButton_Undef, 3, 0);
}

void VendorProductPage::connectHandlers() {
    const auto check = [](std::string (*problem)(std::string_view)) {
        return [problem](const QString& text) { return QString::fromStdString(problem(text.toStdString())); };
    };
    commitWhenFinished(Edt_MfgID, this, [this] { Edt_MfgIDOnChange(); },
                       check(manufacturerIdProblem));
    commitWhenFinished(Edt_PrdCd, this, [this] { Edt_PrdCdChange(); }, check(productCodeProblem));
    commitWhenFinished(Edt_SN, this, [this] { Edt_SNChange(); }, check(serialNumberProblem));

    connect(UpDown1, &UpDown::clicked, this, &VendorProductPage::UpDown1Click);
    connect(ScrollBar_Week, &QScrollBar::valueChanged, this,
            &VendorProductPage::ScrollBar_WeekChange);
    connect(ScrollBar_Year, &QScrollBar::valueChanged, this,
            &VendorProductPage::ScrollBar_YearChange);
    commitWhenFinished(Edit_Rev, this, [this] { Edit_RevChange(); }, check(revisionProblem));
    connect(ScrollBar_Hsize, &QScrollBar::valueChanged, this,
            &VendorProductPage::ScrollBar_HsizeChange);
    connect(ScrollBar_Vsize, &QScrollBar::valueChanged, this,
            &VendorProductPage::ScrollBar_VsizeChange);
    connect(ScrollBar_Gamma, &QScrollBar::valueChanged, this,
            &VendorProductPage::ScrollBar_GammaChange);
    for (QRadioButton* input : {RadioButton_Analog, RadioButton_Digital})
        connect(input, &QRadioButton::clicked, this, &VendorProductPage::RadioButton_InputClick);
    for (QComboBox* list : {ComboBox1, ComboBox2})
        connect(list, &QComboBox::activated, this, &VendorProductPage::RadioButton_InputClick);
    for (QRadioButton* level : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        connect(level, &QRadioButton::clicked, this,
                &VendorProductPage::RadioButton_VideoInputClick);
    for (QCheckBox* flag : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6})
        connect(flag, &QCheckBox::clicked, this, &VendorProductPage::CheckBox_VideoInputClick);
    for (QCheckBox* feature :
         {CheckBox_STby, CheckBox_Susp, CheckBox_Active, CheckBox_sRGB, CheckBox_GTF})
        connect(feature, &QCheckBox::clicked, this, &VendorProductPage::CheckBox_FeatureClick);
    for (QRadioButton* type :
         {RadioButton_Mono, RadioButton_RGB, RadioButton_NonRGB, RadioButton_Undef})
        connect(type, &QRadioButton::clicked, this, &VendorProductPage::RadioButton_FeatureClick);
}

bool VendorProductPage::decoding() const {
    return m_pageState.pageDecodingMarker == kMarkerInfoPage;
}

void VendorProductPage::setTextQuietly(QLineEdit* edit, const QString& text) {
    if (edit->text() == text)
        return;
    PageMarkerScope quiet(m_pageState.pageDecodingMarker, kMarkerInfoPage);
    edit->setText(text);
}

void VendorProductPage::decodePage() {
    PageMarkerScope quiet(m_pageState.pageDecodingMarker, kMarkerInfoPage);
    decodeIdentity();
    decodeVideoInputDefinition();
    decodeFeatures();
}

void VendorProductPage::decodeIdentity() {
    // Showing the page reads the image only: a header or week the page could
    // not show stays as it is until the user edits that field.
    const EdidImage& image = m_workspace.image;
    Edt_MfgID->setText(QString::fromLatin1(manufacturerIdText(image)));
    Edt_PrdCd->setText(QString::fromLatin1(productCodeText(image)));
    showSerialNumber(serialNumber(m_workspace.image));

    const WeekOfManufacture week = weekOfManufacture(image, displayPort());
    for (QWidget* control : std::initializer_list<QWidget*>{ScrollBar_Week, Label_Week, Label4})
        control->setEnabled(!week.modelYear);
    Label5->setText(week.modelYear ? tr("Model Year") : tr("Mfg. Year"));
    if (!week.modelYear) {
        ScrollBar_Week->setValue(std::min(week.week, kLastWeek));
        Label_Week->setText(weekText(week.week));
    }
    const int year = yearOfManufacture(image);
    ScrollBar_Year->setValue(year);
    Label_Year->setText(QString::number(year));

    const BasicParameters basic = basicParameters(image);
    Edit_Ver->setText(QString::number(basic.version));
    Edit_Rev->setText(QString::number(basic.revision));

    ScrollBar_Hsize->setValue(basic.horizontalSize);
    ScrollBar_Vsize->setValue(basic.verticalSize);
    showScreenSize();

    ScrollBar_Gamma->setValue(basic.gamma);
    Label_Gamma->setText(QString::fromLatin1(gammaText(basic.gamma)));
}

void VendorProductPage::decodeVideoInputDefinition() {
    const VideoInput input = videoInput(m_workspace.image, displayPort());
    (input.digital ? RadioButton_Digital : RadioButton_Analog)->setChecked(true);
    if (input.digital) {
        if (displayPort()) {
            ComboBox1->setCurrentIndex(input.colourDepth);
            ComboBox2->setCurrentIndex(input.interfaceKind);
        } else {
            CheckBox1->setChecked(input.dfp1x);
        }
    } else {
        QRadioButton* levels[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
        levels[input.signalLevel]->setChecked(true);
        CheckBox2->setChecked(input.blankToBlackSetup);
        CheckBox3->setChecked(input.separateSync);
        CheckBox4->setChecked(input.compositeSync);
        CheckBox5->setChecked(input.syncOnGreen);
        CheckBox6->setChecked(input.serration);
    }
    showVideoInputGroups();
}

void VendorProductPage::decodeFeatures() {
    const FeatureSupport f = featureSupport(m_workspace.image);
    CheckBox_STby->setChecked(f.standby);
    CheckBox_Susp->setChecked(f.suspend);
    CheckBox_Active->setChecked(f.activeOff);
    CheckBox_sRGB->setChecked(f.sRgb);
    CheckBox_GTF->setChecked(f.continuousFrequency);
    CheckBox_Pref->setChecked(f.preferredTiming);
    QRadioButton* types[] = {RadioButton_Mono, RadioButton_RGB, RadioButton_NonRGB,
                             RadioButton_Undef};
    types[f.displayType]->setChecked(true);
    applyFeatureCaptions();
    CheckBox_GTF->setText(QString::fromLatin1(defaultGtfCaption(displayPort())));
}

void VendorProductPage::showSerialNumber(std::uint32_t value) {
    writeSerialNumber(m_workspace, value);
    setTextQuietly(Edt_SN, QString::fromStdString(m_workspace.serialNumberText));
}

void VendorProductPage::showScreenSize() {
    const BasicParameters basic = basicParameters(m_workspace.image);
    const ScreenSizeDisplay d =
        screenSizeDisplay(basic.horizontalSize, basic.verticalSize, displayPort());
    GroupBox7->setTitle(utf8(d.groupCaption));
    Label9->setText(utf8(d.horizontalCaption));
    Label_Hcm->setText(utf8(d.horizontalValue));
    Label10->setText(utf8(d.verticalCaption));
    Label_Vcm->setText(utf8(d.verticalValue));
    Label9->setEnabled(d.horizontalEnabled);
    Label_Hcm->setEnabled(d.horizontalEnabled);
    Label10->setEnabled(d.verticalEnabled);
    Label_Vcm->setEnabled(d.verticalEnabled);
    Label_cm->setVisible(d.centimetres);
    Label_cm2->setVisible(d.centimetres);
    // The positions equal the bytes shown; moving them here writes nothing.
    const QSignalBlocker blockH(ScrollBar_Hsize);
    const QSignalBlocker blockV(ScrollBar_Vsize);
    ScrollBar_Hsize->setValue(d.horizontalPosition);
    ScrollBar_Vsize->setValue(d.verticalPosition);
}

void VendorProductPage::showVideoInputGroups() {
    const bool digital = RadioButton_Digital->isChecked();
    GroupBox5->setVisible(!digital || !displayPort());
    GroupBox6->setVisible(!digital || !displayPort());
    GroupBox53->setVisible(digital && displayPort());
    GroupBox54->setVisible(digital && displayPort());
    CheckBox1->setVisible(!displayPort());
    for (QWidget* analog :
         std::initializer_list<QWidget*>{RadioButton1, RadioButton2, RadioButton3, RadioButton4,
                                         CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6})
        analog->setEnabled(!digital);
    CheckBox1->setEnabled(digital);
}

void VendorProductPage::applyFeatureCaptions() {
    const FeatureCaptions captions = featureCaptions(displayPort(), CheckBox_STby->isChecked());
    GroupBox9->setTitle(QString::fromUtf8(captions.group));
    QRadioButton* types[] = {RadioButton_Mono, RadioButton_RGB, RadioButton_NonRGB,
                             RadioButton_Undef};
    for (int i = 0; i < 4; ++i)
        types[i]->setText(QString::fromUtf8(captions.displayTypes[std::size_t(i)]));
}

void VendorProductPage::refuse(QLineEdit* edit, const std::string& message) {
    // The field shows the stored value again; the message says why.
    {
        PageMarkerScope quiet(m_pageState.pageDecodingMarker, kMarkerInfoPage);
        decodeIdentity();
    }
    markProblem(edit, QString());
    m_ui.showMessage(this, QString::fromStdString(message));
}

void VendorProductPage::Edt_MfgIDOnChange() {
    if (decoding())
        return;
    const std::string text = Edt_MfgID->text().toStdString();
    const std::string problem = manufacturerIdProblem(text);
    if (!problem.empty())
        return refuse(Edt_MfgID, problem);
    const TypedCode typed = parseManufacturerIdText(text);
    writeManufacturerId(m_workspace.image, *typed.value);
    setTextQuietly(Edt_MfgID, QString::fromLatin1(typed.shown));
}

void VendorProductPage::Edt_PrdCdChange() {
    if (decoding())
        return;
    const std::string text = Edt_PrdCd->text().toStdString();
    const std::string problem = productCodeProblem(text);
    if (!problem.empty())
        return refuse(Edt_PrdCd, problem);
    const TypedCode typed = parseProductCodeText(text);
    writeProductCode(m_workspace.image, *typed.value);
    setTextQuietly(Edt_PrdCd, QString::fromLatin1(typed.shown));
}

void VendorProductPage::Edt_SNChange() {
    if (decoding())
        return;
    const std::string text = Edt_SN->text().toStdString();
    const std::optional<std::uint32_t> value = parseSerialNumberText(text);
    if (!value)
        return refuse(Edt_SN, kMsgSerialNumber);
    showSerialNumber(*value);
}

void VendorProductPage::UpDown1Click(bool up) {
    if (decoding())
        return;
    // The arrows step what the field holds: a number still being typed first.
    finishEditing(this);
    if (UpDown1->position() < -32699 || UpDown1->position() > 32699)
        UpDown1->setPosition(0);
    showSerialNumber(stepSerialNumber(serialNumber(m_workspace.image), up));
}

void VendorProductPage::ScrollBar_WeekChange() {
    if (decoding())
        return;
    writeWeekOfManufacture(m_workspace.image, ScrollBar_Week->value());
    Label_Week->setText(weekText(ScrollBar_Week->value()));
}

void VendorProductPage::ScrollBar_YearChange() {
    if (decoding())
        return;
    writeYearOfManufacture(m_workspace.image, ScrollBar_Year->value());
    Label_Year->setText(QString::number(ScrollBar_Year->value()));
}

void VendorProductPage::Edit_RevChange() {
    if (decoding())
        return;
    const std::string text = Edit_Rev->text().toStdString();
    const std::string problem = revisionProblem(text);
    if (!problem.empty())
        return refuse(Edit_Rev, problem);
    writeRevision(m_workspace.image, *parseRevisionText(text));
}

void VendorProductPage::ScrollBar_HsizeChange() {
    if (decoding())
        return;
    writeHorizontalSize(m_workspace.image, static_cast<Byte>(ScrollBar_Hsize->value()));
    showScreenSize();
}

void VendorProductPage::ScrollBar_VsizeChange() {
    if (decoding())
        return;
    writeVerticalSize(m_workspace.image, static_cast<Byte>(ScrollBar_Vsize->value()));
    showScreenSize();
}

void VendorProductPage::ScrollBar_GammaChange() {
    if (decoding())
        return;
    const Byte gamma = static_cast<Byte>(ScrollBar_Gamma->value());
    writeGamma(m_workspace.image, gamma);
    Label_Gamma->setText(QString::fromLatin1(gammaText(gamma)));
}

void VendorProductPage::RadioButton_InputClick() {
    if (decoding())
        return;
    showVideoInputGroups();
    encodeVideoInputByte();
}

void VendorProductPage::RadioButton_VideoInputClick() {
    if (decoding())
        return;
    encodeVideoInputByte();
}

void VendorProductPage::CheckBox_VideoInputClick() {
    if (decoding())
        return;
    encodeVideoInputByte();
}

void VendorProductPage::CheckBox_FeatureClick() {
    if (decoding())
        return;
    encodeFeatureByte();
    applyFeatureCaptions();
}

void VendorProductPage::RadioButton_FeatureClick() {
    if (decoding())
        return;
    encodeFeatureByte();
    applyFeatureCaptions();
}

void VendorProductPage::encodeVideoInputByte() {
    VideoInput input;
    input.digital = RadioButton_Digital->isChecked();
    input.signalLevel = RadioButton2->isChecked()   ? 1
                        : RadioButton3->isChecked() ? 2
                        : RadioButton4->isChecked() ? 3
                                                    : 0;
    input.blankToBlackSetup = CheckBox2->isChecked();
    input.separateSync = CheckBox3->isChecked();
    input.compositeSync = CheckBox4->isChecked();
    input.syncOnGreen = CheckBox5->isChecked();
    input.serration = CheckBox6->isChecked();
    input.dfp1x = CheckBox1->isChecked();
    input.colourDepth = ComboBox1->currentIndex();
    input.interfaceKind = ComboBox2->currentIndex();
    writeVideoInput(m_workspace.image, input, displayPort());
}

void VendorProductPage::encodeFeatureByte() {
    FeatureSupport f;
    f.standby = CheckBox_STby->isChecked();
    f.suspend = CheckBox_Susp->isChecked();
    f.activeOff = CheckBox_Active->isChecked();
    f.sRgb = CheckBox_sRGB->isChecked();
    f.continuousFrequency = CheckBox_GTF->isChecked();
    f.displayType = RadioButton_RGB->isChecked()      ? 1
                    : RadioButton_NonRGB->isChecked() ? 2
                    : RadioButton_Undef->isChecked()  ? 3
                                                      : 0;
    writeFeatureSupport(m_workspace.image, f);
    // The write sets the preferred-timing bit; show it.
    CheckBox_Pref->setChecked(true);
}

} // namespace pellam
