// The transfer group of the grid page: read, write with verify and compare,
// against the simulated EEPROM on a parallel port and on the USB adapter.
#include "gui/app/main_window_fixture.h"
#include "support/fake_sysfs.h"

#include <filesystem>
#include <functional>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace pellam::test {
namespace {

EdidImage corpusImage(const char* name) {
    return imageFromBytes(readFile(std::filesystem::path(PELLAM_CORPUS_DIR) / name));
}

QColor textColour(const QWidget* w, QPalette::ColorRole role) {
    return w->palette().color(role);
}

QString hexText(Byte value) {
    return QString::fromStdString(hexByte(value));
}

// Runs `action` once, the first time the progress bar reaches `position`
// (the bar is set inside the transfer's loop, so the action runs mid-transfer).
void atProgress(TForm1& form, int position, std::function<void()> action) {
    auto fired = std::make_shared<bool>(false);
    QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, &form, [=](int value) {
        if (value == position && !*fired) {
            *fired = true;
            action();
        }
    });
}

class DdcTransferTest : public MainWindowTest, public ::testing::WithParamInterface<std::int32_t> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form.session().ddc().settings() = {GetParam(), 0x378, 0xA0, usb() ? 2400u : 0u};
        form.openTransferPort();
    }
    bool usb() const { return GetParam() == kPortUsb; }
    SimulatedEeprom& eeprom() { return sim->eeprom; }
    ScopedDataHome dataHome;
    QString sink() const {
        return QStringLiteral("slave address A0h on ") + QString::fromLatin1(portName(GetParam()));
    }
};

INSTANTIATE_TEST_SUITE_P(Ports, DdcTransferTest, ::testing::Values(kPortLpt1, kPortUsb),
                         [](const auto& info) { return std::string(portName(info.param)); });

TEST_P(DdcTransferTest, ReadMakesTheEepromTheImageAndRefreshesTheWorkspace) {
    const EdidImage sink = corpusImage("auo_213d_128.bin"); // byte 126 = 0
    eeprom().memory() = sink;
    showPage(form.TabSheet1);
    form.btnRead1->click();
    EXPECT_EQ(image(), sink);
    EXPECT_TRUE(form.N128Bytes1->isChecked()) << "the menus follow byte 126";
    EXPECT_EQ(visibleTabs().size(), 5) << "block-1 tabs hidden in 128-byte mode";
    EXPECT_FALSE(form.session().collection().video.present) << "block 1 parsed again";
    EXPECT_EQ(cell(0x08), hexText(sink[0x08]));
    EXPECT_EQ(cell(0x80), "00") << "the grid is rendered again";
    EXPECT_EQ(cells().marks[0x80], kCellHidden);
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_EQ(form.Label13->text(), "  0%");
    EXPECT_TRUE(form.btnRead1->isEnabled());
    if (usb()) {
        EXPECT_EQ(form.btnRead1->text(), "读EDID");
    } else {
        EXPECT_EQ(form.btnRead1->text(), "Read DDC");
        EXPECT_EQ(textColour(form.btnRead1, QPalette::ButtonText), QColor(Qt::black));
    }
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
}

