#include "gui/ddc/i2c_settings_dialog.h"
#include "gui/ddc/i2c_settings_store.h"
#include "core/ddc/ddc_test_support.h"
#include "core/edid/edid_file.h"
#include "support/fake_sysfs.h"
#include "support/recording_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

class I2cSettingsDialog : public ::testing::Test {
protected:
    void show(const I2cSettings& stored) {
        settings = stored;
        dialog.show();
    }
    // The user picks a port type from the list.
    void choose(int index) {
        dialog.cbxPortType->setCurrentIndex(index);
        emit dialog.cbxPortType->activated(index);
    }
    QString label() const { return dialog.Label2->text(); }
    void ok() { QTest::mouseClick(dialog.Button_I2COk, Qt::LeftButton); }

    QStringList items(const QComboBox* combo) const {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    }

    I2cSettings settings;
    RecordingInteraction ui;
    FakeSysfs sys;
    TfrmI2C dialog{settings, ui, nullptr, [this] { return listDrmConnectors(sys.root()); }};
};

TEST_F(I2cSettingsDialog, PortTypeAndScrollBarSetTheDelayCount) {
    struct Case {
        I2cSettings stored;
        int choice;   // -1: none
        int scrollTo; // -1: left as it is
        QString shown;
        std::uint32_t delayCount;
        std::int32_t portType;
    };
    const Case cases[] = {
        {{kPortLpt1, 0x378, 0xA0, 500}, kPortUsb, -1, "Rate 96 kbps", 2400, kPortUsb},
        {{kPortUsb, 0x378, 0xA0, 2400}, kPortLpt1, 37, "Delay  3700 loops", 3700, kPortLpt1},
        {{kPortUsb, 0x378, 0xA0, 2400}, -1, 25, "Rate 100 kbps", 2500, kPortUsb},
        {{kPortLpt2, 0x378, 0xA0, 1200}, -1, -1, "Delay  1200 loops", 1200, kPortLpt2},
        {{kPortCom1 + 2, 0x378, 0xA0, 800}, -1, 9, "Delay  900 loops", 900, kPortCom1 + 2},
    };
    for (const Case& c : cases) {
        show(c.stored);
        if (c.choice >= 0)
            choose(c.choice);
        if (c.scrollTo >= 0)
            dialog.slbDelay->setValue(c.scrollTo);
        EXPECT_EQ(label(), c.shown);
        ok();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(settings.delayCount, c.delayCount) << c.shown.toStdString();
        EXPECT_EQ(settings.portType, c.portType) << c.shown.toStdString();
    }
}

TEST_F(I2cSettingsDialog, ShowingFillsTheControlsFromTheSettings) {
    show({kPortUsb, 0x278, 0xA2, 2400});
    EXPECT_EQ(settings.slaveAddress, 0xA0u) << "reset on every showing";
    EXPECT_EQ(dialog.cbxPortType->currentText(), "USB");
    EXPECT_FALSE(dialog.ledBaseAddr->isEnabled());
    EXPECT_EQ(label(), "Rate 96 kbps");
    EXPECT_EQ(dialog.slbDelay->minimum(), 20);
    EXPECT_EQ(dialog.slbDelay->maximum(), 30);
    dialog.reject();

    show({kPortLpt1, 0x3BC, 0xA0, 500});
    EXPECT_EQ(dialog.ledBaseAddr->text(), "3BC");
    EXPECT_TRUE(dialog.ledBaseAddr->isEnabled());
    EXPECT_EQ(label(), "Delay  500 loops");
    EXPECT_EQ(dialog.slbDelay->value(), 5);
    EXPECT_EQ(dialog.slbDelay->maximum(), 100);
    dialog.reject();

    // Port types the list does not offer: a COM port shows its name, an
    // unknown one nothing; OK keeps them.
    for (const auto& [type, name] : {std::pair{kPortCom1 + 4, "COM5"}, std::pair{kPortNone, ""}}) {
        show({type, 0x378, 0xA0, 500});
        EXPECT_EQ(dialog.cbxPortType->currentIndex(), -1);
        EXPECT_EQ(dialog.cbxPortType->placeholderText(), name);
        ok();
        EXPECT_EQ(settings.portType, type);
    }
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
}

