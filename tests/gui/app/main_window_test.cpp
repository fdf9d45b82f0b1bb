#include "gui/app/about_box.h"
#include "core/cea/extension_block.h"
#include "gui/ddc/i2c_settings_dialog.h"
#include "gui/app/main_window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace pellam::test {
namespace {

EdidImage withPaddingByte() {
    EdidImage image = hdmiDefaultImage();
    image[250] = 0x5A; // padding a rebuild would zero
    ApplyAutoChecksums(image, true);
    return image;
}

TEST_F(MainWindowTest, StartsWithTheDefaultImageInTheGrid) {
    EXPECT_EQ(form.windowTitle(), "Pellam v1.4[*]");
    EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet1);
    EXPECT_EQ(visibleTabs(),
              QStringList({"数据", "B0/信息", "B0/Timing", "B0/Timing详情", "B1/视频", "B1/音频",
                           "B1/扩展", "B1/HDMI 2.x", "B1/详细Timing", "验证"}));
    for (std::size_t i = 0; i < kImageSize; ++i)
        ASSERT_EQ(cell(i), QString::fromStdString(hexByte(hdmiDefaultImage()[i]))) << i;
    EXPECT_TRUE(form.N256Bytes1->isChecked());
    EXPECT_FALSE(form.N128Bytes1->isChecked());
    EXPECT_TRUE(form.EDID_HDMI_SEL->isChecked());
    EXPECT_FALSE(form.EDID_DP_SEL->isChecked());
    EXPECT_TRUE(form.chkAutoChksm->isChecked());
    EXPECT_EQ(form.Label13->text(), "  0%");
    EXPECT_FALSE(form.Label14->isVisible());
    EXPECT_EQ(form.StringGrid1->item(0, 16)->text(), "0F");
    EXPECT_EQ(form.StringGrid1->item(16, 0)->text(), "F0");
    // Every control can be found by its name.
    for (const char* name : {"New1", "SaveLog", "Exit1", "N128Bytes1", "N256Bytes1",
                             "EDID_HDMI_SEL", "EDID_DP_SEL", "I2CSetting", "Memo1", "About1"})
        EXPECT_NE(form.findChild<QAction*>(name), nullptr) << name;
    for (const char* name : {"btnWrite", "btnRead1", "btnComp", "btnLoad", "btnSave"})
        EXPECT_NE(form.findChild<QPushButton*>(name), nullptr) << name;
    EXPECT_EQ(form.menuBar()->objectName(), "MainMenu1");
}

TEST_F(MainWindowTest, VisitingBlock1PagesWithoutAnEditLeavesBlock1AsItWas) {
    load(withPaddingByte());
    for (QWidget* page : std::initializer_list<QWidget*>{
             form.sheetHDMIVideo, form.sheetAudio, form.sheetB1ExtendedDB, form.sheetHDMI2,
             form.sheetB1DetailTiming,
             form.TabSheet1}) {
        showPage(page);
        ASSERT_EQ(image(), withPaddingByte());
    }
}

TEST_F(MainWindowTest, AnEditOfTheCollectionIsWrittenOnLeavingWithBothChecksums) {
    load(withPaddingByte());
    showPage(form.sheetAudio);
    form.session().block1().collection().speaker.allocation = 0x4B;
    // The next block-1 page already sees the rebuilt block.
    showPage(form.sheetHDMIVideo);
    EXPECT_EQ(image()[148], 0x4B);
    EXPECT_EQ(image()[250], 0x00);
    showPage(form.TabSheet1);
    EXPECT_EQ(cell(148), "4B");
    EXPECT_EQ(Checksum(image(), 1), image()[255]);
    EXPECT_EQ(cell(255), QString::fromStdString(hexByte(image()[255])));
}

TEST_F(MainWindowTest, AFullBlock1IsReportedAndKept) {
    showPage(form.sheetAudio);
    form.session().block1().collection().vsdb.size = 31;
    form.session().block1().collection().audio.size = 31;
    const EdidImage before = image();
    showPage(form.TabSheet1);
    EXPECT_EQ(ui.messages, QStringList{"No Space of Extended Block"});
    EXPECT_EQ(image(), before);
}

TEST_F(MainWindowTest, PageChangesRewriteChecksumsWhenAutomaticChecksumsAreOn) {
    image()[127] = 0;
    image()[255] = 0;
    showPage(form.TabSheet3);
    EXPECT_EQ(image()[127], 0x21);
    EXPECT_EQ(image()[255], 0x68);

    form.chkAutoChksm->click(); // off: changes nothing
    image()[127] = 0;
    showPage(form.TabSheet1);
    EXPECT_EQ(image()[127], 0);
    EXPECT_EQ(cell(127), "00");
    form.chkAutoChksm->click(); // on: both checksums and their cells at once
    EXPECT_EQ(image()[127], 0x21);
    EXPECT_EQ(cell(127), "21");
}