TEST_P(DdcTransferTest, AMissingSinkLeavesTheImageAndFailsAWriteAtOnce) {
    eeprom().present = false;
    image()[0x30] = 0x77; // an unsaved edit
    ApplyAutoChecksums(image(), true);
    const EdidImage before = image();
    form.RenderGrid();
    form.btnRead1->click();
    EXPECT_EQ(image(), before);
    EXPECT_EQ(cell(0x30), "77");

    const std::uint64_t start = sim->simulatedClock.nowMicroseconds();
    form.btnWrite->click();
    // The backup read finds nobody (on USB after its first block of 128):
    // not 256 byte writes with their waits.
    EXPECT_LT(sim->simulatedClock.nowMicroseconds() - start, 500'000u) << "not 256 timeouts";
    EXPECT_TRUE(form.Label14->isVisible());
    EXPECT_EQ(form.Label14->text(), "Fail!");
    EXPECT_EQ(textColour(form.Label14, QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(ui.messages,
              (QStringList{"No answer from the sink at " + sink() + ".\nThe image was not changed.",
                           "No answer from the sink at " + sink() + ". Nothing was written."}));
    EXPECT_TRUE(form.btnRead1->isEnabled() && form.btnWrite->isEnabled());
}

TEST_P(DdcTransferTest, WriteWritesAll256BytesAndPasses) {
    load(corpusImage("aoc_2352_2352_256.bin"));
    QString status;
    QColor colour;
    const auto inVerify = [&] {
        atProgress(form, 128, [&] {
            status = form.Label14->isVisible() ? form.Label14->text() : QString();
            colour = textColour(form.Label14, QPalette::WindowText);
        });
    };
    // The bar goes up to 255 in the write (on a port also in the backup read
    // before it, which on USB goes in blocks of 128), then from 0 again in
    // the verify.
    if (usb())
        atProgress(form, 255, inVerify);
    else
        atProgress(form, 255, [&] { atProgress(form, 255, inVerify); });
    form.btnWrite->click();
    EXPECT_EQ(status, "Verifying...");
    EXPECT_EQ(colour, QColor(Qt::blue));
    EXPECT_EQ(eeprom().memory(), image());
    EXPECT_EQ(eeprom().writeCycles(), 256);
    EXPECT_TRUE(form.Label14->isVisible());
    EXPECT_EQ(form.Label14->text(), "Pass!");
    EXPECT_EQ(textColour(form.Label14, QPalette::WindowText), QColor(Qt::darkGreen));
    EXPECT_EQ(form.btnWrite->text(), usb() ? "写EDID" : "Write DDC");
    EXPECT_TRUE(form.btnWrite->isEnabled());
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
}

TEST_P(DdcTransferTest, AWriteProtectedEepromFailsWithTheFirstDifferenceShownInTheGrid) {
    eeprom().writeProtected = true;
    eeprom().memory() = hdmiDefaultImage();
    eeprom().memory()[0x08] = 0x11; // the one byte that differs from the image
    form.btnWrite->click();
    EXPECT_EQ(form.Label14->text(), "Fail!");
    EXPECT_EQ(textColour(form.Label14, QPalette::WindowText), QColor(Qt::red));
    const QString written = hexText(image()[0x08]);
    ASSERT_EQ(ui.messages.size(), 1);
    const QStringList lines = ui.messages[0].split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Verify failed at EEPROM address 08h: wrote " + written +
                            ", read back 11. 1 byte differs (08h). The EEPROM still holds its "
                            "previous bytes at every differing address: it is write-protected "
                            "(its WP pin held high, or a sink that protects its EDID).");
    EXPECT_TRUE(lines[1].startsWith("The sink's previous content is saved in " +
                                    QString::fromStdString(dataHome.backups().string())))
        << lines[1].toStdString();
    EXPECT_EQ(lines[2], "The grid shows each differing byte as written/read back.");
    EXPECT_EQ(cell(0x08), written + "/11");
    EXPECT_EQ(cells().marks[0x08], kCellDiffers);
    EXPECT_EQ(cell(0x09), hexText(image()[0x09]));
    EXPECT_EQ(cells().marks[0x09], kCellNormal);
    EXPECT_EQ(image(), hdmiDefaultImage()) << "the image is what it was";
}

TEST_F(MainWindowTest, WithoutAPortTypeBothTransferButtonsOnlySaySo) {
    form.session().ddc().settings().portType = kPortNone;
    sim->eeprom.memory().fill(0x00);
    form.btnRead1->click();
    form.btnWrite->click();
    const QString message = "Please Choose A PortType In [I2C Setting] First!";
    EXPECT_EQ(ui.messages, (QStringList{message, message}));
    EXPECT_EQ(image(), hdmiDefaultImage());
    EXPECT_EQ(sim->eeprom.writeCycles(), 0);
    EXPECT_EQ(form.btnRead1->text(), "读EDID");
    EXPECT_EQ(form.btnWrite->text(), "写EDID");
    EXPECT_FALSE(form.Label14->isVisible());
}

TEST_F(MainWindowTest, TheUsbOpenErrorIsShownAndTheButtonComesBack) {
    form.session().ddc().settings() = {kPortUsb, 0x378, 0xA0, 2400};
    sim->ft2232.connected = false;
    for (QPushButton* button : {form.btnRead1, form.btnWrite}) {
        ui.messages.clear();
        button->click();
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages[0].startsWith("'Korvo USB Debug Tool A' DEVICE OPEN ERROR!"));
        EXPECT_TRUE(button->isEnabled());
    }
    EXPECT_EQ(image(), hdmiDefaultImage());
}

// The port types' start/stop toggle.
class PortTransferTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form.session().ddc().settings() = {kPortLpt1, 0x378, 0xA0, 0};
        form.openTransferPort();
    }
};