TEST_F(I2cSettingsDialog, DdcTypeChoosesAConnectorByName) {
    sys.connectorOnBus("card0-HDMI-A-1", "connected", formatRawBinary(std::span(hdmiDefaultImage()).first(256)),
                       "i2c-5");
    sys.connectorOnBus("card0-DP-1", "disconnected", "", "i2c-6");
    sys.connector("card0-eDP-1", "connected"); // a panel without a DDC bus of its own

    show({kPortLpt1, 0x378, 0xA0, 500});
    EXPECT_EQ(items(dialog.cbxPortType), (QStringList{"LPT1", "LPT2", "USB", "DDC"}));
    EXPECT_EQ(
        items(dialog.cbxDdcConnector),
        (QStringList{"card0-DP-1 (disconnected)", "card0-HDMI-A-1 \u2014 Korvo Demo (connected)",
                     "card0-eDP-1 (connected)"}));
    const auto* model = qobject_cast<QStandardItemModel*>(dialog.cbxDdcConnector->model());
    ASSERT_TRUE(model);
    EXPECT_TRUE(model->item(0)->isEnabled());
    EXPECT_FALSE(model->item(2)->isEnabled()) << "no bus: shown, not offered";
    EXPECT_FALSE(dialog.cbxDdcConnector->isEnabled());

    // Choosing DDC offers the first connected display with a bus.
    choose(3);
    EXPECT_TRUE(dialog.cbxDdcConnector->isEnabled());
    EXPECT_EQ(dialog.cbxDdcConnector->currentData().toString(), "card0-HDMI-A-1");
    EXPECT_FALSE(dialog.ledBaseAddr->isEnabled());
    EXPECT_FALSE(dialog.slbDelay->isEnabled());
    EXPECT_EQ(label(), "Bus clock set by the graphics driver");
    dialog.cbxDdcConnector->setCurrentIndex(0);
    ok();
    EXPECT_EQ(settings, (I2cSettings{kPortDdc, 0x378, 0xA0, 500, "card0-DP-1"}));

    // Shown again: DDC and its connector; another port type keeps the name.
    show(settings);
    EXPECT_EQ(dialog.cbxPortType->currentText(), "DDC");
    EXPECT_EQ(dialog.cbxDdcConnector->currentText(), "card0-DP-1 (disconnected)");
    EXPECT_TRUE(dialog.cbxDdcConnector->isEnabled());
    EXPECT_EQ(label(), "Bus clock set by the graphics driver");
    choose(kPortLpt1);
    EXPECT_FALSE(dialog.cbxDdcConnector->isEnabled());
    EXPECT_TRUE(dialog.ledBaseAddr->isEnabled());
    EXPECT_TRUE(dialog.slbDelay->isEnabled());
    EXPECT_EQ(label(), "Delay  500 loops");
    ok();
    EXPECT_EQ(settings, (I2cSettings{kPortLpt1, 0x378, 0xA0, 500, "card0-DP-1"}));

    // A stored connector this machine does not have is named, and kept.
    show({kPortDdc, 0x378, 0xA0, 500, "card1-HDMI-A-3"});
    EXPECT_EQ(dialog.cbxDdcConnector->currentIndex(), -1);
    EXPECT_EQ(dialog.cbxDdcConnector->placeholderText(), "card1-HDMI-A-3");
    ok();
    EXPECT_EQ(settings.ddcConnector, "card1-HDMI-A-3");
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
}

