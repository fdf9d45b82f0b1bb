// The window's transfer group with the EEPROM kinds and the faults a
// production line meets: a progress bar over the image's length, closing
// during a write, a stopped write that names the backup, the DDC port type
// without a connector.
#include "gui/app/main_window_fixture.h"
#include "gui/ddc/i2c_settings_dialog.h"
#include "support/fake_sysfs.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace pellam::test {
namespace {

class TransferControlsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form.session().ddc().settings() = {kPortUsb, 0x378, 0xA0, 2400};
    }
    // A sound 512-byte image in the editor: four blocks.
    void fourBlocks() {
        for (int i = 0; i < 2; ++i)
            form.AddExtensionBlock1->trigger();
        ASSERT_EQ(session().imageLength(), 512u);
    }
    ScopedDataHome dataHome;
};

TEST_F(TransferControlsTest, TheProgressBarCoversTheImageAndA24C04TakesFourBlocks) {
    fourBlocks();
    sim->eeprom.setKind(EepromKind::C04);
    form.session().ddc().settings().eeprom = EepromKind::C04;
    int maximum = 0;
    QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, &form,
                     [&](int) { maximum = std::max(maximum, form.ProgressBar1->maximum()); });
    form.btnWrite->click();
    EXPECT_EQ(form.Label14->text(), "Pass!") << ui.messages.join('|').toStdString();
    EXPECT_EQ(maximum, 512);
    const EdidBytes image = session().imageBytes();
    EXPECT_EQ(sim->eeprom.memory(), image);

    // Read back: the four blocks byte 126 declares become the image.
    form.N128Bytes1->trigger();
    form.btnRead1->click();
    EXPECT_EQ(session().imageBytes(), image);
}

TEST_F(TransferControlsTest, AnImageLargerThanTheEepromIsRefused) {
    fourBlocks();
    sim->eeprom.memory() = hdmiDefaultImage();
    form.btnWrite->click();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].contains("a 24C02 EEPROM holds 256")) << ui.messages[0].toStdString();
    EXPECT_EQ(sim->eeprom.memory(), hdmiDefaultImage());
}

// Closing the window during a write asks; "no" lets it run to its end,
// "yes" stops it after the current byte and names the backup.
TEST_F(TransferControlsTest, ClosingDuringAWriteAsksAndAStoppedWriteNamesTheBackup) {
    form.session().ddc().settings() = {kPortLpt1, 0x378, 0xA0, 0};
    form.openTransferPort();
    sim->eeprom.memory() = hdmiDefaultImage();
    image()[0x20] ^= 0xFF;
    ApplyAutoChecksums(image(), true);
    bool closeDuringWrite = true;
    std::size_t backups = 0;
    // At the write's 40th byte: after the backup, once bytes were written.
    QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, &form, [&](int value) {
        if (value == 40 && closeDuringWrite && dataHome.backupFiles().size() > backups &&
            sim->eeprom.writeCycles() > 0) {
            closeDuringWrite = false;
            form.close();
        }
    });
    ui.confirmAnswers.push_back(false);
    form.btnWrite->click();
    ASSERT_EQ(ui.questions.size(), 1);
    EXPECT_TRUE(ui.questions[0].startsWith("A write to the sink's EEPROM is running."));
    EXPECT_EQ(form.Label14->text(), "Pass!") << "not stopped";
    EXPECT_EQ(sim->eeprom.memory(), image());

    image()[0x21] ^= 0xFF;
    ApplyAutoChecksums(image(), true);
    closeDuringWrite = true;
    ui.confirmAnswers.push_back(true);
    ui.messages.clear();
    backups = dataHome.backupFiles().size();
    const int cycles = sim->eeprom.writeCycles();
    form.btnWrite->click();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith("The write was stopped. 40 of the image's 256 bytes "
                                          "were written."))
        << ui.messages[0].toStdString();
    EXPECT_TRUE(ui.messages[0].contains("The sink's previous content is saved in " +
                                        QString::fromStdString(dataHome.backups().string())));
    EXPECT_EQ(dataHome.backupFiles().size(), backups + 1);
    EXPECT_EQ(sim->eeprom.writeCycles(), cycles + 40);
}

TEST_F(TransferControlsTest, TheDdcPortWithoutAConnectorOpensTheSettingsAtTheConnectorList) {
    FakeSysfs sys;
    sim->ddcBuses.sysRoot = sys.root();
    form.session().ddc().settings() = {kPortDdc, 0x378, 0xA0, 500, ""};
    // None at all: said so.
    form.btnRead1->click();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith("This computer has no display connector with a DDC bus"));

    sys.connectorOnBus("card0-HDMI-A-1", "connected", "", "i2c-5");
    sim->eeprom.memory() = hdmiDefaultImage();
    bool atList = false;
    QTimer::singleShot(0, &form, [&] {
        atList = form.frmI2C->isVisible() &&
                 form.frmI2C->focusWidget() == form.frmI2C->cbxDdcConnector;
        form.frmI2C->cbxDdcConnector->setCurrentIndex(0);
        form.frmI2C->Button_I2COk->click();
    });
    image().fill(0);
    form.btnRead1->click();
    EXPECT_TRUE(atList);
    EXPECT_EQ(form.session().ddc().settings().ddcConnector, "card0-HDMI-A-1");
    EXPECT_EQ(image(), hdmiDefaultImage()) << "read once the connector was chosen";
}

} // namespace
} // namespace pellam::test