TEST_F(PortTransferTest, AReadPausedHalfWayKeepsTheBytesNotYetRead) {
    EdidImage sink = corpusImage("aoc_2352_2352_256.bin");
    sim->eeprom.memory() = sink;
    QString caption;
    QColor colour;
    bool othersOff = false;
    atProgress(form, 128, [&] {
        caption = form.btnRead1->text();
        colour = textColour(form.btnRead1, QPalette::ButtonText);
        othersOff =
            !form.btnWrite->isEnabled() && !form.btnComp->isEnabled() && form.btnRead1->isEnabled();
        // The bytes read so far are shown as they arrive.
        EXPECT_EQ(cell(127), hexText(sink[127]));
        EXPECT_EQ(cell(128), hexText(hdmiDefaultImage()[128]));
        form.btnRead1->click();
    });
    form.btnRead1->click();
    EXPECT_EQ(caption, "Pause");
    EXPECT_EQ(colour, QColor(Qt::red));
    EXPECT_TRUE(othersOff) << "no second transfer can start meanwhile";
    EXPECT_EQ(form.btnRead1->text(), "Read DDC");
    EXPECT_EQ(textColour(form.btnRead1, QPalette::ButtonText), QColor(Qt::black));
    EXPECT_TRUE(std::equal(sink.begin(), sink.begin() + 128, image().begin()));
    EXPECT_TRUE(std::equal(image().begin() + 128, image().end(), hdmiDefaultImage().begin() + 128));
    EXPECT_TRUE(form.btnWrite->isEnabled() && form.btnComp->isEnabled());
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(PortTransferTest, ClosingTheWindowStopsARunningRead) {
    sim->eeprom.memory() = corpusImage("aoc_2352_2352_256.bin");
    ui.confirmAnswers.push_back(true); // stop it and close
    atProgress(form, 21, [&] { form.close(); });
    form.btnRead1->click();
    const auto& eeprom = sim->eeprom.memory();
    EXPECT_TRUE(std::equal(eeprom.begin(), eeprom.begin() + 21, image().begin()))
        << "read up to the close";
    // (byte 127 is the checksum, which the page switch writes)
    EXPECT_TRUE(
        std::equal(image().begin() + 21, image().begin() + 127, hdmiDefaultImage().begin() + 21))
        << "and not on";
}

// The DDC port type: the display connector's own bus, on a fake sysfs tree
// with the simulated i2c-dev controller.
class DdcPortWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        sys.connectorOnBus("card0-HDMI-A-1", "connected", "", "i2c-5");
        sim->ddcBuses.sysRoot = sys.root();
        form.session().ddc().settings() = {kPortDdc, 0x378, 0xA0, 500, "card0-HDMI-A-1"};
    }
    FakeSysfs sys;
    ScopedDataHome dataHome;
};