TEST_F(I2cSettingsDialog, FastWriteIsAChoiceExceptOnTheDdcBus) {
    struct Case {
        I2cSettings stored;
        int choice; // -1: none
        bool click; // the user clicks the check box
        bool checked;
        bool enabled;
        bool storedAfter;
    };
    const Case cases[] = {
        {{kPortLpt1, 0x378, 0xA0, 500}, -1, true, true, true, true},
        {{kPortUsb, 0x378, 0xA0, 2400, "", true}, -1, true, false, true, false},
        {{kPortUsb, 0x378, 0xA0, 2400, "", true}, kPortLpt2, false, true, true, true},
        // DDC always writes fast; what is stored stays for the other types.
        {{kPortLpt1, 0x378, 0xA0, 500}, 3, false, true, false, false},
        {{kPortDdc, 0x378, 0xA0, 500}, kPortUsb, false, false, true, false},
        {{kPortDdc, 0x378, 0xA0, 500, "", true}, kPortUsb, false, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << portName(c.stored.portType) << " -> " << c.choice
                                          << (c.click ? " click" : ""));
        show(c.stored);
        if (c.choice >= 0)
            choose(c.choice);
        if (c.click)
            dialog.ckxFastWrite->click();
        EXPECT_EQ(dialog.ckxFastWrite->isChecked(), c.checked);
        EXPECT_EQ(dialog.ckxFastWrite->isEnabled(), c.enabled);
        ok();
        EXPECT_EQ(settings.fastWrite, c.storedAfter);
    }
    // Cancel keeps what was stored.
    show({kPortLpt1, 0x378, 0xA0, 500});
    dialog.ckxFastWrite->click();
    QTest::mouseClick(dialog.Button_I2CCancel, Qt::LeftButton);
    EXPECT_FALSE(settings.fastWrite);
}

TEST_F(I2cSettingsDialog, BaseAddressIsTakenOnlyWhenItIsHex) {
    struct Case {
        const char* typed;
        std::uint32_t stored;
        bool complaint;
    };
    for (const Case& c : {Case{"278", 0x278, false}, Case{"", 0x378, false},
                          Case{"3g8", 0x378, true}, Case{"0x278", 0x378, true}}) {
        ui.messages.clear();
        show({kPortLpt1, 0x378, 0xA0, 500});
        dialog.ledBaseAddr->setText(c.typed);
        ok();
        EXPECT_EQ(settings.baseAddress, c.stored) << c.typed;
        const QStringList expected =
            c.complaint ? QStringList{"Invalid data! Please Input hex number"} : QStringList{};
        EXPECT_EQ(ui.messages, expected) << c.typed;
    }
}

