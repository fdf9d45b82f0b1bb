#include "gui/ddc/i2c_settings_dialog.h"

#include "core/ddc/drm_connectors.h"
#include "core/edid/hex.h"
#include "gui/ui/user_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace pellam {

namespace {

constexpr int kUsbScrollMin = 20; // 80 kHz
constexpr int kUsbScrollMax = 30; // 120 kHz
constexpr int kPortScrollMax = 100;
// The port types the list offers, in its order.
constexpr std::int32_t kOfferedPortTypes[] = {kPortLpt1, kPortLpt2, kPortUsb, kPortDdc};

QString portTypeText(std::int32_t type) {
    const std::string_view name = portName(type);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// Digits 0-9, A-F, a-f only; an empty text passes.
bool isHexText(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f')))
            return false;
    }
    return true;
}

QPushButton* dialogButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter acts on key release only (see eventFilter), not on press as a
    // dialog's default button would.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

TfrmI2C::TfrmI2C(I2cSettings& settings, UserInteraction& ui, QWidget* parent,
                 ConnectorLister listConnectors)
    : QDialog(parent, Qt::Tool)
    , m_settings(settings)
    , m_ui(ui)
    , m_listConnectors(listConnectors ? std::move(listConnectors)
                                      : [] { return listDrmConnectors(); }) {
    setObjectName(QStringLiteral("frmI2C"));
    setWindowTitle(tr("I2C 配置"));
    setModal(true);

    Label1 = new QLabel(tr("Port Type:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cbxPortType = new QComboBox(this);
    cbxPortType->setObjectName(QStringLiteral("cbxPortType"));
    cbxDdcConnectorLabel = new QLabel(QStringLiteral("Connector:"), this);
    cbxDdcConnector = new QComboBox(this);
    cbxDdcConnector->setObjectName(QStringLiteral("cbxDdcConnector"));
    cbxDdcConnector->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbxDdcConnectorLabel->setBuddy(cbxDdcConnector);
    ledBaseAddrLabel = new QLabel(tr("Base Addr:  0x"), this);
    ledBaseAddr = new QLineEdit(this);
    ledBaseAddr->setObjectName(QStringLiteral("ledBaseAddr"));
    ledBaseAddrLabel->setBuddy(ledBaseAddr);
    slbDelay = new QScrollBar(Qt::Horizontal, this);
    slbDelay->setObjectName(QStringLiteral("slbDelay"));
    slbDelay->setPageStep(1);
    Label2 = new QLabel(tr("Delay"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    ckxFastWrite = new QCheckBox(tr("Fast write"), this);
    ckxFastWrite->setObjectName(QStringLiteral("ckxFastWrite"));
    ckxFastWrite->setToolTip(
        tr("Write only the 8-byte pages that differ from the sink's content, each "
           "followed by polling the EEPROM, and verify in one read."));
    cbxEepromLabel = new QLabel(QStringLiteral("EEPROM:"), this);
    cbxEeprom = new QComboBox(this);
    cbxEeprom->setObjectName(QStringLiteral("cbxEeprom"));
    for (const EepromKind kind : kEepromKinds) {
        const std::string_view name = eepromKindName(kind);
        cbxEeprom->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                           static_cast<int>(kind));
    }
    cbxEeprom->setToolTip(tr(
        "The sink's EEPROM: 24C01/24C21 128 bytes, 24C02 256, 24C04 512, 24C08 1 KiB, 24C16 "
        "2 KiB (blocks at A0h, A2h ...), E-DDC up to 32 KiB in segments (segment pointer 60h)."));
    cbxEepromLabel->setBuddy(cbxEeprom);
    ledUsbSerialLabel = new QLabel(tr("USB serial:"), this);
    ledUsbSerial = new QLineEdit(this);
    ledUsbSerial->setObjectName(QStringLiteral("ledUsbSerial"));
    ledUsbSerial->setPlaceholderText(tr("the only adapter"));
    ledUsbSerialLabel->setBuddy(ledUsbSerial);
    Button_I2COk = dialogButton(tr("确认"), "Button_I2COk", this);
    Button_I2CCancel = dialogButton(tr("取消"), "Button_I2CCancel", this);

    auto* fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(cbxPortType, 0, 1);
    fields->addWidget(cbxDdcConnectorLabel, 1, 0);
    fields->addWidget(cbxDdcConnector, 1, 1);
    fields->addWidget(ledBaseAddrLabel, 2, 0);
    fields->addWidget(ledBaseAddr, 2, 1);
    fields->addWidget(cbxEepromLabel, 3, 0);
    fields->addWidget(cbxEeprom, 3, 1);
    fields->addWidget(ledUsbSerialLabel, 4, 0);
    fields->addWidget(ledUsbSerial, 4, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button_I2COk);
    buttons->addWidget(Button_I2CCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addWidget(slbDelay);
    layout->addWidget(Label2);
    layout->addWidget(ckxFastWrite);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(260);

    // activated: the user's choice only, not the selection FormShow makes.
    connect(cbxPortType, &QComboBox::activated, this, &TfrmI2C::cbxPortTypeChange);
    connect(slbDelay, &QScrollBar::valueChanged, this, &TfrmI2C::slbDelayChange);
    connect(ledBaseAddr, &QLineEdit::textChanged, this, &TfrmI2C::ledBaseAddrChange);
    connect(ckxFastWrite, &QCheckBox::clicked, this,
            [this](bool checked) { m_fastWriteChoice = checked; });
    connect(cbxEeprom, &QComboBox::activated, this, [this] {
        m_eepromChoice = eepromKindFromNumber(cbxEeprom->currentData().toInt());
    });
    connect(Button_I2COk, &QPushButton::clicked, this, &TfrmI2C::Button_I2COkMouseUp);
    connect(Button_I2CCancel, &QPushButton::clicked, this, &TfrmI2C::Button_I2CCancelMouseUp);
    Button_I2COk->installEventFilter(this);
    Button_I2CCancel->installEventFilter(this);
}

void TfrmI2C::showEvent(QShowEvent* event) {
    FormShow();
    // The connector list sizes the dialog: lay it out before it is placed.
    layout()->activate();
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget()) {
        const QRect frame = owner->window()->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
}

bool TfrmI2C::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat()) {
            if (watched == Button_I2COk) {
                Button_I2COkKeyUp();
                return true;
            }
            if (watched == Button_I2CCancel) {
                Button_I2CCancelKeyUp();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmI2C::showRate(int kbps) {
    Label2->setText(tr("Rate %1 kbps").arg(kbps));
}

void TfrmI2C::showDelay(int loops) {
    Label2->setText(tr("Delay  %1 loops").arg(loops));
}

// The DDC lines run at the clock the graphics driver sets; the delay count
// has no say.
void TfrmI2C::showDdcClock() {
    Label2->setText(tr("Bus clock set by the graphics driver"));
}

std::int32_t TfrmI2C::selectedPortType() const {
    return cbxPortType->currentIndex() >= 0 ? cbxPortType->currentData().toInt() : kPortNone;
}

// Every connector, disconnected ones too; one without a DDC bus of its own
// is shown but cannot be chosen.
void TfrmI2C::fillConnectors() {
    cbxDdcConnector->clear();
    auto* model = qobject_cast<QStandardItemModel*>(cbxDdcConnector->model());
    m_connectors = m_listConnectors();
    for (const DrmConnector& connector : m_connectors) {
        cbxDdcConnector->addItem(QString::fromStdString(connectorLabel(connector)),
                                 QString::fromStdString(connector.name));
        if (!connector.hasBus() && model)
            model->item(cbxDdcConnector->count() - 1)->setEnabled(false);
    }
    // A stored connector this machine does not have now is named without a
    // selection.
    const QString stored = QString::fromStdString(m_settings.ddcConnector);
    const int index = stored.isEmpty() ? -1 : cbxDdcConnector->findData(stored);
    cbxDdcConnector->setPlaceholderText(index < 0 ? stored : QString());
    cbxDdcConnector->setCurrentIndex(index);
}

void TfrmI2C::showEeprom(std::int32_t portType) {
    const EepromKind kind = m_eepromChoice.value_or(defaultEepromKind(portType));
    cbxEeprom->setCurrentIndex(cbxEeprom->findData(static_cast<int>(kind)));
    ledUsbSerial->setEnabled(portType == kPortUsb);
}

void TfrmI2C::showFastWrite(std::int32_t portType) {
    const bool ddc = portType == kPortDdc;
    ckxFastWrite->setChecked(ddc || m_fastWriteChoice);
    ckxFastWrite->setEnabled(!ddc);
}

void TfrmI2C::FormShow() {
    cbxPortType->clear();
    for (const std::int32_t offered : kOfferedPortTypes)
        cbxPortType->addItem(portTypeText(offered), offered);
    // COM ports (chosen only in the stored settings) show their name without
    // a selection; an unknown port type shows none.
    const std::int32_t type = m_settings.portType;
    cbxPortType->setPlaceholderText(portTypeText(type));
    cbxPortType->setCurrentIndex(cbxPortType->findData(type));
    fillConnectors();
    cbxDdcConnector->setEnabled(type == kPortDdc);
    m_fastWriteChoice = m_settings.fastWrite;
    showFastWrite(type);
    m_eepromChoice = m_settings.eeprom;
    showEeprom(type);
    ledUsbSerial->setText(QString::fromStdString(m_settings.usbSerial));
    if (m_atConnectorList) {
        m_atConnectorList = false;
        cbxDdcConnector->setFocus();
    }

    m_settings.slaveAddress = kDefaultSlaveAddress;

    slbDelay->setEnabled(type != kPortDdc);
    if (type == kPortUsb) {
        ledBaseAddr->setEnabled(false);
        showRate(static_cast<int>(m_settings.delayCount / 25));
        slbDelay->setRange(kUsbScrollMin, kUsbScrollMax);
    } else {
        m_fillingBaseAddr = true;
        ledBaseAddr->setText(
            QStringLiteral("%1").arg(m_settings.baseAddress, 3, 16, QLatin1Char('0')).toUpper());
        m_fillingBaseAddr = false;
        ledBaseAddr->setEnabled(type != kPortDdc);
        if (type == kPortDdc)
            showDdcClock();
        else
            showDelay(static_cast<int>(m_settings.delayCount));
        slbDelay->setRange(0, kPortScrollMax);
    }
    slbDelay->setValue(static_cast<int>(m_settings.delayCount / 100));
}

void TfrmI2C::cbxPortTypeChange() {
    const std::int32_t type = selectedPortType();
    cbxDdcConnector->setEnabled(type == kPortDdc);
    slbDelay->setEnabled(type != kPortDdc);
    showFastWrite(type);
    showEeprom(type);
    if (type == kPortUsb) {
        ledBaseAddr->setEnabled(false);
        m_settings.delayCount = kDefaultUsbDelayCount;
        slbDelay->setRange(kUsbScrollMin, kUsbScrollMax);
        slbDelay->setValue(static_cast<int>(kDefaultUsbDelayCount / 100));
        showRate(slbDelay->value() * 4);
    } else {
        ledBaseAddr->setEnabled(type != kPortDdc);
        m_settings.delayCount = kDefaultPortDelayCount;
        slbDelay->setRange(0, kPortScrollMax);
        slbDelay->setValue(static_cast<int>(kDefaultPortDelayCount / 100));
        if (type == kPortDdc)
            showDdcClock();
        else
            showDelay(slbDelay->value() * 100);
    }
    // Choosing DDC without a connector offers the first connected display
    // that has a DDC bus.
    if (type == kPortDdc && cbxDdcConnector->currentIndex() < 0) {
        for (const DrmConnector& connector : m_connectors) {
            if (connector.connected() && connector.hasBus()) {
                cbxDdcConnector->setCurrentIndex(
                    cbxDdcConnector->findData(QString::fromStdString(connector.name)));
                break;
            }
        }
    }
}

void TfrmI2C::slbDelayChange() {
    const std::int32_t selected = selectedPortType();
    const std::int32_t type = selected != kPortNone ? selected : m_settings.portType;
    if (type == kPortUsb)
        showRate(slbDelay->value() * 4);
    else if (type == kPortDdc)
        showDdcClock();
    else
        showDelay(slbDelay->value() * 100);
}

void TfrmI2C::ledBaseAddrChange() {
    if (m_fillingBaseAddr)
        return;
    if (!isHexText(ledBaseAddr->text()))
        m_ui.showMessage(this, tr("Invalid data! Please Input hex number"));
}

void TfrmI2C::confirm() {
    if (cbxPortType->currentIndex() >= 0)
        m_settings.portType = selectedPortType();
    // The connector is kept while another port type is in use.
    if (m_settings.portType == kPortDdc && cbxDdcConnector->currentIndex() >= 0)
        m_settings.ddcConnector = cbxDdcConnector->currentData().toString().toStdString();
    const QString text = ledBaseAddr->text();
    if (!text.isEmpty() && isHexText(text)) {
        if (const auto base = parseHexNumber(text.toStdString()))
            m_settings.baseAddress = *base;
    }
    m_settings.delayCount = static_cast<std::uint32_t>(slbDelay->value() * 100);
    // DDC writes fast whatever is stored; the choice is kept for the others.
    m_settings.fastWrite = m_fastWriteChoice;
    m_settings.eeprom = m_eepromChoice;
    m_settings.usbSerial = ledUsbSerial->text().trimmed().toStdString();
    accept();
}

void TfrmI2C::Button_I2COkMouseUp() {
    confirm();
}

void TfrmI2C::Button_I2COkKeyUp() {
    confirm();
}

void TfrmI2C::Button_I2CCancelMouseUp() {
    reject();
}

void TfrmI2C::Button_I2CCancelKeyUp() {
    reject();
}

} // namespace pellam