TEST_F(DdcPortWindowTest, ReadsAndWritesTheConnectorsEepromKeepingABackup) {
    const EdidImage sink = corpusImage("aoc_2352_2352_256.bin");
    sim->eeprom.memory() = sink;
    form.btnRead1->click();
    EXPECT_EQ(image(), sink);
    EXPECT_EQ(form.btnRead1->text(), "读EDID") << "one transaction: no pause";
    EXPECT_EQ(sim->ddcBuses.opened, std::vector<std::string>{"/dev/i2c-5"});

    // An edit in one page; the write stores that page and the checksum's.
    typeIntoCell(0x31, "7E");
    pressKey(Qt::Key_Return);
    ASSERT_EQ(image()[0x31], 0x7E);
    form.btnWrite->click();
    EXPECT_EQ(sim->eeprom.memory(), image());
    EXPECT_EQ(sim->eeprom.writeCycles(), 2);
    EXPECT_EQ(form.Label14->text(), "Pass!");
    EXPECT_TRUE(form.btnWrite->isEnabled() && form.btnRead1->isEnabled());
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();

    ASSERT_EQ(dataHome.backupFiles().size(), 1u);
    const std::filesystem::path backup = dataHome.backupFiles()[0];
    EXPECT_EQ(imageFromBytes(readFile(backup)), sink);
    EXPECT_TRUE(form.lblBackup->text().startsWith("Backup: card0-HDMI-A-1-"))
        << form.lblBackup->text().toStdString();
    EXPECT_TRUE(form.lblBackup->toolTip().endsWith(QString::fromStdString(backup.string())));
}

TEST_F(DdcPortWindowTest, AContentThatIsNoEdidIsOverwrittenOnlyWhenTheUserSaysYes) {
    sim->eeprom.memory().fill(0xFF);
    form.btnWrite->click();
    ASSERT_EQ(ui.questions.size(), 1);
    EXPECT_TRUE(ui.questions[0].startsWith("The EEPROM at slave address A0h on card0-HDMI-A-1 "
                                           "does not hold an EDID"));
    EXPECT_TRUE(ui.questions[0].endsWith("Overwrite it?"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].endsWith("Nothing was written."));
    EXPECT_EQ(sim->eeprom.writeCycles(), 0);
    EXPECT_FALSE(form.Label14->isVisible()) << "nothing to judge";
    EXPECT_TRUE(form.lblBackup->text().isEmpty());
    EXPECT_TRUE(dataHome.backupFiles().empty());

    ui.confirmAnswers.push_back(true);
    form.btnWrite->click();
    EXPECT_EQ(ui.questions.size(), 2);
    EXPECT_EQ(sim->eeprom.memory(), image());
    EXPECT_EQ(form.Label14->text(), "Pass!");
    EXPECT_EQ(dataHome.backupFiles().size(), 1u);
}

TEST_F(MainWindowTest, CompareShowsEachDifferenceAsImageSlashFileInRed) {
    EdidImage file = hdmiDefaultImage();
    file[0x10] ^= 0xFF;
    file[0xF0] = 0x55;
    const std::string path = dir.file("other.bin");
    writeFile(path, formatRawBinary(std::span(file).first(256)));

    ui.openAnswers.push_back(QString::fromStdString(path));
    form.btnCompClick();
    EXPECT_EQ(cell(0x10), hexText(image()[0x10]) + "/" + hexText(file[0x10]));
    EXPECT_EQ(cell(0xF0), hexText(image()[0xF0]) + "/55");
    EXPECT_EQ(cell(0x11), hexText(image()[0x11]));
    std::vector<std::int32_t> marks(kImageSize);
    marks[0x10] = marks[0xF0] = kCellDiffers;
    EXPECT_EQ(cells().marks, marks);
    EXPECT_EQ(cells().states, std::vector<std::int32_t>(kImageSize)) << "no colours";

    writeFile(path, formatRawBinary(std::span(image()).first(256)));
    ui.openAnswers.push_back(QString::fromStdString(path));
    form.btnComp->click();
    for (std::size_t i = 0; i < kImageSize; ++i)
        ASSERT_EQ(cell(i), hexText(image()[i])) << i;
    EXPECT_EQ(cells().marks, std::vector<std::int32_t>(kImageSize));

    // Cancelled: the view stays.
    form.btnComp->click();
    EXPECT_EQ(cells().states, std::vector<std::int32_t>(kImageSize));
    EXPECT_TRUE(ui.messages.isEmpty());
}

} // namespace
} // namespace pellam::test