TEST_F(I2cSettingsDialog, CancelAndEnterReleasedOnTheButtons) {
    show({kPortLpt1, 0x378, 0xA0, 500});
    dialog.slbDelay->setValue(40);
    dialog.ledBaseAddr->setText("278");
    QTest::keyRelease(dialog.Button_I2CCancel, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings, (I2cSettings{kPortLpt1, 0x378, 0xA0, 500}));

    // Choosing a port type changes the delay count at once, kept on Cancel.
    show({kPortLpt1, 0x378, 0xA0, 700});
    choose(kPortLpt2);
    QTest::mouseClick(dialog.Button_I2CCancel, Qt::LeftButton);
    EXPECT_EQ(settings, (I2cSettings{kPortLpt1, 0x378, 0xA0, 500}));

    show({kPortLpt1, 0x378, 0xA0, 500});
    dialog.slbDelay->setValue(40);
    QTest::keyPress(dialog.Button_I2COk, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "the press alone does nothing";
    QTest::keyRelease(dialog.Button_I2COk, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.delayCount, 4000u);
}

TEST(I2cSettingsStore, RoundTripInTheTestConfiguration) {
    const QString file = i2cSettingsConfigFile();
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    ASSERT_FALSE(file.startsWith(QStandardPaths::writableLocation(QStandardPaths::HomeLocation) +
                                 "/.config"))
        << file.toStdString();
    QFile::remove(file);

    DebugLogCapture log;
    EXPECT_EQ(loadI2cSettingsFromConfig(), I2cSettings{}) << "nothing stored: the defaults";
    EXPECT_TRUE(log.lines.empty());

    const I2cSettings changed{kPortNone, 0x3BC, 0xA2, 3700};
    saveI2cSettingsToConfig(changed);
    EXPECT_TRUE(log.contains("Save port: 0xFFFFFFFF"));
    EXPECT_EQ(loadI2cSettingsFromConfig(), changed);

    // One value gone, one not a number: their defaults, each logged.
    {
        QSettings config(file, QSettings::NativeFormat);
        config.remove("Slave Address");
        config.setValue("Port Base Address", "0x278");
    }
    log.lines.clear();
    EXPECT_EQ(loadI2cSettingsFromConfig(), (I2cSettings{kPortNone, 0x378, 0xA0, 3700}));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"err=0000000D", "err=00000002"}));

    // The DDC connector's name, after the four numbers.
    const I2cSettings ddc{kPortDdc, 0x378, 0xA0, 500, "card0-HDMI-A-1"};
    log.lines.clear();
    saveI2cSettingsToConfig(ddc);
    EXPECT_TRUE(log.contains("Save port: 0x0000000B"));
    EXPECT_EQ(QSettings(file, QSettings::NativeFormat).value("DDC Connector").toString(),
              "card0-HDMI-A-1");
    EXPECT_EQ(loadI2cSettingsFromConfig(), ddc);
    QSettings(file, QSettings::NativeFormat).remove("DDC Connector");
    EXPECT_EQ(loadI2cSettingsFromConfig().ddcConnector, "") << "a file written before it";

    // The fast write, the sixth value; off when missing.
    const I2cSettings fast{kPortUsb, 0x378, 0xA0, 2400, "", true};
    saveI2cSettingsToConfig(fast);
    EXPECT_EQ(QSettings(file, QSettings::NativeFormat).value("Fast Write").toInt(), 1);
    EXPECT_EQ(loadI2cSettingsFromConfig(), fast);
    QSettings(file, QSettings::NativeFormat).remove("Fast Write");
    EXPECT_FALSE(loadI2cSettingsFromConfig().fastWrite);

    // The EEPROM as its number and the USB adapter's serial; a missing or
    // unknown EEPROM is the port type's default.
    I2cSettings kinds{kPortUsb, 0x378, 0xA0, 2400};
    kinds.eeprom = EepromKind::C04;
    kinds.usbSerial = "KV000002";
    saveI2cSettingsToConfig(kinds);
    EXPECT_EQ(QSettings(file, QSettings::NativeFormat).value("EEPROM").toInt(), 2);
    EXPECT_EQ(loadI2cSettingsFromConfig(), kinds);
    QSettings(file, QSettings::NativeFormat).setValue("EEPROM", 9);
    EXPECT_EQ(loadI2cSettingsFromConfig().eeprom, std::nullopt);
    kinds.eeprom.reset();
    saveI2cSettingsToConfig(kinds);
    EXPECT_FALSE(QSettings(file, QSettings::NativeFormat).contains("EEPROM"));
    QFile::remove(file);
}

TEST_F(I2cSettingsDialog, TheEepromFollowsThePortTypeUntilChosen) {
    // Nothing chosen: E-DDC for the DDC port type, 24C02 for the others.
    show({kPortLpt1, 0x378, 0xA0, 500});
    EXPECT_EQ(dialog.cbxEeprom->currentText(), "24C02");
    EXPECT_FALSE(dialog.ledUsbSerial->isEnabled());
    choose(3); // DDC
    EXPECT_EQ(dialog.cbxEeprom->currentText(), "E-DDC");
    ok();
    EXPECT_EQ(settings.eeprom, std::nullopt) << "still the port type's default";
    EXPECT_EQ(settings.eepromKind(), EepromKind::EDdc);

    // Chosen, it stays whatever the port type; the USB serial is taken.
    show({kPortUsb, 0x378, 0xA0, 2400});
    EXPECT_TRUE(dialog.ledUsbSerial->isEnabled());
    dialog.cbxEeprom->setCurrentIndex(dialog.cbxEeprom->findText("24C04"));
    emit dialog.cbxEeprom->activated(dialog.cbxEeprom->currentIndex());
    dialog.ledUsbSerial->setText(" KV000002 ");
    ok();
    EXPECT_EQ(settings.eeprom, EepromKind::C04);
    EXPECT_EQ(settings.usbSerial, "KV000002");
    show(settings);
    EXPECT_EQ(dialog.cbxEeprom->currentText(), "24C04");
    EXPECT_EQ(dialog.ledUsbSerial->text(), "KV000002");
}

} // namespace
} // namespace pellam::test