TEST_F(MainWindowTest, In128ByteModeBlock1IsHiddenAndTheAnalysisPageIsFifth) {
    const EdidImage before = image();
    form.N128Bytes1->trigger();
    EXPECT_EQ(image()[126], 0);
    EXPECT_EQ(image()[127], 0x22);
    EXPECT_TRUE(form.N128Bytes1->isChecked());
    EXPECT_FALSE(form.N256Bytes1->isChecked());
    EXPECT_EQ(visibleTabs(),
              QStringList({"数据", "B0/信息", "B0/Timing", "B0/Timing详情", "验证"}));
    EXPECT_EQ(cells().marks[128], kCellHidden);
    EXPECT_EQ(cells().marks[127], kCellNormal);

    // The analysis page runs nothing in 128-byte mode: the grid is not rendered.
    image()[0x10] = 0x77;
    showPage(form.TabSheet2);
    EXPECT_EQ(cell(0x10), "18");

    form.N256Bytes1->trigger();
    EXPECT_EQ(visibleTabs().size(), 10);
    EXPECT_EQ(cell(0x10), "77") << "in 256-byte mode the analysis page renders the grid";
    for (std::size_t i = 128; i < 255; ++i)
        ASSERT_EQ(image()[i], before[i]) << "block 1 kept through the mode change";
}

TEST_F(MainWindowTest, HidingTheShownBlock1PageMovesToAnotherPage) {
    showPage(form.sheetAudio);
    form.N128Bytes1->trigger();
    EXPECT_FALSE(form.PageControl1->isTabVisible(form.PageControl1->currentIndex()) &&
                 form.PageControl1->currentWidget() == form.sheetAudio);
    EXPECT_EQ(session().pageState().block1RebuildFlag, 0);
}

TEST_F(MainWindowTest, NewCopiesTheDefaultOfTheCurrentMode) {
    form.EDID_DP_SEL->trigger();
    EXPECT_TRUE(form.EDID_DP_SEL->isChecked());
    EXPECT_FALSE(form.EDID_HDMI_SEL->isChecked());
    EXPECT_EQ(image(), hdmiDefaultImage()) << "the mode alone changes no byte";
    form.N128Bytes1->trigger();
    form.New1->trigger();
    EXPECT_EQ(image(), displayPortDefaultImage());
    EXPECT_TRUE(form.N256Bytes1->isChecked());
    EXPECT_EQ(cell(0x14), "A5");
    form.EDID_HDMI_SEL->trigger();
    form.New1->trigger();
    EXPECT_EQ(image(), hdmiDefaultImage());
}

TEST_F(MainWindowTest, LoadAdoptsTheFileAndItsModes) {
    EdidImage dp = displayPortDefaultImage();
    dp[126] = 0;
    ApplyAutoChecksums(dp, true);
    load(dp, 128, "dp.txt");
    ASSERT_TRUE(ui.messages.isEmpty()) << ui.messages.join("\n").toStdString();
    EXPECT_EQ(ui.openFilters.last(), TForm1::kOpenFilter);
    EXPECT_TRUE(form.EDID_DP_SEL->isChecked());
    EXPECT_TRUE(form.N128Bytes1->isChecked());
    EXPECT_EQ(visibleTabs().size(), 5);
    EXPECT_EQ(session().pageState().selectedDescriptorNumber, 1);
    for (std::size_t i = 0; i < 128; ++i)
        ASSERT_EQ(image()[i], dp[i]) << i;
    EXPECT_EQ(cell(0x14), "A5");
}

TEST_F(MainWindowTest, AFailedLoadChangesNothing) {
    EdidImage bad = displayPortDefaultImage();
    bad[0] = 0x01;
    load(bad);
    EXPECT_EQ(ui.messages, QStringList{"EDID File Format incorrect!!"});
    EXPECT_EQ(image(), hdmiDefaultImage());
    EXPECT_TRUE(form.EDID_HDMI_SEL->isChecked());
    EXPECT_EQ(cell(0x14), "80");

    ui.messages.clear();
    writeFile(dir.file("bad.txt"), "00 FF ZZ");
    ui.openAnswers.push_back(QString::fromStdString(dir.file("bad.txt")));
    form.btnLoadClick();
    EXPECT_EQ(ui.messages, QStringList{"'0xZZ' is not a valid integer value"});
    EXPECT_EQ(image(), hdmiDefaultImage());

    ui.messages.clear();
    ui.openAnswers.push_back(QString()); // cancelled
    form.btnLoadClick();
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(MainWindowTest, SaveWritesTheChosenFormAndReloadsIdentically) {
    image()[127] = 0; // the save applies automatic checksums first
    ui.saveAnswers.push_back(UserInteraction::SaveChoice{QString::fromStdString(dir.file("a")), 1});
    ui.saveAnswers.push_back(
        UserInteraction::SaveChoice{QString::fromStdString(dir.file("a.txt")), 2});
    form.btnSaveClick();
    form.btnSaveClick();
    EXPECT_EQ(ui.saveFilters.last(), TForm1::kSaveFilter);
    EXPECT_EQ(readFile(dir.file("a.bin")), formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
    EXPECT_EQ(readFile(dir.file("a.txt")), formatListText(std::span(hdmiDefaultImage()).first(256)));

    form.N128Bytes1->trigger();
    ui.saveAnswers.push_back(UserInteraction::SaveChoice{QString::fromStdString(dir.file("b")), 1});
    form.btnSaveClick();
    EXPECT_EQ(readFile(dir.file("b.bin")).size(), 128u);
    const EdidImage saved = image();

    form.New1->trigger();
    ui.openAnswers.push_back(QString::fromStdString(dir.file("b.bin")));
    form.btnLoadClick();
    EXPECT_EQ(std::vector<Byte>(image().begin(), image().begin() + 128),
              std::vector<Byte>(saved.begin(), saved.begin() + 128));
}

TEST_F(MainWindowTest, ACancelledSaveStillLeavesTheChecksums) {
    image()[255] = 0;
    ui.saveAnswers.push_back(std::nullopt);
    form.btnSaveClick();
    EXPECT_EQ(image()[255], 0x68);
}

TEST_F(MainWindowTest, ASaveThatCannotBeWrittenSaysWhy) {
    const std::string folder = dir.file("missing/edid");
    ui.saveAnswers.push_back(UserInteraction::SaveChoice{QString::fromStdString(folder), 1});
    form.btnSaveClick();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].toStdString(),
              "Cannot write \"" + folder + ".bin\": No such file or directory");
}

