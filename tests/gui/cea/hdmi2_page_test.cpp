// "B1/HDMI 2.x" driven through its controls in the main window: a Sony TV's
// four blocks shown as the reference decoder lists them, edited, and written
// back when the page is left; the colorimetry shared with "B1/扩展"; the
// refusals.
#include "core/analyser/hdmi2_rules.h"
#include "core/cea/block1_builder.h"
#include "core/cea/modern_block_edits.h"
#include "gui/app/main_window_fixture.h"
#include "gui/cea/hdmi2_page.h"
#include "support/cli_runner.h"

#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace pellam::test {
namespace {

const Bytes kVsdb = {0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};

Bytes concatBlocks(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

EdidImage sonyTv() {
    return imageFromBytes(
        readFile(std::filesystem::path(PELLAM_CORPUS_DIR) / "sny_8604_sony-tv-00_256.bin"));
}

QStringList checkedTexts(const QListWidget* list) {
    QStringList checked;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            checked << list->item(i)->text();
    return checked;
}

QListWidgetItem* itemStartingWith(QListWidget* list, const QString& start) {
    const auto found = list->findItems(start, Qt::MatchStartsWith);
    return found.size() == 1 ? found.front() : nullptr;
}

class Hdmi2PageTest : public MainWindowTest {
protected:
    Hdmi2Page& page() { return *form.sheetHDMI2; }
    HdmiForumGroup& forum() { return *page().gbxHF; }

    void open(const EdidImage& edid) {
        load(edid);
        showPage(form.sheetHDMI2);
    }
    void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Block 1's data blocks once the page is left.
    Bytes leaveAndReadBlocks() {
        showPage(form.TabSheet1);
        return Bytes(image().begin() + 132, image().begin() + 128 + image()[130]);
    }
};

TEST_F(Hdmi2PageTest, ASonyTvsBlocksReadAsTheReferenceDecoderListsThem) {
    open(sonyTv());
    // "Version: 1, Maximum TMDS Character Rate: 600 MHz, SCDC Present,
    // Supports 10-bits/component Deep Color 4:2:0 Pixel Encoding".
    EXPECT_TRUE(forum().ckxHF_Enable->isChecked());
    EXPECT_TRUE(forum().rbnHF_VSDB->isChecked());
    EXPECT_EQ(forum().ledHF_Len->text(), "7");
    EXPECT_EQ(forum().ledHF_Version->text(), "1");
    EXPECT_EQ(forum().ledHF_MaxTMDS->text(), "600");
    QStringList flags;
    for (QCheckBox* box : forum().findChildren<QCheckBox*>())
        if (box != forum().ckxHF_Enable && box->isChecked())
            flags << box->objectName();
    flags.sort();
    EXPECT_EQ(flags, QStringList({"ckxHF_DC30_420", "ckxHF_SCDC"}));
    EXPECT_EQ(forum().cbxHF_MaxFRL->currentText(), "0: no FRL");
    // An 8-byte block holds nothing from byte 8 on.
    EXPECT_FALSE(forum().ckxHF_ALLM->isEnabled());
    EXPECT_FALSE(forum().ledHF_VRRMin->isEnabled());
    EXPECT_TRUE(forum().ledHF_VRRMin->text().isEmpty());
    EXPECT_FALSE(forum().cbxHF_DSCMaxSlices->isEnabled());

    // "Traditional gamma - SDR luminance range, SMPTE ST2084, Hybrid Log-Gamma,
    // Static metadata type 1", no luminance codes.
    const HdrMetadataGroup& hdr = *page().gbxHDR;
    EXPECT_TRUE(hdr.ckxHDR_Enable->isChecked());
    EXPECT_TRUE(hdr.ckxHDR_SDR->isChecked());
    EXPECT_FALSE(hdr.ckxHDR_HDR->isChecked());
    EXPECT_TRUE(hdr.ckxHDR_PQ->isChecked());
    EXPECT_TRUE(hdr.ckxHDR_HLG->isChecked());
    EXPECT_TRUE(hdr.ckxHDR_SMType1->isChecked());
    EXPECT_FALSE(hdr.ckxHDR_MaxLum->isChecked());
    EXPECT_FALSE(hdr.ledHDR_MaxLum->isEnabled());

    // "BT2020YCC, BT2020RGB".
    QStringList colorimetry;
    for (QCheckBox* bit : page().gbxCDB->bits)
        if (bit->isChecked())
            colorimetry << bit->text();
    EXPECT_EQ(colorimetry, QStringList({"BT2020YCC", "BT2020RGB"}));

    // The map's VICs 97, 96, 101 and 102 among the 27 SVDs; no 4:2:0-only VIC.
    const Ycbcr420Group& y420 = *page().gbxY420;
    EXPECT_EQ(y420.clxY420Map->count(), 27);
    EXPECT_EQ(checkedTexts(y420.clxY420Map),
              QStringList({"VIC 97: 3840x2160p 59.94/60Hz 16:9", "VIC 96: 3840x2160p 50Hz 16:9",
                           "VIC 101: 4096x2160p 50Hz 256:135", "VIC 102: 4096x2160p 59.94/60Hz 256:135"}));
    EXPECT_FALSE(y420.ckxY420Map_All->isChecked());
    EXPECT_EQ(y420.clxY420VDB->count(), 0);

    // Looking changes nothing.
    const EdidImage tv = sonyTv();
    EXPECT_EQ(leaveAndReadBlocks(), Bytes(tv.begin() + 132, tv.begin() + 217));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(Hdmi2PageTest, EditsOfEveryGroupAreWrittenWhenThePageIsLeft) {
    open(sonyTv());
    // The Forum block to 14 bytes, with FRL, ALLM, VRR and DSC.
    enter(forum().ledHF_Len, "13");
    ASSERT_TRUE(forum().ledHF_VRRMin->isEnabled());
    forum().cbxHF_MaxFRL->setCurrentIndex(3);
    forum().ckxHF_ALLM->click();
    enter(forum().ledHF_VRRMin, "48");
    enter(forum().ledHF_VRRMax, "120");
    forum().ckxHF_DSC12->click();
    forum().cbxHF_DSCMaxFRL->setCurrentIndex(3);
    forum().cbxHF_DSCMaxSlices->setCurrentIndex(1);
    enter(forum().ledHF_DSCChunk, "2");
    EXPECT_EQ(forum().lblHF_DSCChunk->text(), "= 3072 bytes");

    // HDR: no HLG; the max and min luminance codes, the frame average 0 between.
    HdrMetadataGroup& hdr = *page().gbxHDR;
    hdr.ckxHDR_HLG->click();
    hdr.ckxHDR_MaxLum->click();
    enter(hdr.ledHDR_MaxLum, "96");
    hdr.ckxHDR_MinLum->click();
    EXPECT_TRUE(hdr.ckxHDR_MaxFALL->isChecked());
    EXPECT_EQ(hdr.ledHDR_MaxFALL->text(), "0");
    enter(hdr.ledHDR_MinLum, "32");
    // As edid-decode prints codes 96 and 32: "400.000 cd/m^2", "0.063 cd/m^2".
    EXPECT_EQ(hdr.lblHDR_MaxLum->text(), QString::fromUtf8("400.000 cd/m²"));
    EXPECT_EQ(hdr.lblHDR_MaxFALL->text(), QString::fromUtf8("50.000 cd/m²"));
    EXPECT_EQ(hdr.lblHDR_MinLum->text(), QString::fromUtf8("0.063 cd/m²"));

    // DCI-P3; VIC 96 no longer 4:2:0, VIC 16 now; VIC 219 only in 4:2:0.
    page().gbxCDB->bits[15]->click();
    Ycbcr420Group& y420 = *page().gbxY420;
    itemStartingWith(y420.clxY420Map, "VIC 96")->setCheckState(Qt::Unchecked);
    itemStartingWith(y420.clxY420Map, "VIC 16:")->setCheckState(Qt::Checked);
    type(y420.ledY420_VIC, "219");
    y420.btnY420Add->click();
    EXPECT_EQ(y420.clxY420VDB->item(0)->text(), "VIC 219: 4096x2160p 119.88/120Hz 256:135");
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();

    const EdidImage tv = sonyTv();
    Bytes expected(tv.begin() + 132, tv.begin() + 192); // video, audio, speaker, HDMI VSDB
    const Bytes after = {
        0x6D, 0xD8, 0x5D, 0xC4, 0x01, 0x78, 0x80,
        0x31, 0x02, 0x30, 0x78, 0x80, 0x31, 0x02, // HF-VSDB
        0xE2, 0x00, 0xCB,                         // VCDB
        0xE5, 0x0F, 0x81, 0x00, 0x00, 0x06,       // 4:2:0 map
        0xE3, 0x05, 0xC0, 0x80,                   // colorimetry
        0xE6, 0x06, 0x05, 0x01, 0x60, 0x00, 0x20, // HDR
        0xE2, 0x0E, 0xDB,                         // 4:2:0 VDB
    };
    expected.insert(expected.end(), after.begin(), after.end());
    EXPECT_EQ(leaveAndReadBlocks(), expected);
    // The timings follow the longer blocks; the HDMI 2.x rules find nothing.
    EXPECT_EQ(image()[130], 4 + expected.size());
    const auto timing = image().begin() + 128 + image()[130];
    EXPECT_EQ(Bytes(timing, timing + 18), Bytes(tv.begin() + 217, tv.begin() + 235));
    for (const Hdmi2Verdict& v : checkHdmi2Rules(image()))
        EXPECT_FALSE(v.failed) << hdmi2RuleText(v.rule) << ": " << v.detail;

    // Shown again, the page reads what block 1 now holds.
    showPage(form.sheetHDMI2);
    EXPECT_EQ(forum().ledHF_VRRMax->text(), "120");
    EXPECT_EQ(forum().cbxHF_DSCMaxSlices->currentText(), "1: 1 slice x 340 MHz");
    EXPECT_EQ(checkedTexts(y420.clxY420Map),
              QStringList({"VIC 97: 3840x2160p 59.94/60Hz 16:9", "VIC 16: 1920x1080p 59.94/60Hz 16:9",
                           "VIC 101: 4096x2160p 50Hz 256:135", "VIC 102: 4096x2160p 59.94/60Hz 256:135"}));
}

TEST_F(Hdmi2PageTest, BlocksSwitchedOnStartValidAndFollowTheHdmiVsdb) {
    const Bytes video = {0x42, 0x10, 0x61};
    open(imageWithBlock1({kVsdb, video}));
    EXPECT_FALSE(forum().ckxHF_Enable->isChecked());
    EXPECT_FALSE(forum().ledHF_MaxTMDS->isEnabled());
    forum().ckxHF_Enable->click();
    page().gbxHDR->ckxHDR_Enable->click();
    page().gbxCDB->ckxCDB_Enable->click();
    page().gbxY420->ckxY420Map_All->click();
    EXPECT_EQ(forum().ledHF_Version->text(), "1");
    EXPECT_TRUE(forum().ckxHF_SCDC->isEnabled());
    EXPECT_FALSE(forum().ckxHF_ALLM->isEnabled());
    EXPECT_EQ(checkedTexts(page().gbxY420->clxY420Map).size(), 2);
    const Bytes blocks = leaveAndReadBlocks();
    EXPECT_EQ(blocks, (Bytes{0x65, 0x03, 0x0C, 0x00, 0x10, 0x00,             // HDMI VSDB
                             0x67, 0xD8, 0x5D, 0xC4, 0x01, 0x00, 0x00, 0x00, // HF-VSDB
                             0x42, 0x10, 0x61,                               // video
                             0xE3, 0x06, 0x01, 0x01,                         // HDR
                             0xE1, 0x0F,                                     // 4:2:0 map
                             0xE3, 0x05, 0x00, 0x00}));                      // colorimetry
    for (const Hdmi2Verdict& v : checkHdmi2Rules(image()))
        EXPECT_FALSE(v.failed) << hdmi2RuleText(v.rule) << ": " << v.detail;

    // Off again: every block goes.
    showPage(form.sheetHDMI2);
    forum().ckxHF_Enable->click();
    page().gbxHDR->ckxHDR_Enable->click();
    page().gbxCDB->ckxCDB_Enable->click();
    page().gbxY420->ckxY420Map_All->click();
    page().gbxY420->clxY420Map->item(0)->setCheckState(Qt::Unchecked);
    page().gbxY420->clxY420Map->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(leaveAndReadBlocks(), concatBlocks({kVsdb, video}));
}

TEST_F(Hdmi2PageTest, TheColorimetryBitsAreTheExtendedPagesToo) {
    open(sonyTv());
    showPage(form.sheetB1ExtendedDB);
    form.sheetB1ExtendedDB->CheckBox_Color0->click(); // xvYCC601
    showPage(form.sheetHDMI2);
    ColorimetryGroup& cdb = *page().gbxCDB;
    EXPECT_TRUE(cdb.bits[0]->isChecked());
    EXPECT_TRUE(cdb.bits[7]->isChecked()) << "BT2020RGB as read";
    cdb.bits[9]->click();  // MD1
    cdb.bits[15]->click(); // DCI-P3
    showPage(form.sheetB1ExtendedDB);
    EXPECT_TRUE(form.sheetB1ExtendedDB->CheckBox_Meta1->isChecked());
    EXPECT_TRUE(form.sheetB1ExtendedDB->CheckBox_Color0->isChecked());
    const Bytes blocks = leaveAndReadBlocks();
    EXPECT_EQ(Bytes(blocks.begin() + 77, blocks.begin() + 81), (Bytes{0xE3, 0x05, 0xC1, 0x82}));
}

TEST_F(Hdmi2PageTest, WhatBlock1CannotTakeIsRefused) {
    // No HDMI VSDB to follow.
    open(imageWithBlock1({{0x23, 0x09, 0x07, 0x07}}));
    forum().ckxHF_Enable->click();
    EXPECT_EQ(ui.messages, QStringList{kMsgForumNeedsHdmiVsdb});
    EXPECT_FALSE(forum().ckxHF_Enable->isChecked());

    // No room for the 8 bytes.
    const EdidImage full = imageWithFreeBytes({kVsdb}, 7);
    open(full);
    ui.messages.clear();
    forum().ckxHF_Enable->click();
    EXPECT_EQ(ui.messages, QStringList{"No Space of Extended Block"});
    EXPECT_FALSE(forum().ckxHF_Enable->isChecked());
    showPage(form.TabSheet1);
    EXPECT_EQ(block1Of(image()), block1Of(full));

    // A length beyond the room: the block keeps its length.
    open(sonyTv());
    ui.messages.clear();
    enter(forum().ledHF_Len, "30");
    EXPECT_EQ(ui.messages, QStringList{"No Space of Extended Block"});
    EXPECT_EQ(forum().ledHF_Len->text(), "7");
    // A rate the field cannot hold exactly is refused, never cut; while it is
    // typed the edit says why.
    ui.messages.clear();
    forum().ledHF_MaxTMDS->setFocus();
    forum().ledHF_MaxTMDS->selectAll();
    QTest::keyClicks(forum().ledHF_MaxTMDS, "342");
    EXPECT_EQ(forum().ledHF_MaxTMDS->toolTip(), kMsgForumMaxTmds);
    QTest::keyClick(forum().ledHF_MaxTMDS, Qt::Key_Return);
    EXPECT_EQ(ui.messages, QStringList{kMsgForumMaxTmds});
    EXPECT_EQ(forum().ledHF_MaxTMDS->text(), "600");
    EXPECT_EQ(hdmiForumBlock(form.session().block1().collection())->maxTmdsCharacterRate, 120);
    // A native flag exists for VIC 1..64 only.
    type(page().gbxY420->ledY420_VIC, "97");
    page().gbxY420->btnY420Add->click();
    page().gbxY420->clxY420VDB->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(page().gbxY420->clxY420VDB->item(0)->checkState(), Qt::Unchecked);
}

// The declaration dialog's box asks for the section; the report is the one
// pellam-cli writes with --hdmi2.
TEST_F(Hdmi2PageTest, TheDeclarationDialogsBoxAddsTheSectionToTheReport) {
    const std::string path = dir.file("tv.bin");
    const EdidImage tv = sonyTv();
    writeFile(path, formatRawBinary(std::span(tv)));
    open(sonyTv());
    showPage(form.TabSheet2);
    const auto analyse = [this](bool section) {
        QTimer::singleShot(0, &form, [this, section] {
            form.frmCDF->ckxCDF_HDMI2_Section->setChecked(section);
            form.frmCDF->Button1->click();
        });
        form.TabSheet2->btnAnalysis->click();
        return form.TabSheet2->MemoLog->toPlainText().toStdString() + "\n";
    };
    EXPECT_FALSE(form.frmCDF->ckxCDF_HDMI2_Section->isChecked()) << "off by default";
    EXPECT_EQ(analyse(true), runCli({"analyse", "--hdmi2", path}).out);
    EXPECT_TRUE(form.frmCDF->declaration().hdmi2Section);
    EXPECT_EQ(analyse(false), runCli({"analyse", path}).out);
}

} // namespace
} // namespace pellam::test
