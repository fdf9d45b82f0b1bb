// "I2C 配置": the port type, the parallel port's base address and the bus
// timing. Created once at start-up; edits the settings of the run in memory
// (they are saved at exit).
#pragma once

#include "ddc/i2c_settings.h"

#include <QDialog>

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
    TfrmI2C(I2cSettings& settings, UserInteraction& ui, QWidget* parent = nullptr);

    QLabel* Label1;
    QComboBox* cbxPortType;
    QLabel* ledBaseAddrLabel;
    QLineEdit* ledBaseAddr;
    QScrollBar* slbDelay;
    QLabel* Label2;
    QPushButton* Button_I2COk;
    QPushButton* Button_I2CCancel;

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
    void confirm();

    I2cSettings& m_settings;
    UserInteraction& m_ui;
    bool m_fillingBaseAddr = false;
};

} // namespace pellam