TEST_F(MainWindowTest, SaveLogWritesTheMemoLinesToExactlyTheChosenPath) {
    form.MemoLog->setPlainText("first line\nsecond line");
    const std::string path = dir.file("report.log");
    ui.saveAnswers.push_back(UserInteraction::SaveChoice{QString::fromStdString(path), 1});
    form.SaveLog->trigger();
    EXPECT_EQ(ui.saveFilters.last(), QString()) << "no filter before the first EDID save";
    EXPECT_EQ(readFile(path), "first line\r\nsecond line\r\n");
}

TEST_F(MainWindowTest, ModeMarksFollowByte126OnlyAtTheirMoments) {
    image()[126] = 0; // as typed into the grid
    showPage(form.TabSheet3);
    EXPECT_TRUE(form.N256Bytes1->isChecked());
    EXPECT_EQ(visibleTabs().size(), 10);
    form.EDID_HDMI_SEL->trigger(); // any mode command synchronises
    EXPECT_TRUE(form.N128Bytes1->isChecked());
    EXPECT_EQ(visibleTabs().size(), 5);
}

TEST_F(MainWindowTest, AboutAndReleaseNotesShowTheirTexts) {
    TAboutForm about(&form);
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_NE(about.findChild<QPushButton*>("btnAboutOK"), nullptr);
    TForm3 notes(&form);
    EXPECT_EQ(notes.windowTitle(), "发行公告");
    EXPECT_TRUE(notes.Memo1->isReadOnly());
    EXPECT_TRUE(notes.Memo1->toPlainText().startsWith("[1.4 "));
}

TEST_F(MainWindowTest, I2CSettingOpensTheDialogAndTheSettingsOutliveTheWindow) {
    form.session().ddc().settings() = I2cSettings{};
    bool shown = false;
    QTimer::singleShot(0, &form, [&] {
        shown = form.frmI2C->isVisible() && form.frmI2C->isModal();
        form.frmI2C->cbxPortType->setCurrentIndex(kPortUsb);
        emit form.frmI2C->cbxPortType->activated(kPortUsb);
        form.frmI2C->Button_I2COkMouseUp();
    });
    form.I2CSetting->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(form.session().ddc().settings(), (I2cSettings{kPortUsb, 0x378, 0xA0, 2400}));
    EXPECT_TRUE(ui.messages.isEmpty());

    // Saved when a window goes, loaded by the next.
    {
        TForm1 first(ui);
        first.session().ddc().settings() = {kPortCom1, 0x278, 0xA0, 900};
    }
    TForm1 second(ui);
    EXPECT_EQ(second.session().ddc().settings(), (I2cSettings{kPortCom1, 0x278, 0xA0, 900}));
}

TEST_F(MainWindowTest, TheChosenPortIsOpenedOnlyWhenAskedAndItsMessagesShown) {
    struct Case {
        std::int32_t portType;
        bool portsPresent;
        QStringList messages;
    };
    for (const Case& c : {Case{kPortCom1 + 1, true, {"COM2 Opened!!!"}},
                          Case{kPortCom1, false, {"COM1 Open fail!!!"}}, Case{kPortLpt1, false, {}},
                          Case{kPortUsb, true, {}}}) {
        auto* hardware = new SimulatedHardware;
        hardware->hasSerialPorts = c.portsPresent;
        hardware->hasParallelPorts = c.portsPresent;
        RecordingInteraction messages;
        TForm1 window(messages, nullptr, std::unique_ptr<DdcHardware>(hardware));
        window.session().ddc().settings().portType = c.portType;
        EXPECT_EQ(window.session().ddc().port().openedPortType(), kPortNone);
        window.openTransferPort();
        EXPECT_EQ(messages.messages, c.messages) << c.portType;
        EXPECT_EQ(window.session().ddc().port().openedPortType(), c.portType);
    }
}

} // namespace
} // namespace pellam::test
