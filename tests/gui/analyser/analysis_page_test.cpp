#include "gui/app/main_window_fixture.h"
#include "support/cli_runner.h"
#include "support/fake_sysfs.h"

#include <filesystem>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace pellam::test {
namespace {

class AnalysisPageTest : public MainWindowTest {
protected:
    // Runs 分析 and answers the declaration dialog with the given action
    // once it is open.
    void analyse(std::function<void(TfrmCDF&)> answer) {
        QTimer::singleShot(0, &form, [this, answer] { answer(*form.frmCDF); });
        form.TabSheet2->btnAnalysis->click();
    }
    void analyseWithOk() {
        analyse([](TfrmCDF& d) { d.Button1->click(); });
    }
    QString log() const { return form.TabSheet2->MemoLog->toPlainText(); }

    static std::string cliReport(const std::string& path) { return runCli({"analyse", path}).out; }
};

TEST_F(AnalysisPageTest, TheFirstOkAnalysesTheImageWithTheDefaultDeclarations) {
    showPage(form.TabSheet2);
    EXPECT_TRUE(form.TabSheet2->rbnCurrent->isChecked());
    analyseWithOk();
    EXPECT_EQ(form.frmCDF->declaration(), CapabilityDeclaration::dialogDefaults());
    EXPECT_TRUE(log().startsWith("                 HDMI EDID content analyser\n"));
    EXPECT_TRUE(log().endsWith("   All Pass!"));
    writeFile(dir.file("default.bin"), formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
    EXPECT_EQ((log() + "\n").toStdString(), cliReport(dir.file("default.bin")));
}

TEST_F(AnalysisPageTest, CancelLeavesTheLogAndTheDeclarationAsTheyWere) {
    analyseWithOk();
    const QString first = log();
    image()[18] = 2; // would fail an item
    analyse([](TfrmCDF& d) {
        d.ckxCDF_Video_Sink3D->setChecked(true);
        d.Button2->click();
    });
    EXPECT_EQ(log(), first);
    EXPECT_FALSE(form.frmCDF->declaration().sink3D);
    EXPECT_TRUE(form.frmCDF->ckxCDF_Video_Sink3D->isChecked()) << "the controls keep their state";
}

TEST_F(AnalysisPageTest, ABadOutputCountKeepsTheDialogOpen) {
    analyse([this](TfrmCDF& d) {
        d.ckxCDF_General_ledOutputCount->setText("two");
        d.Button1->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(ui.messages, QStringList{"'two' is not a valid integer value"});
        d.ckxCDF_General_ledOutputCount->setText("2");
        d.Button1->click();
    });
    EXPECT_EQ(form.frmCDF->declaration().hdmiOutputCount, 2);
    EXPECT_FALSE(log().isEmpty());
}

TEST_F(AnalysisPageTest, ClosingTheDialogRunsNeitherButton) {
    analyse([](TfrmCDF& d) { d.Button2->click(); });
    EXPECT_TRUE(log().isEmpty());
    analyse([](TfrmCDF& d) { d.reject(); }); // the window's close control
    EXPECT_TRUE(log().isEmpty()) << "the cancel flag of the last Cancel still holds";
}

TEST_F(AnalysisPageTest, AClickOnTheBackgroundConfirms) {
    analyse([](TfrmCDF& d) {
        d.ckxCDF_Audio_BasicAudio->setChecked(false);
        QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(2, 2));
    });
    EXPECT_FALSE(form.frmCDF->declaration().sinkBasicAudio);
    EXPECT_FALSE(log().isEmpty());
}

TEST_F(AnalysisPageTest, AFileReportAgreesWithTheCommandLineForEveryRealEdid) {
    form.TabSheet2->rbnFile->setChecked(true);
    const EdidImage before = image();
    for (const auto& file : corpusFiles()) {
        SCOPED_TRACE(file.filename().string());
        ui.openAnswers.push_back(QString::fromStdString(file.string()));
        analyseWithOk();
        ASSERT_EQ((log() + "\n").toStdString(), cliReport(file.string()));
    }
    EXPECT_EQ(image(), before) << "analysing a file leaves the image";
}

TEST_F(AnalysisPageTest, TheDdcSourceAnalysesTheSinksEepromOnEachKindOfPort) {
    const std::filesystem::path file =
        std::filesystem::path(PELLAM_CORPUS_DIR) / "aoc_2352_2352_256.bin";
    const EdidImage sink = imageFromBytes(readFile(file));
    FakeSysfs sys;
    sys.connectorOnBus("card0-HDMI-A-1", "connected", "", "i2c-5");
    sim->ddcBuses.sysRoot = sys.root();
    for (const std::int32_t type : {kPortLpt1, kPortUsb, kPortDdc}) {
        form.session().ddc().settings() = {type, 0x378, 0xA0, type == kPortUsb ? 2400u : 0u,
                                           "card0-HDMI-A-1"};
        form.openTransferPort();
        sim->eeprom.memory() = sink;
        form.TabSheet2->rbnDDC->setChecked(true);
        form.TabSheet2->MemoLog->clear();
        analyseWithOk();
        EXPECT_EQ((log() + "\n").toStdString(), cliReport(file.string())) << type;
        EXPECT_EQ(image(), hdmiDefaultImage()) << "the image is not touched";
    }
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
}

TEST_F(AnalysisPageTest, TheDdcSourceAnalysesNothingWhenTheSinkDoesNotAnswer) {
    form.session().ddc().settings() = {kPortLpt1, 0x378, 0xA0, 0};
    form.openTransferPort();
    sim->eeprom.present = false;
    form.TabSheet2->rbnDDC->setChecked(true);
    form.TabSheet2->btnAnalysis->click(); // no dialog comes
    EXPECT_EQ(ui.messages, QStringList{"No answer from the sink at slave address A0h on LPT1.\n"
                                       "Nothing was analysed."});
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(AnalysisPageTest, TheSavedLogHoldsTheReportWithCrLf) {
    analyseWithOk();
    const std::string path = dir.file("report.log");
    ui.saveAnswers.push_back(UserInteraction::SaveChoice{QString::fromStdString(path), 1});
    form.SaveLog->trigger();
    writeFile(dir.file("default.bin"), formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
    const std::string expected = cliReport(dir.file("default.bin"));
    std::string crlf;
    for (char c : expected) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(readFile(path), crlf);
}

} // namespace
} // namespace pellam::test
