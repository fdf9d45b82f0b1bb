// "I2C 配置": the port type, the parallel port's base address, the bus
// timing and, for the DDC port type, the display connector. Created once at
// start-up; edits the settings of the run in memory (they are saved at exit).
#pragma once

#include "core/ddc/drm_connectors.h"
#include "core/ddc/i2c_settings.h"

#include <functional>
#include <vector>

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace pellam {

class UserInteraction;

class TfrmI2C : public QDialog {
    Q_OBJECT

public:
    // The display connectors of the machine, listed each time the dialog is
    // shown (by default those under /sys).
    using ConnectorLister = std::function<std::vector<DrmConnector>()>;

    TfrmI2C(I2cSettings& settings, UserInteraction& ui, QWidget* parent = nullptr,
            ConnectorLister listConnectors = {});

    QLabel* Label1;
    QComboBox* cbxPortType;
    QLabel* cbxDdcConnectorLabel;
    // The display connectors (their names as item data); enabled for the DDC
    // port type only.
    QComboBox* cbxDdcConnector;
    QLabel* ledBaseAddrLabel;
    QLineEdit* ledBaseAddr;
    QScrollBar* slbDelay;
    QLabel* Label2;
    // Writes only the changed pages, with acknowledge polling. Always on
    // (checked and disabled) for the DDC port type.
    QCheckBox* ckxFastWrite;
    QLabel* cbxEepromLabel;
    // The sink's EEPROM (the kind's number as item data); follows the port
    // type's default until the user picks one.
    QComboBox* cbxEeprom;
    QLabel* ledUsbSerialLabel;
    // USB: the adapter's serial number (empty: the only one); enabled for
    // the USB port type only.
    QLineEdit* ledUsbSerial;
    QPushButton* Button_I2COk;
    QPushButton* Button_I2CCancel;

    // The next show puts the focus on the connector list (a DDC transfer
    // was started without a connector).
    void showConnectorList() { m_atConnectorList = true; }

public slots:
    void FormShow();
    void cbxPortTypeChange();
    void slbDelayChange();
    void ledBaseAddrChange();
    void Button_I2COkMouseUp();
    void Button_I2COkKeyUp();
    void Button_I2CCancelMouseUp();
    void Button_I2CCancelKeyUp();

protected:
    void showEvent(QShowEvent* event) override;
    // Enter released on a button confirms or cancels.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRate(int kbps);
    void showDelay(int loops);
    void showDdcClock();
    void fillConnectors();
    // The check box for a port type: the user's choice, or on for DDC.
    void showFastWrite(std::int32_t portType);
    void confirm();
    // The port type of the combo's selection, kPortNone without one.
    std::int32_t selectedPortType() const;

    I2cSettings& m_settings;
    UserInteraction& m_ui;
    ConnectorLister m_listConnectors;
    std::vector<DrmConnector> m_connectors; // as last listed
    bool m_fillingBaseAddr = false;
    // The fast write as chosen for the port types that have a choice.
    bool m_fastWriteChoice = false;
    // The EEPROM as chosen; none: the port type's default.
    std::optional<EepromKind> m_eepromChoice;
    bool m_atConnectorList = false;
    void showEeprom(std::int32_t portType);
};

} // namespace pellam
