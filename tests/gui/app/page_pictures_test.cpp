// Pictures of every page for a person to look at: written only when
// PELLAM_SCREENSHOT_DIR names a folder (scripts/page-pictures.sh sets it).
#include "gui/ddc/i2c_settings_dialog.h"
#include "gui/app/main_window_fixture.h"
#include "support/fake_sysfs.h"

#include <cstdlib>
#include <filesystem>

#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace pellam::test {
namespace {

TEST_F(MainWindowTest, PagePictures) {
    const char* folder = std::getenv("PELLAM_SCREENSHOT_DIR");
    if (!folder)
        GTEST_SKIP() << "set PELLAM_SCREENSHOT_DIR to write page pictures";
    // A report in the log, so the analysis page shows one.
    QTimer::singleShot(0, &form, [this] { form.frmCDF->Button1Click(); });
    form.TabSheet2->btnAnalysisClick();
    for (int i = 0; i < form.PageControl1->count(); ++i) {
        form.PageControl1->setCurrentIndex(i);
        const QString name = QStringLiteral("%1/page-%2-%3.png")
                                 .arg(QString::fromLocal8Bit(folder))
                                 .arg(i)
                                 .arg(form.PageControl1->widget(i)->objectName());
        EXPECT_TRUE(form.grab().save(name)) << name.toStdString();
    }
    // The descriptor page once per slot of the default image.
    form.PageControl1->setCurrentWidget(form.TabSheet5);
    for (QRadioButton* slot :
         {form.TabSheet5->RadioButton_Block2, form.TabSheet5->RadioButton_Block3,
          form.TabSheet5->RadioButton_Block4}) {
        slot->click();
        const QString name = QStringLiteral("%1/page-3-TabSheet5-%2.png")
                                 .arg(QString::fromLocal8Bit(folder), slot->objectName());
        EXPECT_TRUE(form.grab().save(name)) << name.toStdString();
    }
    EXPECT_TRUE(form.frmCDF->grab().save(QString::fromLocal8Bit(folder) + "/frmCDF.png"));

    // The video page with an HDMI VSDB that has latency and 3D fields, and its panel open.
    const std::filesystem::path file =
        std::filesystem::path(PELLAM_CORPUS_DIR) / "aoc_2352_2352_256.bin";
    load(imageFromBytes(readFile(file)));
    showPage(form.sheetHDMIVideo);
    EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(folder) + "/page-4-vsdb-3d.png"));
    form.sheetHDMIVideo->gbxVSDB->btHDMIVideoPresent_View->click();
    EXPECT_TRUE(
        form.grab().save(QString::fromLocal8Bit(folder) + "/page-4-gbxHDMIVideoPresent.png"));
    form.sheetHDMIVideo->gbxHDMIVideoPresent->btHDMIVideoPresent_Cancel->click();

    // The HDMI 2.x page with a TV's Forum, HDR, 4:2:0 and colorimetry blocks.
    load(imageFromBytes(
        readFile(std::filesystem::path(PELLAM_CORPUS_DIR) / "sny_8604_sony-tv-00_256.bin")));
    showPage(form.sheetHDMI2);
    EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(folder) + "/page-7-hdmi2-tv.png"));
    // Its groups whole, as the page scrolls through them.
    EXPECT_TRUE(form.sheetHDMI2->gbxHF->parentWidget()->grab().save(
        QString::fromLocal8Bit(folder) + "/page-7-hdmi2-tv-groups.png"));
    load(imageFromBytes(readFile(file)));

    // The grid page halfway through a read on a parallel port, and after a
    // write whose verify failed on a write-protected EEPROM.
    form.session().ddc().settings() = {kPortLpt1, 0x378, 0xA0, 0};
    form.openTransferPort();
    showPage(form.TabSheet1);
    sim->eeprom.memory() = imageFromBytes(readFile(file));
    bool grabbed = false;
    QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, &form, [&](int value) {
        if (value != 127 || grabbed)
            return;
        grabbed = true;
        EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(folder) + "/grid-reading.png"));
        form.btnRead1->click();
    });
    form.btnRead1->click();
    EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(folder) + "/grid-read-paused.png"));
    sim->eeprom.writeProtected = true;
    sim->eeprom.memory()[0x20] ^= 0x5A;
    image()[0x90] ^= 0x01;
    ui.messages.clear();
    form.btnWrite->click();
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(folder) + "/grid-verify-failed.png"));

    // The I2C settings dialog for a parallel port and for the USB adapter.
    for (const std::int32_t type : {kPortLpt1, kPortUsb}) {
        form.session().ddc().settings() = {type, 0x378, 0xA0, defaultDelayCount(type)};
        form.frmI2C->show();
        EXPECT_TRUE(form.frmI2C->grab().save(QStringLiteral("%1/frmI2C-%2.png")
                                                 .arg(QString::fromLocal8Bit(folder))
                                                 .arg(QString::fromLatin1(portName(type).data()))));
        form.frmI2C->hide();
    }
    // And for the DDC port type, with the connectors of a fake sysfs tree.
    FakeSysfs sys;
    sys.connectorOnBus("card0-HDMI-A-1", "connected", formatRawBinary(std::span(hdmiDefaultImage()).first(256)),
                       "i2c-5");
    sys.connectorOnBus("card0-DP-1", "disconnected", "", "i2c-6");
    I2cSettings ddc{kPortDdc, 0x378, 0xA0, 500, "card0-HDMI-A-1"};
    TfrmI2C ddcDialog(ddc, ui, &form, [&sys] { return listDrmConnectors(sys.root()); });
    ddcDialog.show();
    EXPECT_TRUE(ddcDialog.grab().save(QString::fromLocal8Bit(folder) + "/frmI2C-DDC.png"));
    ddcDialog.hide();
}

} // namespace
} // namespace pellam::test
